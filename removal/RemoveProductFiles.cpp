#include "RemoveProductFiles.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/TFileListSpec.h"
#include "../machine/TRegKey.h"
#include <windows.h>

const char ClassesKeyPath[] = "Software\\Classes";
const char QuotaLibraryGroup[] = "ZOLT 工程预算";

namespace {
using TReport = TRemovalReport;
const char UninstallShortcut[] = "卸载.lnk";
const char MachineClassesName[] = "HKEY_LOCAL_MACHINE\\Software\\Classes";

// A group names a folder inside the programs folder: not the programs folder
// itself (empty or nothing but backslashes) and not a way out of it ("..").
bool IsGroupName(const std::string& group)
{
    bool named = false;
    std::string part;
    for (size_t i = 0; i <= group.size(); ++i) {
        bool lead = i + 1 < group.size() && IsGbkLeadByte(static_cast<unsigned char>(group[i]));
        if (i == group.size() || (!lead && group[i] == '\\')) {
            if (part == "." || part == "..")
                return false;
            named = named || !part.empty();
            part.clear();
        } else if (lead) {
            part += group.substr(i++, 2);
        } else {
            part += group[i];
        }
    }
    return named;
}

// Deletes folder\[group\]name.lnk, or the ".url" of that name when the
// ".lnk" cannot be deleted; nothing is looked for outside `folder`. An
// empty group means the folder itself; a group that names no folder inside
// it was reported once by the caller.
void DeleteShortcut(const TBaseFolder& folder, const std::string* group, const std::string& name,
                    TDoor& door, TProductFilesResult& result)
{
    if (group && !group->empty() && !IsGroupName(*group))
        return;
    if (folder.empty()) {
        door.Report.StepOver(TReport::Shortcut, name + ".lnk", TReport::NoFolder);
        result.SteppedOver = true;
        return;
    }
    // Straight in the programs folder, its "卸载.lnk" is no product's own.
    if (group && group->empty() && name + ".lnk" == UninstallShortcut)
        return;
    std::string base = folder.GetSpelled() + "\\" + (group && !group->empty() ? *group + "\\" : std::string()) + name;
    for (const char* extension : {".lnk", ".url"}) {
        TFixedPath path;
        if (!path.Append(base).Append(extension).IsUsable()) {
            door.Report.StepOver(TReport::Shortcut, base + extension, TReport::TooLong);
            result.SteppedOver = true;
            return;
        }
        if (door.Files.DeleteFile(folder, path.c_str(), TReport::Shortcut))
            return;
    }
}

// The folder a located file lies in, as Windows holds the Windows and
// system folders' names.
TBaseFolder BaseOf(const std::string& folder, const TRemovalContext& context)
{
    if (!folder.empty() && folder == context.Dirs.WindowsDir)
        return context.WindowsFolder();
    if (!folder.empty() && folder == context.Dirs.SystemDir)
        return context.SystemFolder();
    return folder;
}

// Deletes ".N" and "NFile" from the classes key `path` below `root`, which
// `name` spells out; how many went. Where there is no such classes key,
// there is no such type either.
int DeleteDocumentType(HKEY root, const char* path, const std::string& name, const char* dotKey,
                       const char* fileKey, TDoor& door)
{
    TRegKey classes;
    LONG opened = classes.Open(root, path, KEY_ALL_ACCESS);
    if (opened == ERROR_FILE_NOT_FOUND)
        return 0;
    int removed = 0;
    for (const char* key : {dotKey, fileKey}) {
        if (opened == ERROR_SUCCESS)
            removed += door.Entries.DeleteKey(classes, name, key) == ERROR_SUCCESS;
        else
            door.Report.StepOver(TReport::Key, name + "\\" + key, TReport::NoReason, static_cast<unsigned long>(opened));
    }
    return removed;
}
} // namespace

bool NamesDocumentTypes(const std::string& spec)
{
    for (const TFileListEntry& entry : TFileListSpec::Parse(spec))
        for (const std::string& name : TFileListSpec::SplitDocumentTypes(entry.ExtensionList))
            if (!name.empty())
                return true;
    return false;
}

