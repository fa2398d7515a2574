#include "TUserHive.h"
#include "TProcessToken.h"
#include "TRegKey.h"

namespace {
bool IsThere(const std::string& name)
{
    TRegKey key;
    return key.Open(HKEY_USERS, name.c_str()) == ERROR_SUCCESS;
}

LONG UnloadName(const std::string& name)
{
    TProcessToken token;
    token.EnableHivePrivileges();
    return ::RegUnLoadKeyA(HKEY_USERS, name.c_str());
}
} // namespace

LONG TUserHive::Load(const std::string& name, const TWidePath& file)
{
    if (Unload() != ERROR_SUCCESS)
        return static_cast<LONG>(ERROR_BUSY);
    if (name.empty() || name.find('\\') != std::string::npos)
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);

    if (IsThere(name))
        UnloadName(name);
    LONG result;
    {
        TProcessToken token;
        token.EnableHivePrivileges();
        result = ::RegLoadKeyW(HKEY_USERS, TWidePath::FromAnsi(name).c_str(), file.c_str());
    }
    if (result == ERROR_SUCCESS)
        Name = name;
    else if (IsThere(name))
        // A refused file can leave the name behind (Wine does); nothing may stay.
        UnloadName(name);
    return result;
}

LONG TUserHive::Unload()
{
    if (Name.empty())
        return ERROR_SUCCESS;
    LONG result = UnloadName(Name);
    if (result == ERROR_SUCCESS)
        Name.clear();
    return result;
}
