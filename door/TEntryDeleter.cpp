#include "TEntryDeleter.h"

namespace {
using TReport = TRemovalReport;

// Deleting a key by its name would open it again, following a link there;
// so every key goes through the handle it was opened and checked with.
// NtDeleteKey has no advapi32 wrapper that takes a handle alone.
LONG DeleteByHandle(HKEY key)
{
    using TNtDeleteKey = LONG(NTAPI*)(HANDLE);
    using TToDosError = ULONG(NTAPI*)(LONG);
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    auto deleteKey = reinterpret_cast<TNtDeleteKey>(
        reinterpret_cast<void*>(ntdll ? ::GetProcAddress(ntdll, "NtDeleteKey") : nullptr));
    auto toDosError = reinterpret_cast<TToDosError>(
        reinterpret_cast<void*>(ntdll ? ::GetProcAddress(ntdll, "RtlNtStatusToDosError") : nullptr));
    if (!deleteKey || !toDosError)
        return ERROR_PROC_NOT_FOUND;
    return static_cast<LONG>(toDosError(deleteKey(key)));
}

// Names below our own keys may be anybody's, in any script: taken whole
// in UTF-16, not as the program's code page would spell them.
LONG DeleteOpenedTree(HKEY parent, const TWidePath& subKey, bool* wasLink)
{
    TRegKey key;
    LONG result = key.Open(parent, subKey, KEY_ALL_ACCESS, REG_OPTION_OPEN_LINK);
    if (result != ERROR_SUCCESS)
        return result;
    bool link = key.IsLink();
    if (wasLink)
        *wasLink = link;
    // Children first; a child that will not go is stepped over, not retried.
    TWidePath name;
    DWORD index = 0;
    while (!link && key.EnumKey(index, name) == ERROR_SUCCESS) {
        if (DeleteOpenedTree(key, name, nullptr) != ERROR_SUCCESS)
            ++index;
    }
    return DeleteByHandle(key);
}

// A profile file named without a folder is the Windows directory's.
bool IniFileExists(const char* file)
{
    std::string path = file;
    if (path.find('\\') == std::string::npos) {
        char windows[MAX_PATH] = {};
        UINT length = ::GetWindowsDirectoryA(windows, sizeof windows);
        if (length == 0 || length >= sizeof windows)
            return true;
        path = std::string(windows) + "\\" + path;
    }
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

LONG TEntryDeleter::DeleteTree(TRegKey& parent, const TWidePath& subKey, bool* wasLink)
{
    if (wasLink)
        *wasLink = false;
    if (!parent)
        return ERROR_INVALID_HANDLE;
    if (!TRegKey::IsSubKeyName(subKey))
        return ERROR_INVALID_PARAMETER;
    return DeleteOpenedTree(parent, subKey, wasLink);
}

LONG TEntryDeleter::DeleteKey(TRegKey& parent, const std::string& parentName, const char* subKey)
{
    const std::string given = subKey ? subKey : "";
    TWidePath name = TRegKey::IsSubKeyName(given.c_str()) ? TWidePath::FromAnsi(given) : TWidePath();
    if (name.empty()) {
        Report.StepOver(TReport::Key, parentName + "\\" + given, TReport::NotAKeyName);
        return ERROR_INVALID_PARAMETER;
    }
    return DeleteKey(parent, parentName, name);
}

LONG TEntryDeleter::DeleteKey(TRegKey& parent, const std::string& parentName, const TWidePath& subKey)
{
    bool link = false;
    LONG result = DeleteTree(parent, subKey, &link);
    TReport::TOutcome outcome = result == ERROR_SUCCESS        ? TReport::Deleted
                                : result == ERROR_FILE_NOT_FOUND ? TReport::NotFound
                                                                 : TReport::Failed;
    Report.Add(TReport::Key, outcome, parentName + "\\" + subKey.ToAnsiLossy(), static_cast<unsigned long>(result),
               !link ? TReport::NoReason : result == ERROR_SUCCESS ? TReport::RemovedAsLink : TReport::Link);
    return result;
}

LONG TEntryDeleter::DeleteLink(TRegKey& link, const std::string& name)
{
    LONG result = link ? DeleteByHandle(link) : static_cast<LONG>(ERROR_INVALID_HANDLE);
    link.Close();
    bool gone = result == ERROR_SUCCESS;
    Report.Add(TReport::Key, gone ? TReport::Deleted : TReport::Failed, name, static_cast<unsigned long>(result),
               gone ? TReport::RemovedAsLink : TReport::Link);
    return result;
}

void TEntryDeleter::DeleteIniEntry(const char* section, const std::string& key, const char* file,
                                   const std::string& name)
{
    // A key that is there gives its value whatever the default; an absent
    // one, or a file that cannot be read, gives the default.
    char first[8] = {}, second[8] = {};
    ::GetPrivateProfileStringA(section, key.c_str(), "\x01", first, sizeof first, file);
    ::GetPrivateProfileStringA(section, key.c_str(), "\x02", second, sizeof second, file);
    bool absent = first[0] == '\x01' && second[0] == '\x02';
    // Removing an absent key succeeds too, and changes nothing; tried all
    // the same, as a file held by another program reads as one without the
    // key. Only where there is no file, nothing is written, so none is made.
    if (absent && !IniFileExists(file)) {
        Report.Add(TReport::IniEntry, TReport::NotFound, name);
        return;
    }
    if (!::WritePrivateProfileStringA(section, key.c_str(), nullptr, file))
        Report.Add(TReport::IniEntry, TReport::Failed, name, ::GetLastError());
    else
        Report.Add(TReport::IniEntry, absent ? TReport::NotFound : TReport::Deleted, name);
}
