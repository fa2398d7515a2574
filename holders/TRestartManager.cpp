#include "TRestartManager.h"
#include "TProcessWalk.h"

namespace {
// The functions looked up in rstrtmgr.dll, which is freed with this object.
class TApi {
public:
    TApi()
    {
        // From the system folder by its full name: never a namesake planted
        // beside the program, which runs elevated.
        wchar_t system[MAX_PATH];
        UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return;
        Library = ::LoadLibraryW(TWidePath(system, length).Join(L"rstrtmgr.dll").c_str());
        if (!Library)
            return;
        int found = Find(Start, "RmStartSession") + Find(Register, "RmRegisterResources") +
                    Find(GetList, "RmGetList") + Find(End, "RmEndSession");
        Complete = found == 4;
    }
    ~TApi()
    {
        if (Library)
            ::FreeLibrary(Library);
    }
    TApi(const TApi&) = delete;
    TApi& operator=(const TApi&) = delete;

    bool IsThere() const { return Complete; }

    // The processes that hold any of the `count` files named, as one
    // session lists them; false when the session could not say.
    bool List(const LPCWSTR* names, UINT count, std::vector<RM_PROCESS_INFO>& apps) const
    {
        DWORD session = 0;
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        if (Start(&session, 0, key) != ERROR_SUCCESS)
            return false;
        bool answered = false;
        if (Register(session, count, const_cast<LPCWSTR*>(names), 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
            // The list may grow between asking its size and reading it.
            for (int tries = 0; tries < 5 && !answered; ++tries) {
                UINT needed = 0, listed = static_cast<UINT>(apps.size());
                DWORD reasons = 0;
                DWORD result = GetList(session, &needed, &listed, apps.empty() ? nullptr : apps.data(), &reasons);
                if (result == ERROR_SUCCESS) {
                    apps.resize(listed);
                    answered = true;
                } else if (result == ERROR_MORE_DATA) {
                    apps.resize(needed);
                } else {
                    break;
                }
            }
        }
        End(session);
        return answered;
    }

private:
    template <class TFunction>
    int Find(TFunction& function, const char* name) const
    {
        function = reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(::GetProcAddress(Library, name)));
        return function != nullptr;
    }

    HMODULE Library = nullptr;
    decltype(&::RmStartSession) Start = nullptr;
    decltype(&::RmRegisterResources) Register = nullptr;
    decltype(&::RmGetList) GetList = nullptr;
    decltype(&::RmEndSession) End = nullptr;
    bool Complete = false;
};
} // namespace

std::vector<THolder> TRestartManager::FromList(const RM_PROCESS_INFO* apps, UINT count, DWORD self)
{
    std::vector<THolder> holders;
    for (UINT i = 0; i < count; ++i) {
        const RM_PROCESS_INFO& app = apps[i];
        bool known = app.Process.dwProcessId == self;
        for (const THolder& holder : holders)
            known = known || holder.ProcessId == app.Process.dwProcessId;
        if (known)
            continue;
        THolder holder;
        holder.ProcessId = app.Process.dwProcessId;
        holder.Kind = app.ApplicationType == RmService ? THolder::Service
                      : app.ApplicationType == RmExplorer || app.ApplicationType == RmCritical ? THolder::Critical
                                                                                               : THolder::Application;
        holder.Name = ShownName(app.strAppName[0] ? app.strAppName : app.strServiceShortName);
        holders.push_back(holder);
    }
    return holders;
}

std::vector<THolder> TRestartManager::HoldersOf(const std::vector<TWidePath>& files)
{
    TApi api;
    if (files.empty() || !api.IsThere())
        return std::vector<THolder>();
    std::vector<LPCWSTR> names;
    for (const TWidePath& file : files)
        names.push_back(file.c_str());
    std::vector<RM_PROCESS_INFO> apps;
    if (!api.List(names.data(), static_cast<UINT>(names.size()), apps))
        return std::vector<THolder>();
    std::vector<THolder> holders = FromList(apps.data(), static_cast<UINT>(apps.size()), ::GetCurrentProcessId());
    if (holders.empty())
        return holders;
    // Which files each one holds: asked one file at a time, only now that
    // somebody holds something.
    for (LPCWSTR name : names) {
        if (!api.List(&name, 1, apps))
            continue;
        for (const RM_PROCESS_INFO& app : apps)
            for (THolder& holder : holders)
                if (holder.ProcessId == app.Process.dwProcessId)
                    holder.Files.push_back(ShownName(name));
    }
    for (THolder& holder : holders)
        holder.Program = ShownName(TProcessWalk::ProgramOf(holder.ProcessId).c_str());
    return holders;
}
