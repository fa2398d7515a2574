#include "TUserProfile.h"
#include "../catalogue/TFileListSpec.h"
#include "TUserFolderCheck.h"
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

bool IsGone(const TWidePath& path)
{
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
} // namespace

TUserProfile::TUserProfile(std::string sid, TBaseFolder path) : Sid(std::move(sid)), Path(std::move(path))
{
    Open();
    if (!IsOpen())
        return;
    FinalPath = TWidePath::FinalOfPath(Path.Full());
    ReadVariables();
    ReadFolders();
}

bool TUserProfile::IsRefused(const char* name) const
{
    for (const TRefusal& refusal : Refusals)
        if (lstrcmpA(refusal.Name, name) == 0)
            return true;
    return false;
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
    if (!TFileListSpec::IsAbsolutePath(Path.GetSpelled())) {
        LoadError = ERROR_BAD_PATHNAME;
        return;
    }
    TWidePath file = Path.Full().Join(TWidePath::FromAnsi(HiveFileName).c_str());
    if (IsGone(Path.Full()) || IsGone(file)) {
        Remnant = true;
        LoadError = ERROR_FILE_NOT_FOUND;
        return;
    }
    LoadError = Hive.Load(LoadedName(Sid), file);
    if (LoadError == ERROR_SUCCESS)
        LoadError = Root.Open(HKEY_USERS, Hive.GetName().c_str(), KEY_ALL_ACCESS);
}

void TUserProfile::ReadVariables()
{
    Variables.emplace_back("USERPROFILE", Path.Full().ToUtf8());
    for (const char* name : MachineVariables) {
        wchar_t value[FolderValueSize];
        DWORD length = ::GetEnvironmentVariableW(TWidePath::FromAnsi(name).c_str(), value, FolderValueSize);
        if (length > 0 && length < FolderValueSize)
            Variables.emplace_back(name, TWidePath(value, length).ToUtf8());
    }
    // The user's own: those of the logon session if there is one, then the
    // lasting ones. A name already known keeps its value.
    for (const char* keyName : {"Volatile Environment", "Environment"}) {
        TRegKey key;
        if (key.Open(Root, keyName) != ERROR_SUCCESS)
            continue;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256], data[FolderValueSize];
            DWORD nameSize = 256, dataSize = sizeof data - sizeof(wchar_t);
            DWORD type = 0;
            LONG result = ::RegEnumValueW(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                          &dataSize);
            if (result == ERROR_MORE_DATA)
                continue;
            if (result != ERROR_SUCCESS)
                break;
            std::string variable = TWidePath(name, nameSize).ToUtf8();
            if ((type != REG_SZ && type != REG_EXPAND_SZ) || FindVariable(variable))
                continue;
            size_t length = dataSize / sizeof(wchar_t);
            while (length > 0 && data[length - 1] == L'\0')
                --length;
            std::string value = TWidePath(data, length).ToUtf8();
            if (type == REG_EXPAND_SZ && !Expand(std::string(value), value))
                continue;
            Variables.emplace_back(variable, value);
        }
    }
}

void TUserProfile::ReadFolders()
{
    TRegKey userShellFolders, shellFolders;
    userShellFolders.Open(Root, UserShellFoldersPath);
    shellFolders.Open(Root, ShellFoldersKey);
    // A value that does not fit the program's buffers is not taken.
    auto read = [](const TRegKey& key, const char* name, std::string& value, DWORD* type) {
        TWidePath text;
        if (!key.QueryString(name, text, type) || text.ToAnsiLossy().size() >= FolderValueSize)
            return false;
        value = text.ToUtf8();
        return true;
    };
    auto folder = [&](const char* name) {
        std::string path;
        DWORD type = 0;
        if (read(userShellFolders, name, path, &type)) {
            std::string stored = path;
            if ((type != REG_EXPAND_SZ || Expand(stored, path)) && TFileListSpec::IsAbsolutePath(path))
                return TBaseFolder(TWidePath::FromUtf8(path));
        }
        // Explorer keeps the expanded paths here for programs of old.
        if (read(shellFolders, name, path, nullptr) && TFileListSpec::IsAbsolutePath(path))
            return TBaseFolder(TWidePath::FromUtf8(path));
        return TBaseFolder();
    };
    auto checked = [&](const char* name) {
        TBaseFolder path = folder(name);
        TUserFolderCheck::TVerdict refused =
            path.empty() ? TUserFolderCheck::Visit : TUserFolderCheck::Check(path, Path, FinalPath);
        if (refused == TUserFolderCheck::Visit)
            return path;
        Refusals.push_back(TRefusal{name, path, refused});
        return TBaseFolder();
    };
    DesktopFolder = checked("Desktop");
    ProgramsFolder = checked("Programs");
    DocumentsFolder = checked("Personal");
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
    if (TFileListSpec::IsAbsolutePath(Path.GetSpelled()))
        opened = ClassesHive.Load(LoadedName(name), Path.Full().Join(TWidePath::FromAnsi(ClassesHiveFile).c_str()));
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
