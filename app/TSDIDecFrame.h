#pragma once
#include "../framework/TDecoratedFrame.h"

// The main window: fixed size, no menu, its whole client area the form.
class TSDIDecFrame : public TDecoratedFrame {
public:
    TSDIDecFrame(TWindow* parent, const char* title, TWindow* client, bool trackMenuSelection,
                 TModule* module);

    // Visible, dialog frame and system menu: no sizing, no minimise or maximise box.
    static const DWORD FrameStyle = WS_VISIBLE | WS_DLGFRAME | WS_SYSMENU;
};
static_assert(TSDIDecFrame::FrameStyle == 0x10480000, "the main window's documented style");
