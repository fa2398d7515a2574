#pragma once
#include <windows.h>
#include <string>

// One removal at a time on the machine: a named mutex in the global
// namespace, so that it also holds between a user's window and a deployment
// tool's run in the system's session. Construction tries to take it without
// waiting; the destructor lets it go. A holder that ended without letting
// go (killed, crashed) leaves it free to take.
// Any user may make an object of that name first. Only a mutex owned by the
// Administrators group, LocalSystem or this program's own account counts as
// a lock: anything else would let a standard user stop every removal of the
// machine, and it is passed over, said, and the removal goes on unguarded.
class TRemovalLock {
public:
    TRemovalLock();
    ~TRemovalLock();
    TRemovalLock(const TRemovalLock&) = delete;
    TRemovalLock& operator=(const TRemovalLock&) = delete;

    // Another removal holds it: this one must remove nothing.
    bool IsHeldElsewhere() const { return HeldElsewhere; }
    // Why the name is no lock of ours, for the log; empty when it is one.
    const std::string& GetRefusal() const { return Refusal; }

    static const char Name[];

private:
    HANDLE Mutex = nullptr;
    bool Owned = false;
    bool HeldElsewhere = false;
    std::string Refusal;
};
