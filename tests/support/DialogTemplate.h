#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A classic DLGTEMPLATE resource as the exe carries it, texts in GBK.
struct TTemplateControl {
    DWORD Style = 0;
    short X = 0, Y = 0, Cx = 0, Cy = 0;
    WORD Id = 0;
    // The predefined classes by their names ("button", "edit", "static"),
    // other ordinals as "#n"; a class given by name as stored.
    std::string Class;
    // An ordinal (a picture's id) as "#n".
    std::string Text;
};

struct TDialogTemplate {
    DWORD Style = 0;
    short X = 0, Y = 0, Cx = 0, Cy = 0;
    bool HasMenu = false;
    std::string Caption, Face;
    WORD PointSize = 0;
    std::vector<TTemplateControl> Controls;
    // The resource itself, for making the same dialog here.
    std::vector<char> Bytes;
};

bool ReadDialogTemplate(const void* data, DWORD size, TDialogTemplate& out);
// The template `id` of a module loaded as data, or of an exe on disk.
bool LoadDialogTemplate(HMODULE module, int id, TDialogTemplate& out);
bool LoadDialogTemplate(const std::string& exe, int id, TDialogTemplate& out);

// MapDialogRect for a template: it refuses another process's dialog, so the
// same template is made here, hidden, and asked instead.
bool MapLikeTemplate(const TDialogTemplate& dialogTemplate, RECT& rect);

// The dialog base units of a dialog made from the template at `dpi`, which
// need not be this process's: the template's font at that DPI, measured as
// the dialog manager measures it (the Latin letters' average width, the
// height).
SIZE BaseUnitsAt(const TDialogTemplate& dialogTemplate, UINT dpi);
// Dialog units in pixels at these base units, as MapDialogRect maps them.
RECT MapWithUnits(RECT rect, SIZE units);
