#include "TScaledPicture.h"
#include "TDisplayScale.h"
#include <cmath>
#include <vector>

namespace {
const UINT DrawnDpis[] = {96, 144, 192};

// Pixels as 0xAARRGGBB with the colours premultiplied by alpha, top row first.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<DWORD> Bits;
};

const BITMAPINFOHEADER* FindBitmap(HINSTANCE instance, int id)
{
    HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    return loaded ? static_cast<const BITMAPINFOHEADER*>(::LockResource(loaded)) : nullptr;
}

BITMAPINFO TopDown(int width, int height, WORD bitCount)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A top-down DIB section with its bits where the caller can write them.
HBITMAP MakeDib(int width, int height, WORD bitCount, void** bits)
{
    BITMAPINFO info = TopDown(width, height, bitCount);
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// A bitmap of out.Width x out.Height as 32-bit pixels.
bool ReadBitmap(HBITMAP source, TPixels& out)
{
    BITMAPINFO info = TopDown(out.Width, out.Height, 32);
    out.Bits.resize(static_cast<size_t>(out.Width) * out.Height);
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, source, 0, static_cast<UINT>(out.Height), out.Bits.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return rows == out.Height;
}

// A bitmap resource as 32-bit pixels, whatever its depth and run-length
// encoding: GDI decodes it into a bitmap of that form.
bool ReadPacked(const BITMAPINFOHEADER* header, const void* packedBits, TPixels& out)
{
    void* bits = nullptr;
    HBITMAP target = MakeDib(out.Width, out.Height, 32, &bits);
    if (!target)
        return false;
    HDC screen = ::GetDC(nullptr);
    int rows = ::SetDIBits(screen, target, 0, static_cast<UINT>(out.Height), packedBits,
                           reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows == out.Height) {
        const DWORD* from = static_cast<const DWORD*>(bits);
        out.Bits.assign(from, from + static_cast<size_t>(out.Width) * out.Height);
    }
    ::DeleteObject(target);
    return rows == out.Height;
}

// The drawing of bitmap `id` nearest `dpi`, opaque; `mask` pixels see-through.
bool ReadDrawing(HINSTANCE instance, int id, UINT dpi, COLORREF mask, bool masked, TPixels& out)
{
    const int drawnId = TScaledPicture::DrawnId(id, TScaledPicture::NearestDrawn(dpi));
    const BITMAPINFOHEADER* header = FindBitmap(instance, drawnId);
    if (!header)
        header = FindBitmap(instance, id);
    if (!header || header->biSize < sizeof(BITMAPINFOHEADER))
        return false;
    DWORD colours = header->biClrUsed;
    if (!colours && header->biBitCount <= 8)
        colours = 1u << header->biBitCount;
    if (header->biCompression == BI_BITFIELDS)
        colours = 3;
    out.Width = header->biWidth;
    out.Height = std::abs(header->biHeight);
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + header->biSize + colours * sizeof(RGBQUAD);
    if (!ReadPacked(header, bits, out))
        return false;
    const DWORD seeThrough = RGB(GetBValue(mask), GetGValue(mask), GetRValue(mask)); // as 0x00RRGGBB
    for (DWORD& pixel : out.Bits) {
        pixel &= 0x00FFFFFF;
        pixel = masked && pixel == seeThrough ? 0 : pixel | 0xFF000000;
    }
    return true;
}

// Each new pixel is the average of the area of the old picture it covers:
// smooth, and no picture of a strip bleeds into the next.
TPixels Resized(const TPixels& from, int width, int height)
{
    if (from.Width == width && from.Height == height)
        return from;
    TPixels out;
    out.Width = width;
    out.Height = height;
    out.Bits.resize(static_cast<size_t>(width) * height);
    const double stepX = static_cast<double>(from.Width) / width;
    const double stepY = static_cast<double>(from.Height) / height;
    for (int y = 0; y < height; ++y) {
        const double top = y * stepY, bottom = (y + 1) * stepY;
        for (int x = 0; x < width; ++x) {
            const double left = x * stepX, right = (x + 1) * stepX;
            double sums[4] = {};
            for (int sy = static_cast<int>(top); sy < from.Height && sy < bottom; ++sy) {
                const double cy = std::min<double>(bottom, sy + 1) - std::max<double>(top, sy);
                for (int sx = static_cast<int>(left); sx < from.Width && sx < right; ++sx) {
                    const double weight = cy * (std::min<double>(right, sx + 1) - std::max<double>(left, sx));
                    const DWORD pixel = from.Bits[static_cast<size_t>(sy) * from.Width + sx];
                    for (int channel = 0; channel < 4; ++channel)
                        sums[channel] += weight * ((pixel >> (8 * channel)) & 0xFF);
                }
            }
            DWORD pixel = 0;
            for (int channel = 0; channel < 4; ++channel) {
                const long value = std::lround(sums[channel] / (stepX * stepY));
                pixel |= static_cast<DWORD>(std::min(255L, std::max(0L, value))) << (8 * channel);
            }
            out.Bits[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    return out;
}

DWORD Premultiplied(DWORD pixel)
{
    const DWORD alpha = pixel >> 24;
    DWORD out = pixel & 0xFF000000;
    for (int channel = 0; channel < 3; ++channel)
        out |= (((pixel >> (8 * channel)) & 0xFF) * alpha / 255) << (8 * channel);
    return out;
}

// Straight (not premultiplied) alpha, as image lists and icons take it.
DWORD Straight(DWORD pixel)
{
    const DWORD alpha = pixel >> 24;
    if (alpha == 0 || alpha == 255)
        return alpha ? pixel : 0;
    DWORD out = pixel & 0xFF000000;
    for (int channel = 0; channel < 3; ++channel) {
        const DWORD value = ((pixel >> (8 * channel)) & 0xFF) * 255 / alpha;
        out |= std::min<DWORD>(255, value) << (8 * channel);
    }
    return out;
}

HBITMAP MakeBitmap(const TPixels& pixels, bool withAlpha)
{
    void* bits = nullptr;
    HBITMAP bitmap = MakeDib(pixels.Width, pixels.Height, withAlpha ? 32 : 24, &bits);
    if (!bitmap)
        return nullptr;
    BYTE* row = static_cast<BYTE*>(bits);
    const size_t width = static_cast<size_t>(pixels.Width);
    const size_t stride = withAlpha ? width * 4 : (width * 3 + 3) & ~size_t(3);
    for (int y = 0; y < pixels.Height; ++y, row += stride) {
        for (int x = 0; x < pixels.Width; ++x) {
            const DWORD pixel = pixels.Bits[static_cast<size_t>(y) * pixels.Width + x];
            if (withAlpha) {
                reinterpret_cast<DWORD*>(row)[x] = Straight(pixel);
            } else {
                row[3 * x] = static_cast<BYTE>(pixel);
                row[3 * x + 1] = static_cast<BYTE>(pixel >> 8);
                row[3 * x + 2] = static_cast<BYTE>(pixel >> 16);
            }
        }
    }
    ::GdiFlush();
    return bitmap;
}

// A one-bit mask: set where a picture is mostly see-through.
HBITMAP MakeMask(const TPixels& pixels)
{
    const int stride = (pixels.Width + 15) / 16 * 2;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * pixels.Height);
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x)
            if ((pixels.Bits[static_cast<size_t>(y) * pixels.Width + x] >> 24) < 128)
                bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    return ::CreateBitmap(pixels.Width, pixels.Height, 1, 1, bits.data());
}

// A colour icon's pixels; where it has no alpha of its own, its mask gives it.
bool ReadIcon(HICON icon, TPixels& out)
{
    ICONINFO info = {};
    if (!::GetIconInfo(icon, &info))
        return false;
    BITMAP shape = {};
    TPixels mask;
    bool read = info.hbmColor && ::GetObjectA(info.hbmColor, sizeof shape, &shape);
    out.Width = mask.Width = shape.bmWidth;
    out.Height = mask.Height = shape.bmHeight;
    read = read && ReadBitmap(info.hbmColor, out) && ReadBitmap(info.hbmMask, mask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    if (!read)
        return false;
    bool hasAlpha = false;
    for (DWORD pixel : out.Bits)
        hasAlpha = hasAlpha || (pixel >> 24);
    for (size_t i = 0; i < out.Bits.size(); ++i) {
        DWORD& pixel = out.Bits[i];
        if (!hasAlpha)
            pixel = (mask.Bits[i] & 0x00FFFFFF) ? 0 : (pixel | 0xFF000000);
        pixel = Premultiplied(pixel);
    }
    return true;
}

HICON MakeIcon(const TPixels& pixels)
{
    ICONINFO made = {};
    made.fIcon = TRUE;
    made.hbmColor = MakeBitmap(pixels, true);
    made.hbmMask = MakeMask(pixels);
    HICON icon = made.hbmColor && made.hbmMask ? ::CreateIconIndirect(&made) : nullptr;
    if (made.hbmColor)
        ::DeleteObject(made.hbmColor);
    if (made.hbmMask)
        ::DeleteObject(made.hbmMask);
    return icon;
}
} // namespace

UINT TScaledPicture::NearestDrawn(UINT dpi)
{
    UINT nearest = DrawnDpis[0];
    for (UINT drawn : DrawnDpis) {
        UINT distance = drawn > dpi ? drawn - dpi : dpi - drawn;
        UINT best = nearest > dpi ? nearest - dpi : dpi - nearest;
        if (distance <= best)
            nearest = drawn;
    }
    return nearest;
}

int TScaledPicture::DrawnId(int id, UINT drawnDpi)
{
    return id + IdStep * static_cast<int>((drawnDpi - DrawnDpis[0]) / (DrawnDpis[1] - DrawnDpis[0]));
}

SIZE TScaledPicture::BitmapSize(HINSTANCE instance, int id)
{
    const BITMAPINFOHEADER* header = FindBitmap(instance, id);
    if (!header)
        return SIZE{0, 0};
    return SIZE{header->biWidth, std::abs(header->biHeight)};
}

SIZE TScaledPicture::DrawnSize(HINSTANCE instance, int id, UINT dpi)
{
    SIZE drawn = BitmapSize(instance, DrawnId(id, NearestDrawn(dpi)));
    return drawn.cx ? drawn : BitmapSize(instance, id);
}

HBITMAP TScaledPicture::Bitmap(HINSTANCE instance, int id, UINT dpi, SIZE size)
{
    TPixels drawing;
    if (size.cx <= 0 || size.cy <= 0 || !ReadDrawing(instance, id, dpi, 0, false, drawing))
        return nullptr;
    return MakeBitmap(Resized(drawing, size.cx, size.cy), false);
}

HIMAGELIST TScaledPicture::ImageList(HINSTANCE instance, int id, int side, int grow, COLORREF mask, UINT dpi)
{
    TPixels drawing;
    if (!ReadDrawing(instance, id, dpi, mask, true, drawing) || drawing.Height <= 0)
        return nullptr;
    const int count = drawing.Width / drawing.Height;
    const int scaledSide = TDisplayScale::Scale(side, dpi);
    if (count <= 0 || scaledSide <= 0)
        return nullptr;
    TPixels strip = Resized(drawing, count * scaledSide, scaledSide);
    HIMAGELIST list = ::ImageList_Create(scaledSide, scaledSide, ILC_COLOR32 | ILC_MASK, count, grow);
    HBITMAP colours = MakeBitmap(strip, true);
    HBITMAP seeThrough = MakeMask(strip);
    if (list && colours && seeThrough)
        ::ImageList_Add(list, colours, seeThrough);
    if (colours)
        ::DeleteObject(colours);
    if (seeThrough)
        ::DeleteObject(seeThrough);
    return list;
}

HICON TScaledPicture::Icon(HINSTANCE instance, int id, UINT dpi, int size)
{
    // At its own size: none asked for, and not the default size.
    HICON drawn = static_cast<HICON>(
        ::LoadImageA(instance, MAKEINTRESOURCEA(DrawnId(id, NearestDrawn(dpi))), IMAGE_ICON, 0, 0, 0));
    if (!drawn)
        drawn = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, 0));
    TPixels pixels;
    if (!drawn || !ReadIcon(drawn, pixels) || pixels.Width == size)
        return drawn;
    HICON scaled = MakeIcon(Resized(pixels, size, size));
    if (!scaled)
        return drawn;
    ::DestroyIcon(drawn);
    return scaled;
}
