#include "TRealMachine.h"
#include "Owners.h"
#include "ScratchCleanup.h"
#include <cstdio>

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
    Pending = std::make_unique<TPendingDeletionsGuard>();
    SeedShellFolders(ProgramsFolder());
}

void TRealMachine::TearDown()
{
    for (auto it = MadeKeys.rbegin(); it != MadeKeys.rend(); ++it)
        DeleteRegistryTree(it->first, it->second.c_str());
    MadeKeys.clear();
    for (const auto& made : MadeWideKeys)
        RegDeleteKeyW(made.first, made.second.c_str());
    MadeWideKeys.clear();
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
    Pending.reset();
    TMachine::TearDown();
}

void TRealMachine::KeyMade(HKEY root, const std::string& path) const
{
    MadeKeys.emplace_back(root, path);
}

void TRealMachine::WideKeyMade(HKEY root, const std::wstring& path) const
{
    MadeWideKeys.emplace_back(root, path);
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
