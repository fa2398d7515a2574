#include "TFixedPath.h"
#include <cstring>

TFixedPath& TFixedPath::Append(const char* text)
{
    if (Refused)
        return *this;
    size_t add = std::strlen(text);
    if (Length + add + 1 > PathBufferSize) {
        Refused = true;
        return *this;
    }
    std::memcpy(Buffer + Length, text, add + 1);
    Length += add;
    return *this;
}
