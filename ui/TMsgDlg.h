#pragma once
#include "../framework/TDialog.h"

// The confirmation dialog: shows the caller's text, unchanged, and ends
// with 1 for "确认" and 2 for every way of backing out.
class TMsgDlg : public TDialog {
public:
    TMsgDlg(TWindow* parent, int resId, TModule* module = nullptr) : TDialog(parent, resId, module) {}

    void SetupWindow() override;

    // The caller's zero-terminated text; neither copied nor freed here.
    const char* ConfirmationText = nullptr;
};
