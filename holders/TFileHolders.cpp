#include "TFileHolders.h"
#include "TProcessWalk.h"
#include "TRestartManager.h"

std::vector<THolder> TFileHolders::Look() const
{
    if (Targets.empty())
        return std::vector<THolder>();
    // The Restart Manager first: it knows names, services and open files.
    return Merge(TRestartManager::HoldersOf(Targets.Files()), TProcessWalk::HoldersOf(Targets));
}

std::vector<THolder> TFileHolders::Merge(std::vector<THolder> holders, const std::vector<THolder>& more)
{
    for (const THolder& holder : more) {
        THolder* same = nullptr;
        for (THolder& known : holders)
            if (known.ProcessId == holder.ProcessId)
                same = &known;
        if (!same) {
            holders.push_back(holder);
            continue;
        }
        if (same->Program.empty())
            same->Program = holder.Program;
        for (const std::string& file : holder.Files) {
            bool listed = false;
            for (const std::string& known : same->Files)
                listed = listed || ::lstrcmpiA(known.c_str(), file.c_str()) == 0;
            if (!listed)
                same->Files.push_back(file);
        }
    }
    return holders;
}

std::string ShownName(const wchar_t* text)
{
    return TWidePath(text).ToAnsiLossy();
}
