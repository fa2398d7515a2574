#pragma once
#include <cstddef>
#include <string>

// Paths are built in buffers of this size, terminating zero included.
const unsigned PathBufferSize = 256;

// A path built in a fixed buffer of PathBufferSize bytes. A join that would
// not fit is refused and marks the path as refused for good, so a long path
// is never cut into another, shorter one.
class TFixedPath {
public:
    TFixedPath() = default;
    explicit TFixedPath(const char* text) { Append(text); }

    TFixedPath& Append(const char* text);
    TFixedPath& Append(const std::string& text) { return Append(text.c_str()); }

    bool IsRefused() const { return Refused; }
    // Usable: not refused and not empty.
    bool IsUsable() const { return !Refused && Length > 0; }
    const char* c_str() const { return Buffer; }
    size_t size() const { return Length; }

private:
    char Buffer[PathBufferSize] = {};
    size_t Length = 0;
    bool Refused = false;
};
