#pragma once
#include <windows.h>

// Display scaling: the DPI a window is shown at, and the functions Windows
// added for it after Vista, looked up when called, so that the program
// still starts where they are missing (there the system's DPI holds for
// every window).
class TDisplayScale {
public:
    // 100 %, the DPI every size in the program's resources is given for.
    static const UINT Standard = 96;
    // Sent to a top-level window whose DPI changed, e.g. moved to another monitor.
    static const UINT DpiChangedMessage = 0x02E0; // WM_DPICHANGED

    static UINT ForSystem();
    // The DPI the window is shown at: its monitor's where each monitor has
    // its own, else the system's.
    static UINT ForWindow(HWND window);

    // A size given at 100 %, at `dpi`.
    static int Scale(int value, UINT dpi) { return ::MulDiv(value, static_cast<int>(dpi), Standard); }

    // Lets a top-level window's caption and borders follow its DPI where
    // only a call asks for it (per-monitor awareness before version 2).
    static void ScaleNonClientArea(HWND window);
    // Keeps the dialog manager from laying a dialog out anew when its DPI
    // changes; the program does that itself, for child dialogs too.
    static void KeepDialogLayout(HWND dialog);
};
