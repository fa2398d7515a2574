#include "TUserRemoval.h"
#include "../machine/TUserProfile.h"
#include "../machine/TUserProfiles.h"

const char SettingsKeyPath[] = "Software\\Orlaquin\\Vexa";
const char MakerKeyPath[] = "Software\\Orlaquin";

namespace {
using TReport = TRemovalReport;

TReport::TReason ReasonFor(TUserFolderCheck::TVerdict verdict)
{
    return verdict == TUserFolderCheck::NotLocal ? TReport::NotLocal : TReport::OutsideProfile;
}
} // namespace

TUserRemoval::TUserRemoval(const TRemovalContext& context, TDoor& door, int userParts, TRemovalTargets* found)
    : Context(context), Door(door), UserSpecParts(userParts), Found(found)
{
}

int TUserRemoval::PartsOf(const TUser& user) const
{
    return UserSpecParts & ~(user.DesktopShut ? DesktopShortcuts : 0) & ~(user.ProgramsShut ? GroupShortcuts : 0);
}

void TUserRemoval::RemoveForEveryProfile(const std::vector<TUserWork>& works)
{
    TRemovalReport& report = Door.Report;
    bool classesNeeded = false;
    for (const TUserWork& work : works)
        classesNeeded = classesNeeded || (work.HasSpec && NamesDocumentTypes(work.Spec));
    TUserProfiles profiles;
    for (const TUserProfiles::TEntry& entry : profiles.Entries()) {
        TUserProfile profile(entry.Sid, entry.Path);
        auto beginProfile = [&] { report.BeginSection("Profile " + profile.GetLogName()); };
        if (profile.IsRemnant()) {
            beginProfile();
            report.Add(TReport::Folder, TReport::NotFound, profile.GetPath().GetSpelled(), 0, TReport::NoSuchProfile);
            continue;
        }
        if (!profile.IsOpen()) {
            beginProfile();
            report.Add(TReport::Key, TReport::Failed, "HKEY_USERS\\" + profile.GetSid(),
                       static_cast<unsigned long>(profile.GetLoadError()), TReport::ProfileNotOpened);
            continue;
        }
        TUser user{"HKEY_USERS\\" + profile.GetSid(), profile.GetRoot(), false, profile.GetDesktopFolder(),
                   profile.GetProgramsFolder(), profile.GetDocumentsFolder(), TUserClasses()};
        user.DesktopShut = profile.IsRefused("Desktop");
        user.ProgramsShut = profile.IsRefused("Programs");
        user.DocumentsShut = profile.IsRefused("Personal");
        if (!profile.GetRefusals().empty()) {
            // By design, and so no failure: the user's own values lead elsewhere.
            beginProfile();
            for (const TUserProfile::TRefusal& refusal : profile.GetRefusals())
                report.Add(TReport::Folder, TReport::Kept, refusal.Folder.GetSpelled(), 0, ReasonFor(refusal.Reason));
        }
        // The user's classes are a hive of their own, loaded only when a
        // document type is to go.
        if (classesNeeded) {
            LONG opened = profile.OpenClasses();
            if (opened == ERROR_SUCCESS) {
                user.Classes = TUserClasses{profile.GetClassesRoot(), "", profile.GetClassesName()};
            } else if (opened != ERROR_FILE_NOT_FOUND) {
                beginProfile();
                report.Add(TReport::Key, TReport::Failed, profile.GetClassesName(), static_cast<unsigned long>(opened),
                           TReport::ClassesNotOpened);
            }
        }
        Door.Files.HoldTo(profile.GetFinalPath());
        for (const TUserWork& work : works) {
            report.BeginSection(work.Text + " for " + profile.GetLogName());
            Remove(work, user);
        }
        Door.Files.HoldTo(TWidePath());
        // Every key below its root is closed by now; a hive that will not
        // unload is said, for it stays loaded until the next restart.
        if (LONG unloaded = profile.CloseClasses())
            report.Add(TReport::Key, TReport::Failed, "HKEY_USERS\\" + profile.GetLoadedClassesName(),
                       static_cast<unsigned long>(unloaded), TReport::HiveStaysLoaded);
        if (LONG unloaded = profile.Close())
            report.Add(TReport::Key, TReport::Failed, "HKEY_USERS\\" + profile.GetLoadedName(),
                       static_cast<unsigned long>(unloaded), TReport::HiveStaysLoaded);
    }
}

void TUserRemoval::Remove(const TUserWork& work, const TUser& user)
{
    if (work.Kind == TItemRemoval::QuotaLibrary) {
        TRegKey settings;
        const std::string settingsName = user.RootName + "\\" + SettingsKeyPath;
        if (!Found && OpenUserKey(settings, user, SettingsKeyPath)) {
            // The library's key lies behind a link the user made: not ours to follow.
            if (settings.IsLink())
                Door.Report.StepOver(TReport::Key, settingsName + "\\" + work.Text, TReport::Link);
            else
                Door.Entries.DeleteKey(settings, settingsName, work.Text.c_str());
        }
        // The user's own Programs folder, when the common one did not have it.
        if (!work.LibraryShortcutGone && !user.ProgramsShut)
            DeleteLibraryShortcut(user.Programs, work.LibraryShortcut, Door);
    }
    if (work.Kind == TItemRemoval::History)
        RemoveHistory(user);
    if (work.HasSpec)
        Associations += RemoveProductFiles(work.Spec, work.Group, "", user.Programs, user.Desktop, Context, Door,
                                           PartsOf(user), &user.Classes)
                            .AssociationsRemoved;
}

bool TUserRemoval::OpenUserKey(TRegKey& key, const TUser& user, const char* path)
{
    LONG opened = user.CreatesKeys ? key.Create(user.Root, path, REG_OPTION_OPEN_LINK)
                                   : key.Open(user.Root, path, KEY_ALL_ACCESS, REG_OPTION_OPEN_LINK);
    if (opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND)
        Door.Report.Add(TReport::Key, TReport::Failed, user.RootName + "\\" + path, static_cast<unsigned long>(opened));
    return opened == ERROR_SUCCESS;
}

void TUserRemoval::RemoveHistory(const TUser& user)
{
    if (!user.DocumentsShut)
        for (const char* name : {"TallyPad.ini", "预算表台账.YsbTz"})
            DeleteFileIn(user.Documents, name, Door);

    // Keys hold no file: finding what goes needs none of them.
    TRegKey maker;
    if (Found || !OpenUserKey(maker, user, MakerKeyPath))
        return;
    const std::string makerName = user.RootName + "\\" + MakerKeyPath;
    if (maker.IsLink()) {
        Door.Entries.DeleteLink(maker, makerName);
        return;
    }
    // A subkey that will not go is stepped over, so the loop always ends.
    // Each goes by its name as Windows holds it, in whatever script.
    TWidePath name;
    DWORD index = 0;
    while (maker.EnumKey(index, name) == ERROR_SUCCESS) {
        if (Door.Entries.DeleteKey(maker, makerName, name) != ERROR_SUCCESS)
            ++index;
    }
}
