#pragma once
#include "TDeleter.h"
#include "TEntryDeleter.h"
#include "TRemovalReport.h"
#include "TRemovalTargets.h"
#include <string>

// The door as a removal holds it: the two ways in which things go, files
// and folders, and registry keys and INI entries, and the report in which
// what became of everything is recorded. `ownFile` is the running program's
// path. With `found`, files and folders are only looked at: each file that
// would go is added to it instead.
struct TDoor {
    TDoor(TRemovalReport& report, const std::string& ownFile, TRemovalTargets* found)
        : Report(report), Files(report, ownFile, found), Entries(report)
    {
    }
    TDoor(const TDoor&) = delete;
    TDoor& operator=(const TDoor&) = delete;

    TRemovalReport& Report;
    TDeleter Files;
    TEntryDeleter Entries;
};
