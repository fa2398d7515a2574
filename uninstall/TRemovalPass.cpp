#include "TRemovalPass.h"
#include "../catalogue/Catalogue.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/TFileListSpec.h"
#include "../catalogue/UninstallCommand.h"
#include "RemoveProductFiles.h"
#include "TInstalledItems.h"
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
const char SettingsKeyName[] = "HKEY_CURRENT_USER\\Software\\Orlaquin\\Vexa";
const char MakerKeyName[] = "HKEY_CURRENT_USER\\Software\\Orlaquin";
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

std::string ReadString(const TRegKey& key, const char* name, DWORD size, bool* ok = nullptr)
{
    std::vector<char> buffer(size, '\0');
    bool read = key.QueryString(name, buffer.data(), size);
    if (ok)
        *ok = read;
    return read ? std::string(buffer.data()) : std::string();
}

} // namespace

TRemovalPass::TRemovalPass(const TRemovalContext& context)
    : Context(context), Deleter(Report, context.OwnFile)
{
    UserShellFolders.Create(HKEY_CURRENT_USER, ShellFoldersPath);
    MachineShellFolders.Create(HKEY_LOCAL_MACHINE, ShellFoldersPath);
    UninstallKey.Create(HKEY_LOCAL_MACHINE, UninstallKeyPath);

    DesktopFolder = ReadString(UserShellFolders, "DeskTop", ValueSize);
    UserProgramsFolder = ReadString(UserShellFolders, "Programs", ValueSize);
    bool common = false;
    ProgramsFolder = ReadString(MachineShellFolders, "Common Programs", ValueSize, &common);
    if (!common)
        ProgramsFolder = UserProgramsFolder;

    SettingsKey.Create(HKEY_CURRENT_USER, SettingsKeyPath);
}

void TRemovalPass::RemoveAll(const std::vector<std::string>& chosen)
{
    size_t count = chosen.size();
    for (size_t i = 0; i < count; ++i)
        Remove(chosen[i]);
    Deleter.Finish();
    if (AssociationsRemoved > 0)
        NotifyAssociationsChanged();
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

void TRemovalPass::Remove(const std::string& text)
{
    Report.BeginItem(text);
    std::string libraryPath;
    const TLinkedStrings* record = nullptr;
    switch (Classify(text, &libraryPath, &record)) {
    case QuotaLibrary:
        RemoveQuotaLibrary(text, libraryPath);
        break;
    case CatalogedProduct:
        RemoveCatalogedProduct(text, *record);
        break;
    case SharedLibraries:
        RemoveSharedLibraries(record->FileList);
        break;
    case History:
        RemoveHistory();
        break;
    case UncatalogedProduct:
        RemoveUncatalogedProduct(text);
        break;
    }
}

void TRemovalPass::DeleteUninstallEntry(const std::string& name)
{
    Deleter.DeleteKey(UninstallKey, UninstallKeyName, name.c_str());
}

void TRemovalPass::KeepUninstallEntry(const std::string& name)
{
    Report.Add(TRemovalReport::Key, TRemovalReport::Kept, std::string(UninstallKeyName) + "\\" + name, 0,
               TRemovalReport::WayBack);
}

void TRemovalPass::RemoveQuotaLibrary(const std::string& text, const std::string& libraryPath)
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
        Deleter.DeleteIniEntry(QuotaLibrarySection, text, IniFileName, iniName);
    } else {
        Deleter.StepOver(TRemovalReport::File, libraryPath, fits ? TRemovalReport::NotAbsolute : TRemovalReport::TooLong);
        Report.Add(TRemovalReport::IniEntry, TRemovalReport::Kept, iniName, 0, TRemovalReport::WayBack);
    }
    Deleter.DeleteKey(SettingsKey, SettingsKeyName, text.c_str());

    const TLinkedStrings* record = QuotaLibraryCatalogue.Find(TLinkedStrings::Key(text));
    const std::string& shortcutName = (record && !record->FileList.empty()) ? record->FileList : text;
    bool deleted = false;
    for (const std::string* folder : {&ProgramsFolder, &UserProgramsFolder}) {
        if (deleted || folder->empty())
            continue;
        TFixedPath shortcut;
        shortcut.Append(*folder).Append("\\").Append(QuotaLibraryGroup).Append("\\").Append(shortcutName).Append(".lnk");
        if (shortcut.IsUsable())
            deleted = Deleter.DeleteFile(*folder, shortcut.c_str(), TRemovalReport::Shortcut);
        else
            Deleter.StepOver(TRemovalReport::Shortcut,
                             *folder + "\\" + QuotaLibraryGroup + "\\" + shortcutName + ".lnk", TRemovalReport::TooLong);
    }

    if (usable)
        AssociationsRemoved += RemoveProductFiles(SampleFileList, QuotaLibraryGroup, directory, ProgramsFolder,
                                                  DesktopFolder, Context, Deleter)
                                   .AssociationsRemoved;

    DeleteUninstallEntry(record ? record->Group : text);
}

