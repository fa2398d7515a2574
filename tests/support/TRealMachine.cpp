#include "TRealMachine.h"
#include "Owners.h"
#include "ScratchCleanup.h"
#include <cstdio>
#include <cwchar>

namespace {
const char SessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const WCHAR SessionManagerW[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char PendingValue[] = "PendingFileRenameOperations";
const WCHAR PendingValueW[] = L"PendingFileRenameOperations";
} // namespace

void TRealMachine::SetUp()
{
    TMachine::SetUp();
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, sizeof buffer);
    WindowsFolder = buffer;
    GetSystemDirectoryA(buffer, sizeof buffer);
    SystemFolder = buffer;

    char name[64];
    std::snprintf(name, sizeof name, "C:\\uz-e2e-%lu", GetCurrentProcessId());
    LayOut(name, {"Programs", "Desktop", "Documents"});

    // A clean slate: what an earlier, interrupted run may have left.
    SetSharedLibraryPresent(false);
    DWORD size = 0;
    HadPending = RegGetValueA(HKEY_LOCAL_MACHINE, SessionManager, PendingValue, RRF_RT_ANY, nullptr, nullptr,
                              &size) == ERROR_SUCCESS;
    SavedPending.assign(size, 0);
    if (HadPending && size > 0)
        RegGetValueA(HKEY_LOCAL_MACHINE, SessionManager, PendingValue, RRF_RT_ANY, nullptr, SavedPending.data(),
                     &size);
    SeedShellFolders(ProgramsFolder());
}

void TRealMachine::TearDown()
{
    for (auto it = MadeKeys.rbegin(); it != MadeKeys.rend(); ++it)
        DeleteRegistryTree(it->first, it->second.c_str());
    MadeKeys.clear();
    for (auto it = SavedValues.rbegin(); it != SavedValues.rend(); ++it) {
        TKey key;
        if (RegCreateKeyExA(it->Root, it->Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                            nullptr) != ERROR_SUCCESS)
            continue;
        if (it->Existed)
            RegSetValueExA(key, it->Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(it->Value.c_str()),
                           static_cast<DWORD>(it->Value.size() + 1));
        else
            RegDeleteValueA(key, it->Name.c_str());
    }
    SavedValues.clear();
    TKey manager;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManager, 0, KEY_ALL_ACCESS, manager.Receive()) == ERROR_SUCCESS) {
        if (HadPending)
            RegSetValueExA(manager, PendingValue, 0, REG_MULTI_SZ, SavedPending.data(),
                           static_cast<DWORD>(SavedPending.size()));
        else
            RegDeleteValueA(manager, PendingValue);
    }
    TMachine::TearDown();
}

std::vector<std::string> TRealMachine::PendingDeletions()
{
    std::vector<std::string> deletions;
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SessionManagerW, PendingValueW, RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return deletions;
    std::vector<WCHAR> list(size / sizeof(WCHAR) + 2, 0);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SessionManagerW, PendingValueW, RRF_RT_REG_MULTI_SZ, nullptr, list.data(),
                     &size) != ERROR_SUCCESS)
        return deletions;
    // Pairs of source and target; an empty target means delete.
    for (const WCHAR* at = list.data(); *at;) {
        const WCHAR* source = at;
        at += lstrlenW(at) + 1;
        const WCHAR* target = at;
        at += lstrlenW(at) + 1;
        if (*target)
            continue;
        if (wcsncmp(source, L"\\??\\", 4) == 0)
            source += 4;
        char narrow[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, source, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
        deletions.push_back(narrow);
        if (!*at)
            break;
    }
    return deletions;
}

bool TRealMachine::Restart()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    char command[] = "wineboot.exe --restart";
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    THandle process(started.hProcess);
    CloseHandle(started.hThread);
    DWORD code = 1;
    return WaitForSingleObject(process, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code) && code == 0;
}

void TRealMachine::KeyMade(HKEY root, const std::string& path) const
{
    MadeKeys.emplace_back(root, path);
}

void TRealMachine::KeepValue(HKEY root, const std::string& path, const char* name) const
{
    TSavedValue saved{root, path, name, "", false};
    saved.Value = ReadString(root, path, name, &saved.Existed);
    SavedValues.push_back(saved);
}

void TRealMachine::SetSharedLibraryPresent(bool present)
{
    for (const char* name : SharedLibraryFiles) {
        if (present)
            MakeOutsideFile(InSystem(name));
        else
            DeleteFileA(InSystem(name).c_str());
    }
}
