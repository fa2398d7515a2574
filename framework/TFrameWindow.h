#pragma once
#include "TWindow.h"

// A top-level window whose client area is one client window. The frame
// closes itself when its client's window is destroyed.
class TFrameWindow : public TWindow {
public:
    TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool shrinkToClient = false,
                 TModule* module = nullptr);

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

    DECLARE_RESPONSE_TABLE(TFrameWindow);
};
