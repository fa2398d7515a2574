#pragma once
#include "../catalogue/TSystemDirs.h"
#include "../machine/TBaseFolder.h"

#include <string>

// What the removal code is told of the program's state: where "$w" and "$y"
// point, whether every tree item was chosen (the complete removal that also
// takes the uninstall shortcut and the emptied folders), and the running
// program's own file, which it must not delete under itself.
struct TRemovalContext {
    TSystemDirs Dirs;
    // The same folders as Windows holds their names; empty when only the
    // spelling above is known.
    TWidePath WindowsDirHeld, SystemDirHeld;
    bool CompleteRemoval = false;
    // The per-user parts go for every user's profile, not for the account the
    // program runs as: /allusers, or running as LocalSystem.
    bool EveryProfile = false;
    std::string OwnFile;

    TBaseFolder WindowsFolder() const
    {
        return WindowsDirHeld.empty() ? TBaseFolder(Dirs.WindowsDir) : TBaseFolder(WindowsDirHeld);
    }
    TBaseFolder SystemFolder() const
    {
        return SystemDirHeld.empty() ? TBaseFolder(Dirs.SystemDir) : TBaseFolder(SystemDirHeld);
    }
};
