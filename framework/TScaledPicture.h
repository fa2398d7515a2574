#pragma once
#include <windows.h>
#include <commctrl.h>

// The module's pictures at the size a DPI asks for. Each is drawn for
// 100 %, 150 % and 200 % display scaling: the 100 % one has its own id, the
// larger ones that id plus 10000 and plus 20000. The drawing nearest the
// DPI is used as it is where it has the size asked for, and smoothly
// scaled only where it has not (a missing drawing counts as not there).
// What these return is the caller's.
class TScaledPicture {
public:
    static const int IdStep = 10000;

    // 96, 144 or 192; between two, the larger.
    static UINT NearestDrawn(UINT dpi);
    static int DrawnId(int id, UINT drawnDpi);

    // The 100 % bitmap's own size; zero when there is none.
    static SIZE BitmapSize(HINSTANCE instance, int id);
    // The size of the bitmap drawn nearest `dpi`.
    static SIZE DrawnSize(HINSTANCE instance, int id, UINT dpi);
    // An opaque bitmap of `size` (for a static control), or null.
    static HBITMAP Bitmap(HINSTANCE instance, int id, UINT dpi, SIZE size);
    // The square pictures of a bitmap strip, `side` pixels wide at 100 %,
    // with `mask` as the see-through colour, in an image list; or null.
    static HIMAGELIST ImageList(HINSTANCE instance, int id, int side, int grow, COLORREF mask, UINT dpi);
    // An icon `size` pixels square, or null.
    static HICON Icon(HINSTANCE instance, int id, UINT dpi, int size);
};
