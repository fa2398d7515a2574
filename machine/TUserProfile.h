#pragma once
#include <windows.h>
#include "TBaseFolder.h"
#include "TRegKey.h"
#include "TUserFolderCheck.h"
#include "TUserHive.h"
#include "TWidePath.h"
#include <string>
#include <utility>
#include <vector>

// One user's profile opened for the per-user parts of a removal: the root of
// the user's hive, to be used where HKEY_CURRENT_USER serves the current
// user, and the user's desktop, Programs and documents folders.
// A logged-on user's hive is used in place at HKEY_USERS\<SID> and stays
// loaded. Otherwise the profile's NTUSER.DAT is loaded below HKEY_USERS and
// unloaded by the destructor; close every key opened below GetRoot() first.
class TUserProfile {
public:
    // `path` is the profile folder, expanded.
    TUserProfile(std::string sid, TBaseFolder path);
    ~TUserProfile() { Close(); }
    TUserProfile(const TUserProfile&) = delete;
    TUserProfile& operator=(const TUserProfile&) = delete;

    const std::string& GetSid() const { return Sid; }
    const TBaseFolder& GetPath() const { return Path; }
    // How the log names the profile: its SID and its folder.
    std::string GetLogName() const { return Sid + " (" + Path.GetSpelled() + ")"; }

    // False when the hive could not be opened; then GetLoadError says why
    // and the root and the folders are empty.
    bool IsOpen() const { return Root != nullptr; }
    HKEY GetRoot() const { return Root; }
    // ERROR_SUCCESS when open; else the error of the load (1314 when the
    // process lacks the restore privilege, 1017 for a file that is no hive,
    // 2 or 3 for a missing one, 32 for one in use) or of the opening.
    LONG GetLoadError() const { return LoadError; }
    // The hive was loaded already: the user is logged on.
    bool IsLoggedOn() const { return LoggedOn; }
    // The list names a profile whose folder or hive file is gone: a
    // remnant of a deleted account, with nothing of the user's left to remove.
    bool IsRemnant() const { return Remnant; }
    // The name the hive was loaded under below HKEY_USERS; empty when it was
    // used in place or could not be loaded.
    const std::string& GetLoadedName() const { return Hive.GetName(); }
    // Closes the root and unloads a hive loaded for the profile; returns
    // what the unloading said (a key left open below the root keeps the
    // hive loaded), for the log. The destructor does the same.
    LONG Close();

    // Empty when neither "User Shell Folders" nor "Shell Folders" of the
    // user's hive gives an absolute path, or when the one given is refused.
    // As Windows holds their names, whatever the program's code page.
    const TBaseFolder& GetDesktopFolder() const { return DesktopFolder; }
    const TBaseFolder& GetProgramsFolder() const { return ProgramsFolder; }
    const TBaseFolder& GetDocumentsFolder() const { return DocumentsFolder; }

    // A folder the user's values name that is not visited, and why: the
    // user writes those values, so one that is no local folder inside the
    // profile folder is refused (TUserFolderCheck).
    struct TRefusal {
        const char* Name; // the value: "Desktop", "Programs", "Personal"
        TBaseFolder Folder;
        TUserFolderCheck::TVerdict Reason;
    };
    const std::vector<TRefusal>& GetRefusals() const { return Refusals; }
    bool IsRefused(const char* name) const;
    // Where the profile folder really is: every per-user deletion stays inside.
    const TWidePath& GetFinalPath() const { return FinalPath; }

    static const char HiveFileName[];
    // The program's own name below HKEY_USERS for a logged-off user's hive.
    static std::string LoadedName(const std::string& sid);

    // The user's own classes (file associations), a hive apart from the
    // user's own on Windows: HKEY_USERS\<SID>_Classes where it is loaded,
    // else the profile's UsrClass.dat, loaded like NTUSER.DAT and unloaded
    // by CloseClasses or Close; where the profile keeps no such file, the
    // classes inside the user's hive, as Wine keeps them. Returns
    // ERROR_FILE_NOT_FOUND when the user has none, or why they could not be
    // opened. Call only while the profile is open.
    LONG OpenClasses();
    HKEY GetClassesRoot() const { return ClassesRoot; }
    // How the log names them: HKEY_USERS\<SID>_Classes, or the key in the user's hive.
    const std::string& GetClassesName() const { return ClassesName; }
    const std::string& GetLoadedClassesName() const { return ClassesHive.GetName(); }
    // Closes the classes and unloads a hive loaded for them; returns what the unloading said.
    LONG CloseClasses();
    // Where UsrClass.dat lies, relative to the profile folder.
    static const char ClassesHiveFile[];

private:
    void Open();
    void ReadVariables();
    void ReadFolders();
    // `text` with each %NAME% replaced; false when a name is not known.
    // Names and values are held in UTF-8, so that none is cut or spelled
    // with a "?".
    bool Expand(const std::string& text, std::string& expanded) const;
    const std::string* FindVariable(const std::string& name) const;

    std::string Sid;
    TBaseFolder Path;
    // Before Root, so that the hive is unloaded only after its root closed.
    TUserHive Hive;
    TRegKey Root;
    LONG LoadError = ERROR_SUCCESS;
    bool LoggedOn = false;
    bool Remnant = false;
    TWidePath FinalPath;
    std::vector<TRefusal> Refusals;
    // What %NAME% stands for in this user's folder values, in UTF-8.
    std::vector<std::pair<std::string, std::string>> Variables;
    TBaseFolder DesktopFolder;
    TBaseFolder ProgramsFolder;
    TBaseFolder DocumentsFolder;
    // Before ClassesRoot, so that the hive is unloaded only after its root closed.
    TUserHive ClassesHive;
    TRegKey ClassesRoot;
    std::string ClassesName;
};

extern const char UserShellFoldersPath[];
