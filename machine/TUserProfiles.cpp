#include "TUserProfiles.h"
#include "TRegKey.h"

const char TUserProfiles::ProfileListPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

namespace {
const DWORD PathSize = 1024;

// "N-N-N-N" exactly: four decimal numbers of 32 bits.
bool IsFourNumbers(const std::string& text)
{
    int numbers = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('-', at);
        if (end == std::string::npos)
            end = text.size();
        if (end == at || end - at > 10)
            return false;
        unsigned long long value = 0;
        for (size_t i = at; i < end; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
        }
        if (value > 0xFFFFFFFFull)
            return false;
        ++numbers;
        at = end + 1;
    }
    return numbers == 4;
}

TBaseFolder ProfilePath(HKEY list, const char* sid)
{
    TRegKey entry;
    if (entry.Open(list, sid) != ERROR_SUCCESS)
        return TBaseFolder();
    TWidePath stored;
    DWORD type = 0;
    if (!entry.QueryString("ProfileImagePath", stored, &type) || stored.size() >= PathSize)
        return TBaseFolder();
    if (type != REG_EXPAND_SZ)
        return TBaseFolder(stored);
    // Machine-wide names only in practice ("%SystemDrive%\Users\..."), so
    // the process's own environment expands them.
    wchar_t expanded[PathSize];
    DWORD length = ::ExpandEnvironmentStringsW(stored.c_str(), expanded, PathSize);
    return length > 0 && length <= PathSize ? TBaseFolder(TWidePath(expanded, length - 1)) : TBaseFolder();
}
} // namespace

TUserProfiles::TUserProfiles()
{
    TRegKey list;
    // The one list of the machine, also for a 32-bit program on 64-bit Windows.
    if (list.Open(HKEY_LOCAL_MACHINE, ProfileListPath, KEY_READ | KEY_WOW64_64KEY) != ERROR_SUCCESS)
        return;
    std::vector<char> name(256);
    for (DWORD index = 0; list.EnumKey(index, name.data(), static_cast<DWORD>(name.size())) == ERROR_SUCCESS;
         ++index) {
        if (IsUserSid(name.data()))
            Profiles.push_back(TEntry{name.data(), ProfilePath(list, name.data())});
    }
}

bool TUserProfiles::IsUserSid(const std::string& sid)
{
    for (const char* prefix : {"S-1-5-21-", "S-1-12-1-"}) {
        std::string start = prefix;
        if (sid.compare(0, start.size(), start) == 0)
            return IsFourNumbers(sid.substr(start.size()));
    }
    return false;
}
