#include "TUnInstallApp.h"
#include "../framework/TScaledPicture.h"
#include "../res/resource.h"
#include "../ui/TUnInstallDlgClient.h"
#include "TSDIDecFrame.h"
#include "TUnattendedRun.h"

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

std::string ExitLine(int status)
{
    return "Exit code " + std::to_string(status);
}
} // namespace

TUnInstallApp::TUnInstallApp()
    : TApplication(ApplicationName, &TModule::Program()), Options(TCommandLine::Parse(::GetCommandLineA()))
{
}

int TUnInstallApp::Run()
{
    if (!Options.HasArguments())
        return TApplication::Run();
    if (Options.Help) {
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
