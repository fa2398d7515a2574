#include "DialogTemplate.h"
#include "Owners.h"
#include <commctrl.h>

namespace {
std::string Narrow(const WCHAR*& at)
{
    const WCHAR* start = at;
    while (*at)
        ++at;
    int length = static_cast<int>(at - start);
    ++at;
    int size = WideCharToMultiByte(936, 0, start, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(936, 0, start, length, &text[0], size, nullptr, nullptr);
    return text;
}

// A name-or-ordinal field; an ordinal comes back as "#n".
std::string NameOrOrdinal(const WCHAR*& at)
{
    if (*at == 0xFFFF) {
        WORD ordinal = at[1];
        at += 2;
        return "#" + std::to_string(ordinal);
    }
    return Narrow(at);
}

std::string ControlClass(const WCHAR*& at)
{
    std::string name = NameOrOrdinal(at);
    if (name == "#128")
        return "button";
    if (name == "#129")
        return "edit";
    if (name == "#130")
        return "static";
    return name;
}

const WCHAR* AlignDword(const WCHAR* at)
{
    return reinterpret_cast<const WCHAR*>((reinterpret_cast<ULONG_PTR>(at) + 3) & ~ULONG_PTR(3));
}
} // namespace

bool ReadDialogTemplate(const void* data, DWORD size, TDialogTemplate& out)
{
    if (!data || size <= sizeof(DLGTEMPLATE))
        return false;
    out = TDialogTemplate();
    const char* start = static_cast<const char*>(data);
    out.Bytes.assign(start, start + size);
    const auto* head = static_cast<const DLGTEMPLATE*>(data);
    out.Style = head->style;
    out.X = head->x;
    out.Y = head->y;
    out.Cx = head->cx;
    out.Cy = head->cy;
    const auto* at = reinterpret_cast<const WCHAR*>(head + 1);
    out.HasMenu = *at != 0;
    NameOrOrdinal(at); // menu
    NameOrOrdinal(at); // class
    out.Caption = Narrow(at);
    if (out.Style & DS_SETFONT) {
        out.PointSize = *at++;
        out.Face = Narrow(at);
    }
    for (int i = 0; i < head->cdit; ++i) {
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(AlignDword(at));
        TTemplateControl control;
        control.Style = item->style;
        control.X = item->x;
        control.Y = item->y;
        control.Cx = item->cx;
        control.Cy = item->cy;
        control.Id = item->id;
        at = reinterpret_cast<const WCHAR*>(item + 1);
        control.Class = ControlClass(at);
        control.Text = NameOrOrdinal(at);
        WORD extra = *at++;
        at = reinterpret_cast<const WCHAR*>(reinterpret_cast<const char*>(at) + extra);
        out.Controls.push_back(control);
    }
    return true;
}

bool LoadDialogTemplate(HMODULE module, int id, TDialogTemplate& out)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (!found)
        return false;
    return ReadDialogTemplate(LockResource(LoadResource(module, found)), SizeofResource(module, found), out);
}

bool LoadDialogTemplate(const std::string& exe, int id, TDialogTemplate& out)
{
    TModuleFile module = LoadAsData(exe.c_str());
    return module.IsOpen() && LoadDialogTemplate(module, id, out);
}

namespace {
INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
} // namespace

bool MapLikeTemplate(const TDialogTemplate& dialogTemplate, RECT& rect)
{
    std::vector<char> bytes = dialogTemplate.Bytes;
    reinterpret_cast<DLGTEMPLATE*>(bytes.data())->style &= ~WS_VISIBLE;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    HWND hidden = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
                                             &QuietDialogProc, 0);
    if (!hidden)
        return false;
    bool ok = MapDialogRect(hidden, &rect) != FALSE;
    DestroyWindow(hidden);
    return ok;
}

SIZE BaseUnitsAt(const TDialogTemplate& dialogTemplate, UINT dpi)
{
    HFONT font = CreateFontA(-MulDiv(dialogTemplate.PointSize, static_cast<int>(dpi), 72), 0, 0, 0, FW_DONTCARE, FALSE,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                             FF_DONTCARE, dialogTemplate.Face.c_str());
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    SIZE letters = {};
    GetTextExtentPoint32A(screen, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

RECT MapWithUnits(RECT rect, SIZE units)
{
    return RECT{MulDiv(rect.left, units.cx, 4), MulDiv(rect.top, units.cy, 8), MulDiv(rect.right, units.cx, 4),
                MulDiv(rect.bottom, units.cy, 8)};
}
