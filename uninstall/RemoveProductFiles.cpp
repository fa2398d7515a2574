#include "RemoveProductFiles.h"
#include "../catalogue/Gbk.h"
#include "../catalogue/TFileListSpec.h"
#include "TRegKey.h"
#include <windows.h>

namespace {
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
// ".lnk" cannot be deleted. Nothing when the folder is unknown or the group
// names no folder inside it; an empty group means the folder itself.
void DeleteShortcut(const std::string& folder, const std::string* group, const std::string& name,
                    TDeleter& deleter)
{
    if (folder.empty() || (group && !group->empty() && !IsGroupName(*group)))
        return;
    // Straight in the programs folder, its "卸载.lnk" is no product's own.
    if (group && group->empty() && name + ".lnk" == UninstallShortcut)
        return;
    TFixedPath base;
    base.Append(folder).Append("\\");
    if (group && !group->empty())
        base.Append(*group).Append("\\");
    base.Append(name);
    TFixedPath link(base.c_str());
    link.Append(".lnk");
    if (base.IsRefused() || !link.IsUsable())
        return;
    if (deleter.DeleteFile(link.c_str(), TRemovalReport::Shortcut))
        return;
    TFixedPath url(base.c_str());
    if (url.Append(".url").IsUsable())
        deleter.DeleteFile(url.c_str(), TRemovalReport::Shortcut);
}
} // namespace

int RemoveProductFiles(const std::string& spec, const std::string& groupName, const std::string& installDir,
                       const std::string& programsFolder, const std::string& desktopFolder,
                       const TRemovalContext& context, TDeleter& deleter)
{
    // Plain names and the folder removals need a directory that means one
    // place; a relative one would resolve against our current directory.
    // The "\" goes on first, so that a drive ("D:") is its root folder.
    std::string directory = installDir;
    if (!directory.empty() && !TFileListSpec::EndsWithSeparator(directory))
        directory += '\\';
    if (!TFileListSpec::IsAbsolutePath(directory))
        directory.clear();

    int keysDeleted = 0;
    for (const TFileListEntry& entry : TFileListSpec::Parse(spec)) {
        TFixedPath file;
        if (TFileListSpec::ResolveFilePart(entry.FilePart, context.Dirs, directory.c_str(), file))
            deleter.DeleteFile(file.c_str(), TRemovalReport::File, true);

        if (!entry.Description.empty()) {
            DeleteShortcut(programsFolder, &groupName, entry.Description, deleter);
            DeleteShortcut(desktopFolder, nullptr, entry.Description, deleter);
        }

        for (const std::string& name : TFileListSpec::SplitDocumentTypes(entry.ExtensionList)) {
            char dotKey[16], fileKey[16];
            if (!TFileListSpec::DocumentTypeKeys(name, dotKey, fileKey))
                continue;
            TRegKey classes;
            if (classes.Create(HKEY_CLASSES_ROOT, "") != ERROR_SUCCESS)
                continue;
            for (const char* key : {dotKey, fileKey})
                keysDeleted += deleter.DeleteKey(classes, ClassesRootName, key) == ERROR_SUCCESS;
        }
    }

    if (!context.CompleteRemoval)
        return keysDeleted;

    // Only folders emptied by now go: RemoveDirectoryA never removes a folder
    // that still holds something, and nothing here deletes recursively. The
    // programs folder itself and any "卸载.lnk" in it are never touched.
    if (!programsFolder.empty() && IsGroupName(groupName)) {
        TFixedPath group;
        group.Append(programsFolder).Append("\\").Append(groupName);
        TFixedPath shortcut(group.c_str());
        shortcut.Append("\\").Append(UninstallShortcut);
        if (!group.IsRefused() && shortcut.IsUsable()) {
            deleter.DeleteFile(shortcut.c_str(), TRemovalReport::Shortcut);
            deleter.RemoveFolder(group.c_str());
        }
    }
    if (!directory.empty()) {
        TFixedPath uninst(directory.c_str());
        uninst.Append("uninst");
        if (uninst.IsUsable()) {
            deleter.ScheduleOwnFileIn(uninst.c_str());
            deleter.RemoveFolder(uninst.c_str());
        }
        TFixedPath self(directory.c_str());
        if (self.IsUsable() && !TFileListSpec::IsRootPath(directory))
            deleter.RemoveFolder(self.c_str());
    }
    return keysDeleted;
}
