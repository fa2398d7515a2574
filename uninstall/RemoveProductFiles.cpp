#include "RemoveProductFiles.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/TFileListSpec.h"
#include "TRegKey.h"
#include <windows.h>

namespace {
using TReport = TRemovalReport;
const char UninstallShortcut[] = "卸载.lnk";
const char ClassesRootName[] = "HKEY_CLASSES_ROOT";

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
void DeleteShortcut(const std::string& folder, const std::string* group, const std::string& name,
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
    std::string base = folder + "\\" + (group && !group->empty() ? *group + "\\" : std::string()) + name;
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
} // namespace

TProductFilesResult RemoveProductFiles(const std::string& spec, const std::string& groupName,
                                       const std::string& installDir, const std::string& programsFolder,
                                       const std::string& desktopFolder, const TRemovalContext& context,
                                       TDeleter& deleter, int parts)
{
    TProductFilesResult result;
    const bool files = parts & MachineParts, inGroup = parts & GroupShortcuts, onDesktop = parts & DesktopShortcuts;
    // Plain names and the folder removals need a directory that means one
    // place; a relative one would resolve against our current directory.
    // The "\" goes on first, so that a drive ("D:") is its root folder.
    std::string directory = files ? installDir : std::string();
    if (!directory.empty() && !TFileListSpec::EndsWithSeparator(directory))
        directory += '\\';
    if (!directory.empty() && !TFileListSpec::IsAbsolutePath(directory)) {
        deleter.StepOver(TReport::Folder, installDir, TReport::NotAbsolute);
        result.SteppedOver = true;
        directory.clear();
    }
    bool directoryRefused = result.SteppedOver;
    if (inGroup && !programsFolder.empty() && !groupName.empty() && !IsGroupName(groupName)) {
        deleter.StepOver(TReport::Folder, programsFolder + "\\" + groupName, TReport::BadGroup);
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
            if (file.Append(place.Path).IsUsable()) {
                deleter.DeleteFile(place.Folder, file.c_str(), TReport::File, true);
            } else {
                deleter.StepOver(TReport::File, place.Path, TReport::TooLong);
                result.SteppedOver = true;
            }
        }

        if (!entry.Description.empty() && inGroup)
            DeleteShortcut(programsFolder, &groupName, entry.Description, deleter, result);
        if (!entry.Description.empty() && onDesktop)
            DeleteShortcut(desktopFolder, nullptr, entry.Description, deleter, result);

        // Document types hold no file: finding what goes needs none of them.
        const bool types = files && !deleter.IsFinding();
        for (const std::string& name : TFileListSpec::SplitDocumentTypes(types ? entry.ExtensionList : "")) {
            char dotKey[16], fileKey[16];
            // An empty name names nothing.
            if (name.empty())
                continue;
            if (!TFileListSpec::DocumentTypeKeys(name, dotKey, fileKey)) {
                deleter.StepOver(TReport::Key, std::string(ClassesRootName) + "\\." + name, TReport::BadDocumentType);
                continue;
            }
            TRegKey classes;
            if (classes.Create(HKEY_CLASSES_ROOT, "") != ERROR_SUCCESS)
                continue;
            for (const char* key : {dotKey, fileKey})
                result.AssociationsRemoved += deleter.DeleteKey(classes, ClassesRootName, key) == ERROR_SUCCESS;
        }
    }

    if (!context.CompleteRemoval)
        return result;

    // Only folders emptied by now go: nothing here deletes recursively. The
    // programs folder itself and any "卸载.lnk" in it are never touched.
    if (inGroup && !programsFolder.empty() && IsGroupName(groupName)) {
        TFixedPath group;
        group.Append(programsFolder).Append("\\").Append(groupName);
        TFixedPath shortcut(group.c_str());
        shortcut.Append("\\").Append(UninstallShortcut);
        if (!group.IsRefused() && shortcut.IsUsable()) {
            deleter.DeleteFile(programsFolder, shortcut.c_str(), TReport::Shortcut);
            deleter.RemoveFolder(programsFolder, group.c_str());
        } else {
            deleter.StepOver(TReport::Folder, programsFolder + "\\" + groupName, TReport::TooLong);
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
