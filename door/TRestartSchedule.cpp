#include "TRestartSchedule.h"
#include "../machine/TFileSearch.h"

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
    TFileSearch search(folderFinal.Join(L"*"));
    if (!search.IsOpen())
        return false;
    while (search.Next())
        if (!IsScheduled(folderFinal.Join(search.Found().cFileName)))
            return false;
    return true;
}
