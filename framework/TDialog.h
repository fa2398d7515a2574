#pragma once
#include "TWindow.h"

// A window made from a dialog template, modeless (Create) or modal (RunModal).
class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, int resId, TModule* module = nullptr);

    bool Create() override;
    int RunModal();

    // Asks CanClose, then ends the dialog with `result`.
    void CloseWindow(int result);
    virtual bool CanClose() { return true; }

    bool PreProcessMsg(MSG& msg) override;

    static INT_PTR CALLBACK StdDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    void CmOk();
    void CmCancel();
    LRESULT EvInitDialog(WPARAM, LPARAM);
    LRESULT DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int ResId;

private:
    void EndWith(int result);

    bool Modal = false;
    bool Unhandled = false;

    DECLARE_RESPONSE_TABLE(TDialog);
};
