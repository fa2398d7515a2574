#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The process's own access token: whose it is, and the two privileges that
// loading and unloading another user's hive need. Privileges it enabled are
// put back as they were, and the token closed, by the destructor.
class TProcessToken {
public:
    TProcessToken();
    ~TProcessToken();
    TProcessToken(const TProcessToken&) = delete;
    TProcessToken& operator=(const TProcessToken&) = delete;

    // The token user's SID as text, e.g. "S-1-5-18"; empty when it cannot be read.
    std::string UserSid() const;
    // Enables SeRestorePrivilege and SeBackupPrivilege. ERROR_SUCCESS only
    // when the token holds both; ERROR_NOT_ALL_ASSIGNED when it lacks one.
    LONG EnableHivePrivileges();

    // LocalSystem, whose HKEY_CURRENT_USER is the system's own profile.
    static bool IsLocalSystemSid(const std::string& sid);
    static bool RunsAsLocalSystem();

    // Whether an object owned by `ownerSid` may be taken for one of ours:
    // the Administrators group (an elevated administrator's objects are
    // its), LocalSystem, or the very account `selfSid` this program runs
    // as. Anything any other account made, standard users above all, is not.
    static bool IsTrustedOwner(const std::string& ownerSid, const std::string& selfSid);
    // The owner of a kernel object or file open with READ_CONTROL, as text;
    // empty when the system gives none.
    static std::string OwnerOf(HANDLE object, bool isFile);
    // True when `object`'s owner is trusted by this process.
    bool Trusts(HANDLE object, bool isFile) const;

private:
    HANDLE Token = nullptr;
    // The state before EnableHivePrivileges of what it changed.
    std::vector<BYTE> Previous;
};
