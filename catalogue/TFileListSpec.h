#pragma once
#include "TFixedPath.h"
#include "TSystemDirs.h"
#include <string>
#include <vector>

// One entry of a file-list spec: "file=description[,EXT|EXT...];".
struct TFileListEntry {
    std::string FilePart;
    std::string Description;
    std::string ExtensionList;
};

// Where a file part of a spec points.
struct TFilePlace {
    enum TKind {
        Nothing,  // an empty part, or a lone "$"
        NoFolder, // a plain name or "$w"/"$y" name whose folder is not known
        Resolved,
    };
    TKind Kind = Nothing;
    // The folder the file must lie in: the Windows or system folder, or the
    // installation folder; empty for a path of its own ("D:\x", "$q\x").
    std::string Folder;
    // The whole path, not yet checked against the path buffer's size.
    std::string Path;
};

// The file-list spec format: entries end at ";" (the last may lack it);
// an entry without "=" names nothing and is passed over.
class TFileListSpec {
public:
    static std::vector<TFileListEntry> Parse(const std::string& spec);

    // The "|"-separated document-type names of an extension list, in order,
    // empty names included (the caller skips those).
    static std::vector<std::string> SplitDocumentTypes(const std::string& extensionList);

    // Where a file part points, against the Windows and system directories
    // or `installDir` (empty, or ending in "\").
    static TFilePlace Locate(const std::string& filePart, const TSystemDirs& dirs, const char* installDir);

    // Resolves a file part against the Windows and system directories or
    // `installDir` (empty, or ending in "\"). False when the part names no
    // file: empty, a lone "$", a plain name with no installation directory,
    // a "$w"/"$y" name with no such directory, or a path that does not fit.
    static bool ResolveFilePart(const std::string& filePart, const TSystemDirs& dirs, const char* installDir,
                                TFixedPath& path);

    // The keys ".N" and "NFile" of document type N. False for an empty
    // name, one over MaxDocumentTypeLength bytes or one holding a backslash:
    // such a name is refused.
    static bool DocumentTypeKeys(const std::string& name, char (&dotKey)[16], char (&fileKey)[16]);

    // "X:\..." or "\\server\...", with "\" or "/": a path that means one
    // place whatever the current drive and directory are.
    static bool IsAbsolutePath(const std::string& path);
    // A drive's or a share's root folder, such as "D:\" or "\\server\share\".
    static bool IsRootPath(const std::string& path);
    // The last "\" or "/" character, or -1.
    static long FindLastSeparator(const std::string& path);
    static bool EndsWithSeparator(const std::string& path);

    static const size_t MaxDocumentTypeLength = 11;
};
