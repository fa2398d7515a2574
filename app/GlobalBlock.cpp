#include "GlobalBlock.h"
#include "../framework/TModule.h"

char WindowsDir[PathBufferSize];
char SystemDir[PathBufferSize];
unsigned char CompleteRemovalFlag;

TSystemDirs ReadSystemDirs()
{
    ::GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
    ::GetSystemDirectoryA(SystemDir, sizeof SystemDir);
    return TSystemDirs{WindowsDir, SystemDir};
}

TRemovalContext RemovalContext()
{
    TRemovalContext context;
    context.Dirs = TSystemDirs{WindowsDir, SystemDir};
    context.CompleteRemoval = CompleteRemovalFlag == 1;
    context.OwnFile = TModule::Program().GetFileName();
    return context;
}
