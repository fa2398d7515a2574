#pragma once
#include "../door/TDoor.h"
#include "TRemovalContext.h"
#include <string>

// What one run of RemoveProductFiles did that its caller acts on.
struct TProductFilesResult {
    // Document-type keys deleted, so the caller can tell the shell once at the end.
    int AssociationsRemoved = 0;
    // Files it names could not even be tried (their folder unknown or not a
    // full path, a path too long): what still leads back to them must stay.
    bool SteppedOver = false;
};

// Where file associations are: HKEY_CLASSES_ROOT shows the machine's and
// the user's own together, and answers from the user's when both have a
// type; each is deleted by its own path.
extern const char ClassesKeyPath[]; // "Software\Classes", below HKLM and a user's root

// One user's own classes: `Path` below `Root` (an open key or
// HKEY_CURRENT_USER), and how the report names that key. Without a root
// there is nothing of that user's to delete.
struct TUserClasses {
    HKEY Root = nullptr;
    std::string Path;
    std::string Name;
};

// Which parts of a spec one call carries out: the machine's own (files,
// document types, the installation folders), the shortcuts in the program
// group (with, in a complete removal, "卸载.lnk" and the group's folder),
// and those on the desktop. A user's desktop, and a group in a user's own
// Programs folder, are that user's parts.
enum TSpecParts { MachineParts = 1, GroupShortcuts = 2, DesktopShortcuts = 4, EveryPart = 7 };

// Carries out one file-list spec: its files, its shortcuts in the program
// group (or, with no group, straight in the programs folder) and on the
// desktop, its document-type keys (the machine's with its files, a user's
// in `userClasses` when given); and, in a complete removal, "卸载.lnk" and
// the folders left empty. The caller's text is never altered.
TProductFilesResult RemoveProductFiles(const std::string& spec, const std::string& groupName,
                                       const std::string& installDir, const TBaseFolder& programsFolder,
                                       const TBaseFolder& desktopFolder, const TRemovalContext& context,
                                       TDoor& door, int parts = EveryPart,
                                       const TUserClasses* userClasses = nullptr);

// Whether a spec names any document type.
bool NamesDocumentTypes(const std::string& spec);

// The quota libraries' program group, where their shortcuts and those of
// their samples are.
extern const char QuotaLibraryGroup[];
// A quota library's shortcut in `programs`\ZOLT 工程预算; true when it went.
bool DeleteLibraryShortcut(const TBaseFolder& programs, const std::string& name, TDoor& door);
// The file `name` straight in `folder`, which must be known.
void DeleteFileIn(const TBaseFolder& folder, const char* name, TDoor& door);
