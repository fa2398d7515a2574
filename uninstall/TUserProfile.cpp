#include "TUserProfile.h"
#include "../catalogue/TFileListSpec.h"
#include "TUserProfiles.h"

const char UserShellFoldersPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char TUserProfile::HiveFileName[] = "NTUSER.DAT";
const char TUserProfile::ClassesHiveFile[] = "AppData\\Local\\Microsoft\\Windows\\UsrClass.dat";

namespace {
const char ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char LoadedNamePrefix[] = "UninstallZolt-";
const char ClassesInHive[] = "Software\\Classes";
const DWORD FolderValueSize = 1024;

// Variables of the process that are the machine's, not its user's: the
// process may run as LocalSystem or as another user, so USERPROFILE,
// APPDATA, HOMEPATH, USERNAME and the like are never taken from it.
const char* const MachineVariables[] = {
    "SystemDrive",  "SystemRoot",         "windir",       "ProgramData",        "ALLUSERSPROFILE",
    "PUBLIC",       "ProgramFiles",       "ProgramW6432", "ProgramFiles(x86)",  "CommonProgramFiles",
    "CommonProgramW6432", "CommonProgramFiles(x86)"};

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}
} // namespace

TUserProfile::TUserProfile(std::string sid, std::string path) : Sid(std::move(sid)), Path(std::move(path))
{
    Open();
    if (!IsOpen())
        return;
    ReadVariables();
    ReadFolders();
}

LONG TUserProfile::Close()
{
    CloseClasses();
    Root.Close();
    return Hive.Unload();
}

std::string TUserProfile::LoadedName(const std::string& sid)
{
    return LoadedNamePrefix + sid;
}

void TUserProfile::Open()
{
    // Anything else would name HKEY_USERS itself or a key below a hive.
    if (!TUserProfiles::IsUserSid(Sid)) {
        LoadError = ERROR_INVALID_PARAMETER;
        return;
    }
    LONG opened = Root.Open(HKEY_USERS, Sid.c_str(), KEY_ALL_ACCESS);
    if (opened == ERROR_SUCCESS) {
        LoggedOn = true;
        return;
    }
    if (opened != ERROR_FILE_NOT_FOUND) {
        LoadError = opened;
        return;
    }
    if (!TFileListSpec::IsAbsolutePath(Path)) {
        LoadError = ERROR_BAD_PATHNAME;
        return;
    }
    std::string file = Path;
    if (file.back() != '\\')
        file += '\\';
    LoadError = Hive.Load(LoadedName(Sid), file + HiveFileName);
    if (LoadError == ERROR_SUCCESS)
        LoadError = Root.Open(HKEY_USERS, Hive.GetName().c_str(), KEY_ALL_ACCESS);
}

void TUserProfile::ReadVariables()
{
    Variables.emplace_back("USERPROFILE", Path);
    for (const char* name : MachineVariables) {
        char value[FolderValueSize];
        DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
        if (length > 0 && length < sizeof value)
            Variables.emplace_back(name, value);
    }
    // The user's own: those of the logon session if there is one, then the
    // lasting ones. A name already known keeps its value.
    for (const char* keyName : {"Volatile Environment", "Environment"}) {
        TRegKey key;
        if (key.Open(Root, keyName) != ERROR_SUCCESS)
            continue;
        std::vector<char> name(1024), data(FolderValueSize);
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size() - 1);
            DWORD type = 0;
            LONG result = ::RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
            if (result == ERROR_MORE_DATA)
                continue;
            if (result != ERROR_SUCCESS)
                break;
            if ((type != REG_SZ && type != REG_EXPAND_SZ) || FindVariable(name.data()))
                continue;
            data[dataSize] = '\0';
            std::string value = data.data();
            if (type == REG_EXPAND_SZ && !Expand(data.data(), value))
                continue;
            Variables.emplace_back(name.data(), value);
        }
    }
}

void TUserProfile::ReadFolders()
{
    TRegKey userShellFolders, shellFolders;
    userShellFolders.Open(Root, UserShellFoldersPath);
    shellFolders.Open(Root, ShellFoldersKey);
    auto folder = [&](const char* name) {
        std::vector<char> buffer(FolderValueSize);
        DWORD type = 0;
        if (userShellFolders.QueryString(name, buffer.data(), FolderValueSize, &type)) {
            std::string path = buffer.data();
            if (type != REG_EXPAND_SZ || Expand(buffer.data(), path)) {
                if (TFileListSpec::IsAbsolutePath(path))
                    return path;
            }
        }
        // Explorer keeps the expanded paths here for programs of old.
        if (shellFolders.QueryString(name, buffer.data(), FolderValueSize) &&
            TFileListSpec::IsAbsolutePath(buffer.data()))
            return std::string(buffer.data());
        return std::string();
    };
    DesktopFolder = folder("Desktop");
    ProgramsFolder = folder("Programs");
    DocumentsFolder = folder("Personal");
}

bool TUserProfile::Expand(const std::string& text, std::string& expanded) const
{
    std::string result;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('%', at);
        size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        // A "%" without a partner is itself, as the system expands it.
        if (close == std::string::npos) {
            result += text.substr(at);
            break;
        }
        const std::string* value = FindVariable(text.substr(open + 1, close - open - 1));
        if (!value)
            return false;
        result += text.substr(at, open - at) + *value;
        at = close + 1;
    }
    expanded = result;
    return true;
}

const std::string* TUserProfile::FindVariable(const std::string& name) const
{
    for (const auto& variable : Variables)
        if (SameName(variable.first, name))
            return &variable.second;
    return nullptr;
}

LONG TUserProfile::OpenClasses()
{
    CloseClasses();
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    const std::string name = Sid + "_Classes";
    ClassesName = "HKEY_USERS\\" + name;
    LONG opened = ClassesRoot.Open(HKEY_USERS, name.c_str(), KEY_ALL_ACCESS);
    if (opened != ERROR_FILE_NOT_FOUND)
        return opened;
    if (TFileListSpec::IsAbsolutePath(Path)) {
        std::string file = Path;
        if (file.back() != '\\')
            file += '\\';
        opened = ClassesHive.Load(LoadedName(name), file + ClassesHiveFile);
    }
    if (opened == ERROR_SUCCESS)
        return ClassesRoot.Open(HKEY_USERS, ClassesHive.GetName().c_str(), KEY_ALL_ACCESS);
    if (opened != ERROR_FILE_NOT_FOUND && opened != ERROR_PATH_NOT_FOUND)
        return opened;
    ClassesName = "HKEY_USERS\\" + Sid + "\\" + ClassesInHive;
    return ClassesRoot.Open(Root, ClassesInHive, KEY_ALL_ACCESS);
}

LONG TUserProfile::CloseClasses()
{
    ClassesRoot.Close();
    return ClassesHive.Unload();
}
