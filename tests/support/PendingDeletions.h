#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The files and folders the system deletes at the next restart, as
// MoveFileEx scheduled them, in order. Read from the real registry even
// while a test redirects HKEY_LOCAL_MACHINE.
std::vector<std::string> PendingDeletions();

// What Windows does at a restart to pending deletions: Wine's 64-bit
// wineboot carries them out. True when it ran.
bool RestartWine();

// Puts the list of pending deletions back as it was when the guard was
// made, so that what a test scheduled is not carried out later.
class TPendingDeletionsGuard {
public:
    TPendingDeletionsGuard();
    ~TPendingDeletionsGuard();
    TPendingDeletionsGuard(const TPendingDeletionsGuard&) = delete;
    TPendingDeletionsGuard& operator=(const TPendingDeletionsGuard&) = delete;

private:
    bool Existed = false;
    std::vector<BYTE> Saved;
};
