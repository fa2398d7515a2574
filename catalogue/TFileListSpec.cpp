#include "TFileListSpec.h"
#include "Gbk.h"
#include <algorithm>
#include <cstring>

std::vector<TFileListEntry> TFileListSpec::Parse(const std::string& spec)
{
    // ";", "=" and "," are below 0x40, so they never occur as a GBK trail byte.
    std::vector<TFileListEntry> entries;
    size_t start = 0;
    while (start < spec.size()) {
        size_t end = spec.find(';', start);
        if (end == std::string::npos)
            end = spec.size();
        std::string entry = spec.substr(start, end - start);
        size_t equals = entry.find('=');
        if (equals != std::string::npos) {
            TFileListEntry parsed;
            parsed.FilePart = entry.substr(0, equals);
            std::string rest = entry.substr(equals + 1);
            size_t comma = rest.find(',');
            parsed.Description = rest.substr(0, comma);
            if (comma != std::string::npos)
                parsed.ExtensionList = rest.substr(comma + 1);
            entries.push_back(parsed);
        }
        start = end + 1;
    }
    return entries;
}

std::vector<std::string> TFileListSpec::SplitDocumentTypes(const std::string& extensionList)
{
    std::vector<std::string> names;
    if (extensionList.empty())
        return names;
    std::string current;
    for (size_t i = 0; i < extensionList.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(extensionList[i]);
        if (IsGbkLeadByte(c) && i + 1 < extensionList.size()) {
            current += extensionList.substr(i, 2);
            ++i;
        } else if (c == '|') {
            names.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(c);
        }
    }
    names.push_back(current);
    return names;
}

TFilePlace TFileListSpec::Locate(const std::string& filePart, const TSystemDirs& dirs, const char* installDir)
{
    TFilePlace place;
    if (filePart.empty() || filePart == "$")
        return place;
    place.Kind = TFilePlace::Resolved;
    if (filePart[0] == '$') {
        const std::string* folder = filePart[1] == 'w' ? &dirs.WindowsDir : filePart[1] == 'y' ? &dirs.SystemDir : nullptr;
        if (folder && folder->empty())
            place.Kind = TFilePlace::NoFolder;
        else if (folder)
            place.Folder = *folder;
        place.Path = place.Folder + filePart.substr(2);
    } else if (filePart.size() >= 2 && filePart[1] == ':') {
        place.Path = filePart;
    } else if (!installDir || !*installDir) {
        place.Kind = TFilePlace::NoFolder;
    } else {
        place.Folder = installDir;
        place.Path = place.Folder + filePart;
    }
    if (place.Kind != TFilePlace::Resolved)
        place.Path.clear();
    return place;
}

bool TFileListSpec::ResolveFilePart(const std::string& filePart, const TSystemDirs& dirs, const char* installDir,
                                    TFixedPath& path)
{
    path = TFixedPath();
    TFilePlace place = Locate(filePart, dirs, installDir);
    if (place.Kind != TFilePlace::Resolved)
        return false;
    path.Append(place.Path);
    return path.IsUsable();
}

bool TFileListSpec::DocumentTypeKeys(const std::string& name, char (&dotKey)[16], char (&fileKey)[16])
{
    // The registry sees the name up to its first zero, so that is what is checked.
    const std::string seen = name.substr(0, name.find('\0'));
    if (seen.empty() || seen.size() > MaxDocumentTypeLength)
        return false;
    // A "\" would make the key name a path into some other key.
    if (FindLastChar(seen.c_str(), '\\') >= 0)
        return false;
    const std::string dot = "." + seen;
    const std::string file = seen + "File";
    std::memcpy(dotKey, dot.c_str(), dot.size() + 1);
    std::memcpy(fileKey, file.c_str(), file.size() + 1);
    return true;
}

namespace {
bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// "X:\" or "X:/" and whatever follows.
bool StartsAtADrivesRoot(const std::string& path)
{
    char drive = path.empty() ? '\0' : path[0];
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    return path.size() >= 3 && letter && path[1] == ':' && IsSeparator(path[2]);
}
} // namespace

bool TFileListSpec::IsAbsolutePath(const std::string& path)
{
    if (StartsAtADrivesRoot(path))
        return true;
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

bool TFileListSpec::IsRootPath(const std::string& path)
{
    if (StartsAtADrivesRoot(path))
        return path.size() == 3;
    if (!IsAbsolutePath(path) || !IsSeparator(path[0]))
        return false;
    // "\\server\share\" and shorter: the separators after the server and the share.
    size_t separators = 0;
    for (size_t i = 2; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsGbkLeadByte(c) && i + 1 < path.size())
            ++i;
        else if (IsSeparator(path[i]) && i + 1 < path.size())
            ++separators;
    }
    return separators < 2;
}

long TFileListSpec::FindLastSeparator(const std::string& path)
{
    return std::max(FindLastChar(path.c_str(), '\\'), FindLastChar(path.c_str(), '/'));
}

bool TFileListSpec::EndsWithSeparator(const std::string& path)
{
    return EndsWithChar(path.c_str(), '\\') || EndsWithChar(path.c_str(), '/');
}
