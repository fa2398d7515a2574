#include "TRegKey.h"
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
