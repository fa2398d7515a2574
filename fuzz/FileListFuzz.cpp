// A file list as read from an uninstall entry's "progs" value, parsed, its
// document types split and keyed, its file names resolved.
//
// Input: optionally three lines first (Windows directory, system directory,
// installation directory), then the file list. Without them the directories
// are the usual ones.
#include "FuzzCheck.h"
#include <cstdint>

using namespace fuzz;

namespace {
struct TPlaces {
    TSystemDirs Dirs{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
    std::string InstallDir = "C:\\ZOLT\\";
};

std::string TakeLine(const std::string& input, size_t& offset)
{
    size_t end = input.find('\n', offset);
    std::string line = input.substr(offset, end - offset);
    offset = end + 1;
    return line;
}

// The list's entries that hold "=", as the text between the ";"s.
std::vector<std::string> NamingEntries(const std::string& list)
{
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        std::string entry = list.substr(start, end - start);
        if (entry.find('=') != std::string::npos)
            entries.push_back(entry);
        start = end + 1;
    }
    return entries;
}

// The whole path a file name of the list stands for, or false when it
// names none: "$w" and "$y" stand for their directory (none when it is
// unknown), another "$x" for nothing, "X:" starts a path of its own,
// anything else is in the installation directory (none when there is none).
// What Windows is handed is each text up to its first zero byte.
bool WholePath(const std::string& file, const TPlaces& places, std::string& whole)
{
    if (file.empty())
        return false;
    if (file[0] == '$') {
        if (file.size() < 2)
            return false;
        std::string base;
        if (file[1] == 'w' || file[1] == 'y') {
            base = AsCString(file[1] == 'w' ? places.Dirs.WindowsDir : places.Dirs.SystemDir);
            if (base.empty())
                return false;
        }
        whole = base + AsCString(file.substr(2));
    } else if (file.size() >= 2 && file[1] == ':') {
        whole = AsCString(file);
    } else {
        if (places.InstallDir.empty())
            return false;
        whole = AsCString(places.InstallDir) + AsCString(file);
    }
    return !whole.empty();
}

// A resolved path is the whole path and fits in 255 bytes; a path that
// would not fit is refused, never cut to one that does.
void CheckResolved(const std::string& file, const TPlaces& places, const char* installDir)
{
    TFixedPath path;
    bool resolved = TFileListSpec::ResolveFilePart(file, places.Dirs, installDir, path);
    UZ_CHECK(path.size() <= PathBufferSize - 1);
    UZ_CHECK(std::strlen(path.c_str()) == path.size());
    UZ_CHECK(resolved == path.IsUsable());

    std::string whole;
    bool names = WholePath(file, places, whole);
    // Where it points lies in the folder it is named under.
    TFilePlace place = TFileListSpec::Locate(file, places.Dirs, installDir);
    UZ_CHECK(place.Path.compare(0, place.Folder.size(), place.Folder) == 0);
    UZ_CHECK(place.Kind == TFilePlace::Resolved || place.Path.empty());
    if (place.Kind == TFilePlace::Resolved && names)
        UZ_CHECK(AsCString(place.Path) == whole);
    if (place.Kind != TFilePlace::Resolved)
        UZ_CHECK(!resolved);
    if (resolved) {
        UZ_CHECK(names);
        UZ_CHECK(whole == path.c_str());
    } else if (names) {
        UZ_CHECK(whole.size() > PathBufferSize - 1);
    }
}

void CheckList(const std::string& list, const TPlaces& places)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse(list);
    std::vector<std::string> kept = NamingEntries(list);
    UZ_CHECK(entries.size() == kept.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const TFileListEntry& entry = entries[i];
        UZ_CHECK(entry.FilePart.find_first_of(";=") == std::string::npos);
        UZ_CHECK(entry.Description.find_first_of(";,") == std::string::npos);
        UZ_CHECK(entry.ExtensionList.find(';') == std::string::npos);
        // Joined again, the entry is what the list held (a "," before an
        // empty extension list says nothing, so it may have been there).
        std::string joined = entry.FilePart + "=" + entry.Description;
        if (!entry.ExtensionList.empty())
            joined += "," + entry.ExtensionList;
        UZ_CHECK(kept[i] == joined || (entry.ExtensionList.empty() && kept[i] == joined + ","));

        for (const std::string& name : CheckedDocumentTypes(entry.ExtensionList))
            CheckDocumentTypeKeys(name);

        CheckResolved(entry.FilePart, places, places.InstallDir.c_str());
        if (places.InstallDir.empty())
            CheckResolved(entry.FilePart, places, nullptr);
        TFileListSpec::IsAbsolutePath(entry.FilePart);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    TPlaces places;
    size_t offset = 0;
    size_t lines = 0;
    for (size_t at = input.find('\n'); at != std::string::npos && lines < 3; at = input.find('\n', at + 1))
        ++lines;
    if (lines == 3) {
        // Directories come from Windows functions: nothing past a zero.
        places.Dirs.WindowsDir = AsCString(TakeLine(input, offset));
        places.Dirs.SystemDir = AsCString(TakeLine(input, offset));
        places.InstallDir = AsCString(TakeLine(input, offset));
    }
    CheckList(input.substr(offset), places);
    return 0;
}
