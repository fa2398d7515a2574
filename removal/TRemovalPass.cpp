#include "TRemovalPass.h"
#include "RemoveProductFiles.h"
#include <shlobj.h>

const char CompletionMessage[] = "已经顺利完成卸载，欢迎再次使用弈辰软件!";
const char CompletionCaption[] = "弈辰卸载";
const char ShellFoldersPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

namespace {
const char CurrentUserName[] = "HKEY_CURRENT_USER";
const char CurrentUserClassesName[] = "HKEY_CURRENT_USER\\Software\\Classes";
const DWORD ValueSize = 256;

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

// A folder Windows gives, read whole; one whose name does not fit the
// program's buffer, as the program spells it, is not taken.
TBaseFolder ReadFolder(const TRegKey& key, const char* name)
{
    TWidePath value;
    if (!key.QueryString(name, value) || value.ToAnsiLossy().size() >= ValueSize)
        return TBaseFolder();
    return TBaseFolder(value);
}

TBaseFolder ReadCommonPrograms(TRegKey& machineShellFolders)
{
    machineShellFolders.Create(HKEY_LOCAL_MACHINE, ShellFoldersPath);
    return ReadFolder(machineShellFolders, "Common Programs");
}
} // namespace

TRemovalPass::TRemovalPass(const TRemovalContext& context, TRemovalTargets* found)
    : Context(context), Door(Report, context.OwnFile, found), CommonPrograms(ReadCommonPrograms(MachineShellFolders)),
      UserParts(DesktopShortcuts | (CommonPrograms.empty() ? GroupShortcuts : 0)),
      CurrentUser{CurrentUserName, HKEY_CURRENT_USER, true, "", "", "",
                  TUserClasses{HKEY_CURRENT_USER, ClassesKeyPath, CurrentUserClassesName}},
      Items(Context, Door, CommonPrograms, UserParts, found), Users(Context, Door, UserParts, found)
{
    // Visiting every profile, the pass leaves the account it runs as alone
    // (as LocalSystem that is the system's own): it is in the list if it is anybody's.
    if (Context.EveryProfile)
        return;
    UserShellFolders.Create(HKEY_CURRENT_USER, ShellFoldersPath);
    CurrentUser.Desktop = ReadFolder(UserShellFolders, "DeskTop");
    CurrentUser.Programs = ReadFolder(UserShellFolders, "Programs");
    CurrentUser.Documents = ReadFolder(UserShellFolders, "Personal");
    SettingsKey.Create(HKEY_CURRENT_USER, SettingsKeyPath, REG_OPTION_OPEN_LINK);
}

void TRemovalPass::RemoveAll(const std::vector<std::string>& chosen)
{
    std::vector<TItemRemoval::TUserWork> works;
    for (const std::string& text : chosen) {
        TItemRemoval::TUserWork work = Items.Remove(text);
        if (Context.EveryProfile)
            works.push_back(work);
        else
            Users.Remove(work, CurrentUser);
    }
    if (Context.EveryProfile)
        Users.RemoveForEveryProfile(works);
    Door.Files.Finish();
    if (Items.AssociationsRemoved() + Users.AssociationsRemoved() > 0)
        NotifyAssociationsChanged();
}

TRemovalTargets TRemovalPass::FindTargets(const TRemovalContext& context, const std::vector<std::string>& chosen)
{
    TRemovalTargets found;
    TRemovalPass(context, &found).RemoveAll(chosen);
    return found;
}
