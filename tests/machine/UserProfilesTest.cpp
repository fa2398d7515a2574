#include "../../machine/TProcessToken.h"
#include "../../machine/TUserFolderCheck.h"
#include "../../machine/TUserProfile.h"
#include "../../machine/TUserProfiles.h"
#include "../support/Owners.h"
#include "../support/TScratchMachine.h"
#include <memory>

namespace {
const char Alice[] = "S-1-5-21-1111-2222-3333-1001";
const char Bob[] = "S-1-5-21-1111-2222-3333-1002";
const char Carol[] = "S-1-5-21-1111-2222-3333-1003";
const char Dave[] = "S-1-5-21-1111-2222-3333-1004";
const char Marker[] = "Software\\Orlaquin\\Vexa\\Marker";

// What a key of the hive holds, read through the profile's root.
std::string ReadThroughRoot(const TUserProfile& profile, const std::string& path, const char* name)
{
    TKey key;
    if (RegOpenKeyExA(profile.GetRoot(), path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return "(no key)";
    char value[256] = {};
    DWORD size = sizeof value - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return "(no value)";
    return value;
}

bool PrivilegeEnabled(const char* name)
{
    LUID luid;
    THandle token;
    if (!LookupPrivilegeValueA(nullptr, name, &luid) ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size))
        return false;
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
        if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart)
            return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    return false;
}

void WriteMarker(HKEY hive, const char* value)
{
    TKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(hive, Marker, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                                             nullptr));
    RegSetValueExA(key, "Who", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
}
} // namespace

// The profile list comes from the scratch HKEY_LOCAL_MACHINE; the hives are
// loaded below the real HKEY_USERS, which nothing can redirect.
class UserProfiles : public TScratchMachine {};

TEST_F(UserProfiles, ListsPeopleOnlyWithTheirFoldersExpanded)
{
    const char* const others[] = {
        "S-1-5-18", "S-1-5-19", "S-1-5-20",
        // A service's own account, a pool of a web server, a virtual machine's.
        "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", "S-1-5-82-1036420768-1044797643-1061213386-2937092688-4282445334",
        "S-1-5-83-1-1234-5678-9012-3456",
        // A damaged profile's backup, a domain with no user, a number too large.
        "S-1-5-21-1111-2222-3333-1001.bak", "S-1-5-21-1111-2222-3333", "S-1-5-21-1111-2222-3333-4294967296",
        "S-1-5-21-1111-2222-3333-1001-5", "S-1-5-21-1111-2222--1001"};
    for (const char* sid : others)
        AddProfileListEntry(sid, "C:\\Windows\\ServiceProfiles\\x");
    AddProfileListEntry(Alice, Path("Profiles\\alice"));
    AddProfileListEntry("S-1-12-1-3000000000-1111111111-2222222222-3333333333", Path("Profiles\\cloud"));
    {
        TKey entry;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, SubKey(TUserProfiles::ProfileListPath, Alice).c_str(),
                                               0, KEY_READ, entry.Receive()));
        char stored[MAX_PATH] = {};
        DWORD type = 0, size = sizeof stored - 1;
        RegQueryValueExA(entry, "ProfileImagePath", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
        ASSERT_EQ(0u, std::string(stored).find("%SystemDrive%\\")) << "stored expanded: " << stored;
    }

    // In the registry's order, which is by name.
    TUserProfiles profiles;
    ASSERT_EQ(2u, profiles.Entries().size());
    EXPECT_EQ("S-1-12-1-3000000000-1111111111-2222222222-3333333333", profiles.Entries()[0].Sid);
    EXPECT_EQ(Path("Profiles\\cloud"), profiles.Entries()[0].Path.GetSpelled());
    EXPECT_EQ(Alice, profiles.Entries()[1].Sid);
    EXPECT_EQ(Path("Profiles\\alice"), profiles.Entries()[1].Path.GetSpelled());
}

