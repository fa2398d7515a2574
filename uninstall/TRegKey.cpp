#include "TRegKey.h"
#include <cstring>
#include <vector>

LONG TRegKey::Create(HKEY parent, const char* subKey)
{
    HKEY opened = nullptr;
    DWORD disposition = 0;
    LONG result = ::RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                    &opened, &disposition);
    if (result == ERROR_SUCCESS) {
        Close();
        Key = opened;
    }
    return result;
}

LONG TRegKey::Open(HKEY parent, const char* subKey, REGSAM access)
{
    HKEY opened = nullptr;
    LONG result = ::RegOpenKeyExA(parent, subKey, 0, access, &opened);
    if (result == ERROR_SUCCESS) {
        Close();
        Key = opened;
    }
    return result;
}

LONG TRegKey::Close()
{
    LONG result = ERROR_SUCCESS;
    if (Key) {
        result = ::RegCloseKey(Key);
        Key = nullptr;
    }
    return result;
}

bool TRegKey::QueryString(const char* valueName, char* buffer, DWORD size, DWORD* valueType) const
{
    if (!Key || !buffer || size == 0)
        return false;
    DWORD type = 0;
    DWORD got = size;
    if (::RegQueryValueExA(Key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got) != ERROR_SUCCESS)
        return false;
    if (valueType)
        *valueType = type;
    // A list of strings reads as its first, as a program that ignores the type would read it.
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
        return false;
    if (got > size)
        return false;
    // The value may have been stored without its zero: add one if there is room.
    if (got == 0 || buffer[got - 1] != '\0') {
        if (got >= size)
            return false;
        buffer[got] = '\0';
    }
    return true;
}

LONG TRegKey::EnumKey(DWORD index, char* name, DWORD size) const
{
    if (!Key)
        return ERROR_INVALID_HANDLE;
    return ::RegEnumKeyA(Key, index, name, size);
}

namespace {
// A key name has up to 255 characters.
const DWORD KeyNameLength = 256;

// `wide` in the program's code page, or empty when that cannot hold it exactly.
std::string InCodePage(const wchar_t* wide, int length)
{
    BOOL defaulted = FALSE;
    int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &defaulted);
    if (size <= 0 || defaulted)
        return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, &text[0], size, nullptr, nullptr);
    // And back: the same characters, or the name is not that key's.
    wchar_t back[KeyNameLength];
    int backLength = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, back, KeyNameLength);
    if (backLength != length || std::memcmp(back, wide, static_cast<size_t>(length) * sizeof(wchar_t)) != 0)
        return std::string();
    return text;
}
} // namespace

LONG TRegKey::EnumKeyName(DWORD index, std::string& name) const
{
    name.clear();
    if (!Key)
        return ERROR_INVALID_HANDLE;
    wchar_t wide[KeyNameLength];
    DWORD length = KeyNameLength;
    LONG result = ::RegEnumKeyExW(Key, index, wide, &length, nullptr, nullptr, nullptr, nullptr);
    // Longer than any key name Windows makes: no name the ANSI functions reach.
    if (result == ERROR_MORE_DATA)
        return ERROR_SUCCESS;
    if (result == ERROR_SUCCESS && length > 0)
        name = InCodePage(wide, static_cast<int>(length));
    return result;
}

bool TRegKey::IsSubKeyName(const char* name)
{
    if (!name)
        return false;
    for (const char* p = name; *p; ++p)
        if (*p != '\\')
            return true;
    return false;
}

namespace {
LONG DeleteTree(HKEY parent, const char* subKey)
{
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExA(parent, subKey, 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS)
        return result;
    // Children first; a child that will not go is stepped over, not retried.
    // A key name has up to 255 characters, which in GBK is up to 510 bytes.
    std::vector<char> name(1024);
    DWORD index = 0;
    while (::RegEnumKeyA(key, index, name.data(), static_cast<DWORD>(name.size())) == ERROR_SUCCESS) {
        if (DeleteTree(key, name.data()) != ERROR_SUCCESS)
            ++index;
    }
    ::RegCloseKey(key);
    return ::RegDeleteKeyA(parent, subKey);
}
} // namespace

LONG TRegKey::RecurseDeleteKey(const char* subKey)
{
    if (!Key)
        return ERROR_INVALID_HANDLE;
    if (!IsSubKeyName(subKey))
        return ERROR_INVALID_PARAMETER;
    return DeleteTree(Key, subKey);
}
