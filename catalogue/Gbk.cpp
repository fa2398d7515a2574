#include "Gbk.h"
#include <cstring>

namespace {
// Whether the first `length` bytes at `p` are whole characters, so that the
// next one starts right after them.
bool IsWholeCharacters(const char* p, size_t length)
{
    size_t i = 0;
    while (i < length)
        i += (IsGbkLeadByte(static_cast<unsigned char>(p[i])) && p[i + 1]) ? 2 : 1;
    return i == length;
}
} // namespace

long FindText(const char* text, const char* needle)
{
    size_t needleLength = std::strlen(needle);
    for (const char* p = text; *p;) {
        // A needle ending in half a character does not match the whole one.
        if (std::strncmp(p, needle, needleLength) == 0 && IsWholeCharacters(p, needleLength))
            return static_cast<long>(p - text);
        p += (IsGbkLeadByte(static_cast<unsigned char>(*p)) && p[1]) ? 2 : 1;
    }
    return needleLength == 0 ? 0 : -1;
}

long FindLastChar(const char* text, char ch)
{
    long found = -1;
    for (const char* p = text; *p;) {
        if (*p == ch)
            found = static_cast<long>(p - text);
        p += (IsGbkLeadByte(static_cast<unsigned char>(*p)) && p[1]) ? 2 : 1;
    }
    return found;
}

bool EndsWithChar(const char* text, char ch)
{
    size_t length = std::strlen(text);
    return length > 0 && FindLastChar(text, ch) == static_cast<long>(length - 1);
}
