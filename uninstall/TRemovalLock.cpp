#include "TRemovalLock.h"

const char TRemovalLock::Name[] = "Global\\UninstallZolt.Removal";

TRemovalLock::TRemovalLock()
{
    Mutex = ::CreateMutexA(nullptr, FALSE, Name);
    if (!Mutex) {
        // It is there, made by a process whose mutex this one may not open.
        // Any other failure says nothing of another removal: go on unguarded.
        HeldElsewhere = ::GetLastError() == ERROR_ACCESS_DENIED;
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
