#pragma once
// Names the tests share. What the program names itself comes from its own
// headers: the tree's texts (Catalogue.h), the uninstall key and VEXA.INI
// (TInstalledItems.h), the completion box, the shell folders and the maker's
// keys (TRemovalPass.h). What only its resources spell is here.
#include "../../catalogue/Catalogue.h"
#include "../../installed/TInstalledItems.h"
#include "../../removal/TRemovalPass.h"
#include <string>

inline constexpr char MainWindowTitle[] = "弈辰软件卸载程序";
inline constexpr char ConfirmTitle[] = "弈辰卸载确认";
inline constexpr char HoldersTitle[] = "弈辰卸载：程序正在运行";

// The shared runtime DLLs in the system directory; the first marks them installed.
inline constexpr const char* SharedLibraryFiles[] = {"bds52f.dll", "cw3230.dll", "owl52f.dll", "GridPort.dll",
                                                     "PageViewDlg.dll"};

inline std::string SubKey(const std::string& path, const std::string& name)
{
    return path + "\\" + name;
}

inline std::string UninstallEntry(const std::string& name)
{
    return SubKey(UninstallKeyPath, name);
}
