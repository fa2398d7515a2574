#include "TFrameWindow.h"
#include "TApplication.h"
#include "TDisplayScale.h"
#include "TScaledPicture.h"

const char TFrameWindow::ClassName[] = "TFrameWindow";

namespace {
const char* const FrameClassName = TFrameWindow::ClassName;

// Style bits that make a window a stand-alone one, and what a client gets instead.
const DWORD StandAloneStyle = WS_POPUP | WS_DLGFRAME | WS_THICKFRAME;
const DWORD ClientStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;
const DWORD StandAloneExStyle = WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
static_assert(StandAloneStyle == 0x80440000 && ClientStyle == 0x50800000 && StandAloneExStyle == 0x00020101,
              "the documented style masks of an embedded client");

// The large icon's size at 100 %; the caption shows it at half that.
const int IconSize = 32;

// Sizes a window so that its client area has this size, with the caption
// and borders it has now: at a new DPI, Windows has measured them anew by
// the time the window has its new place.
void FitAround(HWND window, int width, int height)
{
    RECT outer, inner;
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &inner);
    ::SetWindowPos(window, nullptr, 0, 0, width + (outer.right - outer.left) - inner.right,
                   height + (outer.bottom - outer.top) - inner.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

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
    EV_MESSAGE(WM_NCCREATE, TFrameWindow, EvNcCreate),
    EV_MESSAGE(TDisplayScale::DpiChangedMessage, TFrameWindow, EvDpiChanged),
    EV_MESSAGE(WM_PARENTNOTIFY, TFrameWindow, EvParentNotify),
    EV_MESSAGE(WM_CLOSE, TFrameWindow, EvClose),
    EV_MESSAGE(WM_DESTROY, TFrameWindow, EvDestroy),
    EV_MESSAGE(WM_SETFOCUS, TFrameWindow, EvSetFocus),
    EV_MESSAGE(WM_ACTIVATE, TFrameWindow, EvActivate),
END_RESPONSE_TABLE;

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool shrinkToClient,
                           TModule* module)
    : TWindow(parent, title, module), ClientWnd(client),
      Style(WS_OVERLAPPEDWINDOW | WS_VISIBLE), ShrinkToClient(shrinkToClient), Dpi(TDisplayScale::Standard)
{
    if (ClientWnd)
        AddChild(ClientWnd);
}

TFrameWindow::~TFrameWindow()
{
    if (ScaledIcon)
        ::DestroyIcon(ScaledIcon);
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
    Dpi = TDisplayScale::ForWindow(Handle);
    if (ClientWnd && ClientWnd->GetHandle())
        ClientWnd->ScaleTo(Dpi);
    EmbedClient();
    ShowIcon();
}

void TFrameWindow::ShowIcon()
{
    if (!IconModule || !IconResId)
        return;
    HICON scaled = nullptr;
    HICON icon = Dpi == TDisplayScale::Standard
                     ? IconModule->LoadIcon(IconResId)
                     : (scaled = TScaledPicture::Icon(IconModule->GetInstance(), IconResId, Dpi,
                                                      TDisplayScale::Scale(IconSize, Dpi)));
    ::SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(Handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (ScaledIcon)
        ::DestroyIcon(ScaledIcon);
    ScaledIcon = scaled;
}

void TFrameWindow::EmbedClient()
{
    HWND client = ClientWnd ? ClientWnd->GetHandle() : nullptr;
    if (!client)
        return;
    // The client's own area is what the frame's client area becomes; its
    // outer size would bring the stripped caption and frame along. Once
    // embedded, its window fills that area and gives it.
    RECT clientArea;
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(client, GWL_STYLE));
    if (!(style & StandAloneStyle)) {
        RECT outer;
        ::GetWindowRect(client, &outer);
        clientArea = RECT{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    } else {
        ::GetClientRect(client, &clientArea);
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

    if (ShrinkToClient)
        FitAround(Handle, width, height);
}

LRESULT TFrameWindow::EvNcCreate(WPARAM wParam, LPARAM lParam)
{
    TDisplayScale::ScaleNonClientArea(Handle);
    return DefaultProcessing(WM_NCCREATE, wParam, lParam);
}

LRESULT TFrameWindow::EvDpiChanged(WPARAM wParam, LPARAM lParam)
{
    Dpi = HIWORD(wParam);
    // Windows' place for it on the new monitor, where its caption and
    // borders are measured anew; a frame that shrinks to its client then
    // takes the size from the client.
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        ::SetWindowPos(Handle, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (ClientWnd && ClientWnd->GetHandle())
        ClientWnd->ScaleTo(Dpi);
    EmbedClient();
    ShowIcon();
    ::RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
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
