#include "ScratchCleanup.h"
#include "Owners.h"

namespace {
// By the names Windows holds, so that a key whose name the code page
// cannot write goes too. A registry link a test made goes itself, through
// its own handle: by name, what it leads to would go.
void DeleteRegistryTreeW(HKEY parent, const wchar_t* name)
{
    TKey key;
    if (RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS)
        return;
    DWORD type = 0;
    bool link = RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
                type == REG_LINK;
    wchar_t child[512];
    DWORD index = 0;
    for (DWORD length = 512;
         !link && RegEnumKeyExW(key, index, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         length = 512) {
        DeleteRegistryTreeW(key, child);
        TKey probe;
        if (RegOpenKeyExW(key, child, REG_OPTION_OPEN_LINK, KEY_READ, probe.Receive()) == ERROR_SUCCESS)
            ++index; // would not go: step over it
    }
    using TNtDeleteKey = LONG(NTAPI*)(HANDLE);
    auto deleteKey = reinterpret_cast<TNtDeleteKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    if (deleteKey)
        deleteKey(key);
}

// In UTF-16, so that names outside the code page go too.
void DeleteFolderTreeW(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            // A link goes itself: what it leads to is none of ours.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                char ansi[MAX_PATH * 2] = {};
                WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
                RemoveLink(ansi);
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolderTreeW(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring Wide(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide.data();
}
} // namespace

void DeleteRegistryTree(HKEY parent, const char* name)
{
    DeleteRegistryTreeW(parent, Wide(name).c_str());
}

void DeleteFolderTree(const std::string& folder)
{
    DeleteFolderTreeW(Wide(folder));
}

void DeletePath(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveLink(path);
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(path);
    } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

std::string UnixPath(const std::string& windowsPath)
{
    using TUnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return std::string();
    int length = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(length > 0 ? length : 1));
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), length);
    char* name = unixName(wide.data());
    std::string text = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

bool RunUnixProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    std::string line = program;
    for (const std::string& argument : arguments)
        line += " \"" + argument + "\"";
    std::vector<WCHAR> command(line.size() + 1);
    command.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, command.data(), static_cast<int>(command.size()))));
    std::vector<WCHAR> image(program.size() + 3);
    MultiByteToWideChar(CP_UTF8, 0, ("Z:" + program).c_str(), -1, image.data(), static_cast<int>(image.size()));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (command.empty() ||
        !CreateProcessW(image.data(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return true;
}

void RemoveLink(const std::string& path)
{
    std::string unixPath = UnixPath(path);
    if (unixPath.empty() || !RunUnixProgram("/bin/rm", {"-f", unixPath}))
        return;
    // Gone when its name is no longer in its folder (a link to nothing
    // already has no attributes of its own).
    for (int i = 0; i < 250; ++i) {
        WIN32_FIND_DATAA found;
        TFind search(FindFirstFileA(path.c_str(), &found));
        if (!search.IsOpen())
            return;
        Sleep(20);
    }
}
