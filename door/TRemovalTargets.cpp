#include "TRemovalTargets.h"

void TRemovalTargets::AddOnce(std::vector<TWidePath>& paths, const TWidePath& path)
{
    if (path.empty())
        return;
    for (const TWidePath& known : paths)
        if (known.IsSame(path))
            return;
    paths.push_back(path);
}

void TRemovalTargets::AddFile(const TWidePath& named, const TWidePath& real)
{
    AddOnce(FileNames, real);
    AddOnce(FileNames, named);
}

void TRemovalTargets::AddFolder(const std::string& folder)
{
    // A drive's root would make every program on the drive the product's.
    TWidePath named = TWidePath::Full(folder);
    if (named.Parent().empty())
        return;
    AddOnce(Folders, named);
    // A product moved to another drive and linked back runs from either name.
    AddOnce(Folders, TWidePath::FinalOfPath(named));
}

bool TRemovalTargets::Touches(const TWidePath& path) const
{
    for (const TWidePath& file : FileNames)
        if (file.IsSame(path))
            return true;
    for (const TWidePath& folder : Folders)
        if (folder.Contains(path))
            return true;
    return false;
}
