#include "TRemovalLock.h"
#include "TProcessToken.h"
#include <sddl.h>

const char TRemovalLock::Name[] = "Global\\UninstallZolt.Removal";

namespace {
// Owned by the Administrators group, for it and LocalSystem alone.
const char LockDescriptor[] = "O:BAD:(A;;GA;;;BA)(A;;GA;;;SY)";

HANDLE CreateLock()
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorA(LockDescriptor, SDDL_REVISION_1, &descriptor,
                                                                nullptr)) {
        SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
        HANDLE mutex = ::CreateMutexA(&attributes, FALSE, TRemovalLock::Name);
        DWORD error = ::GetLastError();
        ::LocalFree(descriptor);
        // Not elevated, the token may not make the group the owner: the
        // account itself owns it then.
        if (mutex || error != ERROR_INVALID_OWNER) {
            ::SetLastError(error);
            return mutex;
        }
    }
    return ::CreateMutexA(nullptr, FALSE, TRemovalLock::Name);
}
} // namespace

TRemovalLock::TRemovalLock()
{
    Mutex = CreateLock();
    if (!Mutex) {
        DWORD error = ::GetLastError();
        Refusal = error == ERROR_INVALID_HANDLE ? "an object of another kind"
                  : error == ERROR_ACCESS_DENIED ? "made so that we may not open it"
                                                 : "not to be made (error " + std::to_string(error) + ")";
        return;
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS && !TProcessToken().Trusts(Mutex, false)) {
        std::string owner = TProcessToken::OwnerOf(Mutex, false);
        Refusal = "made by another account (" + (owner.empty() ? std::string("no owner") : "owner " + owner) + ")";
        ::CloseHandle(Mutex);
        Mutex = nullptr;
        return;
    }
    DWORD waited = ::WaitForSingleObject(Mutex, 0);
    Owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    HeldElsewhere = waited == WAIT_TIMEOUT;
}

TRemovalLock::~TRemovalLock()
{
    if (Owned)
        ::ReleaseMutex(Mutex);
    if (Mutex)
        ::CloseHandle(Mutex);
}
