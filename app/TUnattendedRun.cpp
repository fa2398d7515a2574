#include "TUnattendedRun.h"
#include "../catalogue/Catalogue.h"
#include "../holders/TFileHolders.h"
#include "../installed/TInstalledItems.h"
#include "../removal/TRemovalPass.h"
#include "TGlobalBlock.h"

namespace {
// What the form's set-up finds, found the same way.
TInstalledItems DiscoverAsTheFormDoes()
{
    TSystemDirs dirs = GlobalBlock.ReadSystemDirs();
    FillCatalogues();
    return TInstalledItems::Discover(dirs);
}

// To whoever started the program: a file or pipe gets UTF-8, a console
// gets the characters themselves.
void WriteStandardOutput(const std::string& text)
{
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        // A GUI program started from a console has none of its own.
        if (!::AttachConsole(ATTACH_PARENT_PROCESS))
            return;
        out = ::GetStdHandle(STD_OUTPUT_HANDLE);
        if (out == nullptr || out == INVALID_HANDLE_VALUE)
            return;
    }
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(out, &mode)) {
        std::vector<wchar_t> wide = TRunLog::ToUtf16(text);
        ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::string utf8 = TRunLog::ToUtf8(text);
    ::WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}
} // namespace

TUnattendedRun::TUnattendedRun(const TCommandLine& options, TRunLog& log, bool everyProfile)
    : Log(log), EveryProfile(everyProfile), Tree(DiscoverAsTheFormDoes())
{
    Missing = Tree.Choose(options.All, options.Items);
    Log.Write("Found:\r\n" + Tree.Listing());
    for (const std::string& text : Missing)
        Log.WriteStamped("Not installed: " + text);
}

void TUnattendedRun::List() const
{
    if (!Log.IsOpen())
        WriteStandardOutput(Tree.Listing());
}

int TUnattendedRun::Remove()
{
    TChoice choice = Tree.Collect();
    GlobalBlock.SetCompleteRemoval(choice.CompleteRemoval);
    Log.Write("Chosen:\r\n" + choice.ConfirmationText);

    TRemovalContext context = GlobalBlock.RemovalContext();
    context.EveryProfile = EveryProfile;
    // Nobody is there to close a program: the log says who holds what,
    // and the removal goes on, leaving that to the restart.
    if (Log.IsOpen())
        Log.WriteHolders(TFileHolders(TRemovalPass::FindTargets(context, choice.Items)).Look());
    TRemovalPass pass(context);
    pass.LogTo(Log);
    pass.RemoveAll(choice.Items);

    const TRemovalReport& report = pass.GetReport();
    int status = report.Count(TRemovalReport::Failed) > 0      ? ExitFailed
                 : report.Count(TRemovalReport::Scheduled) > 0 ? ExitRestartNeeded
                                                                : ExitDone;
    Log.WriteSummary(report);
    return status;
}
