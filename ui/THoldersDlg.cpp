#include "THoldersDlg.h"
#include "../res/resource.h"
#include <algorithm>

namespace {
const UINT_PTR WaitTimer = 1;
const UINT WaitTick = 200;

const char WaitingHeading[] = "正在请以上程序关闭，请稍候……";

struct TCloseRequest {
    const std::vector<DWORD>* Processes;
    HWND Shell;
};

// Asks a program's own windows to close, as the system asks at shutdown:
// visible top-level windows that no other window owns. A disabled one has
// a question open for its user (save the estimate?), which is left to the
// user; so is the shell's window.
BOOL CALLBACK AskWindowToClose(HWND window, LPARAM param)
{
    const auto* request = reinterpret_cast<const TCloseRequest*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    const std::vector<DWORD>& asked = *request->Processes;
    if (std::find(asked.begin(), asked.end(), process) != asked.end() && window != request->Shell &&
        ::IsWindowVisible(window) && ::IsWindowEnabled(window) && !::GetWindow(window, GW_OWNER))
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

std::string Describe(const std::vector<THolder>& holders)
{
    std::string text;
    for (const THolder& holder : holders) {
        std::string id = "进程 " + std::to_string(holder.ProcessId);
        switch (holder.Kind) {
        case THolder::Service:
            text += holder.Name + "（服务，" + id + "，不会被关闭）\r\n";
            break;
        case THolder::Critical:
            text += holder.Name + "（系统程序，" + id + "，不会被关闭）\r\n";
            break;
        default:
            text += holder.Name + "（" + id + "）\r\n";
            break;
        }
        if (!holder.Program.empty())
            text += "    " + holder.Program + "\r\n";
    }
    return text;
}
} // namespace

DEFINE_RESPONSE_TABLE1(THoldersDlg, TDialog)
    EV_COMMAND(IDOK, THoldersDlg, CmRetry),
    EV_COMMAND(IDC_CLOSE_PROGRAMS, THoldersDlg, CmClosePrograms),
    EV_COMMAND(IDIGNORE, THoldersDlg, CmIgnore),
    EV_MESSAGE(WM_TIMER, THoldersDlg, EvTimer),
END_RESPONSE_TABLE;

THoldersDlg::THoldersDlg(TWindow* parent, const TFileHolders& lookUp, std::vector<THolder> holders)
    : TDialog(parent, IDD_HOLDERS), LookUp(lookUp), Holders(std::move(holders))
{
}

THoldersDlg::~THoldersDlg()
{
    for (HANDLE process : Closing)
        ::CloseHandle(process);
}

void THoldersDlg::SetupWindow()
{
    TDialog::SetupWindow();
    char heading[256] = {};
    ::GetDlgItemTextA(Handle, IDC_HOLDERS_HEADING, heading, sizeof heading);
    Heading = heading;
    Show();
}

void THoldersDlg::Show()
{
    ::SetDlgItemTextA(Handle, IDC_HOLDERS_LIST, Describe(Holders).c_str());
}

void THoldersDlg::EnableButtons(bool enable)
{
    for (int id : {IDOK, IDC_CLOSE_PROGRAMS, IDIGNORE})
        ::EnableWindow(::GetDlgItem(Handle, id), enable);
}

void THoldersDlg::LookAgain()
{
    Holders = LookUp.Look();
    if (Holders.empty())
        return CloseWindow(IDOK);
    Show();
}

void THoldersDlg::CmRetry()
{
    if (!Waiting)
        LookAgain();
}

void THoldersDlg::CmIgnore()
{
    if (!Waiting)
        CloseWindow(IDIGNORE);
}

void THoldersDlg::CmClosePrograms()
{
    if (Waiting)
        return;
    TCloseRequest request = {nullptr, ::GetShellWindow()};
    DWORD shell = 0;
    if (request.Shell)
        ::GetWindowThreadProcessId(request.Shell, &shell);
    std::vector<DWORD> asked;
    for (const THolder& holder : Holders) {
        if (holder.Kind != THolder::Application || holder.ProcessId == shell)
            continue;
        asked.push_back(holder.ProcessId);
        if (HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, holder.ProcessId))
            Closing.push_back(process);
    }
    request.Processes = &asked;
    ::EnumWindows(&AskWindowToClose, reinterpret_cast<LPARAM>(&request));

    Waiting = true;
    WaitStart = ::GetTickCount();
    EnableButtons(false);
    ::SetDlgItemTextA(Handle, IDC_HOLDERS_HEADING, WaitingHeading);
    ::SetTimer(Handle, WaitTimer, WaitTick, nullptr);
}

LRESULT THoldersDlg::EvTimer(WPARAM id, LPARAM)
{
    if (id != WaitTimer || !Waiting)
        return 0;
    bool allEnded = true;
    for (HANDLE process : Closing)
        allEnded = allEnded && ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    if (allEnded || ::GetTickCount() - WaitStart >= CloseWaitMs) {
        StopWaiting();
        LookAgain();
    }
    return 0;
}

void THoldersDlg::StopWaiting()
{
    ::KillTimer(Handle, WaitTimer);
    for (HANDLE process : Closing)
        ::CloseHandle(process);
    Closing.clear();
    Waiting = false;
    ::SetDlgItemTextA(Handle, IDC_HOLDERS_HEADING, Heading.c_str());
    EnableButtons(true);
    ::SendMessageA(Handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(Handle, IDOK)), TRUE);
}
