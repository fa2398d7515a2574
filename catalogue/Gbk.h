#pragma once
#include <cstddef>

// Byte texts in code page 936 hold one- and two-byte characters. A trail
// byte can equal "\" (0x5C) or "|" (0x7C), so searches for those must step
// over whole characters.

inline bool IsGbkLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

// Offset of the first occurrence of `needle` that starts and ends on
// character boundaries of `text`, or -1.
long FindText(const char* text, const char* needle);

// Offset of the last character `ch` (a single-byte character) in `text`, or -1.
long FindLastChar(const char* text, char ch);

// True when the last character of `text` is the single-byte character `ch`.
bool EndsWithChar(const char* text, char ch);
