#include "TUnInstallApp.h"
#include "../res/resource.h"
#include "../ui/TUnInstallDlgClient.h"
#include "TSDIDecFrame.h"
#include "TUnattendedRun.h"

namespace {
const char ApplicationName[] = "弈辰软件卸载程序";

std::string ExitLine(int status)
{
    return "Exit code " + std::to_string(status);
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
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
    if (!Options.LogFile.empty())
        Options.LogFile = FullPath(Options.LogFile);
    char system[MAX_PATH];
    UINT length = ::GetSystemDirectoryA(system, sizeof system);
    if (length > 0 && length < sizeof system)
        ::SetCurrentDirectoryA(system);

    if (!Options.HasArguments())
        return TApplication::Run();
    if (Options.Help && Options.IsValid()) {
        Tell(TCommandLine::Usage, MB_ICONINFORMATION);
        return ExitDone;
    }
    if (!Options.LogFile.empty() && !Log.Open(Options.LogFile)) {
        Tell("无法打开日志文件：" + Options.LogFile, MB_ICONERROR);
        return ExitLogFailed;
    }
    Log.WriteStamped(std::string("Started: ") + ::GetCommandLineA());
    if (!Options.IsValid()) {
        Log.WriteStamped("The command line is not understood: " + Options.Error);
        Log.WriteStamped(ExitLine(ExitBadCommandLine));
        Tell(Options.Error + "\r\n\r\n" + TCommandLine::Usage, MB_ICONERROR);
        return ExitBadCommandLine;
    }

    int status = ExitDone;
    TUnattendedRun run(Options, Log);
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
        form = new TUnInstallDlgClient(nullptr, IDD_CLIENT, nullptr);
        form->StartWith(&Options, Log.IsOpen() ? &Log : nullptr);
    }
    auto* frame = new TSDIDecFrame(nullptr, GetName().c_str(), form, true, nullptr);
    frame->SetShrinkToClient(true);
    frame->SetIcon(&GetModule(), IDI_PROGRAM);
    SetMainWindow(frame);
}

void TUnInstallApp::Tell(const std::string& text, UINT type)
{
    if (!Options.Quiet)
        MessageBox(nullptr, text.c_str(), GetName().c_str(), MB_OK | type);
}
