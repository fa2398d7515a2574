#pragma once
#include <windows.h>
#include <string>

// An open registry key, closed by the destructor. A failed open leaves the
// object as it was, so a key is only ever replaced by one that opened.
class TRegKey {
public:
    TRegKey() = default;
    ~TRegKey() { Close(); }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;

    // Opens `subKey` of `parent` with full access, creating it if missing.
    LONG Create(HKEY parent, const char* subKey);
    // Opens `subKey` of `parent` if it is there, creating nothing: for keys
    // that are not ours to create, such as other users' hives.
    LONG Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ);
    LONG Close();

    operator HKEY() const { return Key; }

    // Reads a string value into `buffer` of `size` bytes; a list of strings
    // gives its first. Only a value that fits with its terminating zero
    // counts; anything else (another type, too long, or no room left for
    // the zero) fails. `type`, when given, receives the value's type.
    bool QueryString(const char* valueName, char* buffer, DWORD size, DWORD* type = nullptr) const;

    LONG EnumKey(DWORD index, char* name, DWORD size) const;
    // The name of the subkey at `index`, read in Unicode, in the program's
    // code page only when it comes back from there unchanged: the name the
    // ANSI functions reach that key by. Empty, with ERROR_SUCCESS, for a name
    // that has no such form (a "?" would stand in for what the code page
    // lacks, and name another key or none).
    LONG EnumKeyName(DWORD index, std::string& name) const;

    // Deletes `subKey` with everything below it. Refuses a name that would
    // mean this key itself (empty, or nothing but backslashes).
    LONG RecurseDeleteKey(const char* subKey);

    static bool IsSubKeyName(const char* name);

private:
    HKEY Key = nullptr;
};
