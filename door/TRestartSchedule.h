#pragma once
#include "../machine/TWidePath.h"
#include <vector>

// What waits for the next restart: files and folders the system deletes at
// boot, before any program can hold them, each under the path where it
// really lies (at boot no WoW64 redirection applies) and each once.
class TRestartSchedule {
public:
    // True when `finalPath` waits for the restart, now or already.
    bool Schedule(const TWidePath& finalPath);
    bool IsScheduled(const TWidePath& path) const;
    // Whether all that is still in the folder waits for the restart too.
    bool HoldsOnlyScheduled(const TWidePath& folderFinal) const;

private:
    std::vector<TWidePath> Paths;
};
