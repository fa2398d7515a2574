#pragma once
#include "../catalogue/TSystemDirs.h"
#include "../removal/TRemovalContext.h"

// What the form reads and writes of the program's own state, which the
// application keeps and hands down to it, as the engine is handed its
// context: the Windows and system directories, read and kept at the form's
// set-up; the complete-removal flag the uninstall command sets; and the
// context a removal is made in.
class TProgramState {
public:
    virtual TSystemDirs ReadSystemDirs() = 0;
    virtual void SetCompleteRemoval(bool complete) = 0;
    virtual TRemovalContext RemovalContext() const = 0;

protected:
    ~TProgramState() = default;
};
