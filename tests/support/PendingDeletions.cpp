#include "PendingDeletions.h"
#include "Owners.h"
#include <winternl.h>
#include <cwchar>
#include <string>

namespace {
const WCHAR SessionManager[] = L"\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Session Manager";
const WCHAR PendingValue[] = L"PendingFileRenameOperations";

// The real key, by its native name: a test's RegOverridePredefKey cannot
// turn that aside.
HKEY OpenSessionManager()
{
    using TNtOpenKey = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*);
    auto open = reinterpret_cast<TNtOpenKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtOpenKey")));
    UNICODE_STRING name;
    name.Buffer = const_cast<WCHAR*>(SessionManager);
    name.Length = static_cast<USHORT>(wcslen(SessionManager) * sizeof(WCHAR));
    name.MaximumLength = name.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    HANDLE key = nullptr;
    if (!open || open(&key, KEY_ALL_ACCESS, &attributes) != 0)
        return nullptr;
    return static_cast<HKEY>(key);
}

std::vector<BYTE> ReadPending(HKEY manager, bool& existed)
{
    DWORD size = 0;
    existed = RegQueryValueExW(manager, PendingValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    std::vector<BYTE> data(size);
    if (existed && size > 0)
        RegQueryValueExW(manager, PendingValue, nullptr, nullptr, data.data(), &size);
    return data;
}
} // namespace

std::vector<std::string> PendingDeletions()
{
    std::vector<std::string> deletions;
    TKey manager(OpenSessionManager());
    bool existed = false;
    std::vector<BYTE> data = ReadPending(manager, existed);
    std::vector<WCHAR> list(data.size() / sizeof(WCHAR) + 2, 0);
    memcpy(list.data(), data.data(), data.size());
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
    }
    return deletions;
}

bool RestartWine()
{
    // Windows carries out pending deletions at boot, where no WoW64 redirection
    // applies: the 64-bit wineboot, also when this is a 32-bit test (whose
    // system32 would be SysWOW64, and its wineboot a 32-bit one that redirects).
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::string command = std::string(windows) + (wow64 ? "\\sysnative" : "\\system32") + "\\wineboot.exe --restart";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    THandle process(started.hProcess);
    CloseHandle(started.hThread);
    DWORD code = 1;
    return WaitForSingleObject(process, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code) && code == 0;
}

TPendingDeletionsGuard::TPendingDeletionsGuard()
{
    TKey manager(OpenSessionManager());
    Saved = ReadPending(manager, Existed);
}

TPendingDeletionsGuard::~TPendingDeletionsGuard()
{
    TKey manager(OpenSessionManager());
    if (Existed)
        RegSetValueExW(manager, PendingValue, 0, REG_MULTI_SZ, Saved.data(), static_cast<DWORD>(Saved.size()));
    else
        RegDeleteValueW(manager, PendingValue);
}
