#include "TInstalledItems.h"
#include "../catalogue/GlobalBlock.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/TFixedPath.h"
#include "../framework/TRegKey.h"
#include <cstring>
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

std::vector<std::string> TInstalledItems::SplitKeyList(const char* list, size_t length)
{
    std::vector<std::string> names;
    size_t offset = 0;
    while (offset < length) {
        const void* end = std::memchr(list + offset, '\0', length - offset);
        size_t nameLength = end ? static_cast<const char*>(end) - (list + offset) : length - offset;
        // An INI key is never empty; an empty name is only the list's end.
        if (nameLength > 0)
            names.emplace_back(list + offset, nameLength);
        offset += nameLength + 1;
    }
    return names;
}

TInstalledItems TInstalledItems::Discover()
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
    marker.Append(SystemDir).Append(SharedLibraryMarker);
    OFSTRUCT info = {};
    info.cBytes = sizeof info;
    found.SharedLibraries =
        *SystemDir && marker.IsUsable() && ::OpenFile(marker.c_str(), &info, OF_EXIST) != HFILE_ERROR;

    DWORD listed = ::GetPrivateProfileStringA(QuotaLibrarySection, nullptr, "", work.data(), WorkBufferSize,
                                              IniFileName);
    if (listed > WorkBufferSize)
        listed = WorkBufferSize;
    found.QuotaLibraries = SplitKeyList(work.data(), listed);
    return found;
}
