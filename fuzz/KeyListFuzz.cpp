// The zero-separated key list the profile functions return for a section
// of VEXA.INI, split into key names.
//
// Input: the list as returned, its length the count the call gave.
#include "../catalogue/KeyList.h"
#include "FuzzCheck.h"
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly `size` bytes, no zero after them: a read past the count is a
    // read past the block.
    std::unique_ptr<char[]> list(new char[size]);
    if (size)
        std::memcpy(list.get(), data, size);
    std::vector<std::string> names = SplitKeyList(list.get(), size);

    // Every non-empty run between zeros, in order, and nothing else.
    std::vector<std::string> expected;
    std::string current;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            if (!current.empty())
                expected.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    for (const std::string& name : names) {
        UZ_CHECK(!name.empty());
        UZ_CHECK(name.find('\0') == std::string::npos);
    }
    UZ_CHECK(names == expected);
    return 0;
}
