#include "TGlobalBlock.h"
#include "../framework/TModule.h"

TGlobalBlock GlobalBlock;

TSystemDirs TGlobalBlock::ReadSystemDirs()
{
    ::GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
    ::GetSystemDirectoryA(SystemDir, sizeof SystemDir);
    return TSystemDirs{WindowsDir, SystemDir};
}

TRemovalContext TGlobalBlock::RemovalContext() const
{
    TRemovalContext context;
    context.Dirs = TSystemDirs{WindowsDir, SystemDir};
    // The names as Windows holds them, for a Windows folder outside the code page.
    wchar_t held[MAX_PATH];
    UINT length = ::GetWindowsDirectoryW(held, MAX_PATH);
    if (length > 0 && length < MAX_PATH && *WindowsDir)
        context.WindowsDirHeld = TWidePath(held, length);
    length = ::GetSystemDirectoryW(held, MAX_PATH);
    if (length > 0 && length < MAX_PATH && *SystemDir)
        context.SystemDirHeld = TWidePath(held, length);
    context.CompleteRemoval = CompleteRemovalFlag == 1;
    context.OwnFile = TModule::Program().GetFileName();
    return context;
}
