#include "TUserFolderCheck.h"
#include "TFileSearch.h"
#include "TReparseTag.h"

namespace {
bool IsLocalDriveType(UINT type)
{
    return type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_CDROM || type == DRIVE_RAMDISK;
}

// A link that can lead anywhere, the network included: anything but a
// junction or mount point (which lead to this machine's volumes only) and
// the reparse points that keep a file's own data. Asked by name, as Wine
// shows its links only that way.
bool IsPastLink(const TWidePath& path)
{
    // A name with a wildcard in it would be looked for as a pattern.
    if (path.HasWildcard())
        return true;
    const wchar_t* text = path.c_str();
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i < path.size() && text[i] != L'\\' && text[i] != L'/')
            continue;
        TFileSearch search(TWidePath(text, i));
        if (!search.Next())
            return false; // nothing further down to lead anywhere
        DWORD tag = search.Found().dwReserved0;
        if ((search.Found().dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !TReparseTag::IsMountPoint(tag) &&
            !TReparseTag::KeepsData(tag))
            return true;
    }
    return false;
}
} // namespace

bool TUserFolderCheck::IsDrivePath(const std::string& folder)
{
    char drive = folder.empty() ? '\0' : folder[0];
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    return folder.size() >= 3 && letter && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
}

TUserFolderCheck::TVerdict TUserFolderCheck::Judge(const TBaseFolder& folder, const TBaseFolder& profile,
                                         const TWidePath& profileFinal, const TFacts& facts)
{
    if (!IsDrivePath(folder.GetSpelled()) || !IsLocalDriveType(facts.DriveType) || facts.PastLink)
        return NotLocal;
    if (profileFinal.empty())
        return OutsideProfile;
    if (!facts.FinalPath.empty()) {
        // A drive letter can still stand for a share.
        if (facts.FinalPath.c_str()[0] == L'\\')
            return NotLocal;
        return profileFinal.IsSame(facts.FinalPath) || profileFinal.Contains(facts.FinalPath)
                   ? Visit
                   : OutsideProfile;
    }
    // Not there (yet): nothing of it can be deleted now, and what is made
    // there later is held to the profile folder by the deleter. Its name
    // must lie inside the profile's all the same.
    TWidePath name = folder.Full(), home = profile.Full();
    return !home.empty() && home.Contains(name) ? Visit : OutsideProfile;
}

TUserFolderCheck::TVerdict TUserFolderCheck::Check(const TBaseFolder& folder, const TBaseFolder& profile,
                                         const TWidePath& profileFinal)
{
    if (!IsDrivePath(folder.GetSpelled()))
        return NotLocal;
    TFacts facts = {};
    char root[] = {folder.GetSpelled()[0], ':', '\\', '\0'};
    facts.DriveType = ::GetDriveTypeA(root);
    if (!IsLocalDriveType(facts.DriveType))
        return NotLocal;
    TWidePath full = folder.Full();
    facts.PastLink = full.empty() || IsPastLink(full);
    if (!facts.PastLink)
        facts.FinalPath = TWidePath::FinalOfPath(full);
    return Judge(folder, profile, profileFinal, facts);
}
