// The document-type keys of an extension list ("YSB|DEK|JGK"): split into
// names, each made into ".N" and "NFile".
//
// Input: the extension list; it is also tried whole as one name.
#include "FuzzCheck.h"
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : CheckedDocumentTypes(input))
        CheckDocumentTypeKeys(name);
    CheckDocumentTypeKeys(input);
    return 0;
}
