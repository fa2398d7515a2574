#pragma once
#include <cstdint>
#include <string>

// One catalogue row. Only Name takes part in equality and hashing.
struct TLinkedStrings {
    std::string Name;
    std::string Group;
    std::string FileList;
    int32_t Shared = 0;

    bool operator==(const TLinkedStrings& other) const { return Name == other.Name; }
    uint32_t HashValue() const;

    // The key by which a row is looked up.
    static TLinkedStrings Key(const std::string& name) { return TLinkedStrings{name, "", "", 0}; }
};

// The string hash: the length, XORed with each little-endian group of four
// bytes, the last short group padded with zeros.
uint32_t HashString(const std::string& text);
