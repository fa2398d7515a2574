#pragma once
#include <windows.h>
#include <vector>

// Top-down 0x00RRGGBB pixels of a DC area.
std::vector<DWORD> ReadPixels(HDC source, int x, int y, int width, int height);
// What the screen shows of a screen rectangle.
std::vector<DWORD> ScreenPixels(const RECT& area);
// The icon drawn at `size` over a plain colour.
std::vector<DWORD> RenderIcon(HICON icon, int size, COLORREF background);

// Whether the screen shows `icon` at `size` anywhere in `area`. Icons do
// not cross processes under Wine, so what a window of another process
// shows is looked for pixel by pixel: the icon's opaque pixels must match.
bool ScreenShowsIcon(const RECT& area, HICON icon, int size);
