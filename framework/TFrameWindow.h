#pragma once
#include "TWindow.h"

// A top-level window whose client area is one client window. The frame
// closes itself when its client's window is destroyed. It shows its client
// and its icon at its DPI, and again at the new one when it moves to a
// monitor of another scale.
class TFrameWindow : public TWindow {
public:
    TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool shrinkToClient = false,
                 TModule* module = nullptr);
    ~TFrameWindow() override;

    bool Create() override;

    void SetStyle(DWORD style) { Style = style; }
    void SetShrinkToClient(bool shrink) { ShrinkToClient = shrink; }
    void SetIcon(TModule* module, int resId);

    void SetupWindow() override;

    // The window class of every frame, by which another process finds one.
    static const char ClassName[];

protected:
    // Makes the client a borderless child filling the client area and,
    // when shrinking to it, sizes the frame around it.
    void EmbedClient();

    // Sends the frame's icon, drawn for its DPI, to its window.
    void ShowIcon();

    LRESULT EvNcCreate(WPARAM, LPARAM);
    LRESULT EvDpiChanged(WPARAM, LPARAM);
    LRESULT EvParentNotify(WPARAM, LPARAM);
    LRESULT EvClose(WPARAM, LPARAM);
    LRESULT EvDestroy(WPARAM, LPARAM);
    LRESULT EvSetFocus(WPARAM, LPARAM);
    LRESULT EvActivate(WPARAM, LPARAM);

    TWindow* ClientWnd;
    DWORD Style;
    bool ShrinkToClient;
    // The control that had the keyboard focus when the frame was last
    // deactivated; it gets it back, as in any dialog.
    HWND RestoreFocus = nullptr;
    TModule* IconModule = nullptr;
    int IconResId = 0;
    // The icon made for a DPI other than 100 %; the one for 100 % is shared.
    HICON ScaledIcon = nullptr;
    UINT Dpi;

    DECLARE_RESPONSE_TABLE(TFrameWindow);
};
