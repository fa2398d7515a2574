#pragma once
#include "../machine/TRegKey.h"
#include "../machine/TWidePath.h"
#include "TRemovalReport.h"
#include <string>

// Every registry key and INI entry a removal deletes goes through here, and
// what became of it is recorded. A key goes with all below it, each key
// opened once as itself and deleted through that handle: a registry link
// (which any user can make in their own hive) is deleted as the link, never
// followed and never descended into, so what it leads to stays.
class TEntryDeleter {
public:
    explicit TEntryDeleter(TRemovalReport& report) : Report(report) {}

    // Deletes `subKey` of `parent` with all below it; `parentName` spells
    // the parent out for the report. A name that is no key's is refused.
    LONG DeleteKey(TRegKey& parent, const std::string& parentName, const char* subKey);
    // The same for a name as Windows holds it.
    LONG DeleteKey(TRegKey& parent, const std::string& parentName, const TWidePath& subKey);
    // Deletes `link`, a key opened as the link it is, and closes it; `name`
    // spells it out for the report.
    LONG DeleteLink(TRegKey& link, const std::string& name);

    // Removes `key` from `section` of the INI file `file`; `name` is how
    // the report shows it. One that was not there is not found.
    void DeleteIniEntry(const char* section, const std::string& key, const char* file, const std::string& name);

    // Deletes `subKey` of `parent` with everything below it, unrecorded.
    // Refuses a name that would mean `parent` itself. `wasLink` tells
    // whether `subKey` was a link.
    static LONG DeleteTree(TRegKey& parent, const TWidePath& subKey, bool* wasLink = nullptr);

private:
    TRemovalReport& Report;
};
