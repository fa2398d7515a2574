#include "TScratchMachine.h"
#include "ScratchCleanup.h"
#include "../../catalogue/Catalogue.h"
#include <cstdio>
#include <vector>

namespace {
const HKEY Redirected[3] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT};
const char* const RedirectedNames[3] = {"HKLM", "HKCU", "HKCR"};
} // namespace

std::string TScratchMachine::IniPath()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\VEXA.INI";
}

void TScratchMachine::SetUp()
{
    char name[64];
    std::snprintf(name, sizeof name, "UzScratch-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    ScratchName = name;

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    Root = std::string(temp) + ScratchName;
    CreateDirectoryA(Root.c_str(), nullptr);
    for (const char* folder : {"Windows", "Windows\\System32", "Programs", "UserPrograms", "Desktop", "Documents"})
        MakeFolder(folder);

    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, ("Software\\" + ScratchName).c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &Scratch, nullptr));
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(Scratch, RedirectedNames[i], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 &Overrides[i], nullptr));
    }
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(Redirected[i], Overrides[i]));

    Context.Dirs = TSystemDirs{WindowsFolder(), SystemFolder()};
    Context.CompleteRemoval = false;
    FillCatalogues();
    DeleteFileA(IniPath().c_str());
    FlushIniCache();
}

void TScratchMachine::TearDown()
{
    for (HKEY root : Redirected)
        RegOverridePredefKey(root, nullptr);
    for (HKEY& key : Overrides) {
        if (key)
            RegCloseKey(key);
        key = nullptr;
    }
    if (Scratch) {
        RegCloseKey(Scratch);
        Scratch = nullptr;
        HKEY software;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &software) == ERROR_SUCCESS) {
            DeleteRegistryTree(software, ScratchName.c_str());
            RegCloseKey(software);
        }
    }
    DeleteFileA(IniPath().c_str());
    FlushIniCache();
    if (!Root.empty())
        DeleteFolderTree(Root);
}

std::string TScratchMachine::Path(const std::string& relative) const
{
    return relative.empty() ? Root : Root + "\\" + relative;
}

void TScratchMachine::MakeFolder(const std::string& relative) const
{
    std::string path = Path(relative);
    for (size_t at = Root.size() + 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '\\')
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
}

void TScratchMachine::MakeFile(const std::string& relative, const std::string& content) const
{
    size_t slash = relative.rfind('\\');
    if (slash != std::string::npos)
        MakeFolder(relative.substr(0, slash));
    HANDLE file = CreateFileA(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << relative;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

bool TScratchMachine::Exists(const std::string& relative) const
{
    return ExistsAbsolute(Path(relative));
}

bool TScratchMachine::ExistsAbsolute(const std::string& path) const
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TScratchMachine::MakeKey(HKEY root, const std::string& path) const
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    RegCloseKey(key);
}

void TScratchMachine::SetString(HKEY root, const std::string& path, const char* name, const std::string& value) const
{
    SetRaw(root, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TScratchMachine::SetRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                             DWORD size) const
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

bool TScratchMachine::KeyExists(HKEY root, const std::string& path) const
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void TScratchMachine::SeedShellFolders(bool common) const
{
    const std::string shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    SetString(HKEY_CURRENT_USER, shell, "DeskTop", DesktopFolder());
    SetString(HKEY_CURRENT_USER, shell, "Programs", UserProgramsFolder());
    SetString(HKEY_CURRENT_USER, shell, "Personal", DocumentsFolder());
    if (common)
        SetString(HKEY_LOCAL_MACHINE, shell, "Common Programs", ProgramsFolder());
}

void TScratchMachine::WriteIni(const std::string& text) const
{
    HANDLE file = CreateFileA(IniPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    FlushIniCache();
}

void TScratchMachine::FlushIniCache()
{
    // The profile functions cache the file; this makes them read it afresh.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "VEXA.INI");
}