TEST_F(UserProfiles, LoggedOnUsersHiveIsUsedInPlaceAndStaysLoaded)
{
    std::string folder = MakeProfile(Alice, "alice", true, [](HKEY hive) { WriteMarker(hive, "alice"); });
    {
        TUserProfile profile(Alice, folder);
        ASSERT_TRUE(profile.IsOpen()) << profile.GetLoadError();
        EXPECT_EQ(ERROR_SUCCESS, profile.GetLoadError());
        EXPECT_TRUE(profile.IsLoggedOn());
        EXPECT_EQ("", profile.GetLoadedName());
        EXPECT_EQ(std::string(Alice) + " (" + folder + ")", profile.GetLogName());
        EXPECT_EQ("alice", ReadThroughRoot(profile, Marker, "Who"));
        // The root is the user's hive itself, open for deleting in it.
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(profile.GetRoot(), Marker));
        EXPECT_FALSE(KeyExists(HKEY_USERS, SubKey(Alice, Marker)));
        EXPECT_EQ(folder + "\\Desktop", profile.GetDesktopFolder().GetSpelled());
    }
    EXPECT_TRUE(KeyExists(HKEY_USERS, Alice)) << "the logged-on user's hive was unloaded";
    EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(Alice)));
}

TEST_F(UserProfiles, LoggedOffUsersHiveIsLoadedForTheProfileAndUnloadedAfter)
{
    std::string folder = MakeProfile(Bob, "bob", false, [](HKEY hive) { WriteMarker(hive, "bob"); });
    ASSERT_FALSE(KeyExists(HKEY_USERS, Bob));
    {
        TUserProfile profile(Bob, folder);
        ASSERT_TRUE(profile.IsOpen()) << profile.GetLoadError();
        EXPECT_FALSE(profile.IsLoggedOn());
        EXPECT_EQ(TUserProfile::LoadedName(Bob), profile.GetLoadedName());
        EXPECT_TRUE(KeyExists(HKEY_USERS, profile.GetLoadedName()));
        EXPECT_EQ("bob", ReadThroughRoot(profile, Marker, "Who"));
        EXPECT_EQ(folder + "\\Documents", profile.GetDocumentsFolder().GetSpelled());
        EXPECT_EQ(ERROR_SUCCESS, profile.Close());
        EXPECT_FALSE(profile.IsOpen());
        EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(Bob)));
    }
    EXPECT_FALSE(KeyExists(HKEY_USERS, Bob));
    // Not left enabled for whatever the process does next.
    EXPECT_FALSE(PrivilegeEnabled(SE_RESTORE_NAME));
}

// A run that ended without unloading (killed, or the machine lost power)
// leaves the hive loaded under the program's name; the next run takes it
// over and unloads it.
TEST_F(UserProfiles, HiveLeftLoadedByAnInterruptedRunIsUnloadedByTheNext)
{
    std::string folder = MakeProfile(Bob, "bob", false, [](HKEY hive) { WriteMarker(hive, "bob"); });
    {
        TProcessToken token;
        ASSERT_EQ(ERROR_SUCCESS, token.EnableHivePrivileges());
        ASSERT_EQ(ERROR_SUCCESS, RegLoadKeyA(HKEY_USERS, TUserProfile::LoadedName(Bob).c_str(),
                                             (folder + "\\NTUSER.DAT").c_str()));
    }
    {
        TUserProfile profile(Bob, folder);
        ASSERT_TRUE(profile.IsOpen()) << profile.GetLoadError();
        EXPECT_EQ("bob", ReadThroughRoot(profile, Marker, "Who"));
    }
    EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(Bob)));
}

