#pragma once
#include <windows.h>
#include <restartmanager.h>
#include "../machine/TWidePath.h"
#include "TFileHolders.h"
#include <vector>

// The system's Restart Manager (rstrtmgr.dll, Vista and later), loaded from
// the system folder when asked, so that the program starts where it is
// missing: which processes hold files, open or loaded, with each
// application's name and whether it is a service. Where it is missing, or
// answers nothing (a stub), it finds nobody.
class TRestartManager {
public:
    // The processes that hold any of `files`, each with the files it holds
    // and its program file; not the program itself.
    static std::vector<THolder> HoldersOf(const std::vector<TWidePath>& files);

    // What RmGetList reports, as holders (names and kinds, no files); the
    // process `self` left out, a process named twice (a service host
    // running two services) listed once.
    static std::vector<THolder> FromList(const RM_PROCESS_INFO* apps, UINT count, DWORD self);
};
