#include "RemoveProductFiles.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/TFileListSpec.h"
#include "TRegKey.h"
#include <windows.h>

const char ClassesKeyPath[] = "Software\\Classes";

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
                    TDeleter& deleter, TProductFilesResult& result)
{
    if (group && !group->empty() && !IsGroupName(*group))
        return;
    if (folder.empty()) {
        deleter.StepOver(TReport::Shortcut, name + ".lnk", TReport::NoFolder);
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
            deleter.StepOver(TReport::Shortcut, base + extension, TReport::TooLong);
            result.SteppedOver = true;
            return;
        }
        if (deleter.DeleteFile(folder, path.c_str(), TReport::Shortcut))
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
                       const char* fileKey, TDeleter& deleter)
{
    TRegKey classes;
    LONG opened = classes.Open(root, path, KEY_ALL_ACCESS);
    if (opened == ERROR_FILE_NOT_FOUND)
        return 0;
    int removed = 0;
    for (const char* key : {dotKey, fileKey}) {
        if (opened == ERROR_SUCCESS)
            removed += deleter.DeleteKey(classes, name, key) == ERROR_SUCCESS;
        else
            deleter.StepOver(TReport::Key, name + "\\" + key, TReport::NoReason, static_cast<unsigned long>(opened));
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
                                       TDeleter& deleter, int parts, const TUserClasses* userClasses)
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
        deleter.StepOver(TReport::Folder, installDir, unwritten ? TReport::NotWritable : TReport::NotAbsolute);
        result.SteppedOver = true;
        directory.clear();
    }
    bool directoryRefused = result.SteppedOver;
    if (inGroup && !programsFolder.empty() && !groupName.empty() && !IsGroupName(groupName)) {
        deleter.StepOver(TReport::Folder, programsFolder.GetSpelled() + "\\" + groupName, TReport::BadGroup);
        result.SteppedOver = true;
    }

    for (const TFileListEntry& entry : TFileListSpec::Parse(spec)) {
        TFilePlace place = TFileListSpec::Locate(files ? entry.FilePart : std::string(), context.Dirs,
                                                 directory.c_str());
        if (place.Kind == TFilePlace::NoFolder && !directoryRefused) {
            deleter.StepOver(TReport::File, entry.FilePart, TReport::NoFolder);
            result.SteppedOver = true;
        } else if (place.Kind == TFilePlace::Resolved && !place.Path.empty()) {
            TFixedPath file;
            // "$q\x" or "C:x" would depend on the current drive or directory.
            if (!TFileListSpec::IsAbsolutePath(place.Path)) {
                deleter.StepOver(TReport::File, place.Path, TReport::NotAbsolute);
                result.SteppedOver = true;
            } else if (file.Append(place.Path).IsUsable()) {
                deleter.DeleteFile(BaseOf(place.Folder, context), file.c_str(), TReport::File, true);
            } else {
                deleter.StepOver(TReport::File, place.Path, TReport::TooLong);
                result.SteppedOver = true;
            }
        }

        if (!entry.Description.empty() && inGroup)
            DeleteShortcut(programsFolder, &groupName, entry.Description, deleter, result);
        if (!entry.Description.empty() && onDesktop)
            DeleteShortcut(desktopFolder, nullptr, entry.Description, deleter, result);

        const bool userTypes = userClasses && userClasses->Root;
        // Document types hold no file: finding what goes needs none of them.
        const bool types = (files || userTypes) && !deleter.IsFinding();
        for (const std::string& name : TFileListSpec::SplitDocumentTypes(types ? entry.ExtensionList : "")) {
            char dotKey[16], fileKey[16];
            // An empty name names nothing.
            if (name.empty())
                continue;
            // Said once, with the machine's parts.
            if (!TFileListSpec::DocumentTypeKeys(name, dotKey, fileKey)) {
                if (files)
                    deleter.StepOver(TReport::Key, std::string(MachineClassesName) + "\\." + name,
                                     TReport::BadDocumentType);
                continue;
            }
            if (files)
                result.AssociationsRemoved += DeleteDocumentType(HKEY_LOCAL_MACHINE, ClassesKeyPath,
                                                                 MachineClassesName, dotKey, fileKey, deleter);
            if (userTypes)
                result.AssociationsRemoved += DeleteDocumentType(userClasses->Root, userClasses->Path.c_str(),
                                                                 userClasses->Name, dotKey, fileKey, deleter);
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
            deleter.DeleteFile(programsFolder, shortcut.c_str(), TReport::Shortcut);
            deleter.RemoveFolder(programsFolder, group.c_str());
        } else {
            deleter.StepOver(TReport::Folder, programsFolder.GetSpelled() + "\\" + groupName, TReport::TooLong);
        }
    }
    if (!directory.empty()) {
        TFixedPath uninst(directory.c_str());
        uninst.Append("uninst");
        TFixedPath self(directory.c_str());
        if (uninst.IsUsable()) {
            deleter.ScheduleOwnFileIn(uninst.c_str());
            deleter.RemoveFolder(directory, uninst.c_str());
        } else {
            deleter.StepOver(TReport::Folder, directory + "uninst", TReport::TooLong);
        }
        // A drive's root folder is never removed; the folder itself may be a
        // link (a program moved to another drive), which then stays.
        if (self.IsUsable() && !TFileListSpec::IsRootPath(directory))
            deleter.RemoveFolder("", self.c_str());
    }
    return result;
}
