#include "TDisplayScale.h"

namespace {
// A user32 function that older systems lack, or null there.
template <class Function>
Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    FARPROC found = user32 ? ::GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// Windows 10 1703: no layout of its own for the dialog at a DPI change.
const int DialogChangesNothing = 1; // DDC_DISABLE_ALL
} // namespace

UINT TDisplayScale::ForSystem()
{
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : Standard;
}

UINT TDisplayScale::ForWindow(HWND window)
{
    // Windows 10 1607.
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
    UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi ? dpi : ForSystem();
}

void TDisplayScale::ScaleNonClientArea(HWND window)
{
    // Windows 10 1607; later per-monitor awareness does it unasked.
    using TEnable = BOOL(WINAPI*)(HWND);
    static const auto enable = User32Function<TEnable>("EnableNonClientDpiScaling");
    if (enable)
        enable(window);
}

void TDisplayScale::KeepDialogLayout(HWND dialog)
{
    using TSetBehavior = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehavior = User32Function<TSetBehavior>("SetDialogDpiChangeBehavior");
    if (setBehavior)
        setBehavior(dialog, DialogChangesNothing, DialogChangesNothing);
}
