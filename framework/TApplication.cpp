#include "TApplication.h"
#include <commctrl.h>

TApplication* TApplication::Instance = nullptr;

TApplication::TApplication(const char* name, TModule* module)
    : Name(name ? name : ""), Module(module ? module : &TModule::Program())
{
    Instance = this;
}

TApplication::~TApplication()
{
    MainWindow.reset();
    if (Instance == this)
        Instance = nullptr;
}

int TApplication::Run()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    InitMainWindow();
    if (!MainWindow || !MainWindow->Create())
        return 1;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ::ShowWindow(MainWindow->GetHandle(), show);
    ::UpdateWindow(MainWindow->GetHandle());
    return MessageLoop();
}

int TApplication::MessageLoop()
{
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1)
            return 1;
        // Each framework window on the way up from the target may take the
        // message first: this is where dialogs get Tab, Enter and Esc.
        bool taken = false;
        for (HWND hwnd = msg.hwnd; hwnd && !taken; hwnd = ::GetParent(hwnd)) {
            if (TWindow* window = TWindow::FromHandle(hwnd))
                taken = window->PreProcessMsg(msg);
        }
        if (!taken) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

int TApplication::MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return ::MessageBoxA(owner, text, caption, type);
}
