#include "TRemovalPass.h"
#include "../catalogue/Catalogue.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/TFileListSpec.h"
#include "../catalogue/UninstallCommand.h"
#include "RemoveProductFiles.h"
#include "TInstalledItems.h"
#include "TUserProfile.h"
#include "TUserProfiles.h"
#include <shlobj.h>
#include <vector>

const char CompletionMessage[] = "已经顺利完成卸载，欢迎再次使用弈辰软件!";
const char CompletionCaption[] = "弈辰卸载";
const char ShellFoldersPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char SettingsKeyPath[] = "Software\\Orlaquin\\Vexa";
const char MakerKeyPath[] = "Software\\Orlaquin";

namespace {
const char QuotaLibraryGroup[] = "ZOLT 工程预算";
const char SampleFileList[] = "安装预算例子.YSB=安装预算例子;土建预算例子.YSB=土建工程预算的例子;";
// How the report spells out the keys the pass deletes from.
const char UninstallKeyName[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char CurrentUserName[] = "HKEY_CURRENT_USER";
const char CurrentUserClassesName[] = "HKEY_CURRENT_USER\\Software\\Classes";
const DWORD ValueSize = 256;
const DWORD FileListSize = 2048;

// Tells the shell once that file associations changed, so Explorer drops
// stale icons and verbs. Shell32 is loaded only here: importing it would
// cost every start of the program its load time.
void NotifyAssociationsChanged()
{
    HMODULE shell = ::LoadLibraryA("shell32.dll");
    if (!shell)
        return;
    using TNotify = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);
    if (auto notify = reinterpret_cast<TNotify>(reinterpret_cast<void*>(::GetProcAddress(shell, "SHChangeNotify"))))
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    ::FreeLibrary(shell);
}

// An uninstall entry with nothing in it leads back to nothing.
bool IsEmptyKey(const TRegKey& key)
{
    DWORD subkeys = 0, values = 0;
    return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                              nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

// A folder Windows gives, read whole; one whose name does not fit the
// program's buffer, as the program spells it, is not taken.
TBaseFolder ReadFolder(const TRegKey& key, const char* name)
{
    TWidePath value;
    if (!key.QueryString(name, value) || value.ToAnsiLossy().size() >= ValueSize)
        return TBaseFolder();
    return TBaseFolder(value);
}

std::string ReadString(const TRegKey& key, const char* name, DWORD size, bool* ok = nullptr)
{
    std::vector<char> buffer(size, '\0');
    bool read = key.QueryString(name, buffer.data(), size);
    if (ok)
        *ok = read;
    return read ? std::string(buffer.data()) : std::string();
}

} // namespace

TRemovalPass::TRemovalPass(const TRemovalContext& context, TRemovalTargets* found)
    : Context(context), Found(found), Deleter(Report, context.OwnFile, found),
      CurrentUser{CurrentUserName, HKEY_CURRENT_USER, true, "", "", "",
                  TUserClasses{HKEY_CURRENT_USER, ClassesKeyPath, CurrentUserClassesName}}
{
    // Visiting every profile, the pass leaves the account it runs as alone
    // (as LocalSystem that is the system's own): it is in the list if it is anybody's.
    if (!Context.EveryProfile)
        UserShellFolders.Create(HKEY_CURRENT_USER, ShellFoldersPath);
    MachineShellFolders.Create(HKEY_LOCAL_MACHINE, ShellFoldersPath);
    UninstallKey.Create(HKEY_LOCAL_MACHINE, UninstallKeyPath);

    CurrentUser.Desktop = ReadFolder(UserShellFolders, "DeskTop");
    CurrentUser.Programs = ReadFolder(UserShellFolders, "Programs");
    CurrentUser.Documents = ReadFolder(UserShellFolders, "Personal");
    CommonPrograms = ReadFolder(MachineShellFolders, "Common Programs");

    if (!Context.EveryProfile)
        SettingsKey.Create(HKEY_CURRENT_USER, SettingsKeyPath, REG_OPTION_OPEN_LINK);
}

void TRemovalPass::RemoveAll(const std::vector<std::string>& chosen)
{
    std::vector<TUserWork> works;
    size_t count = chosen.size();
    for (size_t i = 0; i < count; ++i) {
        TUserWork work = Remove(chosen[i]);
        if (Context.EveryProfile)
            works.push_back(work);
        else
            RemoveForUser(work, CurrentUser);
    }
    if (Context.EveryProfile)
        RemoveForEveryProfile(works);
    Deleter.Finish();
    if (AssociationsRemoved > 0)
        NotifyAssociationsChanged();
}

TRemovalTargets TRemovalPass::FindTargets(const TRemovalContext& context, const std::vector<std::string>& chosen)
{
    TRemovalTargets found;
    TRemovalPass(context, &found).RemoveAll(chosen);
    return found;
}

int TRemovalPass::UserSpecParts() const
{
    return DesktopShortcuts | (CommonPrograms.empty() ? GroupShortcuts : 0);
}

int TRemovalPass::UserSpecParts(const TUser& user) const
{
    return UserSpecParts() & ~(user.DesktopShut ? DesktopShortcuts : 0) & ~(user.ProgramsShut ? GroupShortcuts : 0);
}

void TRemovalPass::RemoveForEveryProfile(const std::vector<TUserWork>& works)
{
    bool classesNeeded = false;
    for (const TUserWork& work : works)
        classesNeeded = classesNeeded || (work.HasSpec && NamesDocumentTypes(work.Spec));
    TUserProfiles profiles;
    for (const TUserProfiles::TEntry& entry : profiles.Entries()) {
        TUserProfile profile(entry.Sid, entry.Path);
        if (profile.IsRemnant()) {
            Report.BeginSection("Profile " + profile.GetLogName());
            Report.Add(TRemovalReport::Folder, TRemovalReport::NotFound, profile.GetPath().GetSpelled(), 0,
                       TRemovalReport::NoSuchProfile);
            continue;
        }
        if (!profile.IsOpen()) {
            Report.BeginSection("Profile " + profile.GetLogName());
            Report.Add(TRemovalReport::Key, TRemovalReport::Failed, "HKEY_USERS\\" + profile.GetSid(),
                       static_cast<unsigned long>(profile.GetLoadError()), TRemovalReport::ProfileNotOpened);
            continue;
        }
        TUser user{"HKEY_USERS\\" + profile.GetSid(), profile.GetRoot(), false, profile.GetDesktopFolder(),
                   profile.GetProgramsFolder(), profile.GetDocumentsFolder(), TUserClasses()};
        user.DesktopShut = profile.IsRefused("Desktop");
        user.ProgramsShut = profile.IsRefused("Programs");
        user.DocumentsShut = profile.IsRefused("Personal");
        if (!profile.GetRefusals().empty()) {
            // By design, and so no failure: the user's own values lead elsewhere.
            Report.BeginSection("Profile " + profile.GetLogName());
            for (const TUserProfile::TRefusal& refusal : profile.GetRefusals())
                Report.Add(TRemovalReport::Folder, TRemovalReport::Kept, refusal.Folder.GetSpelled(), 0,
                           refusal.Reason);
        }
        // The user's classes are a hive of their own, loaded only when a
        // document type is to go.
        if (classesNeeded) {
            LONG opened = profile.OpenClasses();
            if (opened == ERROR_SUCCESS) {
                user.Classes = TUserClasses{profile.GetClassesRoot(), "", profile.GetClassesName()};
            } else if (opened != ERROR_FILE_NOT_FOUND) {
                Report.BeginSection("Profile " + profile.GetLogName());
                Report.Add(TRemovalReport::Key, TRemovalReport::Failed, profile.GetClassesName(),
                           static_cast<unsigned long>(opened), TRemovalReport::ClassesNotOpened);
            }
        }
        Deleter.HoldTo(profile.GetFinalPath());
        for (const TUserWork& work : works) {
            Report.BeginSection(work.Text + " for " + profile.GetLogName());
            RemoveForUser(work, user);
        }
        Deleter.HoldTo(TWidePath());
        // Every key below its root is closed by now; a hive that will not
        // unload is said, for it stays loaded until the next restart.
        if (LONG unloaded = profile.CloseClasses())
            Report.Add(TRemovalReport::Key, TRemovalReport::Failed, "HKEY_USERS\\" + profile.GetLoadedClassesName(),
                       static_cast<unsigned long>(unloaded), TRemovalReport::HiveStaysLoaded);
        if (LONG unloaded = profile.Close())
            Report.Add(TRemovalReport::Key, TRemovalReport::Failed, "HKEY_USERS\\" + profile.GetLoadedName(),
                       static_cast<unsigned long>(unloaded), TRemovalReport::HiveStaysLoaded);
    }
}

void TRemovalPass::RemoveForUser(const TUserWork& work, const TUser& user)
{
    if (work.Kind == QuotaLibrary) {
        TRegKey settings;
        const std::string settingsName = user.RootName + "\\" + SettingsKeyPath;
        if (!Found && OpenUserKey(settings, user, SettingsKeyPath)) {
            // The library's key lies behind a link the user made: not ours to follow.
            if (settings.IsLink())
                Deleter.StepOver(TRemovalReport::Key, settingsName + "\\" + work.Text, TRemovalReport::Link);
            else
                Deleter.DeleteKey(settings, settingsName, work.Text.c_str());
        }
        // The user's own Programs folder, when the common one did not have it.
        if (!work.LibraryShortcutGone && !user.ProgramsShut)
            DeleteLibraryShortcut(user.Programs, work.LibraryShortcut);
    }
    if (work.Kind == History)
        RemoveHistoryForUser(user);
    if (work.HasSpec)
        AssociationsRemoved += RemoveProductFiles(work.Spec, work.Group, "", user.Programs, user.Desktop, Context,
                                                  Deleter, UserSpecParts(user), &user.Classes)
                                   .AssociationsRemoved;
}

bool TRemovalPass::OpenUserKey(TRegKey& key, const TUser& user, const char* path)
{
    LONG opened = user.CreatesKeys ? key.Create(user.Root, path, REG_OPTION_OPEN_LINK)
                                   : key.Open(user.Root, path, KEY_ALL_ACCESS, REG_OPTION_OPEN_LINK);
    if (opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND)
        Report.Add(TRemovalReport::Key, TRemovalReport::Failed, user.RootName + "\\" + path,
                   static_cast<unsigned long>(opened));
    return opened == ERROR_SUCCESS;
}

bool TRemovalPass::DeleteLibraryShortcut(const TBaseFolder& programs, const std::string& name)
{
    if (programs.empty())
        return false;
    std::string whole = programs.GetSpelled() + "\\" + QuotaLibraryGroup + "\\" + name + ".lnk";
    TFixedPath shortcut(whole.c_str());
    if (shortcut.IsUsable())
        return Deleter.DeleteFile(programs, shortcut.c_str(), TRemovalReport::Shortcut);
    Deleter.StepOver(TRemovalReport::Shortcut, whole, TRemovalReport::TooLong);
    return false;
}

TRemovalPass::TItemKind TRemovalPass::Classify(const std::string& text, std::string* iniValue,
                                               const TLinkedStrings** record) const
{
    // Read with room to spare, so that a value too long for a path is
    // recognised as such instead of arriving cut short.
    std::vector<char> value(4 * ValueSize, '\0');
    DWORD length = ::GetPrivateProfileStringA(QuotaLibrarySection, text.c_str(), "", value.data(),
                                              static_cast<DWORD>(value.size()), IniFileName);
    if (length > 0) {
        if (iniValue)
            *iniValue = std::string(value.data(), length);
        return QuotaLibrary;
    }
    if (const TLinkedStrings* row = ProductCatalogue.Find(TLinkedStrings::Key(text))) {
        if (record)
            *record = row;
        return (row->Shared & 1) ? SharedLibraries : CatalogedProduct;
    }
    if (text == HistoryItemText)
        return History;
    return UncatalogedProduct;
}

TRemovalPass::TUserWork TRemovalPass::Remove(const std::string& text)
{
    Report.BeginItem(text);
    TUserWork work;
    work.Text = text;
    std::string libraryPath;
    const TLinkedStrings* record = nullptr;
    work.Kind = Classify(text, &libraryPath, &record);
    switch (work.Kind) {
    case QuotaLibrary:
        RemoveQuotaLibrary(text, libraryPath, work);
        break;
    case CatalogedProduct:
        RemoveCatalogedProduct(text, *record, work);
        break;
    case SharedLibraries:
        RemoveSharedLibraries(record->FileList);
        break;
    case History:
        DeleteHistoryFile(Context.WindowsFolder(), "zoltnet.ini");
        break;
    case UncatalogedProduct:
        RemoveUncatalogedProduct(text, work);
        break;
    }
    return work;
}

void TRemovalPass::DeleteUninstallEntry(const std::string& name)
{
    if (!Found)
        Deleter.DeleteKey(UninstallKey, UninstallKeyName, name.c_str());
}

bool TRemovalPass::OpenUninstallEntry(TRegKey& entry, const std::string& name)
{
    // Opened only: one that went after the tree was built, or a text that
    // names no entry, is not made anew.
    if (entry.Open(UninstallKey, name.c_str(), KEY_QUERY_VALUE) != ERROR_FILE_NOT_FOUND)
        return true;
    if (!Found)
        Report.Add(TRemovalReport::Key, TRemovalReport::NotFound, std::string(UninstallKeyName) + "\\" + name);
    return false;
}

void TRemovalPass::KeepUninstallEntry(const std::string& name)
{
    Report.Add(TRemovalReport::Key, TRemovalReport::Kept, std::string(UninstallKeyName) + "\\" + name, 0,
               TRemovalReport::WayBack);
}

void TRemovalPass::RemoveQuotaLibrary(const std::string& text, const std::string& libraryPath, TUserWork& work)
{
    // A relative value would name a file in whatever the current directory
    // is, and one too long for a path would be cut into another: neither is
    // tried, and the INI entry, the only record of where the file is, stays.
    long slash = TFileListSpec::FindLastSeparator(libraryPath);
    bool fits = libraryPath.size() < ValueSize;
    bool usable = fits && TFileListSpec::IsAbsolutePath(libraryPath) && slash >= 0;
    std::string directory = usable ? libraryPath.substr(0, static_cast<size_t>(slash)) : std::string();
    std::string iniName = Context.Dirs.WindowsDir.empty() ? IniFileName : Context.Dirs.WindowsDir + "\\" + IniFileName;
    iniName += std::string(" [") + QuotaLibrarySection + "] " + text;
    if (usable) {
        Deleter.DeleteFile("", libraryPath);
        if (!Found)
            Deleter.DeleteIniEntry(QuotaLibrarySection, text, IniFileName, iniName);
    } else {
        Deleter.StepOver(TRemovalReport::File, libraryPath, fits ? TRemovalReport::NotAbsolute : TRemovalReport::TooLong);
        Report.Add(TRemovalReport::IniEntry, TRemovalReport::Kept, iniName, 0, TRemovalReport::WayBack);
    }

    const TLinkedStrings* record = QuotaLibraryCatalogue.Find(TLinkedStrings::Key(text));
    work.LibraryShortcut = (record && !record->FileList.empty()) ? record->FileList : text;
    work.LibraryShortcutGone = DeleteLibraryShortcut(CommonPrograms, work.LibraryShortcut);

    if (usable) {
        work.HasSpec = true;
        work.Spec = SampleFileList;
        work.Group = QuotaLibraryGroup;
        AssociationsRemoved += RemoveProductFiles(SampleFileList, QuotaLibraryGroup, directory, CommonPrograms, "",
                                                  Context, Deleter, EveryPart & ~UserSpecParts())
                                   .AssociationsRemoved;
    }

    DeleteUninstallEntry(record ? record->Group : text);
}

void TRemovalPass::RemoveCatalogedProduct(const std::string& text, const TLinkedStrings& record, TUserWork& work)
{
    if (!TRegKey::IsSubKeyName(text.c_str())) {
        Deleter.StepOver(TRemovalReport::Key, std::string(UninstallKeyName) + "\\" + text, TRemovalReport::NotAKeyName);
        return;
    }
    TRegKey entry;
    if (!OpenUninstallEntry(entry, text))
        return;

    bool read = false;
    std::string installDir = ReadString(entry, "InstallPath", ValueSize, &read);
    if (!read) {
        std::string command = ReadString(entry, "UninstallString", ValueSize, &read);
        installDir = read ? InstallDirFromCommand(command) : std::string();
    }
    std::string programGroup = ReadString(entry, "ProgramGroup", ValueSize, &read);
    if (!read)
        programGroup = record.Group;
    std::string spec = ReadString(entry, "progs", FileListSize, &read);
    if (!read)
        spec = record.FileList.substr(0, FileListSize - 1);
    bool empty = IsEmptyKey(entry);
    entry.Close();

    // Without a folder none of its files can be tried; its entry, which
    // keeps it in the list, is then all that leads back to them.
    if (installDir.empty() && empty) {
        DeleteUninstallEntry(text);
        return;
    }
    if (installDir.empty()) {
        Deleter.StepOver(TRemovalReport::Folder, text, TRemovalReport::NoInstallFolder);
        KeepUninstallEntry(text);
        return;
    }
    RemoveProduct(text, spec, programGroup, installDir, work);
}

void TRemovalPass::RemoveProduct(const std::string& text, const std::string& spec, const std::string& group,
                                 const std::string& installDir, TUserWork& work)
{
    if (Found)
        Found->AddFolder(installDir);
    TProductFilesResult result = RemoveProductFiles(spec, group, installDir, CommonPrograms, "", Context, Deleter,
                                                    EveryPart & ~UserSpecParts());
    AssociationsRemoved += result.AssociationsRemoved;
    work.HasSpec = true;
    work.Spec = spec;
    work.Group = group;
    if (result.SteppedOver)
        KeepUninstallEntry(text);
    else
        DeleteUninstallEntry(text);
}

void TRemovalPass::RemoveSharedLibraries(const std::string& fileList)
{
    AssociationsRemoved +=
        RemoveProductFiles(fileList.substr(0, FileListSize - 1), "", "", "", "", Context, Deleter).AssociationsRemoved;
}

void TRemovalPass::RemoveHistoryForUser(const TUser& user)
{
    for (const char* name : {"TallyPad.ini", "预算表台账.YsbTz"})
        if (!user.DocumentsShut)
            DeleteHistoryFile(user.Documents, name);

    // Keys hold no file: finding what goes needs none of them.
    TRegKey maker;
    if (Found || !OpenUserKey(maker, user, MakerKeyPath))
        return;
    const std::string makerName = user.RootName + "\\" + MakerKeyPath;
    if (maker.IsLink()) {
        Deleter.DeleteLink(maker, makerName);
        return;
    }
    // A subkey that will not go is stepped over, so the loop always ends.
    // Each goes by its name as Windows holds it, in whatever script.
    TWidePath name;
    DWORD index = 0;
    while (maker.EnumKey(index, name) == ERROR_SUCCESS) {
        if (Deleter.DeleteKey(maker, makerName, name) != ERROR_SUCCESS)
            ++index;
    }
}

void TRemovalPass::DeleteHistoryFile(const TBaseFolder& folder, const char* name)
{
    // Without its folder the name would land in the current drive's root.
    if (folder.empty()) {
        Deleter.StepOver(TRemovalReport::File, name, TRemovalReport::NoFolder);
        return;
    }
    TFixedPath file;
    if (file.Append(folder.GetSpelled()).Append("\\").Append(name).IsUsable())
        Deleter.DeleteFile(folder, file.c_str());
    else
        Deleter.StepOver(TRemovalReport::File, folder.GetSpelled() + "\\" + name, TRemovalReport::TooLong);
}

void TRemovalPass::RemoveUncatalogedProduct(const std::string& text, TUserWork& work)
{
    if (!TRegKey::IsSubKeyName(text.c_str())) {
        Deleter.StepOver(TRemovalReport::Key, std::string(UninstallKeyName) + "\\" + text, TRemovalReport::NotAKeyName);
        return;
    }
    TRegKey entry;
    if (!OpenUninstallEntry(entry, text))
        return;
    bool hasPath = false, hasGroup = false, hasSpec = false;
    std::string installDir = ReadString(entry, "InstallPath", ValueSize, &hasPath);
    std::string programGroup = ReadString(entry, "ProgramGroup", ValueSize, &hasGroup);
    std::string spec = ReadString(entry, "progs", FileListSize, &hasSpec);
    bool empty = IsEmptyKey(entry);
    entry.Close();
    if (empty) {
        DeleteUninstallEntry(text);
        return;
    }
    // Nothing of it is removed, and its entry stays.
    if (!hasPath || !hasGroup || !hasSpec) {
        Deleter.StepOver(TRemovalReport::Folder, text, TRemovalReport::MissingValues);
        return;
    }
    RemoveProduct(text, spec, programGroup, installDir, work);
}
