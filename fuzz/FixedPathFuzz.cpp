// Paths joined piece by piece in the fixed 256-byte buffer.
//
// Input: the pieces, separated by zero bytes.
#include "FuzzCheck.h"
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    TFixedPath path;
    std::string joined;
    bool refused = false;
    size_t start = 0;
    for (size_t piece = 0; start <= input.size(); ++piece) {
        size_t end = input.find('\0', start);
        if (end == std::string::npos)
            end = input.size();
        const std::string text = input.substr(start, end - start);
        start = end + 1;

        // Each overload in turn, each from a block of exactly the piece.
        std::unique_ptr<char[]> exact = ExactCString(text);
        if (piece % 2)
            path.Append(exact.get());
        else
            path.Append(text);

        // A join fits whole or is refused whole, and a refusal is for good.
        if (!refused && joined.size() + text.size() <= PathBufferSize - 1)
            joined += text;
        else
            refused = true;
        UZ_CHECK(path.IsRefused() == refused);
        UZ_CHECK(path.size() == joined.size() && path.size() <= PathBufferSize - 1);
        UZ_CHECK(std::strlen(path.c_str()) == path.size());
        UZ_CHECK(joined == path.c_str());
        UZ_CHECK((path.size() == 0) == joined.empty());
        UZ_CHECK(path.IsUsable() == (!refused && !joined.empty()));

        // Started again from its text, as the removal code does.
        TFixedPath copy(path.c_str());
        UZ_CHECK(!copy.IsRefused() && joined == copy.c_str());
    }
    return 0;
}
