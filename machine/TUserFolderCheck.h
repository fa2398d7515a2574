#pragma once
#include <windows.h>
#include "TBaseFolder.h"
#include "TWidePath.h"
#include <string>

// Whether a folder another user's hive names may be visited by a run with
// the highest rights on the machine. That user writes those values: one set
// to a network share would make the run connect there as the computer, one
// set to a system folder would have it delete files of the names it looks
// for there. So a folder is visited only when it is on a disk of this
// machine, reached by a drive letter and past no link that could lead
// elsewhere, and really lies inside that user's profile folder.
class TUserFolderCheck {
public:
    // What the system says of a folder value that names a local drive.
    struct TFacts {
        UINT DriveType;      // of its drive's root, as GetDriveType says
        bool PastLink;       // a symbolic link, or a link of no kind known, on the way
        TWidePath FinalPath; // where it really is; empty when it cannot be opened
    };

    enum TVerdict {
        Visit,
        NotLocal,       // on the network, a device, or past a link: not visited
        OutsideProfile, // not inside the profile folder: not visited
    };

    // Whether `folder` is visited. `profile` is the profile folder as
    // listed, `profileFinal` where it really is.
    static TVerdict Judge(const TBaseFolder& folder, const TBaseFolder& profile, const TWidePath& profileFinal,
                          const TFacts& facts);
    // Asks the system, then judges; a network or device path is refused by
    // its text alone, before anything is opened.
    static TVerdict Check(const TBaseFolder& folder, const TBaseFolder& profile, const TWidePath& profileFinal);

    // "X:\" and more: a path on a drive letter.
    static bool IsDrivePath(const std::string& folder);
};
