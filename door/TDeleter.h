#pragma once
#include "../machine/TBaseFolder.h"
#include "../machine/TWidePath.h"
#include "TRemovalReport.h"
#include "TRemovalTargets.h"
#include "TRestartSchedule.h"
#include <string>
#include <vector>

// Every file and folder a removal deletes goes through here. Each file or folder
// is named under a folder it must lie in (the installation folder, the
// program group, the desktop, the system folder, ...). That folder may itself
// be a link, as a program moved to another drive and linked back is; but a
// link met below it is never followed and never deleted, whatever its kind.
// The target is opened once without following a link, checked, and deleted
// through that same handle, so nothing can be swapped in between. What
// became of each is recorded in the report; a file that a program holds goes
// at the next restart, from where it really is; the running program never
// deletes itself.
class TDeleter {
public:
    // `ownFile`: the running program's path; empty when unknown. With
    // `found`, files and folders are only looked at, never deleted or
    // scheduled: each file that would be deleted is added to it instead.
    TDeleter(TRemovalReport& report, const std::string& ownFile, TRemovalTargets* found = nullptr);

    bool IsFinding() const { return Found != nullptr; }

    // Deletes the file `path`, which must lie in `folder` (empty: the folder
    // `path` names). A file a program holds is scheduled for the restart.
    // A read-only file has its attribute cleared first only when
    // `clearReadOnly` (a file that a product's own list names); any other
    // stays and is reported. A path named before is not tried again: the
    // answer is the first one. True when it is gone now.
    bool DeleteFile(const TBaseFolder& folder, const std::string& path,
                    TRemovalReport::TTarget target = TRemovalReport::File, bool clearReadOnly = false);

    // Removes the folder `path`, which lies in `folder` or is that folder,
    // if it is empty. One that holds only what waits for the restart is
    // scheduled by Finish, after all that is in it.
    void RemoveFolder(const TBaseFolder& folder, const std::string& path);

    // Schedules the running program's own file for the restart when it lies
    // in `folder`: the one case in which the program touches itself.
    void ScheduleOwnFileIn(const TBaseFolder& folder);

    // Holds every deletion to `folderFinal`, where a folder really is, while
    // one user's folders are visited: a base folder that leads out of it is
    // refused. Empty lets go.
    void HoldTo(const TWidePath& folderFinal) { Bounds = folderFinal; }

    // Schedules the folders that only what waits for the restart keeps, each
    // after everything in it, deepest first. Called once, at the end.
    void Finish();

    // What the system reports of a target opened for deletion.
    struct TFacts {
        DWORD Attributes;
        DWORD ReparseTag;
        TWidePath FinalPath;
    };
    enum TVerdict { Proceed, RefuseLink, RefuseOutside, KeepFolderLink };
    // The verdict on a target that must lie in the folder whose final path
    // is `folderFinal`, or on that folder itself.
    static TVerdict Judge(const TWidePath& folderFinal, const TFacts& target, bool isTheFolderItself);

    // Whether a file that could not be deleted is held by a process, and so
    // goes at the restart: `opened` tells whether it was opened for deletion
    // before `error` came. Anything else, refused rights above all, is for
    // the user: the system would delete it at boot with rights they lack.
    static bool IsHeldByAProcess(bool opened, DWORD error);

private:
    struct TTried {
        TWidePath Path;
        bool Gone;
    };
    struct TWaiting {
        TBaseFolder Folder;
        std::string Path;
        TWidePath Full, FinalPath;
        size_t Item;
    };

    void TryRemoveFolder(const TBaseFolder& folder, const std::string& path, size_t item, bool mayWait);
    bool Remember(const TWidePath& path, bool gone);

    TRemovalReport& Report;
    TRemovalTargets* Found;
    bool HasOwnFile = false;
    BY_HANDLE_FILE_INFORMATION OwnIdentity = {};
    TWidePath OwnFinalPath;
    std::string OwnFile;
    std::vector<TTried> TriedFiles;
    std::vector<TWidePath> RemovedFolders;
    TRestartSchedule Restart;
    std::vector<TWaiting> Waiting;
    TWidePath Bounds;
};
