#include "ScratchCleanup.h"

void DeleteRegistryTree(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char child[1024];
    DWORD index = 0;
    while (RegEnumKeyA(key, index, child, sizeof child) == ERROR_SUCCESS) {
        DeleteRegistryTree(key, child);
        HKEY probe;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &probe) == ERROR_SUCCESS) {
            RegCloseKey(probe);
            ++index; // would not go: step over it
        }
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

void DeleteFolderTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
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
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}
