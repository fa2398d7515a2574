#include "TRealMachine.h"
#include "../support/ScratchCleanup.h"
#include <cstdio>

const char TRealMachine::UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace {
const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const SharedLibraries[] = {"bds52f.dll", "cw3230.dll", "owl52f.dll", "GridPort.dll", "PageViewDlg.dll"};

std::string ReadValue(HKEY root, const std::string& path, const char* name, bool& existed)
{
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    existed = RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, &type, buffer, &size) == ERROR_SUCCESS;
    return existed ? buffer : "";
}

void FlushIniCache()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "VEXA.INI");
}
} // namespace

void TRealMachine::SetUp()
{
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, sizeof buffer);
    WindowsFolder = buffer;
    GetSystemDirectoryA(buffer, sizeof buffer);
    SystemFolder = buffer;

    char name[64];
    std::snprintf(name, sizeof name, "C:\\uz-e2e-%lu", GetCurrentProcessId());
    Root = name;
    DeleteFolderTree(Root);
    for (const char* folder : {"", "Programs", "Desktop", "Documents"})
        MakeFolder(folder);

    // A clean slate: what an earlier, interrupted run may have left.
    DeleteFileA((WindowsFolder + "\\VEXA.INI").c_str());
    FlushIniCache();
    SetSharedLibraryPresent(false);

    SaveAndSet(HKEY_CURRENT_USER, ShellFolders, "DeskTop", DesktopFolder());
    SaveAndSet(HKEY_CURRENT_USER, ShellFolders, "Programs", ProgramsFolder());
    SaveAndSet(HKEY_CURRENT_USER, ShellFolders, "Personal", DocumentsFolder());
    SaveAndSet(HKEY_LOCAL_MACHINE, ShellFolders, "Common Programs", ProgramsFolder());
}

void TRealMachine::TearDown()
{
    for (auto it = MadeKeys.rbegin(); it != MadeKeys.rend(); ++it)
        DeleteRegistryTree(it->first, it->second.c_str());
    MadeKeys.clear();
    for (auto it = SavedValues.rbegin(); it != SavedValues.rend(); ++it) {
        HKEY key;
        if (RegCreateKeyExA(it->Root, it->Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            continue;
        if (it->Existed)
            RegSetValueExA(key, it->Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(it->Value.c_str()),
                           static_cast<DWORD>(it->Value.size() + 1));
        else
            RegDeleteValueA(key, it->Name.c_str());
        RegCloseKey(key);
    }
    SavedValues.clear();
    for (const std::string& file : MadeSystemFiles)
        DeleteFileA(file.c_str());
    MadeSystemFiles.clear();
    DeleteFileA((WindowsFolder + "\\VEXA.INI").c_str());
    FlushIniCache();
    DeleteFolderTree(Root);
}

void TRealMachine::SaveAndSet(HKEY root, const std::string& path, const char* name, const std::string& value)
{
    TSavedValue saved{root, path, name, "", false};
    saved.Value = ReadValue(root, path, name, saved.Existed);
    SavedValues.push_back(saved);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void TRealMachine::AddUninstallEntry(const std::string& name, const std::map<std::string, std::string>& values)
{
    std::string path = std::string(UninstallKey) + "\\" + name;
    MakeKey(HKEY_LOCAL_MACHINE, path);
    for (const auto& value : values)
        SetString(HKEY_LOCAL_MACHINE, path, value.first.c_str(), value.second);
}

bool TRealMachine::UninstallEntryExists(const std::string& name) const
{
    return KeyExists(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\" + name);
}

void TRealMachine::WriteQuotaLibraries(const std::vector<std::pair<std::string, std::string>>& keys)
{
    std::string text = "[Dek Files]\r\n";
    for (const auto& key : keys)
        text += key.first + "=" + key.second + "\r\n";
    HANDLE file = CreateFileA((WindowsFolder + "\\VEXA.INI").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    FlushIniCache();
}

void TRealMachine::SetSharedLibraryPresent(bool present)
{
    for (const char* name : SharedLibraries) {
        std::string path = SystemFolder + "\\" + name;
        if (present) {
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
            MadeSystemFiles.push_back(path);
        } else {
            DeleteFileA(path.c_str());
        }
    }
}

std::string TRealMachine::Path(const std::string& relative) const
{
    return relative.empty() ? Root : Root + "\\" + relative;
}

void TRealMachine::MakeFolder(const std::string& relative) const
{
    std::string path = Path(relative);
    for (size_t at = 3; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '\\')
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
}

void TRealMachine::MakeFile(const std::string& relative) const
{
    size_t slash = relative.rfind('\\');
    if (slash != std::string::npos)
        MakeFolder(relative.substr(0, slash));
    HANDLE file = CreateFileA(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << relative;
    DWORD written;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
}

bool TRealMachine::Exists(const std::string& relative) const
{
    return ExistsAbsolute(Path(relative));
}

bool TRealMachine::ExistsAbsolute(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TRealMachine::MakeKey(HKEY root, const std::string& path)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    RegCloseKey(key);
    MadeKeys.emplace_back(root, path);
}

void TRealMachine::SetString(HKEY root, const std::string& path, const char* name, const std::string& value)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

bool TRealMachine::KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
