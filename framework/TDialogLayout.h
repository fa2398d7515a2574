#pragma once
#include <windows.h>
#include <vector>

// What a dialog template says about sizes: the dialog's and each control's
// place in dialog units, the font's point size, and which controls show a
// bitmap of the module (a static control with SS_BITMAP naming its picture
// by number). Only classic templates (DLGTEMPLATE) are read.
class TDialogLayout {
public:
    struct TControl {
        int X, Y, Width, Height;
        int PictureId; // 0 unless a bitmap control
    };

    // False when the module has no such classic template with a font.
    bool Load(HINSTANCE instance, int resId);

    SIZE Size = {0, 0};
    WORD PointSize = 0;
    // In template order, which is the order of the dialog's child windows.
    std::vector<TControl> Controls;
};
