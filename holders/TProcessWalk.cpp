#include "TProcessWalk.h"
#include "../machine/TFileSearch.h"
#include "../machine/THandle.h"
#include <tlhelp32.h>

namespace {
HANDLE TakeSnapshot(DWORD what, DWORD processId)
{
    // A snapshot of a process that is loading or unloading a module may
    // fail with ERROR_BAD_LENGTH and work when asked again.
    HANDLE snapshot = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 3; ++tries) {
        snapshot = ::CreateToolhelp32Snapshot(what, processId);
        if (snapshot != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_BAD_LENGTH)
            break;
    }
    return snapshot;
}

const DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Whether a file cannot be opened for writing, as a loaded program file or
// library cannot (nor can a file that a program keeps from being written).
bool IsInUse(const TWidePath& path)
{
    THandle file(::CreateFileW(path.c_str(), FILE_WRITE_DATA, ShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.IsOpen())
        return false;
    DWORD error = ::GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// Whether a file in `folder` or below, links not followed, is in use.
bool AnyInUseIn(const TWidePath& folder)
{
    TFileSearch search(folder.Join(L"*"));
    while (search.Next()) {
        const WIN32_FIND_DATAW& found = search.Found();
        bool inUse = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                         ? IsInUse(folder.Join(found.cFileName))
                         : !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                               AnyInUseIn(folder.Join(found.cFileName));
        if (inUse)
            return true;
    }
    return false;
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
    THandle modules(TakeSnapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, holder.ProcessId));
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
    THandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH * 4];
    DWORD size = sizeof path / sizeof path[0];
    if (!process.IsOpen() || !::QueryFullProcessImageNameW(process, 0, path, &size))
        return TWidePath();
    return TWidePath(path, size);
}

std::vector<THolder> TProcessWalk::HoldersOf(const TRemovalTargets& targets)
{
    std::vector<THolder> holders;
    THandle processes(TakeSnapshot(TH32CS_SNAPPROCESS, 0));
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
