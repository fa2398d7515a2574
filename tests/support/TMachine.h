#pragma once
#include <windows.h>
#include "Names.h"
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

// What the machine fixtures share: a scratch folder of the test's own, and
// the helpers that seed and inspect files, the registry and VEXA.INI. The
// scratch machine runs them on a redirected registry, the real machine on
// the real one, where it notes what it made and changed so that tear-down
// can put it back.
class TMachine : public ::testing::Test {
protected:
    // Both remove VEXA.INI; tear-down also removes the outside files and
    // the scratch folder.
    void SetUp() override;
    void TearDown() override;

    // Makes `root` the scratch folder, anew, with these folders in it.
    void LayOut(const std::string& root, std::initializer_list<const char*> folders);

    // A path under the scratch folder ("a\\b" joined with "\\").
    std::string Path(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    // Writes a file (and its folders); the content defaults to a marker text.
    void MakeFile(const std::string& relative, const std::string& content = "x") const;
    bool Exists(const std::string& relative) const;
    static bool ExistsAbsolute(const std::string& path);

    // The scratch folder's well-known places.
    std::string ProgramsFolder() const { return Path("Programs"); }
    std::string DesktopFolder() const { return Path("Desktop"); }
    std::string DocumentsFolder() const { return Path("Documents"); }
    // A shortcut's place in a program group, relative to the scratch folder.
    static std::string InGroup(const std::string& group, const std::string& name)
    {
        return "Programs\\" + group + "\\" + name;
    }

    // Files and folders outside the scratch folder, removed at tear-down.
    // MakeOutsideFile replaces what is there; MakeNewOutsideFile leaves a
    // file that is there alone, as not ours to touch, and answers false.
    void MakeOutsideFile(const std::string& path);
    bool MakeNewOutsideFile(const std::string& path);
    void MakeOutsideFolder(const std::string& path);
    // Makes `link` a link to `target` (both relative to the scratch folder,
    // or absolute): a Unix symbolic link. Wine shows one to a folder as a
    // reparse point, one to a file not at all; Windows' own links cannot be
    // made under Wine.
    void MakeLink(const std::string& link, const std::string& target) const;

    // The root of the current drive ("C:\\"), where a path that lost its folder lands.
    static std::string DriveRoot();

    // Registry helpers; a path is "A\\B\\C".
    void MakeKey(HKEY root, const std::string& path) const;
    // Makes `link` a registry link (REG_OPTION_CREATE_LINK) to the key
    // `target`, which is there, as any user can in their own hive.
    void MakeRegistryLink(HKEY root, const std::string& link, HKEY targetRoot, const std::string& target) const;
    void SetString(HKEY root, const std::string& path, const char* name, const std::string& value) const;
    void SetRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                DWORD size) const;
    void DeleteValue(HKEY root, const std::string& path, const char* name) const;
    static bool KeyExists(HKEY root, const std::string& path);
    // A string value; "" with `existed` false when there is none.
    static std::string ReadString(HKEY root, const std::string& path, const char* name, bool* existed = nullptr);
    // The subkeys of a key in the order the registry gives them.
    static std::vector<std::string> SubkeyNames(HKEY root, const std::string& path);

    // An entry under HKLM's uninstall key, with string values.
    void AddUninstallEntry(const std::string& name, const std::map<std::string, std::string>& values = {}) const;
    static bool UninstallEntryExists(const std::string& name);
    // An entry whose name is made and kept by the Unicode functions, so that
    // it may hold what the program's code page cannot; removed at tear-down.
    void AddWideUninstallEntry(const std::wstring& name, const std::string& uninstallString) const;
    // The uninstall key's subkeys as Windows holds them, in its order.
    static std::vector<std::wstring> WideUninstallEntries();

    // ".N" naming "NFile", which has a command to open it, in the classes key
    // `classes` below `root` (empty: `root` itself): by default the machine's.
    void MakeDocumentType(const std::string& name, HKEY root = HKEY_LOCAL_MACHINE,
                          const std::string& classes = ClassesKeyPath) const;
    // A key of the machine's classes.
    static bool MachineClassKey(const std::string& name) { return KeyExists(HKEY_LOCAL_MACHINE, InClasses(name)); }
    static std::string InClasses(const std::string& name) { return SubKey(ClassesKeyPath, name); }

    // Points the shell-folder values the program reads at the scratch
    // desktop, documents and programs. `common` false leaves "Common
    // Programs" out.
    void SeedShellFolders(const std::string& userPrograms, bool common = true) const;

    // Another user's profile, as the system keeps one: an entry in the
    // profile list, a folder "Profiles\<name>" under the scratch folder with
    // a desktop, documents and Programs folder, and its hive NTUSER.DAT made
    // with RegSaveKey. The hive's "User Shell Folders" name the three as
    // %USERPROFILE% paths, its "Shell Folders" expanded; then `fill` may
    // write more into the key it is handed. `loggedOn` loads the hive at
    // HKEY_USERS\<sid> beforehand, as logging on does. Tear-down unloads
    // every hive of these profiles and deletes the entries. Returns the
    // profile folder.
    std::string MakeProfile(const std::string& sid, const std::string& name, bool loggedOn,
                            const std::function<void(HKEY)>& fill = nullptr);
    // The user's own classes of a profile made above, as Windows keeps them
    // apart: UsrClass.dat in the profile's folder, made with RegSaveKey from
    // what `fill` writes into the key it is handed. `loggedOn` loads it at
    // HKEY_USERS\<sid>_Classes, as logging on does; tear-down unloads it.
    void MakeClassesHive(const std::string& sid, const std::string& folder, bool loggedOn,
                         const std::function<void(HKEY)>& fill);
    // A profile-list entry alone; the folder is stored as REG_EXPAND_SZ,
    // with %SystemDrive% for its drive when it is the system's.
    void AddProfileListEntry(const std::string& sid, const std::string& folder);
    // Where a profile made above keeps its folders, relative to it.
    static const char ProfileDesktop[];
    static const char ProfileDocuments[];
    static const char ProfilePrograms[];

    // The real "VEXA.INI" in the real Windows directory: the program reads it
    // by bare name, so tests write it there.
    static std::string IniPath();
    void WriteIni(const std::string& text) const;
    // "Dek Files" keys, in order, each with its value.
    void WriteQuotaLibraries(const std::vector<std::pair<std::string, std::string>>& keys) const;
    // The profile functions cache the file; this makes them read it afresh.
    static void FlushIniCache();
    // Read afresh, so our own cached copy of the file does not answer for
    // what the program wrote.
    static std::string IniValue(const char* section, const char* key);
    static std::string QuotaValue(const char* key) { return IniValue(QuotaLibrarySection, key); }
    static std::vector<std::string> IniKeys(const char* section);

    // For a machine that must be put back: KeyMade hears of each key MakeKey
    // makes, KeepValue of each value SeedShellFolders is about to overwrite.
    virtual void KeyMade(HKEY, const std::string&) const {}
    virtual void WideKeyMade(HKEY, const std::wstring&) const {}
    virtual void KeepValue(HKEY, const std::string&, const char*) const {}

    std::string Root;

private:
    std::vector<std::string> OutsidePaths;
    mutable std::vector<std::string> Links;
    // Profiles made: their hives are unloaded at tear-down, under either name.
    std::vector<std::string> ProfileSids;
};
