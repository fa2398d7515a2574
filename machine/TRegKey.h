#pragma once
#include <windows.h>
#include "TWidePath.h"
#include <string>

// An open registry key, closed by the destructor. A failed open leaves the
// object as it was, so a key is only ever replaced by one that opened.
// A registry link (a key whose SymbolicLinkValue names another) is what any
// user can make in their own hive; opened with REG_OPTION_OPEN_LINK, a key
// is the link itself, never what it leads to.
class TRegKey {
public:
    TRegKey() = default;
    ~TRegKey() { Close(); }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;

    // Opens `subKey` of `parent` with full access, creating it if missing.
    // `options` REG_OPTION_OPEN_LINK opens a link at its last part as itself.
    LONG Create(HKEY parent, const char* subKey, DWORD options = 0);
    // Opens `subKey` of `parent` if it is there, creating nothing: for keys
    // that are not ours to create, such as other users' hives.
    LONG Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ, DWORD options = 0);
    // The same for a name as Windows holds it.
    LONG Open(HKEY parent, const TWidePath& subKey, REGSAM access = KEY_READ, DWORD options = 0);
    LONG Close();

    // A key opened as a link (REG_OPTION_OPEN_LINK) that is one.
    bool IsLink() const;

    operator HKEY() const { return Key; }

    // Reads a string value into `buffer` of `size` bytes; a list of strings
    // gives its first. Only a value that fits with its terminating zero
    // counts; anything else (another type, too long, or no room left for
    // the zero) fails. `type`, when given, receives the value's type.
    bool QueryString(const char* valueName, char* buffer, DWORD size, DWORD* type = nullptr) const;
    // The same text as Windows holds it, whole, for names outside the
    // program's code page; a list of strings gives its first.
    bool QueryString(const char* valueName, TWidePath& value, DWORD* type = nullptr) const;

    LONG EnumKey(DWORD index, char* name, DWORD size) const;
    // The name of the subkey at `index`, read in Unicode, in the program's
    // code page only when it comes back from there unchanged: the name the
    // ANSI functions reach that key by. Empty, with ERROR_SUCCESS, for a name
    // that has no such form (a "?" would stand in for what the code page
    // lacks, and name another key or none).
    LONG EnumKeyName(DWORD index, std::string& name) const;
    // The name of the subkey at `index` as Windows holds it.
    LONG EnumKey(DWORD index, TWidePath& name) const;

    // Whether `name` names a subkey: not empty, and not nothing but
    // backslashes, which would mean this key itself.
    static bool IsSubKeyName(const char* name);
    static bool IsSubKeyName(const TWidePath& name);

private:
    // Takes `opened` in place of the key when `result` says it opened.
    LONG Take(LONG result, HKEY opened);

    HKEY Key = nullptr;
};
