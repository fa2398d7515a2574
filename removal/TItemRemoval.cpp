#include "TItemRemoval.h"
#include "../catalogue/Catalogue.h"
#include "../catalogue/TFileListSpec.h"
#include "../catalogue/UninstallCommand.h"
#include "../installed/TInstalledItems.h"
#include "RemoveProductFiles.h"
#include <vector>

namespace {
using TReport = TRemovalReport;
const char SampleFileList[] = "安装预算例子.YSB=安装预算例子;土建预算例子.YSB=土建工程预算的例子;";
// How the report spells out the key the uninstall entries are deleted from.
const char UninstallKeyName[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const DWORD ValueSize = 256;
const DWORD FileListSize = 2048;

// An uninstall entry with nothing in it leads back to nothing.
bool IsEmptyKey(const TRegKey& key)
{
    DWORD subkeys = 0, values = 0;
    return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                              nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
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

TItemRemoval::TItemRemoval(const TRemovalContext& context, TDoor& door, const TBaseFolder& commonPrograms,
                           int userParts, TRemovalTargets* found)
    : Context(context), Door(door), CommonPrograms(commonPrograms), MachineSpecParts(EveryPart & ~userParts),
      Found(found)
{
    UninstallKey.Create(HKEY_LOCAL_MACHINE, UninstallKeyPath);
}

TItemRemoval::TItemKind TItemRemoval::Classify(const std::string& text, std::string* iniValue,
                                               const TLinkedStrings** record)
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

TItemRemoval::TUserWork TItemRemoval::Remove(const std::string& text)
{
    Door.Report.BeginItem(text);
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
        DeleteFileIn(Context.WindowsFolder(), "zoltnet.ini", Door);
        break;
    case UncatalogedProduct:
        RemoveUncatalogedProduct(text, work);
        break;
    }
    return work;
}

void TItemRemoval::DeleteUninstallEntry(const std::string& name)
{
    if (!Found)
        Door.Entries.DeleteKey(UninstallKey, UninstallKeyName, name.c_str());
}

bool TItemRemoval::OpenUninstallEntry(TRegKey& entry, const std::string& name)
{
    if (!TRegKey::IsSubKeyName(name.c_str())) {
        Door.Report.StepOver(TReport::Key, std::string(UninstallKeyName) + "\\" + name, TReport::NotAKeyName);
        return false;
    }
    // Opened only: one that went after the tree was built, or a text that
    // names no entry, is not made anew.
    if (entry.Open(UninstallKey, name.c_str(), KEY_QUERY_VALUE) != ERROR_FILE_NOT_FOUND)
        return true;
    if (!Found)
        Door.Report.Add(TReport::Key, TReport::NotFound, std::string(UninstallKeyName) + "\\" + name);
    return false;
}

void TItemRemoval::KeepUninstallEntry(const std::string& name)
{
    Door.Report.Add(TReport::Key, TReport::Kept, std::string(UninstallKeyName) + "\\" + name, 0, TReport::WayBack);
}

void TItemRemoval::RemoveQuotaLibrary(const std::string& text, const std::string& libraryPath, TUserWork& work)
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
        Door.Files.DeleteFile("", libraryPath);
        if (!Found)
            Door.Entries.DeleteIniEntry(QuotaLibrarySection, text, IniFileName, iniName);
    } else {
        Door.Report.StepOver(TReport::File, libraryPath, fits ? TReport::NotAbsolute : TReport::TooLong);
        Door.Report.Add(TReport::IniEntry, TReport::Kept, iniName, 0, TReport::WayBack);
    }

    const TLinkedStrings* record = QuotaLibraryCatalogue.Find(TLinkedStrings::Key(text));
    work.LibraryShortcut = (record && !record->FileList.empty()) ? record->FileList : text;
    work.LibraryShortcutGone = DeleteLibraryShortcut(CommonPrograms, work.LibraryShortcut, Door);

    if (usable) {
        work.HasSpec = true;
        work.Spec = SampleFileList;
        work.Group = QuotaLibraryGroup;
        Associations += RemoveProductFiles(SampleFileList, QuotaLibraryGroup, directory, CommonPrograms, "", Context,
                                           Door, MachineSpecParts)
                            .AssociationsRemoved;
    }

    DeleteUninstallEntry(record ? record->Group : text);
}

void TItemRemoval::RemoveCatalogedProduct(const std::string& text, const TLinkedStrings& record, TUserWork& work)
{
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
        Door.Report.StepOver(TReport::Folder, text, TReport::NoInstallFolder);
        KeepUninstallEntry(text);
        return;
    }
    RemoveProduct(text, spec, programGroup, installDir, work);
}

void TItemRemoval::RemoveProduct(const std::string& text, const std::string& spec, const std::string& group,
                                 const std::string& installDir, TUserWork& work)
{
    if (Found)
        Found->AddFolder(installDir);
    TProductFilesResult result =
        RemoveProductFiles(spec, group, installDir, CommonPrograms, "", Context, Door, MachineSpecParts);
    Associations += result.AssociationsRemoved;
    work.HasSpec = true;
    work.Spec = spec;
    work.Group = group;
    if (result.SteppedOver)
        KeepUninstallEntry(text);
    else
        DeleteUninstallEntry(text);
}

void TItemRemoval::RemoveSharedLibraries(const std::string& fileList)
{
    Associations += RemoveProductFiles(fileList.substr(0, FileListSize - 1), "", "", "", "", Context, Door)
                        .AssociationsRemoved;
}

void TItemRemoval::RemoveUncatalogedProduct(const std::string& text, TUserWork& work)
{
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
        Door.Report.StepOver(TReport::Folder, text, TReport::MissingValues);
        return;
    }
    RemoveProduct(text, spec, programGroup, installDir, work);
}
