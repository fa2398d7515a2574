#include "TMachine.h"
#include "../../machine/TProcessToken.h"
#include "../../machine/TUserProfile.h"
#include "../../machine/TUserProfiles.h"
#include "Owners.h"
#include "ScratchCleanup.h"

namespace {
// The uninstall key's path is plain ASCII.
std::wstring WideUninstallKeyPath()
{
    const std::string path = UninstallKeyPath;
    return std::wstring(path.begin(), path.end());
}
} // namespace

const char TMachine::ProfileDesktop[] = "Desktop";
const char TMachine::ProfileDocuments[] = "Documents";
const char TMachine::ProfilePrograms[] = "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

void TMachine::SetUp()
{
    DeleteFileA(IniPath().c_str());
    FlushIniCache();
}

void TMachine::TearDown()
{
    if (!ProfileSids.empty()) {
        // A loaded hive outlives this process in the Wine session.
        TProcessToken token;
        token.EnableHivePrivileges();
        for (const std::string& sid : ProfileSids) {
            for (const std::string& hive : {sid, sid + "_Classes"}) {
                RegUnLoadKeyA(HKEY_USERS, hive.c_str());
                RegUnLoadKeyA(HKEY_USERS, TUserProfile::LoadedName(hive).c_str());
            }
        }
        ProfileSids.clear();
    }
    // Links first, themselves: deleting through one would delete what it leads to.
    for (const std::string& link : Links)
        RemoveLink(link);
    Links.clear();
    for (auto it = OutsidePaths.rbegin(); it != OutsidePaths.rend(); ++it)
        DeletePath(*it);
    OutsidePaths.clear();
    DeleteFileA(IniPath().c_str());
    FlushIniCache();
    if (!Root.empty())
        DeleteFolderTree(Root);
}

void TMachine::LayOut(const std::string& root, std::initializer_list<const char*> folders)
{
    Root = root;
    DeleteFolderTree(Root);
    MakeFolder("");
    for (const char* folder : folders)
        MakeFolder(folder);
}

std::string TMachine::Path(const std::string& relative) const
{
    return relative.empty() ? Root : Root + "\\" + relative;
}

void TMachine::MakeFolder(const std::string& relative) const
{
    std::string path = Path(relative);
    // The scratch folder itself is made from the drive's root down.
    for (size_t at = relative.empty() ? 3 : Root.size() + 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '\\')
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
}

void TMachine::MakeFile(const std::string& relative, const std::string& content) const
{
    size_t slash = relative.rfind('\\');
    if (slash != std::string::npos)
        MakeFolder(relative.substr(0, slash));
    TFile file(CreateFileA(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.IsOpen()) << relative;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

bool TMachine::Exists(const std::string& relative) const
{
    return ExistsAbsolute(Path(relative));
}

bool TMachine::ExistsAbsolute(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TMachine::MakeOutsideFile(const std::string& path)
{
    TFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.IsOpen()) << path;
    OutsidePaths.push_back(path);
}

bool TMachine::MakeNewOutsideFile(const std::string& path)
{
    TFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!file.IsOpen())
        return false;
    OutsidePaths.push_back(path);
    return true;
}

void TMachine::MakeOutsideFolder(const std::string& path)
{
    if (CreateDirectoryA(path.c_str(), nullptr))
        OutsidePaths.push_back(path);
}

void TMachine::MakeLink(const std::string& link, const std::string& target) const
{
    auto full = [&](const std::string& path) { return path.size() > 1 && path[1] == ':' ? path : Path(path); };
    std::string from = UnixPath(full(link)), to = UnixPath(full(target));
    ASSERT_FALSE(from.empty() || to.empty()) << "links are made only under Wine: " << link << " -> " << target;
    ASSERT_TRUE(RunUnixProgram("/bin/ln", {"-sfn", to, from})) << link << " -> " << target;
    // Wine neither waits for a Unix program nor tells how it ended.
    std::string made = full(link);
    Links.push_back(made);
    for (int i = 0; i < 250 && GetFileAttributesA(made.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    DWORD attributes = GetFileAttributesA(made.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes) << link << " -> " << target;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << link << " -> " << target;
    }
}

std::string TMachine::DriveRoot()
{
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    return std::string(current, 3);
}

void TMachine::MakeRegistryLink(HKEY root, const std::string& link, HKEY targetRoot, const std::string& target) const
{
    // A link names its target by the registry's own full name, which
    // NtQueryKey tells (after any redirection of the predefined keys).
    TKey to;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(targetRoot, target.c_str(), 0, KEY_READ, to.Receive())) << target;
    using TNtQueryKey = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<TNtQueryKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey")));
    ASSERT_NE(nullptr, query);
    std::vector<BYTE> info(4096);
    ULONG size = 0;
    const int KeyNameInformation = 3;
    ASSERT_EQ(0, query(to, KeyNameInformation, info.data(), static_cast<ULONG>(info.size()), &size));
    ULONG length = *reinterpret_cast<const ULONG*>(info.data());
    const BYTE* name = info.data() + sizeof(ULONG);
    TKey made;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, link.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                                             KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, made.Receive(), nullptr))
        << link;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(made, L"SymbolicLinkValue", 0, REG_LINK, name, length)) << link;
}