// Each profile is opened in turn, as the removal visits them. Wine's
// registry refuses a Windows hive file with ERROR_NOT_REGISTRY_FILE (1017),
// as Windows refuses a damaged one; a profile folder without its hive gives
// ERROR_FILE_NOT_FOUND. Either is told for that profile alone, and nothing
// of it stays below HKEY_USERS.
TEST_F(UserProfiles, HiveThatCannotBeLoadedIsToldAndTheOthersGoOn)
{
    std::string bob = MakeProfile(Bob, "bob", false);
    std::string carol = MakeProfile(Carol, "carol", false);
    std::string dave = MakeProfile(Dave, "dave", false, [](HKEY hive) { WriteMarker(hive, "dave"); });
    ASSERT_TRUE(DeleteFileA((bob + "\\NTUSER.DAT").c_str()));
    std::string windowsHive("regf\x01\x00\x00\x00\x01\x00\x00\x00", 12);
    windowsHive.resize(4096, '\0');
    MakeFile("Profiles\\carol\\NTUSER.DAT", windowsHive);
    // The list keeps a deleted account's entry: its folder is gone.
    const char Erin[] = "S-1-5-21-1111-2222-3333-1005";
    AddProfileListEntry(Erin, Path("Profiles\\erin"));

    TUserProfiles profiles;
    ASSERT_EQ(4u, profiles.Entries().size());
    std::vector<LONG> errors;
    std::vector<bool> remnants;
    for (const TUserProfiles::TEntry& entry : profiles.Entries()) {
        TUserProfile profile(entry.Sid, entry.Path);
        if (entry.Sid == Erin) {
            EXPECT_TRUE(profile.IsRemnant());
            EXPECT_FALSE(profile.IsOpen());
            continue;
        }
        errors.push_back(profile.GetLoadError());
        remnants.push_back(profile.IsRemnant());
        EXPECT_EQ(profile.GetLoadError() == ERROR_SUCCESS, profile.IsOpen()) << entry.Sid;
        if (!profile.IsOpen()) {
            EXPECT_EQ("", profile.GetDesktopFolder().GetSpelled());
            EXPECT_EQ("", profile.GetLoadedName());
        } else {
            EXPECT_EQ("dave", ReadThroughRoot(profile, Marker, "Who"));
        }
    }
    EXPECT_EQ((std::vector<LONG>{ERROR_FILE_NOT_FOUND, ERROR_NOT_REGISTRY_FILE, ERROR_SUCCESS}), errors);
    // A folder without its hive is a remnant too; a damaged hive is not.
    EXPECT_EQ((std::vector<bool>{true, false, false}), remnants);
    for (const char* sid : {Bob, Carol, Dave})
        EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(sid))) << sid;
}

// The user's own values: %USERPROFILE% is the profile's folder, other names
// come from the user's environment or are the machine's; a name of the
// program's own user (here APPDATA, which this process has) is never taken,
// and "Shell Folders" answers instead.
TEST_F(UserProfiles, FoldersComeFromUserShellFoldersExpandedElseShellFolders)
{
    std::string folder = MakeProfile(Carol, "carol", false, [this](HKEY hive) {
        const char documents[] = "%ZOLTDOCS%\\Ledgers";
        SetRaw(hive, UserShellFoldersPath, "Personal", REG_EXPAND_SZ, documents, sizeof documents);
        const char root[] = "%USERPROFILE%\\Work";
        SetRaw(hive, "Environment", "ZOLTDOCS", REG_EXPAND_SZ, root, sizeof root);
        const char programs[] = "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs";
        SetRaw(hive, UserShellFoldersPath, "Programs", REG_EXPAND_SZ, programs, sizeof programs);
        SetString(hive, ShellFoldersPath, "Programs", Path("Profiles\\carol\\Start Menu (as Explorer saw it)"));
        DeleteValue(hive, UserShellFoldersPath, "Desktop");
        SetString(hive, ShellFoldersPath, "Desktop", Path("Profiles\\carol\\Old Desktop"));
    });
    char appData[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("APPDATA", appData, sizeof appData), 0u);

    TUserProfile profile(Carol, folder);
    ASSERT_TRUE(profile.IsOpen()) << profile.GetLoadError();
    EXPECT_EQ(folder + "\\Work\\Ledgers", profile.GetDocumentsFolder().GetSpelled());
    EXPECT_EQ(folder + "\\Start Menu (as Explorer saw it)", profile.GetProgramsFolder().GetSpelled());
    EXPECT_EQ(folder + "\\Old Desktop", profile.GetDesktopFolder().GetSpelled());
}

