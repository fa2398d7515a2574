#pragma once
#include "../door/TRemovalTargets.h"
#include "TFileHolders.h"
#include <vector>

// Every running process and the modules it has loaded, from a Toolhelp
// snapshot: those whose program file or a loaded module the removal would
// delete, or which lie in a chosen product's folder. It sees no open file,
// only what is loaded; the program itself is left out.
class TProcessWalk {
public:
    static std::vector<THolder> HoldersOf(const TRemovalTargets& targets);

    // The program file of a running process; empty when it cannot be asked.
    static TWidePath ProgramOf(DWORD processId);
};
