#include "TProcessToken.h"
#include <aclapi.h>
#include <sddl.h>

namespace {
const char LocalSystemSid[] = "S-1-5-18";
const char AdministratorsSid[] = "S-1-5-32-544";

std::string SidText(PSID sid)
{
    char* text = nullptr;
    if (!sid || !::ConvertSidToStringSidA(sid, &text))
        return std::string();
    std::string result = text;
    ::LocalFree(text);
    return result;
}
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
    return SidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

bool TProcessToken::IsTrustedOwner(const std::string& ownerSid, const std::string& selfSid)
{
    return !ownerSid.empty() &&
           (ownerSid == AdministratorsSid || ownerSid == LocalSystemSid || ownerSid == selfSid);
}

std::string TProcessToken::OwnerOf(HANDLE object, bool isFile)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, isFile ? SE_FILE_OBJECT : SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                          nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return std::string();
    std::string text = SidText(owner);
    ::LocalFree(descriptor);
    return text;
}

bool TProcessToken::Trusts(HANDLE object, bool isFile) const
{
    return IsTrustedOwner(OwnerOf(object, isFile), UserSid());
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
