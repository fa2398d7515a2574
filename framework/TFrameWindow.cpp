#include "TFrameWindow.h"
#include "TApplication.h"

const char TFrameWindow::ClassName[] = "TFrameWindow";

namespace {
const char* const FrameClassName = TFrameWindow::ClassName;

// Style bits that make a window a stand-alone one, and what a client gets instead.
const DWORD StandAloneStyle = WS_POPUP | WS_DLGFRAME | WS_THICKFRAME;
const DWORD ClientStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;
const DWORD StandAloneExStyle = WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
static_assert(StandAloneStyle == 0x80440000 && ClientStyle == 0x50800000 && StandAloneExStyle == 0x00020101,
              "the documented style masks of an embedded client");

void RegisterFrameClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    if (::GetClassInfoA(instance, FrameClassName, &wc))
        return;
    wc.lpfnWndProc = &TWindow::StdWndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = FrameClassName;
    ::RegisterClassA(&wc);
}
} // namespace

DEFINE_RESPONSE_TABLE1(TFrameWindow, TWindow)
    EV_MESSAGE(WM_PARENTNOTIFY, TFrameWindow, EvParentNotify),
    EV_MESSAGE(WM_CLOSE, TFrameWindow, EvClose),
    EV_MESSAGE(WM_DESTROY, TFrameWindow, EvDestroy),
    EV_MESSAGE(WM_SETFOCUS, TFrameWindow, EvSetFocus),
    EV_MESSAGE(WM_ACTIVATE, TFrameWindow, EvActivate),
END_RESPONSE_TABLE;

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool shrinkToClient,
                           TModule* module)
    : TWindow(parent, title, module), ClientWnd(client),
      Style(WS_OVERLAPPEDWINDOW | WS_VISIBLE), ShrinkToClient(shrinkToClient)
{
    if (ClientWnd)
        AddChild(ClientWnd);
}

void TFrameWindow::SetIcon(TModule* module, int resId)
{
    IconModule = module ? module : &TModule::Program();
    IconResId = resId;
}

bool TFrameWindow::Create()
{
    HINSTANCE instance = Module->GetInstance();
    RegisterFrameClass(instance);
    HWND parent = Parent ? Parent->GetHandle() : nullptr;
    // Shown by the application afterwards, with the process's show state.
    // The window procedure binds Handle on WM_NCCREATE, before creation can
    // still fail; only a created window counts.
    HWND created = ::CreateWindowExA(0, FrameClassName, Title.c_str(), Style & ~WS_VISIBLE, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, this);
    if (!created || !Handle)
        return false;
    SetupWindow();
    return Handle != nullptr;
}

void TFrameWindow::SetupWindow()
{
    TWindow::SetupWindow();
    if (ClientWnd && !ClientWnd->GetHandle())
        ClientWnd->Create();
    EmbedClient();
    if (IconModule && IconResId) {
        HICON icon = IconModule->LoadIcon(IconResId);
        ::SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(Handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void TFrameWindow::EmbedClient()
{
    HWND client = ClientWnd ? ClientWnd->GetHandle() : nullptr;
    if (!client)
        return;
    // The client's own area is what the frame's client area becomes; its
    // outer size would bring the stripped caption and frame along.
    RECT clientArea;
    ::GetClientRect(client, &clientArea);
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(client, GWL_STYLE));
    if (style & StandAloneStyle) {
        bool wasPopup = style & WS_POPUP;
        style = (style & ~StandAloneStyle) | ClientStyle;
        ::SetWindowLongPtrA(client, GWL_STYLE, style);
        if (wasPopup)
            ::SetParent(client, Handle);
    }
    DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrA(client, GWL_EXSTYLE));
    // The frame must hear of its client's destruction.
    exStyle &= ~(StandAloneExStyle | WS_EX_NOPARENTNOTIFY);
    ::SetWindowLongPtrA(client, GWL_EXSTYLE, exStyle);

    int width = clientArea.right;
    int height = clientArea.bottom;
    ::SetWindowPos(client, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    if (ShrinkToClient) {
        RECT outer = {0, 0, width, height};
        ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrA(Handle, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrA(Handle, GWL_EXSTYLE)));
        ::SetWindowPos(Handle, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT TFrameWindow::EvParentNotify(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WM_DESTROY && ClientWnd && reinterpret_cast<HWND>(lParam) == ClientWnd->GetHandle())
        ::PostMessageA(Handle, WM_CLOSE, 0, 0);
    return DefaultProcessing(WM_PARENTNOTIFY, wParam, lParam);
}

LRESULT TFrameWindow::EvClose(WPARAM, LPARAM)
{
    TApplication* app = TApplication::Current();
    if (!app || app->CanClose())
        Destroy();
    return 0;
}

LRESULT TFrameWindow::EvDestroy(WPARAM, LPARAM)
{
    TApplication* app = TApplication::Current();
    if (app && app->GetMainWindow() == this)
        ::PostQuitMessage(0);
    return 0;
}

LRESULT TFrameWindow::EvSetFocus(WPARAM, LPARAM)
{
    // Keyboard focus belongs to the client's controls, not the bare frame:
    // the one that had it last, else the first tab stop.
    if (ClientWnd && ClientWnd->GetHandle()) {
        HWND focus = RestoreFocus;
        if (!focus || !::IsChild(Handle, focus) || !::IsWindowVisible(focus) || !::IsWindowEnabled(focus))
            focus = ::GetNextDlgTabItem(ClientWnd->GetHandle(), nullptr, FALSE);
        ::SetFocus(focus ? focus : ClientWnd->GetHandle());
    }
    return 0;
}

LRESULT TFrameWindow::EvActivate(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle, focus))
            RestoreFocus = focus;
    }
    return DefaultProcessing(WM_ACTIVATE, wParam, lParam);
}
