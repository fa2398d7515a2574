#include "TDeleter.h"
#include "../catalogue/TFileListSpec.h"
#include "../machine/TFileSearch.h"
#include "../machine/THandle.h"
#include "../machine/TReparseTag.h"
#include <algorithm>

namespace {
using TReport = TRemovalReport;

const DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
const DWORD DeleteAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
// Attributes alone may be opened whatever a holder of the file shares.
const DWORD AttributeAccess = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

bool IsAbsence(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_BAD_PATHNAME || error == ERROR_BAD_NETPATH;
}

// Opens the file or folder itself, never what a link at that name leads to.
HANDLE OpenTarget(const TWidePath& path, DWORD access)
{
    return ::CreateFileW(path.c_str(), access, ShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Opens a target to delete it; when a process holds it, only to look at it,
// and `held` says so. False, with the error, when neither can be done.
bool OpenToDelete(const TWidePath& path, THandle& handle, bool& held, DWORD& error)
{
    handle.Reset(OpenTarget(path, DeleteAccess));
    if (handle.IsOpen())
        return true;
    error = ::GetLastError();
    if (!TDeleter::IsHeldByAProcess(false, error))
        return false;
    held = true;
    handle.Reset(OpenTarget(path, AttributeAccess));
    if (handle.IsOpen())
        return true;
    error = ::GetLastError();
    return false;
}

enum TWayDown { WayOpen, WayAbsent, WayThroughLink };

// Whether every folder between `folder` and `path` is a plain folder, asked
// by name, as a link that opening would follow still shows as one by name.
TWayDown WalkBelow(const TWidePath& folder, const TWidePath& path)
{
    const wchar_t* text = path.c_str();
    for (size_t i = folder.size() + 1; i < path.size(); ++i) {
        if (text[i] != L'\\')
            continue;
        DWORD attributes = ::GetFileAttributesW(TWidePath(text, i).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return WayAbsent;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return WayThroughLink;
    }
    return WayOpen;
}

// What the system says of an opened target, and of its name: Wine follows
// a link even when asked not to, but shows it as one by name.
TDeleter::TFacts FactsOf(HANDLE handle, const TWidePath& path)
{
    TDeleter::TFacts facts = {INVALID_FILE_ATTRIBUTES, 0, TWidePath::FinalOf(handle)};
    FILE_ATTRIBUTE_TAG_INFO info = {};
    if (::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info)) {
        facts.Attributes = info.FileAttributes;
        facts.ReparseTag = info.ReparseTag;
    }
    TFileSearch search(path);
    if (search.Next() && (search.Found().dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        !(facts.Attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        facts.Attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        facts.ReparseTag = search.Found().dwReserved0;
    }
    return facts;
}

bool SetAttributes(HANDLE handle, DWORD attributes)
{
    FILE_BASIC_INFO basic = {};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic))
        return false;
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Marks the opened file or empty folder for deletion; it goes when the handle closes.
bool Dispose(HANDLE handle)
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// A "?" is what the program's code page wrote for a character it has no
// form for: that name cannot be acted on as spelled, and is not searched.
bool IsUnwritten(const TWidePath& path)
{
    for (const wchar_t* c = path.c_str(); *c; ++c)
        if (*c == L'?')
            return true;
    return false;
}

enum TOpening { Opened, Absent, Refused };

// Every check before a deletion: `full` lies in `inFolder` (or, when
// `mayBeTheFolder`, is that folder), no link leads there, and it is opened
// for deletion or, when a process holds it, to look at it. When refused,
// `reason` and `error` say why; a folder that is itself a link is refused
// with FolderIsLink.
TOpening OpenChecked(const TWidePath& inFolder, const TWidePath& full, bool mayBeTheFolder, const TWidePath& bounds,
                     THandle& handle, TDeleter::TFacts& facts, bool& held, DWORD& error, TReport::TReason& reason)
{
    bool itself = mayBeTheFolder && inFolder.IsSame(full);
    if (!itself && !inFolder.Contains(full)) {
        reason = TReport::Outside;
        return Refused;
    }
    switch (itself ? WayOpen : WalkBelow(inFolder, full)) {
    case WayAbsent:
        return Absent;
    case WayThroughLink:
        reason = TReport::Link;
        return Refused;
    case WayOpen:
        break;
    }
    TWidePath folderFinal = TWidePath::FinalOfPath(inFolder, &error);
    if (folderFinal.empty())
        return IsAbsence(error) ? Absent : Refused;
    if (!bounds.empty() && !bounds.IsSame(folderFinal) && !bounds.Contains(folderFinal)) {
        reason = TReport::Outside;
        error = ERROR_SUCCESS;
        return Refused;
    }
    if (!OpenToDelete(full, handle, held, error))
        return IsAbsence(error) ? Absent : Refused;
    facts = FactsOf(handle, full);
    switch (TDeleter::Judge(folderFinal, facts, itself)) {
    case TDeleter::RefuseLink:
        reason = TReport::Link;
        break;
    case TDeleter::RefuseOutside:
        reason = TReport::Outside;
        break;
    case TDeleter::KeepFolderLink:
        reason = TReport::FolderIsLink;
        break;
    case TDeleter::Proceed:
        return Opened;
    }
    error = ERROR_SUCCESS;
    return Refused;
}

// How the report names a path the system gave: in the program's code page
// when it has a form there, else as the caller spelled it.
std::string ShownAs(const TWidePath& path, const std::string& given)
{
    std::string shown = path.ToAnsi();
    return shown.empty() ? given : shown;
}
} // namespace

TDeleter::TDeleter(TRemovalReport& report, const std::string& ownFile, TRemovalTargets* found)
    : Report(report), Found(found), OwnFile(ownFile)
{
    if (ownFile.empty())
        return;
    THandle own(::CreateFileW(TWidePath::Full(ownFile).c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE, ShareAll,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (own.IsOpen() && ::GetFileInformationByHandle(own, &OwnIdentity)) {
        HasOwnFile = true;
        OwnFinalPath = TWidePath::FinalOf(own);
    }
}

bool TDeleter::IsHeldByAProcess(bool opened, DWORD error)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return true;
    // Opened for deletion and still refused: a running program's image.
    return opened && error == ERROR_ACCESS_DENIED;
}

TDeleter::TVerdict TDeleter::Judge(const TWidePath& folderFinal, const TFacts& target, bool isTheFolderItself)
{
    if (target.Attributes == INVALID_FILE_ATTRIBUTES || target.FinalPath.empty() || folderFinal.empty())
        return RefuseOutside;
    if ((target.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !TReparseTag::KeepsData(target.ReparseTag))
        return isTheFolderItself ? KeepFolderLink : RefuseLink;
    bool inside = isTheFolderItself ? folderFinal.IsSame(target.FinalPath) : folderFinal.Contains(target.FinalPath);
    return inside ? Proceed : RefuseOutside;
}

bool TDeleter::Remember(const TWidePath& path, bool gone)
{
    if (!path.empty())
        TriedFiles.push_back(TTried{path, gone});
    return gone;
}

bool TDeleter::DeleteFile(const TBaseFolder& folder, const std::string& path, TReport::TTarget target,
                          bool clearReadOnly)
{
    TWidePath full = folder.Resolve(path);
    for (const TTried& tried : TriedFiles)
        if (tried.Path.IsSame(full))
            return tried.Gone;
    auto fail = [&](DWORD error, TReport::TReason reason) {
        Report.Add(target, TReport::Failed, path, error, reason);
        return Remember(full, false);
    };
    auto absent = [&]() {
        Report.Add(target, TReport::NotFound, path);
        return Remember(full, false);
    };

    if (!TFileListSpec::IsAbsolutePath(folder.empty() ? path : folder.GetSpelled()))
        return fail(0, TReport::NotAbsolute);
    if (IsUnwritten(full))
        return fail(0, TReport::NotWritable);
    if (full.empty() || full.HasWildcard())
        return absent();
    TWidePath inFolder = folder.empty() ? full.Parent() : folder.Full();
    THandle file;
    TFacts facts = {};
    bool held = false;
    DWORD error = ERROR_SUCCESS;
    TReport::TReason reason = TReport::NoReason;
    switch (OpenChecked(inFolder, full, false, Bounds, file, facts, held, error, reason)) {
    case Absent:
        return absent();
    case Refused:
        return fail(error, reason);
    case Opened:
        break;
    }
    // A folder standing where a file was expected is not the file.
    if (facts.Attributes & FILE_ATTRIBUTE_DIRECTORY)
        return absent();
    BY_HANDLE_FILE_INFORMATION identity;
    if (HasOwnFile && ::GetFileInformationByHandle(file, &identity) &&
        identity.dwVolumeSerialNumber == OwnIdentity.dwVolumeSerialNumber &&
        identity.nFileIndexHigh == OwnIdentity.nFileIndexHigh && identity.nFileIndexLow == OwnIdentity.nFileIndexLow) {
        Report.Add(target, TReport::Kept, path);
        return Remember(full, false);
    }

    bool readOnly = (facts.Attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // Nobody deletes a read-only file at the restart either.
    if (readOnly && !clearReadOnly)
        return fail(ERROR_ACCESS_DENIED, TReport::NoReason);
    if (Found) {
        Found->AddFile(full, facts.FinalPath);
        return Remember(full, true);
    }
    if (readOnly && !SetAttributes(file, facts.Attributes & ~FILE_ATTRIBUTE_READONLY))
        return fail(::GetLastError(), TReport::NoReason);
    if (!held) {
        if (Dispose(file)) {
            file.Close();
            Report.Add(target, TReport::Deleted, path);
            return Remember(full, true);
        }
        error = ::GetLastError();
        held = IsHeldByAProcess(true, error);
    }
    if (held) {
        if (Restart.Schedule(facts.FinalPath)) {
            Report.Add(target, TReport::Scheduled, ShownAs(facts.FinalPath, path), error);
            return Remember(full, false);
        }
        error = ::GetLastError();
    }
    if (readOnly)
        SetAttributes(file, facts.Attributes);
    return fail(error, TReport::NoReason);
}

void TDeleter::RemoveFolder(const TBaseFolder& folder, const std::string& path)
{
    if (Found)
        return;
    TryRemoveFolder(folder, path, Report.CurrentItem(), true);
}

void TDeleter::TryRemoveFolder(const TBaseFolder& folder, const std::string& path, size_t item, bool mayWait)
{
    TWidePath full = folder.Resolve(path);
    if (mayWait) {
        for (const TWidePath& removed : RemovedFolders)
            if (removed.IsSame(full))
                return;
        for (const TWaiting& waiting : Waiting)
            if (waiting.Full.IsSame(full))
                return;
    }
    auto add = [&](TReport::TOutcome outcome, DWORD error, TReport::TReason reason) {
        Report.AddTo(item, TReport::Folder, outcome, path, error, reason);
    };

    if (!TFileListSpec::IsAbsolutePath(folder.empty() ? path : folder.GetSpelled()))
        return add(TReport::Failed, 0, TReport::NotAbsolute);
    if (IsUnwritten(full))
        return add(TReport::Failed, 0, TReport::NotWritable);
    if (full.empty() || full.HasWildcard())
        return add(TReport::NotFound, 0, TReport::NoReason);
    THandle handle;
    TFacts facts = {};
    bool held = false;
    DWORD error = ERROR_SUCCESS;
    TReport::TReason reason = TReport::NoReason;
    switch (OpenChecked(folder.empty() ? full : folder.Full(), full, true, Bounds, handle, facts, held,
                        error, reason)) {
    case Absent:
        return add(TReport::NotFound, 0, TReport::NoReason);
    case Refused:
        return add(reason == TReport::FolderIsLink ? TReport::Kept : TReport::Failed, error, reason);
    case Opened:
        break;
    }
    if (!(facts.Attributes & FILE_ATTRIBUTE_DIRECTORY))
        return add(TReport::NotFound, 0, TReport::NoReason);

    if (!held) {
        // A read-only mark on a folder only asks the shell to look inside
        // for its settings; an emptied folder of the product goes all the same.
        bool readOnly = (facts.Attributes & FILE_ATTRIBUTE_READONLY) != 0;
        if (readOnly)
            SetAttributes(handle, facts.Attributes & ~FILE_ATTRIBUTE_READONLY);
        if (Dispose(handle)) {
            handle.Close();
            RemovedFolders.push_back(full);
            return add(TReport::Deleted, 0, TReport::NoReason);
        }
        error = ::GetLastError();
        if (readOnly)
            SetAttributes(handle, facts.Attributes);
        if (error != ERROR_DIR_NOT_EMPTY)
            return add(TReport::Failed, error, TReport::NoReason);
    }
    // Our own hold on it would keep it from being looked into.
    handle.Close();
    // What is in it may still go later in the pass, or wait for the restart:
    // the folder is looked at again at the end.
    if (mayWait)
        return Waiting.push_back(TWaiting{folder, path, full, facts.FinalPath, item});
    if (!Restart.HoldsOnlyScheduled(facts.FinalPath))
        return add(TReport::Kept, 0, TReport::NoReason);
    if (!Restart.Schedule(facts.FinalPath))
        return add(TReport::Failed, ::GetLastError(), TReport::NoReason);
    Report.AddTo(item, TReport::Folder, TReport::Scheduled, ShownAs(facts.FinalPath, path), held ? error : 0);
}

void TDeleter::Finish()
{
    std::vector<TWaiting> waiting;
    waiting.swap(Waiting);
    // Deepest first; folders of one depth in the order they were named.
    size_t deepest = 0;
    for (const TWaiting& folder : waiting)
        deepest = std::max(deepest, folder.FinalPath.Depth());
    for (size_t depth = deepest + 1; depth-- > 0;)
        for (const TWaiting& folder : waiting)
            if (folder.FinalPath.Depth() == depth)
                TryRemoveFolder(folder.Folder, folder.Path, folder.Item, false);
}

void TDeleter::ScheduleOwnFileIn(const TBaseFolder& folder)
{
    if (Found || !HasOwnFile || OwnFinalPath.empty() || Restart.IsScheduled(OwnFinalPath))
        return;
    DWORD error = ERROR_SUCCESS;
    TWidePath folderFinal = TWidePath::FinalOfPath(folder.Full(), &error);
    if (!folderFinal.Contains(OwnFinalPath))
        return;
    if (Restart.Schedule(OwnFinalPath))
        Report.Add(TReport::File, TReport::Scheduled, ShownAs(OwnFinalPath, OwnFile));
    else
        Report.Add(TReport::File, TReport::Failed, OwnFile, ::GetLastError());
}

