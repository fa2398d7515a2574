#include "TInstalledItems.h"
#include "../catalogue/Catalogue.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/KeyList.h"
#include "../catalogue/TFixedPath.h"
#include "../machine/TRegKey.h"
#include <algorithm>
#include <vector>

const char UninstallKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char IniFileName[] = "VEXA.INI";
const char QuotaLibrarySection[] = "Dek Files";

namespace {
const size_t WorkBufferSize = 2048;
// No sane VEXA.INI comes near it; a list that still does not fit loses its
// last name, the one that may be cut.
const DWORD MaxKeyListSize = 16 * 1024 * 1024;
const DWORD UninstallStringSize = 256;
const char ProgramFileName[] = "UninstallZolt.exe";
const char SharedLibraryMarker[] = "\\bds52f.dll";

// The keys of "Dek Files", every one whole: the buffer grows until the list
// fits. A list that did not fit comes back cut, its length the buffer's less
// two (less one where Wine's conversion to GBK ran out of room).
std::vector<std::string> ReadQuotaLibraries()
{
    for (DWORD size = WorkBufferSize;; size *= 2) {
        std::vector<char> list(size, '\0');
        DWORD listed = ::GetPrivateProfileStringA(QuotaLibrarySection, nullptr, "", list.data(), size, IniFileName);
        bool fits = listed + 2 < size;
        if (fits || size >= MaxKeyListSize) {
            std::vector<std::string> names = SplitKeyList(list.data(), std::min<DWORD>(listed, size));
            if (!fits && !names.empty())
                names.pop_back();
            return names;
        }
    }
}
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

    TRegKey uninstallKey;
    uninstallKey.Create(HKEY_LOCAL_MACHINE, UninstallKeyPath);
    std::string name;
    for (DWORD index = 0; uninstallKey.EnumKeyName(index, name) == ERROR_SUCCESS; ++index) {
        // A name the code page cannot hold is no family product's, and
        // opened by its converted form it would be another key, or a new one.
        if (name.empty())
            continue;
        TRegKey entry;
        entry.Open(uninstallKey, name.c_str(), KEY_QUERY_VALUE);
        char command[UninstallStringSize];
        bool readable = entry.QueryString("UninstallString", command, sizeof command);
        if (IsFamilyEntry(name.c_str(), readable ? command : nullptr))
            found.Products.push_back(name);
    }

    TFixedPath marker;
    marker.Append(dirs.SystemDir).Append(SharedLibraryMarker);
    OFSTRUCT info = {};
    info.cBytes = sizeof info;
    found.SharedLibraries =
        !dirs.SystemDir.empty() && marker.IsUsable() && ::OpenFile(marker.c_str(), &info, OF_EXIST) != HFILE_ERROR;

    found.QuotaLibraries = ReadQuotaLibraries();
    return found;
}
