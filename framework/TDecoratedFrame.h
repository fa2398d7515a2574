#pragma once
#include "TFrameWindow.h"

// A frame that could carry decorations (bars, menu hints). This program
// uses none; the hint flag is kept for callers that pass it.
class TDecoratedFrame : public TFrameWindow {
public:
    TDecoratedFrame(TWindow* parent, const char* title, TWindow* client, bool trackMenuSelection = false,
                    TModule* module = nullptr)
        : TFrameWindow(parent, title, client, false, module), TrackMenuSelection(trackMenuSelection)
    {
    }

protected:
    bool TrackMenuSelection;
};
