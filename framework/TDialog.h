#pragma once
#include "TWindow.h"

class TDialogLayout;

// A window made from a dialog template, modeless (Create) or modal (RunModal).
// At another DPI than the one it was made for, it lays itself out anew from
// its template, as the dialog manager would have made it there; its bitmap
// controls keep their size in dialog units.
class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, int resId, TModule* module = nullptr);
    ~TDialog() override;

    bool Create() override;
    int RunModal();

    // Asks CanClose, then ends the dialog with `result`.
    void CloseWindow(int result);
    virtual bool CanClose() { return true; }

    bool PreProcessMsg(MSG& msg) override;
    void ScaleTo(UINT dpi) override;

    static INT_PTR CALLBACK StdDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    void CmOk();
    void CmCancel();
    LRESULT EvInitDialog(WPARAM, LPARAM);
    // A top-level dialog moved to a monitor of another scale.
    LRESULT EvDpiChanged(WPARAM, LPARAM);
    LRESULT DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int ResId;

private:
    void EndWith(int result);
    // The template's font at `dpi`; the dialog manager's own where it is that.
    HFONT FontAt(UINT dpi, WORD pointSize);
    void LayOut(const TDialogLayout& layout, UINT dpi);
    void ShowPictures(const TDialogLayout& layout, UINT dpi);

    bool Modal = false;
    bool Unhandled = false;
    // The font of a layout for another DPI than the dialog was made at.
    HFONT ScaledFont = nullptr;
    // Bitmaps given to its bitmap controls for a DPI.
    std::vector<HBITMAP> Pictures;

    DECLARE_RESPONSE_TABLE(TDialog);
};