void TRemovalPass::RemoveCatalogedProduct(const std::string& text, const TLinkedStrings& record)
{
    if (!TRegKey::IsSubKeyName(text.c_str())) {
        Deleter.StepOver(TRemovalReport::Key, std::string(UninstallKeyName) + "\\" + text, TRemovalReport::NotAKeyName);
        return;
    }
    TRegKey entry;
    entry.Create(UninstallKey, text.c_str());

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
    entry.Close();

    // Without a folder none of its files can be tried; its entry, which
    // keeps it in the list, is then all that leads back to them.
    if (installDir.empty()) {
        Deleter.StepOver(TRemovalReport::Folder, text, TRemovalReport::NoInstallFolder);
        KeepUninstallEntry(text);
        return;
    }
    TProductFilesResult result =
        RemoveProductFiles(spec, programGroup, installDir, ProgramsFolder, DesktopFolder, Context, Deleter);
    AssociationsRemoved += result.AssociationsRemoved;
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

void TRemovalPass::RemoveHistory()
{
    std::string documents = ReadString(UserShellFolders, "Personal", ValueSize);
    for (const char* name : {"TallyPad.ini", "预算表台账.YsbTz"})
        DeleteHistoryFile(documents, name);
    DeleteHistoryFile(Context.Dirs.WindowsDir, "zoltnet.ini");

    TRegKey maker;
    if (maker.Create(HKEY_CURRENT_USER, MakerKeyPath) != ERROR_SUCCESS)
        return;
    // A subkey that will not go is stepped over, so the loop always ends.
    std::vector<char> name(1024);
    DWORD index = 0;
    while (maker.EnumKey(index, name.data(), static_cast<DWORD>(name.size())) == ERROR_SUCCESS) {
        if (Deleter.DeleteKey(maker, MakerKeyName, name.data()) != ERROR_SUCCESS)
            ++index;
    }
}

void TRemovalPass::DeleteHistoryFile(const std::string& folder, const char* name)
{
    // Without its folder the name would land in the current drive's root.
    if (folder.empty()) {
        Deleter.StepOver(TRemovalReport::File, name, TRemovalReport::NoFolder);
        return;
    }
    TFixedPath file;
    if (file.Append(folder).Append("\\").Append(name).IsUsable())
        Deleter.DeleteFile(folder, file.c_str());
    else
        Deleter.StepOver(TRemovalReport::File, folder + "\\" + name, TRemovalReport::TooLong);
}

void TRemovalPass::RemoveUncatalogedProduct(const std::string& text)
{
    if (!TRegKey::IsSubKeyName(text.c_str())) {
        Deleter.StepOver(TRemovalReport::Key, std::string(UninstallKeyName) + "\\" + text, TRemovalReport::NotAKeyName);
        return;
    }
    TRegKey entry;
    entry.Create(UninstallKey, text.c_str());
    bool hasPath = false, hasGroup = false, hasSpec = false;
    std::string installDir = ReadString(entry, "InstallPath", ValueSize, &hasPath);
    std::string programGroup = ReadString(entry, "ProgramGroup", ValueSize, &hasGroup);
    std::string spec = ReadString(entry, "progs", FileListSize, &hasSpec);
    entry.Close();
    // Nothing of it is removed, and its entry stays.
    if (!hasPath || !hasGroup || !hasSpec) {
        Deleter.StepOver(TRemovalReport::Folder, text, TRemovalReport::MissingValues);
        return;
    }
    TProductFilesResult result =
        RemoveProductFiles(spec, programGroup, installDir, ProgramsFolder, DesktopFolder, Context, Deleter);
    AssociationsRemoved += result.AssociationsRemoved;
    if (result.SteppedOver)
        KeepUninstallEntry(text);
    else
        DeleteUninstallEntry(text);
}
