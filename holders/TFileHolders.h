#pragma once
#include <windows.h>
#include "../door/TRemovalTargets.h"
#include <string>
#include <utility>
#include <vector>

// A running process that holds files a removal is about to delete: its
// program file or a module it loaded is one of them or lies in a chosen
// product's folder, or it has one of them open.
struct THolder {
    // Services and the processes Windows cannot do without (the shell among
    // them) are listed, but never asked to close.
    enum TKind { Application, Service, Critical };

    DWORD ProcessId = 0;
    TKind Kind = Application;
    std::string Name;    // the application's name, or its program file's
    std::string Program; // its program file; empty when the system does not say
    std::vector<std::string> Files; // what of the removal it holds, as far as known
};

// Who holds what a removal is about to delete, asked anew at each look:
// the Restart Manager's answer and that of a walk over the processes and
// their modules, merged by process id. The program itself is never listed.
class TFileHolders {
public:
    explicit TFileHolders(TRemovalTargets targets) : Targets(std::move(targets)) {}

    std::vector<THolder> Look() const;

    // `more` added to `holders`: one holder per process id, its files from both.
    static std::vector<THolder> Merge(std::vector<THolder> holders, const std::vector<THolder>& more);

private:
    TRemovalTargets Targets;
};

// A name or path the system gave, in the program's code page, for showing:
// a character that has no form there shows as "?".
std::string ShownName(const wchar_t* text);
