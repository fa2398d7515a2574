#include "TDialog.h"
#include "TDialogLayout.h"
#include "TDisplayScale.h"
#include "TScaledPicture.h"
#include <algorithm>
#include <cstdlib>

namespace {
// A font's dialog base units, measured as the dialog manager measures
// them: the average width of the 52 Latin letters, and the height.
SIZE BaseUnits(HFONT font)
{
    static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(screen, &metrics);
    SIZE extent = {};
    ::GetTextExtentPoint32A(screen, Letters, 52, &extent);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    return SIZE{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

LONG FontHeight(HFONT font)
{
    LOGFONTA face = {};
    return font && ::GetObjectA(font, sizeof face, &face) ? face.lfHeight : 0;
}

int Across(int units, SIZE base)
{
    return ::MulDiv(units, base.cx, 4);
}

int Down(int units, SIZE base)
{
    return ::MulDiv(units, base.cy, 8);
}

// Whether a drawing's size agrees with one worked out through the base
// units at its DPI and at 100 %: each of those is a whole number of pixels,
// so their ratio may be off by half a pixel of either. (The font standing
// in for the template's may be 13 pixels high at 100 % and 19 at 150 %.)
bool Agrees(int drawn, int wanted, int base, int standardBase)
{
    return 2 * std::abs(drawn - wanted) * base * standardBase <= drawn * (base + standardBase);
}
} // namespace

DEFINE_RESPONSE_TABLE1(TDialog, TWindow)
    EV_MESSAGE(WM_INITDIALOG, TDialog, EvInitDialog),
    EV_MESSAGE(TDisplayScale::DpiChangedMessage, TDialog, EvDpiChanged),
    EV_COMMAND(IDOK, TDialog, CmOk),
    EV_COMMAND(IDCANCEL, TDialog, CmCancel),
END_RESPONSE_TABLE;

TDialog::TDialog(TWindow* parent, int resId, TModule* module)
    : TWindow(parent, nullptr, module), ResId(resId)
{
}

TDialog::~TDialog()
{
    for (HBITMAP picture : Pictures)
        ::DeleteObject(picture);
    if (ScaledFont)
        ::DeleteObject(ScaledFont);
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
    TDisplayScale::KeepDialogLayout(Handle);
    SetupWindow();
    // Where the dialog manager made it for another DPI than the monitor's.
    if (!(::GetWindowLongA(Handle, GWL_STYLE) & WS_CHILD))
        ScaleTo(TDisplayScale::ForWindow(Handle));
    return TRUE; // focus goes to the first tab stop
}

LRESULT TDialog::EvDpiChanged(WPARAM wParam, LPARAM lParam)
{
    // Windows' place for it first, where its caption and borders are
    // measured anew; the layout then gives the size.
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        ::SetWindowPos(Handle, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ScaleTo(HIWORD(wParam));
    return 0;
}

void TDialog::ScaleTo(UINT dpi)
{
    TDialogLayout layout;
    if (Handle && layout.Load(Module->GetInstance(), ResId)) {
        LayOut(layout, dpi);
        ShowPictures(layout, dpi);
    }
    TWindow::ScaleTo(dpi);
}

HFONT TDialog::FontAt(UINT dpi, WORD pointSize)
{
    HFONT own = reinterpret_cast<HFONT>(::SendMessageA(Handle, WM_GETFONT, 0, 0));
    LOGFONTA face = {};
    if (!own || !::GetObjectA(own, sizeof face, &face))
        return nullptr;
    const LONG height = -::MulDiv(pointSize, static_cast<int>(dpi), 72);
    if (face.lfHeight == height)
        return own;
    face.lfHeight = height;
    return ::CreateFontIndirectA(&face);
}

void TDialog::LayOut(const TDialogLayout& layout, UINT dpi)
{
    HFONT shown = ScaledFont ? ScaledFont : reinterpret_cast<HFONT>(::SendMessageA(Handle, WM_GETFONT, 0, 0));
    if (!shown || FontHeight(shown) == -::MulDiv(layout.PointSize, static_cast<int>(dpi), 72))
        return;
    HFONT font = FontAt(dpi, layout.PointSize);
    if (!font)
        return;
    const SIZE base = BaseUnits(font);
    // The child windows are in template order.
    HWND child = ::GetWindow(Handle, GW_CHILD);
    for (const TDialogLayout::TControl& control : layout.Controls) {
        if (!child)
            break;
        // A bitmap control takes its size from its bitmap.
        const UINT keepSize = control.PictureId ? SWP_NOSIZE : 0;
        ::SetWindowPos(child, nullptr, Across(control.X, base), Down(control.Y, base), Across(control.Width, base),
                       Down(control.Height, base), SWP_NOZORDER | SWP_NOACTIVATE | keepSize);
        ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    // A child dialog's window fills what its parent gives it, the
    // template's size; a top-level one has that as its client area, inside
    // the caption and borders it has now.
    SIZE outer = {Across(layout.Size.cx, base), Down(layout.Size.cy, base)};
    if (!(::GetWindowLongA(Handle, GWL_STYLE) & WS_CHILD)) {
        RECT window, client;
        ::GetWindowRect(Handle, &window);
        ::GetClientRect(Handle, &client);
        outer.cx += (window.right - window.left) - client.right;
        outer.cy += (window.bottom - window.top) - client.bottom;
    }
    ::SetWindowPos(Handle, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (ScaledFont)
        ::DeleteObject(ScaledFont);
    ScaledFont = font == reinterpret_cast<HFONT>(::SendMessageA(Handle, WM_GETFONT, 0, 0)) ? nullptr : font;
    ::RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TDialog::ShowPictures(const TDialogLayout& layout, UINT dpi)
{
    HFONT own = reinterpret_cast<HFONT>(::SendMessageA(Handle, WM_GETFONT, 0, 0));
    HFONT standard = FontAt(TDisplayScale::Standard, layout.PointSize);
    if (!own || !standard)
        return;
    const SIZE base = BaseUnits(ScaledFont ? ScaledFont : own), standardBase = BaseUnits(standard);
    if (standard != own)
        ::DeleteObject(standard);

    HINSTANCE instance = Module->GetInstance();
    HWND child = ::GetWindow(Handle, GW_CHILD);
    for (const TDialogLayout::TControl& control : layout.Controls) {
        if (!child)
            break;
        HWND picture = child;
        child = ::GetWindow(child, GW_HWNDNEXT);
        if (!control.PictureId)
            continue;
        // As large in dialog units as the 100 % bitmap is at 100 %; the
        // drawing for this DPI as it is, where it agrees with that.
        const SIZE standardSize = TScaledPicture::BitmapSize(instance, control.PictureId);
        const SIZE drawn = TScaledPicture::DrawnSize(instance, control.PictureId, dpi);
        SIZE wanted = {::MulDiv(standardSize.cx, base.cx, standardBase.cx),
                       ::MulDiv(standardSize.cy, base.cy, standardBase.cy)};
        if (Agrees(drawn.cx, wanted.cx, base.cx, standardBase.cx) &&
            Agrees(drawn.cy, wanted.cy, base.cy, standardBase.cy))
            wanted = drawn;

        BITMAP current = {};
        auto bitmap = reinterpret_cast<HBITMAP>(::SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (bitmap && ::GetObjectA(bitmap, sizeof current, &current) && current.bmWidth == wanted.cx &&
            current.bmHeight == wanted.cy)
            continue;
        HBITMAP made = TScaledPicture::Bitmap(instance, control.PictureId, dpi, wanted);
        if (!made)
            continue;
        auto previous = reinterpret_cast<HBITMAP>(
            ::SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(made)));
        auto ours = std::find(Pictures.begin(), Pictures.end(), previous);
        if (ours != Pictures.end()) {
            ::DeleteObject(previous);
            Pictures.erase(ours);
        }
        Pictures.push_back(made);
    }
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
    // Built without exceptions, nothing can unwind through Windows' own frames.
    result = dialog->WindowProc(msg, wParam, lParam);
    bool unhandled = dialog->Unhandled;
    dialog->Unhandled = outerUnhandled;

    if (unhandled)
        return FALSE;
    if (msg == WM_INITDIALOG)
        return result;
    ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
