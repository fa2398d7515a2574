#include "TImageList.h"
#include "TDisplayScale.h"
#include "TScaledPicture.h"

TImageList::TImageList(HINSTANCE instance, int resId, int width, int grow, COLORREF mask)
    : Handle(::ImageList_LoadImageA(instance, MAKEINTRESOURCEA(resId), width, grow, mask, IMAGE_BITMAP, 0))
{
}

TImageList::TImageList(HINSTANCE instance, int resId, int width, int grow, COLORREF mask, UINT dpi)
    : Handle(dpi == TDisplayScale::Standard
                 ? ::ImageList_LoadImageA(instance, MAKEINTRESOURCEA(resId), width, grow, mask, IMAGE_BITMAP, 0)
                 : TScaledPicture::ImageList(instance, resId, width, grow, mask, dpi))
{
}

TImageList::~TImageList()
{
    if (Handle)
        ::ImageList_Destroy(Handle);
}
