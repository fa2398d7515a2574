#pragma once
#include "../catalogue/TFixedPath.h"
#include "../removal/TRemovalContext.h"

// The program's global block. Only the window side and the unattended road
// read or write it; the removal code is handed what it needs as arguments.

// The Windows and system directories, without a trailing backslash.
extern char WindowsDir[PathBufferSize];
extern char SystemDir[PathBufferSize];

// 1 when every tree item was chosen at the last run of the uninstall command.
extern unsigned char CompleteRemovalFlag;

// Reads the Windows and system directories into the block; returns them.
TSystemDirs ReadSystemDirs();
// What the removal code is handed of the block, with the program's own file.
TRemovalContext RemovalContext();
