#include "TRegKey.h"
#include "TWidePath.h"
#include <cstring>
#include <vector>

LONG TRegKey::Take(LONG result, HKEY opened)
{
    if (result == ERROR_SUCCESS) {
        Close();
        Key = opened;
    }
    return result;
}

LONG TRegKey::Create(HKEY parent, const char* subKey, DWORD options)
{
    HKEY opened = nullptr;
    DWORD disposition = 0;
    LONG result = ::RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE | options, KEY_ALL_ACCESS,
                                    nullptr, &opened, &disposition);
    return Take(result, opened);
}

LONG TRegKey::Open(HKEY parent, const char* subKey, REGSAM access, DWORD options)
{
    HKEY opened = nullptr;
    LONG result = ::RegOpenKeyExA(parent, subKey, options, access, &opened);
    return Take(result, opened);
}

LONG TRegKey::Open(HKEY parent, const TWidePath& subKey, REGSAM access, DWORD options)
{
    HKEY opened = nullptr;
    LONG result = ::RegOpenKeyExW(parent, subKey.c_str(), options, access, &opened);
    return Take(result, opened);
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

bool TRegKey::QueryString(const char* valueName, TWidePath& value, DWORD* valueType) const
{
    TWidePath name = TWidePath::FromAnsi(valueName ? valueName : "");
    DWORD type = 0, size = 0;
    if (!Key || ::RegQueryValueExW(Key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ))
        return false;
    // Room for a zero the value may have been stored without.
    std::vector<BYTE> data(size + 2 * sizeof(wchar_t), 0);
    if (::RegQueryValueExW(Key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    const auto* text = reinterpret_cast<const wchar_t*>(data.data());
    size_t length = 0;
    while (length < size / sizeof(wchar_t) && text[length])
        ++length;
    value = TWidePath(text, length);
    if (valueType)
        *valueType = type;
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
    TWidePath wide;
    LONG result = EnumKey(index, wide);
    // Longer than any key name Windows makes: no name the ANSI functions reach.
    if (result == ERROR_MORE_DATA)
        return ERROR_SUCCESS;
    if (result == ERROR_SUCCESS && !wide.empty())
        name = InCodePage(wide.c_str(), static_cast<int>(wide.size()));
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

bool TRegKey::IsSubKeyName(const TWidePath& name)
{
    for (const wchar_t* p = name.c_str(); *p; ++p)
        if (*p != L'\\')
            return true;
    return false;
}

bool TRegKey::IsLink() const
{
    DWORD type = 0;
    return Key && ::RegQueryValueExW(Key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

LONG TRegKey::EnumKey(DWORD index, TWidePath& name) const
{
    if (!Key)
        return ERROR_INVALID_HANDLE;
    wchar_t text[KeyNameLength];
    DWORD length = KeyNameLength;
    LONG result = ::RegEnumKeyExW(Key, index, text, &length, nullptr, nullptr, nullptr, nullptr);
    name = result == ERROR_SUCCESS ? TWidePath(text, length) : TWidePath();
    return result;
}
