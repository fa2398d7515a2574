#include "Pixels.h"

std::vector<DWORD> ReadPixels(HDC source, int x, int y, int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const DWORD* words = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = words[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<DWORD> ScreenPixels(const RECT& area)
{
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = ReadPixels(screen, area.left, area.top, area.right - area.left,
                                           area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<DWORD> RenderIcon(HICON icon, int size, COLORREF background)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, picture);
    RECT all = {0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    std::vector<DWORD> pixels = ReadPixels(memory, 0, 0, size, size);
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool ScreenShowsIcon(const RECT& area, HICON icon, int size)
{
    std::vector<DWORD> onBlack = RenderIcon(icon, size, RGB(0, 0, 0));
    std::vector<DWORD> onWhite = RenderIcon(icon, size, RGB(255, 255, 255));
    int opaque = 0;
    for (size_t i = 0; i < onBlack.size(); ++i)
        opaque += onBlack[i] == onWhite[i];
    // An icon that is mostly see-through would be found almost anywhere.
    if (opaque <= size * size / 4)
        return false;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<DWORD> shown = ScreenPixels(area);
    for (int top = 0; top + size <= height; ++top) {
        for (int left = 0; left + size <= width; ++left) {
            bool same = true;
            for (int y = 0; y < size && same; ++y) {
                for (int x = 0; x < size && same; ++x) {
                    size_t at = static_cast<size_t>(y) * size + x;
                    if (onBlack[at] == onWhite[at])
                        same = shown[static_cast<size_t>(top + y) * width + left + x] == onBlack[at];
                }
            }
            if (same)
                return true;
        }
    }
    return false;
}