// The user writes these values, and the run has the machine's highest
// rights: a share would be connected to as the computer, a folder elsewhere
// would lose files of the names looked for. Only folders that really lie in
// the profile folder are visited; the rest are said, not used.
TEST_F(UserProfiles, FoldersThatLeadOutOfTheProfileAreNotVisited)
{
    MakeFolder("Fonts");
    MakeFolder("Elsewhere");
    std::string folder = MakeProfile(Carol, "carol", false, [this](HKEY hive) {
        SetString(hive, UserShellFoldersPath, "Desktop", "\\\\zolt-nowhere\\share\\Desktop");
        SetString(hive, UserShellFoldersPath, "Personal", Path("Fonts"));
        SetString(hive, UserShellFoldersPath, "Programs", Path("Profiles\\carol\\Linked"));
    });
    ASSERT_NO_FATAL_FAILURE(MakeLink("Profiles\\carol\\Linked", "Elsewhere"));

    TUserProfile profile(Carol, folder);
    ASSERT_TRUE(profile.IsOpen()) << profile.GetLoadError();
    EXPECT_EQ("", profile.GetDesktopFolder().GetSpelled());
    EXPECT_EQ("", profile.GetDocumentsFolder().GetSpelled());
    EXPECT_EQ("", profile.GetProgramsFolder().GetSpelled());
    std::vector<std::string> refused;
    for (const TUserProfile::TRefusal& refusal : profile.GetRefusals())
        refused.push_back(std::string(refusal.Name) + " " + refusal.Folder.GetSpelled() + " " + std::to_string(refusal.Reason));
    EXPECT_EQ((std::vector<std::string>{
                  "Desktop \\\\zolt-nowhere\\share\\Desktop " + std::to_string(TUserFolderCheck::NotLocal),
                  "Programs " + Path("Profiles\\carol\\Linked") + " " + std::to_string(TUserFolderCheck::NotLocal),
                  "Personal " + Path("Fonts") + " " + std::to_string(TUserFolderCheck::OutsideProfile)}),
              refused);
    EXPECT_TRUE(profile.GetFinalPath().IsSame(TWidePath::Full(folder)));
}

// What Windows reports and Wine cannot make: junctions, network drives, a
// drive letter that leads to a share.
TEST(UserFolderCheck, JudgesWhatWindowsReports)
{
    const std::string profile = "C:\\Users\\eve";
    const TWidePath home = TWidePath::Full(profile);
    auto judge = [&](const std::string& folder, UINT drive, bool pastLink, const wchar_t* final) {
        return TUserFolderCheck::Judge(folder, profile, home,
                                       TUserFolderCheck::TFacts{drive, pastLink, TWidePath(final)});
    };
    // A junction in the profile to a folder inside it: its final path tells.
    EXPECT_EQ(TUserFolderCheck::Visit, judge("C:\\Users\\eve\\Desktop", DRIVE_FIXED, false,
                                              L"C:\\Users\\eve\\OneDrive\\Desktop"));
    EXPECT_EQ(TUserFolderCheck::OutsideProfile,
              judge("C:\\Users\\eve\\Desktop", DRIVE_FIXED, false, L"C:\\Windows\\Fonts"));
    EXPECT_EQ(TUserFolderCheck::OutsideProfile,
              judge("C:\\Users\\eve\\Desktop", DRIVE_FIXED, false, L"C:\\Users\\eve2\\Desktop"));
    EXPECT_EQ(TUserFolderCheck::NotLocal, judge("H:\\Desktop", DRIVE_REMOTE, false, L""));
    EXPECT_EQ(TUserFolderCheck::NotLocal, judge("H:\\Desktop", DRIVE_NO_ROOT_DIR, false, L""));
    EXPECT_EQ(TUserFolderCheck::NotLocal,
              judge("C:\\Users\\eve\\Desktop", DRIVE_FIXED, false, L"\\\\server\\share\\Desktop"));
    EXPECT_EQ(TUserFolderCheck::NotLocal, judge("C:\\Users\\eve\\Desktop", DRIVE_FIXED, true, L""));
    for (const char* device : {"\\\\server\\share", "\\\\?\\C:\\Users\\eve", "\\\\.\\C:\\Users\\eve", "Desktop"})
        EXPECT_EQ(TUserFolderCheck::NotLocal, TUserFolderCheck::Check(device, profile, home)) << device;
    // Not there yet: its name must lie in the profile.
    EXPECT_EQ(TUserFolderCheck::Visit, judge("C:\\Users\\eve\\New", DRIVE_FIXED, false, L""));
    EXPECT_EQ(TUserFolderCheck::OutsideProfile, judge("C:\\Users\\Public\\New", DRIVE_FIXED, false, L""));
}

