#include "TRestartSchedule.h"

bool TRestartSchedule::Schedule(const TWidePath& finalPath)
{
    if (IsScheduled(finalPath))
        return true;
    if (finalPath.empty() || !::MoveFileExW(finalPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return false;
    Paths.push_back(finalPath);
    return true;
}

bool TRestartSchedule::IsScheduled(const TWidePath& path) const
{
    for (const TWidePath& scheduled : Paths)
        if (scheduled.IsSame(path))
            return true;
    return false;
}

bool TRestartSchedule::HoldsOnlyScheduled(const TWidePath& folderFinal) const
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(folderFinal.Join(L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool onlyScheduled = true;
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
            continue;
        onlyScheduled = IsScheduled(folderFinal.Join(name));
    } while (onlyScheduled && ::FindNextFileW(search, &found));
    ::FindClose(search);
    return onlyScheduled;
}
