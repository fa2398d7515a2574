#include "KeyList.h"
#include <cstring>

std::vector<std::string> SplitKeyList(const char* list, size_t length)
{
    std::vector<std::string> names;
    size_t offset = 0;
    while (offset < length) {
        const void* end = std::memchr(list + offset, '\0', length - offset);
        size_t nameLength = end ? static_cast<const char*>(end) - (list + offset) : length - offset;
        // An INI key is never empty; an empty name is only the list's end.
        if (nameLength > 0)
            names.emplace_back(list + offset, nameLength);
        offset += nameLength + 1;
    }
    return names;
}