void TMachine::MakeKey(HKEY root, const std::string& path) const
{
    TKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr))
        << path;
    KeyMade(root, path);
}

void TMachine::SetString(HKEY root, const std::string& path, const char* name, const std::string& value) const
{
    SetRaw(root, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TMachine::SetRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                      DWORD size) const
{
    TKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr))
        << path;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
}

void TMachine::DeleteValue(HKEY root, const std::string& path, const char* name) const
{
    TKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()));
    RegDeleteValueA(key, name);
}

bool TMachine::KeyExists(HKEY root, const std::string& path)
{
    TKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::string TMachine::ReadString(HKEY root, const std::string& path, const char* name, bool* existed)
{
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    bool read = RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS;
    if (existed)
        *existed = read;
    return read ? buffer : "";
}

std::vector<std::string> TMachine::SubkeyNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    TKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return names;
    char name[1024];
    for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index)
        names.emplace_back(name);
    return names;
}

void TMachine::AddUninstallEntry(const std::string& name, const std::map<std::string, std::string>& values) const
{
    const std::string path = UninstallEntry(name);
    MakeKey(HKEY_LOCAL_MACHINE, path);
    for (const auto& value : values)
        SetString(HKEY_LOCAL_MACHINE, path, value.first.c_str(), value.second);
}

bool TMachine::UninstallEntryExists(const std::string& name)
{
    return KeyExists(HKEY_LOCAL_MACHINE, UninstallEntry(name));
}

void TMachine::AddWideUninstallEntry(const std::wstring& name, const std::string& uninstallString) const
{
    const std::wstring path = WideUninstallKeyPath() + L"\\" + name;
    // The name as the ANSI functions give it, "?" for what the code page
    // lacks: a key a faulty program would make. One there already would hide
    // that; one made during the test goes at tear-down.
    char converted[512] = {};
    WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, converted, sizeof converted, nullptr, nullptr);
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallEntry(converted))) << converted << " is there already";
    KeyMade(HKEY_LOCAL_MACHINE, UninstallEntry(converted));
    TKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                              nullptr));
    WideKeyMade(HKEY_LOCAL_MACHINE, path);
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "UninstallString", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(uninstallString.c_str()),
                                            static_cast<DWORD>(uninstallString.size() + 1)));
}

std::vector<std::wstring> TMachine::WideUninstallEntries()
{
    std::vector<std::wstring> names;
    TKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideUninstallKeyPath().c_str(), 0, KEY_READ, key.Receive()) !=
        ERROR_SUCCESS)
        return names;
    wchar_t name[512];
    for (DWORD index = 0, length = 512;
         RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++index, length = 512)
        names.emplace_back(name, length);
    return names;
}

void TMachine::MakeDocumentType(const std::string& name, HKEY root, const std::string& classes) const
{
    auto in = [&](const std::string& key) { return classes.empty() ? key : SubKey(classes, key); };
    SetString(root, in("." + name), "", name + "File");
    SetString(root, in(name + "File\\shell\\open\\command"), "", "x.exe \"%1\"");
}

void TMachine::SeedShellFolders(const std::string& userPrograms, bool common) const
{
    const struct {
        HKEY Root;
        const char* Name;
        std::string Folder;
    } values[] = {{HKEY_CURRENT_USER, "DeskTop", DesktopFolder()},
                  {HKEY_CURRENT_USER, "Programs", userPrograms},
                  {HKEY_CURRENT_USER, "Personal", DocumentsFolder()},
                  {HKEY_LOCAL_MACHINE, "Common Programs", ProgramsFolder()}};
    for (const auto& value : values) {
        if (value.Root == HKEY_LOCAL_MACHINE && !common)
            continue;
        KeepValue(value.Root, ShellFoldersPath, value.Name);
        SetString(value.Root, ShellFoldersPath, value.Name, value.Folder);
    }
}

