#include "ScratchCleanup.h"
#include "Owners.h"

void DeleteRegistryTree(HKEY parent, const char* name)
{
    {
        TKey key;
        if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS)
            return;
        char child[1024];
        DWORD index = 0;
        while (RegEnumKeyA(key, index, child, sizeof child) == ERROR_SUCCESS) {
            DeleteRegistryTree(key, child);
            TKey probe;
            if (RegOpenKeyExA(key, child, 0, KEY_READ, probe.Receive()) == ERROR_SUCCESS)
                ++index; // would not go: step over it
        }
    }
    RegDeleteKeyA(parent, name);
}

void DeleteFolderTree(const std::string& folder)
{
    {
        WIN32_FIND_DATAA found;
        TFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
        if (search.IsOpen()) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string path = folder + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    DeleteFolderTree(path);
                } else {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(search, &found));
        }
    }
    RemoveDirectoryA(folder.c_str());
}

void DeletePath(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(path);
    } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}
