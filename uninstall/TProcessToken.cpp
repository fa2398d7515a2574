#include "TProcessToken.h"
#include <sddl.h>

namespace {
const char LocalSystemSid[] = "S-1-5-18";
} // namespace

TProcessToken::TProcessToken()
{
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, &Token))
        Token = nullptr;
}

TProcessToken::~TProcessToken()
{
    if (!Token)
        return;
    if (!Previous.empty())
        ::AdjustTokenPrivileges(Token, FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(Previous.data()), 0, nullptr,
                                nullptr);
    ::CloseHandle(Token);
}

std::string TProcessToken::UserSid() const
{
    if (!Token)
        return std::string();
    DWORD size = 0;
    ::GetTokenInformation(Token, TokenUser, nullptr, 0, &size);
    if (size == 0)
        return std::string();
    std::vector<BYTE> user(size);
    if (!::GetTokenInformation(Token, TokenUser, user.data(), size, &size))
        return std::string();
    char* text = nullptr;
    if (!::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text))
        return std::string();
    std::string sid = text;
    ::LocalFree(text);
    return sid;
}

LONG TProcessToken::EnableHivePrivileges()
{
    if (!Token)
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (!Previous.empty())
        return ERROR_SUCCESS;
    const char* const names[] = {SE_RESTORE_NAME, SE_BACKUP_NAME};
    std::vector<BYTE> wanted(sizeof(TOKEN_PRIVILEGES) + sizeof(LUID_AND_ATTRIBUTES));
    auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(wanted.data());
    privileges->PrivilegeCount = 2;
    for (DWORD i = 0; i < 2; ++i) {
        if (!::LookupPrivilegeValueA(nullptr, names[i], &privileges->Privileges[i].Luid))
            return static_cast<LONG>(::GetLastError());
        privileges->Privileges[i].Attributes = SE_PRIVILEGE_ENABLED;
    }
    std::vector<BYTE> previous(wanted.size());
    DWORD size = 0;
    if (!::AdjustTokenPrivileges(Token, FALSE, privileges, static_cast<DWORD>(previous.size()),
                                 reinterpret_cast<TOKEN_PRIVILEGES*>(previous.data()), &size))
        return static_cast<LONG>(::GetLastError());
    // It succeeds even when the token lacks one; only the last error says so.
    LONG result = static_cast<LONG>(::GetLastError());
    if (reinterpret_cast<TOKEN_PRIVILEGES*>(previous.data())->PrivilegeCount > 0)
        Previous.swap(previous);
    return result;
}

bool TProcessToken::IsLocalSystemSid(const std::string& sid)
{
    return sid == LocalSystemSid;
}

bool TProcessToken::RunsAsLocalSystem()
{
    return IsLocalSystemSid(TProcessToken().UserSid());
}
