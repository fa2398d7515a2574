#include "TDialogLayout.h"

namespace {
const WORD StaticClass = 0x0082;

// Steps over a string or an ordinal (0xFFFF and a number); returns the number.
int SkipNameOrOrdinal(const WORD*& at, const WORD* end)
{
    if (at < end && *at == 0xFFFF) {
        int ordinal = at + 1 < end ? at[1] : 0;
        at += 2;
        return ordinal;
    }
    while (at < end && *at)
        ++at;
    ++at;
    return 0;
}
} // namespace

bool TDialogLayout::Load(HINSTANCE instance, int resId)
{
    HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(resId), MAKEINTRESOURCEA(5)); // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const auto* head = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = found ? ::SizeofResource(instance, found) : 0;
    // An extended template starts with the version 1 and the signature 0xFFFF.
    if (!head || size < sizeof(DLGTEMPLATE) || reinterpret_cast<const WORD*>(head)[1] == 0xFFFF ||
        !(head->style & DS_SETFONT))
        return false;
    const WORD* end = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(head) + size);
    const auto* at = reinterpret_cast<const WORD*>(head + 1);
    SkipNameOrOrdinal(at, end); // menu
    SkipNameOrOrdinal(at, end); // class
    SkipNameOrOrdinal(at, end); // caption
    if (at >= end)
        return false;
    PointSize = *at++;
    SkipNameOrOrdinal(at, end); // face
    Size = SIZE{head->cx, head->cy};
    Controls.clear();
    for (int i = 0; i < head->cdit; ++i) {
        // Each item starts on a DWORD boundary.
        const ULONG_PTR aligned = (reinterpret_cast<ULONG_PTR>(at) + 3) & ~ULONG_PTR(3);
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(aligned);
        if (reinterpret_cast<const WORD*>(item + 1) > end)
            return false;
        at = reinterpret_cast<const WORD*>(item + 1);
        const bool isStatic = at < end && *at == 0xFFFF && at + 1 < end && at[1] == StaticClass;
        SkipNameOrOrdinal(at, end);
        const int ordinal = SkipNameOrOrdinal(at, end);
        const WORD extra = at < end ? *at : 0;
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at + 1) + extra);
        TControl control;
        control.X = item->x;
        control.Y = item->y;
        control.Width = item->cx;
        control.Height = item->cy;
        control.PictureId = isStatic && (item->style & SS_TYPEMASK) == SS_BITMAP ? ordinal : 0;
        Controls.push_back(control);
    }
    return true;
}
