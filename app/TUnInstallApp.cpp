#include "TUnInstallApp.h"
#include "../framework/TScaledPicture.h"
#include "../machine/TProcessToken.h"
#include "../machine/TRemovalLock.h"
#include "../res/resource.h"
#include "../ui/TUnInstallDlgClient.h"
#include "TGlobalBlock.h"
#include "TSDIDecFrame.h"
#include "TUnattendedRun.h"
#include <optional>

static_assert(IDB_TITLE_150 == IDB_TITLE + TScaledPicture::IdStep &&
                  IDB_TITLE_200 == IDB_TITLE + 2 * TScaledPicture::IdStep &&
                  IDB_CHECKBOXES_150 == IDB_CHECKBOXES + TScaledPicture::IdStep &&
                  IDB_CHECKBOXES_200 == IDB_CHECKBOXES + 2 * TScaledPicture::IdStep &&
                  IDB_ITEMS_150 == IDB_ITEMS + TScaledPicture::IdStep &&
                  IDB_ITEMS_200 == IDB_ITEMS + 2 * TScaledPicture::IdStep &&
                  IDI_PROGRAM_150 == IDI_PROGRAM + TScaledPicture::IdStep &&
                  IDI_PROGRAM_200 == IDI_PROGRAM + 2 * TScaledPicture::IdStep,
              "the pictures for 150 % and 200 % are found by their ids");

namespace {
const char ApplicationName[] = "弈辰软件卸载程序";
const char AnotherRemovalText[] = "另一个弈辰软件卸载程序正在运行（也许是由管理员的部署工具启动的），请等它结束后再试。";

std::string ExitLine(int status)
{
    return "Exit code " + std::to_string(status);
}

// Empty when it does not fit: the log is then refused, never taken as
// relative to whatever folder is current later.
std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : std::string();
}

// The main window of another instance; one that is still starting is
// given a few seconds to appear.
HWND FindOtherMainWindow()
{
    for (int tries = 0; tries < 30; ++tries) {
        HWND window = nullptr;
        while ((window = ::FindWindowExA(nullptr, window, TFrameWindow::ClassName, ApplicationName)) != nullptr) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process != ::GetCurrentProcessId())
                return window;
        }
        ::Sleep(100);
    }
    return nullptr;
}
} // namespace

TUnInstallApp::TUnInstallApp()
    : TApplication(ApplicationName, &TModule::Program()), Options(TCommandLine::Parse(::GetCommandLineA()))
{
}

int TUnInstallApp::Run()
{
    // A log named relative to where we were started stays there; then the
    // system folder becomes our current directory, so that we keep no
    // folder busy (a shortcut's "Start in" is often a product's uninst).
    std::string logFile = Options.LogFile;
    if (!logFile.empty())
        Options.LogFile = FullPath(logFile);
    char system[MAX_PATH];
    UINT length = ::GetSystemDirectoryA(system, sizeof system);
    if (length > 0 && length < sizeof system)
        ::SetCurrentDirectoryA(system);

    if (!Options.HasArguments()) {
        TRemovalLock lock;
        if (lock.IsHeldElsewhere()) {
            GiveWayToTheOtherRemoval();
            return ExitDone;
        }
        return TApplication::Run();
    }
    if (Options.Help && Options.IsValid()) {
        Tell(TCommandLine::Usage, MB_ICONINFORMATION);
        return ExitDone;
    }
    if (!logFile.empty() && (Options.LogFile.empty() || !Log.Open(Options.LogFile))) {
        Tell("无法打开日志文件：" + logFile, MB_ICONERROR);
        return ExitLogFailed;
    }
    Log.WriteStamped(std::string("Started: ") + ::GetCommandLineA());
    if (!Options.IsValid()) {
        Log.WriteStamped("The command line is not understood: " + Options.Error);
        Log.WriteStamped(ExitLine(ExitBadCommandLine));
        Tell(Options.Error + "\r\n\r\n" + TCommandLine::Usage, MB_ICONERROR);
        return ExitBadCommandLine;
    }

    // Listing removes nothing, so it needs no turn of its own.
    std::optional<TRemovalLock> lock;
    if (!Options.List) {
        lock.emplace();
        if (!lock->GetRefusal().empty())
            Log.WriteStamped(std::string("The name ") + TRemovalLock::Name + " is taken by " + lock->GetRefusal() +
                             ": it is no lock of ours, and this removal goes on without one");
        if (lock->IsHeldElsewhere()) {
            Log.WriteStamped("Another removal is running: nothing was done");
            int status = ExitDone;
            if (Options.Quiet)
                status = ExitAnotherRemoval;
            else
                GiveWayToTheOtherRemoval();
            Log.WriteStamped(ExitLine(status));
            return status;
        }
    }

    bool localSystem = TProcessToken::RunsAsLocalSystem();
    bool everyProfile = Options.VisitsEveryProfile(localSystem);
    if (everyProfile)
        Log.WriteStamped(localSystem ? "Running as LocalSystem: every user's profile is visited"
                                     : "Every user's profile is visited (/allusers)");
    int status = ExitDone;
    TUnattendedRun run(Options, Log, everyProfile);
    if (Options.List) {
        run.List();
    } else if (!run.GetMissing().empty()) {
        std::string names;
        for (const std::string& text : run.GetMissing())
            names += "\r\n    " + text;
        Tell("以下项目没有安装，什么也没有删除：" + names, MB_ICONWARNING);
        status = ExitUnknownItem;
    } else if (Options.Quiet) {
        status = run.Remove();
    } else {
        // The window, with the choice made and the confirmation waiting.
        status = TApplication::Run();
    }
    Log.WriteStamped(ExitLine(status));
    return status;
}

void TUnInstallApp::InitMainWindow()
{
    TUnInstallDlgClient* form = nullptr;
    if (Options.HasArguments()) {
        form = new TUnInstallDlgClient(nullptr, IDD_CLIENT, GlobalBlock, nullptr);
        form->StartWith(&Options, Log.IsOpen() ? &Log : nullptr);
    }
    auto* frame = new TSDIDecFrame(nullptr, GetName().c_str(), form, true, nullptr);
    frame->SetShrinkToClient(true);
    frame->SetIcon(&GetModule(), IDI_PROGRAM);
    SetMainWindow(frame);
}

void TUnInstallApp::GiveWayToTheOtherRemoval()
{
    HWND other = FindOtherMainWindow();
    if (!other) {
        // An unattended run has no window to show.
        Tell(AnotherRemovalText, MB_ICONINFORMATION);
        return;
    }
    if (::IsIconic(other))
        ::ShowWindow(other, SW_RESTORE);
    // Its confirmation or message box, when one is up, is what wants an answer.
    HWND popup = ::GetLastActivePopup(other);
    ::SetForegroundWindow(popup ? popup : other);
}

void TUnInstallApp::Tell(const std::string& text, UINT type)
{
    if (!Options.Quiet)
        MessageBox(nullptr, text.c_str(), GetName().c_str(), MB_OK | type);
}
