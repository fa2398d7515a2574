#pragma once
#include <windows.h>
#include <commctrl.h>

// An image list loaded from a bitmap strip; destroyed with the object.
class TImageList {
public:
    TImageList(HINSTANCE instance, int resId, int width, int grow, COLORREF mask);
    // The strip as drawn for `dpi`, its pictures `width` pixels wide at 100 %
    // and as wide as the DPI makes them (see TScaledPicture).
    TImageList(HINSTANCE instance, int resId, int width, int grow, COLORREF mask, UINT dpi);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    HIMAGELIST GetHandle() const { return Handle; }

private:
    HIMAGELIST Handle;
};
