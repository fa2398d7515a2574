#include "TProcessWalk.h"
#include <tlhelp32.h>

namespace {
class TSnapshot {
public:
    TSnapshot(DWORD what, DWORD processId)
    {
        // A snapshot of a process that is loading or unloading a module may
        // fail with ERROR_BAD_LENGTH and work when asked again.
        for (int tries = 0; tries < 3; ++tries) {
            Handle = ::CreateToolhelp32Snapshot(what, processId);
            if (Handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_BAD_LENGTH)
                break;
        }
    }
    ~TSnapshot()
    {
        if (Handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(Handle);
    }
    TSnapshot(const TSnapshot&) = delete;
    TSnapshot& operator=(const TSnapshot&) = delete;

    bool IsOpen() const { return Handle != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return Handle; }

private:
    HANDLE Handle = INVALID_HANDLE_VALUE;
};

const DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Whether a file cannot be opened for writing, as a loaded program file or
// library cannot (nor can a file that a program keeps from being written).
bool IsInUse(const TWidePath& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_DATA, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return false;
    }
    DWORD error = ::GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// Whether a file in `folder` or below, links not followed, is in use.
bool AnyInUseIn(const TWidePath& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(folder.Join(L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool inUse = false;
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            inUse = IsInUse(folder.Join(name));
        else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            inUse = AnyInUseIn(folder.Join(name));
    } while (!inUse && ::FindNextFileW(search, &found));
    ::FindClose(search);
    return inUse;
}

// Whether anything the removal touches is in use. Only then can a module
// of some process be among it: the modules of every process, which take
// long to list (under Wine, tens of milliseconds a process), are looked at
// only then.
bool AnyInUse(const TRemovalTargets& targets)
{
    for (const TWidePath& file : targets.Files())
        if (IsInUse(file))
            return true;
    for (const TWidePath& folder : targets.ProductFolders())
        if (AnyInUseIn(folder))
            return true;
    return false;
}

// Adds to `holder` each module of the process that the removal touches.
void AddModules(THolder& holder, const TRemovalTargets& targets, const TWidePath& program)
{
    TSnapshot modules(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, holder.ProcessId);
    if (!modules.IsOpen())
        return;
    MODULEENTRY32W module = {};
    module.dwSize = sizeof module;
    for (BOOL more = ::Module32FirstW(modules, &module); more; more = ::Module32NextW(modules, &module)) {
        TWidePath path(module.szExePath);
        if (!path.IsSame(program) && targets.Touches(path))
            holder.Files.push_back(ShownName(path.c_str()));
    }
}
} // namespace

TWidePath TProcessWalk::ProgramOf(DWORD processId)
{
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return TWidePath();
    wchar_t path[MAX_PATH * 4];
    DWORD size = sizeof path / sizeof path[0];
    bool named = ::QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
    ::CloseHandle(process);
    return named ? TWidePath(path, size) : TWidePath();
}

std::vector<THolder> TProcessWalk::HoldersOf(const TRemovalTargets& targets)
{
    std::vector<THolder> holders;
    TSnapshot processes(TH32CS_SNAPPROCESS, 0);
    if (targets.empty() || !processes.IsOpen())
        return holders;
    const DWORD self = ::GetCurrentProcessId();
    const bool modules = AnyInUse(targets);
    PROCESSENTRY32W process = {};
    process.dwSize = sizeof process;
    for (BOOL more = ::Process32FirstW(processes, &process); more; more = ::Process32NextW(processes, &process)) {
        if (process.th32ProcessID == 0 || process.th32ProcessID == self)
            continue;
        THolder holder;
        holder.ProcessId = process.th32ProcessID;
        TWidePath program = ProgramOf(holder.ProcessId);
        if (!program.empty() && targets.Touches(program))
            holder.Files.push_back(ShownName(program.c_str()));
        if (modules)
            AddModules(holder, targets, program);
        if (holder.Files.empty())
            continue;
        holder.Name = ShownName(process.szExeFile);
        holder.Program = ShownName(program.c_str());
        holders.push_back(holder);
    }
    return holders;
}