void TMachine::AddProfileListEntry(const std::string& sid, const std::string& folder)
{
    std::string stored = folder;
    char drive[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("SystemDrive", drive, sizeof drive);
    if (length > 0 && stored.compare(0, length, drive) == 0)
        stored = "%SystemDrive%" + stored.substr(length);
    const std::string entry = SubKey(TUserProfiles::ProfileListPath, sid);
    MakeKey(HKEY_LOCAL_MACHINE, entry);
    SetRaw(HKEY_LOCAL_MACHINE, entry, "ProfileImagePath", REG_EXPAND_SZ, stored.c_str(),
           static_cast<DWORD>(stored.size() + 1));
    ProfileSids.push_back(sid);
}

namespace {
// Writes a hive file from a scratch key of the current user's that `fill`
// fills, and loads it at HKEY_USERS\<loadAs> when that is given.
void SaveHive(const std::string& file, const std::string& scratch, const std::function<void(HKEY)>& fill,
              const std::string& loadAs)
{
    {
        TKey key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, key.Receive(), nullptr));
        if (fill)
            fill(key);
        TProcessToken token;
        token.EnableHivePrivileges();
        EXPECT_EQ(ERROR_SUCCESS, RegSaveKeyA(key, file.c_str(), nullptr)) << file;
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, scratch.c_str());
    if (!loadAs.empty()) {
        TProcessToken token;
        token.EnableHivePrivileges();
        EXPECT_EQ(ERROR_SUCCESS, RegLoadKeyA(HKEY_USERS, loadAs.c_str(), file.c_str())) << loadAs;
    }
}
} // namespace

std::string TMachine::MakeProfile(const std::string& sid, const std::string& name, bool loggedOn,
                                  const std::function<void(HKEY)>& fill)
{
    const std::string relative = "Profiles\\" + name;
    const std::string folder = Path(relative);
    for (const char* place : {ProfileDesktop, ProfileDocuments, ProfilePrograms})
        MakeFolder(relative + "\\" + place);
    AddProfileListEntry(sid, folder);
    SaveHive(folder + "\\" + TUserProfile::HiveFileName,
             "Software\\UzHive-" + std::to_string(GetCurrentProcessId()) + "-" + sid,
             [&](HKEY key) {
                 const struct {
                     const char* Name;
                     const char* Place;
                 } folders[] = {{"Desktop", ProfileDesktop}, {"Personal", ProfileDocuments}, {"Programs", ProfilePrograms}};
                 for (const auto& entry : folders) {
                     std::string unexpanded = std::string("%USERPROFILE%\\") + entry.Place;
                     SetRaw(key, UserShellFoldersPath, entry.Name, REG_EXPAND_SZ, unexpanded.c_str(),
                            static_cast<DWORD>(unexpanded.size() + 1));
                     SetString(key, ShellFoldersPath, entry.Name, folder + "\\" + entry.Place);
                 }
                 if (fill)
                     fill(key);
             },
             loggedOn ? sid : "");
    return folder;
}

void TMachine::MakeClassesHive(const std::string& sid, const std::string& folder, bool loggedOn,
                               const std::function<void(HKEY)>& fill)
{
    const std::string file = folder + "\\" + TUserProfile::ClassesHiveFile;
    for (size_t at = folder.size() + 1; at < file.size(); ++at)
        if (file[at] == '\\')
            CreateDirectoryA(file.substr(0, at).c_str(), nullptr);
    SaveHive(file, "Software\\UzClasses-" + std::to_string(GetCurrentProcessId()) + "-" + sid, fill,
             loggedOn ? sid + "_Classes" : "");
}

std::string TMachine::IniPath()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\" + IniFileName;
}

void TMachine::WriteIni(const std::string& text) const
{
    {
        TFile file(CreateFileA(IniPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file.IsOpen()) << IniPath();
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    FlushIniCache();
}

void TMachine::WriteQuotaLibraries(const std::vector<std::pair<std::string, std::string>>& keys) const
{
    std::string text = std::string("[") + QuotaLibrarySection + "]\r\n";
    for (const auto& key : keys)
        text += key.first + "=" + key.second + "\r\n";
    WriteIni(text);
}

void TMachine::FlushIniCache()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, IniFileName);
}

std::string TMachine::IniValue(const char* section, const char* key)
{
    FlushIniCache();
    char value[1024] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, IniFileName);
    return value;
}

std::vector<std::string> TMachine::IniKeys(const char* section)
{
    FlushIniCache();
    std::vector<char> list(32768, '\0');
    DWORD length =
        GetPrivateProfileStringA(section, nullptr, "", list.data(), static_cast<DWORD>(list.size()), IniFileName);
    std::vector<std::string> keys;
    for (size_t at = 0; at < length && list[at];) {
        keys.emplace_back(list.data() + at);
        at += keys.back().size() + 1;
    }
    return keys;
}
