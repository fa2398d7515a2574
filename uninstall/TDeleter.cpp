#include "TDeleter.h"
#include <utility>

namespace {
using TReport = TRemovalReport;

bool IsAbsence(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

// What the system deletes at the restart if it cannot be deleted now.
bool IsBusy(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// The full path in UTF-16, so that two spellings of one place compare equal:
// "/" or "\\", "..", and letters in either case. (A vector, not a wstring:
// that would link in a whole second string class.)
using TWidePath = std::vector<wchar_t>;

TWidePath FullPath(const std::string& path)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return TWidePath();
    TWidePath wide(static_cast<size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    DWORD size = ::GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    if (size == 0)
        return TWidePath();
    TWidePath full(size);
    size = ::GetFullPathNameW(wide.data(), size, full.data(), nullptr);
    full.resize(size);
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

bool SameText(const TWidePath& a, const TWidePath& b, size_t length)
{
    return a.size() >= length && b.size() >= length &&
           ::CompareStringOrdinal(a.data(), static_cast<int>(length), b.data(), static_cast<int>(length), TRUE) ==
               CSTR_EQUAL;
}

bool IsSamePath(const std::string& a, const std::string& b)
{
    TWidePath x = FullPath(a), y = FullPath(b);
    return !x.empty() && x.size() == y.size() && SameText(x, y, x.size());
}

bool IsBelow(const std::string& path, const std::string& folder)
{
    TWidePath inner = FullPath(path), outer = FullPath(folder);
    if (outer.empty() || inner.size() <= outer.size() + 1 || !SameText(inner, outer, outer.size()))
        return false;
    return outer.back() == L'\\' || inner[outer.size()] == L'\\';
}
} // namespace

TDeleter::TDeleter(TRemovalReport& report, std::string ownFile) : Report(report), OwnFile(std::move(ownFile))
{
}

bool TDeleter::DeleteFile(const std::string& path, TRemovalReport::TTarget target, bool clearReadOnly)
{
    if (!OwnFile.empty() && IsSamePath(path, OwnFile)) {
        Report.Add(target, TReport::Kept, path);
        return false;
    }
    if (::DeleteFileA(path.c_str())) {
        Report.Add(target, TReport::Deleted, path);
        return true;
    }
    DWORD error = ::GetLastError();
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (IsAbsence(error) || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))) {
        Report.Add(target, TReport::NotFound, path);
        return false;
    }
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) {
        // Nobody deletes a read-only file at the restart either.
        if (!clearReadOnly) {
            Report.Add(target, TReport::Failed, path, error);
            return false;
        }
        ::SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (::DeleteFileA(path.c_str())) {
            Report.Add(target, TReport::Deleted, path);
            return true;
        }
        error = ::GetLastError();
    }
    if (IsBusy(error)) {
        if (Schedule(path)) {
            Report.Add(target, TReport::Scheduled, path, error);
            return false;
        }
        error = ::GetLastError();
    }
    if (readOnly)
        ::SetFileAttributesA(path.c_str(), attributes);
    Report.Add(target, TReport::Failed, path, error);
    return false;
}

void TDeleter::RemoveFolder(const std::string& path)
{
    if (::RemoveDirectoryA(path.c_str())) {
        Report.Add(TReport::Folder, TReport::Deleted, path);
        return;
    }
    DWORD error = ::GetLastError();
    if (IsAbsence(error)) {
        Report.Add(TReport::Folder, TReport::NotFound, path);
        return;
    }
    // Something else in it keeps it, as it should; but what is in it may
    // only be waiting for the restart, and then the folder can follow.
    bool keptByScheduled = error == ERROR_DIR_NOT_EMPTY && HoldsScheduled(path);
    if (error == ERROR_DIR_NOT_EMPTY && !keptByScheduled) {
        Report.Add(TReport::Folder, TReport::Kept, path);
        return;
    }
    if ((keptByScheduled || IsBusy(error)) && Schedule(path)) {
        Report.Add(TReport::Folder, TReport::Scheduled, path, error);
        return;
    }
    Report.Add(TReport::Folder, keptByScheduled ? TReport::Kept : TReport::Failed, path, error);
}

LONG TDeleter::DeleteKey(TRegKey& parent, const std::string& parentName, const char* subKey)
{
    if (!TRegKey::IsSubKeyName(subKey))
        return ERROR_INVALID_PARAMETER;
    LONG result = parent.RecurseDeleteKey(subKey);
    TReport::TOutcome outcome = result == ERROR_SUCCESS        ? TReport::Deleted
                                : result == ERROR_FILE_NOT_FOUND ? TReport::NotFound
                                                                 : TReport::Failed;
    Report.Add(TReport::Key, outcome, parentName + "\\" + subKey, static_cast<unsigned long>(result));
    return result;
}

void TDeleter::DeleteIniEntry(const char* section, const std::string& key, const char* file, const std::string& name)
{
    if (::WritePrivateProfileStringA(section, key.c_str(), nullptr, file))
        Report.Add(TReport::IniEntry, TReport::Deleted, name);
    else
        Report.Add(TReport::IniEntry, TReport::Failed, name, ::GetLastError());
}

void TDeleter::ScheduleOwnFileIn(const std::string& folder)
{
    if (OwnFile.empty() || !IsBelow(OwnFile, folder))
        return;
    for (const std::string& scheduled : ScheduledPaths)
        if (IsSamePath(scheduled, OwnFile))
            return;
    if (Schedule(OwnFile))
        Report.Add(TReport::File, TReport::Scheduled, OwnFile);
    else
        Report.Add(TReport::File, TReport::Failed, OwnFile, ::GetLastError());
}

bool TDeleter::Schedule(const std::string& path)
{
    if (!::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return false;
    ScheduledPaths.push_back(path);
    return true;
}

bool TDeleter::HoldsScheduled(const std::string& folder) const
{
    for (const std::string& scheduled : ScheduledPaths)
        if (IsBelow(scheduled, folder))
            return true;
    return false;
}
