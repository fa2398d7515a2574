#pragma once
#include "../catalogue/TSystemDirs.h"

// What the removal code is told of the program's state: where "$w" and "$y"
// point, and whether every tree item was chosen (the complete removal that
// also takes the uninstall shortcut and the emptied folders).
struct TRemovalContext {
    TSystemDirs Dirs;
    bool CompleteRemoval = false;
};
