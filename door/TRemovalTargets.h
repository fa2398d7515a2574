#pragma once
#include "../machine/TWidePath.h"
#include <string>
#include <vector>

// What a removal would delete, found by the removal pass itself run without
// deleting: each file, under the name it was given and where it really is,
// and the chosen products' installation folders, in which any running
// program or loaded module belongs to the product too.
class TRemovalTargets {
public:
    void AddFile(const TWidePath& named, const TWidePath& real);
    void AddFolder(const std::string& folder);

    // Whether a program file or module at `path` is one of the files or lies
    // in one of the folders.
    bool Touches(const TWidePath& path) const;

    const std::vector<TWidePath>& Files() const { return FileNames; }
    const std::vector<TWidePath>& ProductFolders() const { return Folders; }
    bool empty() const { return FileNames.empty() && Folders.empty(); }

private:
    static void AddOnce(std::vector<TWidePath>& paths, const TWidePath& path);

    std::vector<TWidePath> FileNames;
    std::vector<TWidePath> Folders;
};
