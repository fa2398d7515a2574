#include "TImageList.h"

TImageList::TImageList(HINSTANCE instance, int resId, int width, int grow, COLORREF mask)
    : Handle(::ImageList_LoadImageA(instance, MAKEINTRESOURCEA(resId), width, grow, mask, IMAGE_BITMAP, 0))
{
}

TImageList::~TImageList()
{
    if (Handle)
        ::ImageList_Destroy(Handle);
}
