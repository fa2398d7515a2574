#pragma once
#include "TRegKey.h"
#include "TRemovalReport.h"
#include <string>
#include <vector>

// Every deletion of the removal pass goes through here, so that each one is
// recorded in the report, a file in use goes at the next restart instead of
// staying for good, and the running program never deletes itself.
class TDeleter {
public:
    // `ownFile`: the running program's path; empty when unknown.
    TDeleter(TRemovalReport& report, std::string ownFile);

    // Deletes a file. One that is in use or refused is scheduled for the
    // next restart. A read-only file has its attribute cleared first only
    // when `clearReadOnly` (a file that a product's own list names); any
    // other read-only file stays and is reported. True when it is gone now.
    bool DeleteFile(const std::string& path, TRemovalReport::TTarget target = TRemovalReport::File,
                    bool clearReadOnly = false);

    // Removes a folder if it is empty. A folder kept only by what is
    // scheduled for the restart is scheduled too, after what it holds.
    void RemoveFolder(const std::string& path);

    // Deletes `subKey` of `parent` with all below it; `parentName` spells
    // the parent out for the report. A refused name is not attempted.
    LONG DeleteKey(TRegKey& parent, const std::string& parentName, const char* subKey);

    // Removes `key` from `section` of the INI file `file`; `name` is how
    // the report shows it.
    void DeleteIniEntry(const char* section, const std::string& key, const char* file, const std::string& name);

    // Schedules the running program's own file for the restart when it lies
    // in `folder`: the one case in which the program touches itself.
    void ScheduleOwnFileIn(const std::string& folder);

private:
    bool Schedule(const std::string& path);
    bool HoldsScheduled(const std::string& folder) const;

    TRemovalReport& Report;
    std::string OwnFile;
    std::vector<std::string> ScheduledPaths;
};
