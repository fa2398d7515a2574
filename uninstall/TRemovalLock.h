#pragma once
#include <windows.h>

// One removal at a time on the machine: a named mutex in the global
// namespace, so that it also holds between a user's window and a deployment
// tool's run in the system's session. Construction tries to take it without
// waiting; the destructor lets it go. A holder that ended without letting
// go (killed, crashed) leaves it free to take.
class TRemovalLock {
public:
    TRemovalLock();
    ~TRemovalLock();
    TRemovalLock(const TRemovalLock&) = delete;
    TRemovalLock& operator=(const TRemovalLock&) = delete;

    // Another process holds it: this one must remove nothing.
    bool IsHeldElsewhere() const { return HeldElsewhere; }

    static const char Name[];

private:
    HANDLE Mutex = nullptr;
    bool Owned = false;
    bool HeldElsewhere = false;
};
