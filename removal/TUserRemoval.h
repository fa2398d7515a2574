#pragma once
#include "../door/TDoor.h"
#include "../machine/TBaseFolder.h"
#include "../machine/TRegKey.h"
#include "RemoveProductFiles.h"
#include "TItemRemoval.h"
#include "TRemovalContext.h"
#include <string>
#include <vector>

// The per-user parts of each chosen item: its shortcuts on the desktop and
// in the user's own Programs folder, the history files in the documents
// folder, the user's keys under the maker's key and the user's own file
// associations. For the current user, or for each user's profile in turn.
class TUserRemoval {
public:
    // Whose per-user parts are removed: the current user, through
    // HKEY_CURRENT_USER and its shell folders, or one user's profile.
    struct TUser {
        std::string RootName; // how the report spells the root of the user's keys
        HKEY Root;
        bool CreatesKeys;     // the current user's keys open in open-or-create mode
        TBaseFolder Desktop, Programs, Documents;
        TUserClasses Classes; // the user's own file associations
        // Folders refused for another user's profile: not visited at all.
        bool DesktopShut = false, ProgramsShut = false, DocumentsShut = false;
    };
    using TUserWork = TItemRemoval::TUserWork;

    // `userParts`: the parts of a spec that are each user's (TSpecParts).
    // With `found`, nothing of the registry is touched.
    TUserRemoval(const TRemovalContext& context, TDoor& door, int userParts, TRemovalTargets* found);
    TUserRemoval(const TUserRemoval&) = delete;
    TUserRemoval& operator=(const TUserRemoval&) = delete;

    void Remove(const TUserWork& work, const TUser& user);
    // Every user's profile in the machine's list, each with every item's
    // per-user parts, each held to its own profile folder.
    void RemoveForEveryProfile(const std::vector<TUserWork>& works);

    // How many document-type keys went.
    int AssociationsRemoved() const { return Associations; }

private:
    void RemoveHistory(const TUser& user);
    // The user's key at `path`: made if missing for the current user, as
    // always; in another user's hive only opened, never made. A link there
    // opens as the link itself. False when it is not open: missing, or
    // refused, which is reported.
    bool OpenUserKey(TRegKey& key, const TUser& user, const char* path);
    // The parts of a spec in folders of `user`'s that are visited.
    int PartsOf(const TUser& user) const;

    const TRemovalContext& Context;
    TDoor& Door;
    const int UserSpecParts;
    TRemovalTargets* Found;
    int Associations = 0;
};

extern const char SettingsKeyPath[];
extern const char MakerKeyPath[];
