#pragma once
#include "../catalogue/TFixedPath.h"
#include "../ui/TProgramState.h"

// The program's global block, one per process. The application and the
// unattended road use it; the form is handed it as its TProgramState; the
// removal code is handed what it needs as arguments.
class TGlobalBlock : public TProgramState {
public:
    // Reads the Windows and system directories into the block; returns them.
    TSystemDirs ReadSystemDirs() override;
    void SetCompleteRemoval(bool complete) override { CompleteRemovalFlag = complete ? 1 : 0; }
    // What the removal code is handed of the block, with the program's own file.
    TRemovalContext RemovalContext() const override;

    // The Windows and system directories, without a trailing backslash.
    char WindowsDir[PathBufferSize] = {};
    char SystemDir[PathBufferSize] = {};
    // 1 when every tree item was chosen at the last run of the uninstall command.
    unsigned char CompleteRemovalFlag = 0;
};

extern TGlobalBlock GlobalBlock;
