#include "TInstalledItems.h"
#include "../catalogue/Catalogue.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/KeyList.h"
#include "../catalogue/TFixedPath.h"
#include "TRegKey.h"
#include <vector>

const char UninstallKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char IniFileName[] = "VEXA.INI";
const char QuotaLibrarySection[] = "Dek Files";

namespace {
const size_t WorkBufferSize = 2048;
const DWORD UninstallStringSize = 256;
const char ProgramFileName[] = "UninstallZolt.exe";
const char SharedLibraryMarker[] = "\\bds52f.dll";
} // namespace

bool TInstalledItems::IsFamilyEntry(const char* keyName, const char* uninstallString)
{
    if (uninstallString && FindText(uninstallString, ProgramFileName) >= 0)
        return true;
    return ProductCatalogue.Find(TLinkedStrings::Key(keyName)) != nullptr;
}

TInstalledItems TInstalledItems::Discover(const TSystemDirs& dirs)
{
    TInstalledItems found;
    std::vector<char> work(WorkBufferSize);

    TRegKey uninstallKey;
    uninstallKey.Create(HKEY_LOCAL_MACHINE, UninstallKeyPath);
    for (DWORD index = 0; uninstallKey.EnumKey(index, work.data(), WorkBufferSize) == ERROR_SUCCESS; ++index) {
        TRegKey entry;
        entry.Create(uninstallKey, work.data());
        char command[UninstallStringSize];
        bool readable = entry.QueryString("UninstallString", command, sizeof command);
        if (IsFamilyEntry(work.data(), readable ? command : nullptr))
            found.Products.emplace_back(work.data());
    }

    TFixedPath marker;
    marker.Append(dirs.SystemDir).Append(SharedLibraryMarker);
    OFSTRUCT info = {};
    info.cBytes = sizeof info;
    found.SharedLibraries =
        !dirs.SystemDir.empty() && marker.IsUsable() && ::OpenFile(marker.c_str(), &info, OF_EXIST) != HFILE_ERROR;

    DWORD listed = ::GetPrivateProfileStringA(QuotaLibrarySection, nullptr, "", work.data(), WorkBufferSize,
                                              IniFileName);
    if (listed > WorkBufferSize)
        listed = WorkBufferSize;
    found.QuotaLibraries = SplitKeyList(work.data(), listed);
    return found;
}
