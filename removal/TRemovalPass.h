#pragma once
#include "../door/TDoor.h"
#include "../machine/TBaseFolder.h"
#include "../machine/TRegKey.h"
#include "TItemRemoval.h"
#include "TRemovalContext.h"
#include "TUserRemoval.h"
#include <string>
#include <vector>

// The removal of what the user chose. Construction opens the keys the pass
// holds and reads the shell folders; the keys close in the reverse order.
// Each item has its machine-wide parts (TItemRemoval: files, the machine's
// keys, INI entries, the common program group) and its per-user parts
// (TUserRemoval: the desktop, the user's own Programs folder, the documents
// folder, the user's keys): the current user's, right after the machine's,
// or, when the context asks for every profile, each profile's once the
// machine's are all done. Everything goes through the door, which records
// what became of it. The catalogues must be filled. No window code here.
class TRemovalPass {
public:
    // With `found`, RemoveAll removes nothing: it walks the choice as it
    // would remove it and adds to `found` what it would delete (the files,
    // and the products' installation folders), leaving the registry, the
    // INI file and every file and folder as they are.
    explicit TRemovalPass(const TRemovalContext& context, TRemovalTargets* found = nullptr);
    TRemovalPass(const TRemovalPass&) = delete;
    TRemovalPass& operator=(const TRemovalPass&) = delete;

    // Classifies and removes each text, in order.
    void RemoveAll(const std::vector<std::string>& chosen);
    // What RemoveAll would delete, found by the same walk.
    static TRemovalTargets FindTargets(const TRemovalContext& context, const std::vector<std::string>& chosen);
    // Each line of the report also goes to `log` as it happens.
    void LogTo(TRemovalReport::TLineSink& log) { Report.TellLinesTo(&log); }

    const TRemovalReport& GetReport() const { return Report; }

private:
    TRemovalContext Context;
    TRemovalReport Report;
    TDoor Door;
    TRegKey UserShellFolders;
    TRegKey MachineShellFolders;
    TRegKey SettingsKey;
    // The machine's "Common Programs"; empty when it cannot be read, and
    // then each user's own Programs folder serves.
    TBaseFolder CommonPrograms;
    // The parts of a spec that are a user's: the desktop, and the group
    // when the machine has no common Programs folder.
    int UserParts;
    TUserRemoval::TUser CurrentUser;
    TItemRemoval Items;
    TUserRemoval Users;
};

extern const char CompletionMessage[];
extern const char CompletionCaption[];
extern const char ShellFoldersPath[];
