#include "TDialog.h"

DEFINE_RESPONSE_TABLE1(TDialog, TWindow)
    EV_MESSAGE(WM_INITDIALOG, TDialog, EvInitDialog),
    EV_COMMAND(IDOK, TDialog, CmOk),
    EV_COMMAND(IDCANCEL, TDialog, CmCancel),
END_RESPONSE_TABLE;

TDialog::TDialog(TWindow* parent, int resId, TModule* module)
    : TWindow(parent, nullptr, module), ResId(resId)
{
}

bool TDialog::Create()
{
    Modal = false;
    HWND owner = Parent ? Parent->GetHandle() : nullptr;
    ::CreateDialogParamA(Module->GetInstance(), MAKEINTRESOURCEA(ResId), owner, &TDialog::StdDlgProc,
                         reinterpret_cast<LPARAM>(this));
    return Handle != nullptr;
}

int TDialog::RunModal()
{
    Modal = true;
    HWND owner = Parent ? Parent->GetHandle() : nullptr;
    INT_PTR result = ::DialogBoxParamA(Module->GetInstance(), MAKEINTRESOURCEA(ResId), owner,
                                       &TDialog::StdDlgProc, reinterpret_cast<LPARAM>(this));
    Modal = false;
    return static_cast<int>(result);
}

void TDialog::CloseWindow(int result)
{
    if (CanClose())
        EndWith(result);
}

void TDialog::EndWith(int result)
{
    if (!Handle)
        return;
    if (Modal)
        ::EndDialog(Handle, result);
    else
        Destroy();
}

void TDialog::CmOk()
{
    CloseWindow(IDOK);
}

void TDialog::CmCancel()
{
    EndWith(IDCANCEL);
}

LRESULT TDialog::EvInitDialog(WPARAM, LPARAM)
{
    SetupWindow();
    return TRUE; // focus goes to the first tab stop
}

bool TDialog::PreProcessMsg(MSG& msg)
{
    return Handle && ::IsDialogMessageA(Handle, &msg);
}

LRESULT TDialog::DefaultProcessing(UINT, WPARAM, LPARAM)
{
    Unhandled = true;
    return 0;
}

INT_PTR CALLBACK TDialog::StdDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TDialog* dialog = static_cast<TDialog*>(FromHandle(hwnd));
    if (!dialog && msg == WM_INITDIALOG) {
        dialog = reinterpret_cast<TDialog*>(lParam);
        dialog->BindHandle(hwnd);
    }
    if (!dialog)
        return FALSE;
    if (msg == WM_NCDESTROY) {
        dialog->UnbindHandle();
        return FALSE;
    }

    bool outerUnhandled = dialog->Unhandled;
    dialog->Unhandled = false;
    LRESULT result = 0;
    try {
        result = dialog->WindowProc(msg, wParam, lParam);
    } catch (...) {
        // No C++ exception may unwind through Windows' own frames.
        result = 0;
    }
    bool unhandled = dialog->Unhandled;
    dialog->Unhandled = outerUnhandled;

    if (unhandled)
        return FALSE;
    if (msg == WM_INITDIALOG)
        return result;
    ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