TEST_F(UserProfiles, SystemDriveIsTheMachinesAndExpanded)
{
    char drive[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("SystemDrive", drive, sizeof drive), 0u);
    ASSERT_EQ(0, Root.compare(0, strlen(drive), drive));
    std::string folder = MakeProfile(Dave, "dave", false, [this, &drive](HKEY hive) {
        std::string desktop = "%SystemDrive%" + Path("Profiles\\dave\\Desktop").substr(strlen(drive));
        SetRaw(hive, UserShellFoldersPath, "Desktop", REG_EXPAND_SZ, desktop.c_str(),
               static_cast<DWORD>(desktop.size() + 1));
    });
    TUserProfile profile(Dave, folder);
    ASSERT_TRUE(profile.IsOpen()) << profile.GetLoadError();
    EXPECT_EQ(folder + "\\Desktop", profile.GetDesktopFolder().GetSpelled());
}

TEST(ProcessToken, EnablesTheHivePrivilegesUntilDestroyed)
{
    ASSERT_FALSE(PrivilegeEnabled(SE_RESTORE_NAME));
    {
        TProcessToken token;
        EXPECT_EQ(ERROR_SUCCESS, token.EnableHivePrivileges());
        EXPECT_TRUE(PrivilegeEnabled(SE_RESTORE_NAME));
        EXPECT_TRUE(PrivilegeEnabled(SE_BACKUP_NAME));
    }
    EXPECT_FALSE(PrivilegeEnabled(SE_RESTORE_NAME));
    EXPECT_FALSE(PrivilegeEnabled(SE_BACKUP_NAME));
}

// An object is taken for one of ours, the lock or an existing log file, only
// when its owner is one Windows gives an elevated administrator's objects
// (the Administrators group), LocalSystem's, or the account the program runs
// as; Wine gives its objects no owner at all unless asked.
TEST(ProcessToken, TrustsOnlyAdministratorsLocalSystemAndItsOwnAccount)
{
    const std::string self = "S-1-5-21-1111-2222-3333-500";
    for (const char* owner : {"S-1-5-32-544", "S-1-5-18", "S-1-5-21-1111-2222-3333-500"})
        EXPECT_TRUE(TProcessToken::IsTrustedOwner(owner, self)) << owner;
    for (const char* owner : {"S-1-5-21-1111-2222-3333-1001", "S-1-5-32-545", "S-1-1-0", "S-1-5-11", "S-1-5-19",
                              "S-1-5-21-1111-2222-3333-5001", ""})
        EXPECT_FALSE(TProcessToken::IsTrustedOwner(owner, self)) << owner;
    EXPECT_FALSE(TProcessToken::IsTrustedOwner("", ""));
}

// Wine runs everything as its one user; LocalSystem is known by the SID
// Windows gives its token.
TEST(ProcessToken, KnowsLocalSystemByItsSid)
{
    EXPECT_TRUE(TProcessToken::IsLocalSystemSid("S-1-5-18"));
    for (const char* sid : {"S-1-5-19", "S-1-5-20", "S-1-5-21-1111-2222-3333-500", "S-1-5-18-1", ""})
        EXPECT_FALSE(TProcessToken::IsLocalSystemSid(sid)) << sid;
    std::string own = TProcessToken().UserSid();
    EXPECT_EQ(0u, own.find("S-1-5-21-")) << own;
    EXPECT_FALSE(TProcessToken::RunsAsLocalSystem());
}