TProductFilesResult RemoveProductFiles(const std::string& spec, const std::string& groupName,
                                       const std::string& installDir, const TBaseFolder& programsFolder,
                                       const TBaseFolder& desktopFolder, const TRemovalContext& context,
                                       TDoor& door, int parts, const TUserClasses* userClasses)
{
    TProductFilesResult result;
    const bool files = parts & MachineParts, inGroup = parts & GroupShortcuts, onDesktop = parts & DesktopShortcuts;
    // Plain names and the folder removals need a directory that means one
    // place; a relative one would resolve against our current directory.
    // The "\" goes on first, so that a drive ("D:") is its root folder.
    std::string directory = files ? installDir : std::string();
    if (!directory.empty() && !TFileListSpec::EndsWithSeparator(directory))
        directory += '\\';
    // A "?" is what an installer that could not write a character left in
    // its place: that folder cannot be found by its name here either.
    bool unwritten = directory.find('?') != std::string::npos;
    if (!directory.empty() && (unwritten || !TFileListSpec::IsAbsolutePath(directory))) {
        door.Report.StepOver(TReport::Folder, installDir, unwritten ? TReport::NotWritable : TReport::NotAbsolute);
        result.SteppedOver = true;
        directory.clear();
    }
    bool directoryRefused = result.SteppedOver;
    if (inGroup && !programsFolder.empty() && !groupName.empty() && !IsGroupName(groupName)) {
        door.Report.StepOver(TReport::Folder, programsFolder.GetSpelled() + "\\" + groupName, TReport::BadGroup);
        result.SteppedOver = true;
    }

    for (const TFileListEntry& entry : TFileListSpec::Parse(spec)) {
        TFilePlace place = TFileListSpec::Locate(files ? entry.FilePart : std::string(), context.Dirs,
                                                 directory.c_str());
        if (place.Kind == TFilePlace::NoFolder && !directoryRefused) {
            door.Report.StepOver(TReport::File, entry.FilePart, TReport::NoFolder);
            result.SteppedOver = true;
        } else if (place.Kind == TFilePlace::Resolved && !place.Path.empty()) {
            TFixedPath file;
            // "$q\x" or "C:x" would depend on the current drive or directory.
            if (!TFileListSpec::IsAbsolutePath(place.Path)) {
                door.Report.StepOver(TReport::File, place.Path, TReport::NotAbsolute);
                result.SteppedOver = true;
            } else if (file.Append(place.Path).IsUsable()) {
                door.Files.DeleteFile(BaseOf(place.Folder, context), file.c_str(), TReport::File, true);
            } else {
                door.Report.StepOver(TReport::File, place.Path, TReport::TooLong);
                result.SteppedOver = true;
            }
        }

        if (!entry.Description.empty() && inGroup)
            DeleteShortcut(programsFolder, &groupName, entry.Description, door, result);
        if (!entry.Description.empty() && onDesktop)
            DeleteShortcut(desktopFolder, nullptr, entry.Description, door, result);

        const bool userTypes = userClasses && userClasses->Root;
        // Document types hold no file: finding what goes needs none of them.
        const bool types = (files || userTypes) && !door.Files.IsFinding();
        for (const std::string& name : TFileListSpec::SplitDocumentTypes(types ? entry.ExtensionList : "")) {
            char dotKey[16], fileKey[16];
            // An empty name names nothing.
            if (name.empty())
                continue;
            // Said once, with the machine's parts.
            if (!TFileListSpec::DocumentTypeKeys(name, dotKey, fileKey)) {
                if (files)
                    door.Report.StepOver(TReport::Key, std::string(MachineClassesName) + "\\." + name,
                                     TReport::BadDocumentType);
                continue;
            }
            if (files)
                result.AssociationsRemoved += DeleteDocumentType(HKEY_LOCAL_MACHINE, ClassesKeyPath,
                                                                 MachineClassesName, dotKey, fileKey, door);
            if (userTypes)
                result.AssociationsRemoved += DeleteDocumentType(userClasses->Root, userClasses->Path.c_str(),
                                                                 userClasses->Name, dotKey, fileKey, door);
        }
    }

    if (!context.CompleteRemoval)
        return result;

    // Only folders emptied by now go: nothing here deletes recursively. The
    // programs folder itself and any "卸载.lnk" in it are never touched.
    if (inGroup && !programsFolder.empty() && IsGroupName(groupName)) {
        TFixedPath group;
        group.Append(programsFolder.GetSpelled()).Append("\\").Append(groupName);
        TFixedPath shortcut(group.c_str());
        shortcut.Append("\\").Append(UninstallShortcut);
        if (!group.IsRefused() && shortcut.IsUsable()) {
            door.Files.DeleteFile(programsFolder, shortcut.c_str(), TReport::Shortcut);
            door.Files.RemoveFolder(programsFolder, group.c_str());
        } else {
            door.Report.StepOver(TReport::Folder, programsFolder.GetSpelled() + "\\" + groupName, TReport::TooLong);
        }
    }
    if (!directory.empty()) {
        TFixedPath uninst(directory.c_str());
        uninst.Append("uninst");
        TFixedPath self(directory.c_str());
        if (uninst.IsUsable()) {
            door.Files.ScheduleOwnFileIn(uninst.c_str());
            door.Files.RemoveFolder(directory, uninst.c_str());
        } else {
            door.Report.StepOver(TReport::Folder, directory + "uninst", TReport::TooLong);
        }
        // A drive's root folder is never removed; the folder itself may be a
        // link (a program moved to another drive), which then stays.
        if (self.IsUsable() && !TFileListSpec::IsRootPath(directory))
            door.Files.RemoveFolder("", self.c_str());
    }
    return result;
}

bool DeleteLibraryShortcut(const TBaseFolder& programs, const std::string& name, TDoor& door)
{
    if (programs.empty())
        return false;
    std::string whole = programs.GetSpelled() + "\\" + QuotaLibraryGroup + "\\" + name + ".lnk";
    TFixedPath shortcut(whole.c_str());
    if (shortcut.IsUsable())
        return door.Files.DeleteFile(programs, shortcut.c_str(), TReport::Shortcut);
    door.Report.StepOver(TReport::Shortcut, whole, TReport::TooLong);
    return false;
}

void DeleteFileIn(const TBaseFolder& folder, const char* name, TDoor& door)
{
    // Without its folder the name would land in the current drive's root.
    if (folder.empty()) {
        door.Report.StepOver(TReport::File, name, TReport::NoFolder);
        return;
    }
    TFixedPath file;
    if (file.Append(folder.GetSpelled()).Append("\\").Append(name).IsUsable())
        door.Files.DeleteFile(folder, file.c_str());
    else
        door.Report.StepOver(TReport::File, folder.GetSpelled() + "\\" + name, TReport::TooLong);
}
