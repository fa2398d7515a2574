#include "TMyTreeWnd.h"
#include "../framework/TDisplayScale.h"
#include "../res/resource.h"

namespace {
const COLORREF PictureMask = RGB(255, 0, 255);
const int PictureWidth = 16;
// The control's own indent at 100 %, a little more than a picture.
const int StandardIndent = 19;
} // namespace

DEFINE_RESPONSE_TABLE1(TMyTreeWnd, TTreeWindow)
    EV_WM_LBUTTONDOWN(TMyTreeWnd, EvLButtonDown),
END_RESPONSE_TABLE;

TMyTreeWnd::TMyTreeWnd(TWindow* parent, int id, TModule* module)
    : TTreeWindow(parent, id, module),
      NormalImages(new TImageList(GetModule().GetInstance(), IDB_ITEMS, PictureWidth, 1, PictureMask)),
      StateImages(new TImageList(GetModule().GetInstance(), IDB_CHECKBOXES, PictureWidth, 1, PictureMask)),
      PicturesDpi(TDisplayScale::Standard)
{
}

TMyTreeWnd::~TMyTreeWnd()
{
    // The control must let go of the lists before they are destroyed.
    Destroy();
}

void TMyTreeWnd::SetupWindow()
{
    TTreeWindow::SetupWindow();
    SetImageList(TVSIL_NORMAL, NormalImages->GetHandle());
    SetImageList(TVSIL_STATE, StateImages->GetHandle());
}

void TMyTreeWnd::ScaleTo(UINT dpi)
{
    TTreeWindow::ScaleTo(dpi);
    if (!Handle || dpi == PicturesDpi)
        return;
    HINSTANCE instance = GetModule().GetInstance();
    std::unique_ptr<TImageList> normal(new TImageList(instance, IDB_ITEMS, PictureWidth, 1, PictureMask, dpi));
    std::unique_ptr<TImageList> state(new TImageList(instance, IDB_CHECKBOXES, PictureWidth, 1, PictureMask, dpi));
    if (!normal->GetHandle() || !state->GetHandle())
        return;
    // The control measures its rows anew from the lists; the state list
    // first, as the control lays its items out again when the normal
    // list's size changes, with the state pictures' width as it is then.
    SetImageList(TVSIL_STATE, state->GetHandle());
    SetImageList(TVSIL_NORMAL, normal->GetHandle());
    SetIndent(TDisplayScale::Scale(StandardIndent, dpi));
    NormalImages = std::move(normal);
    StateImages = std::move(state);
    PicturesDpi = dpi;
}

void TMyTreeWnd::SetCheckState(HTREEITEM item, int state)
{
    TVITEMA record = {};
    record.mask = TVIF_STATE;
    record.hItem = item;
    record.state = INDEXTOSTATEIMAGEMASK(state & 0xF);
    record.stateMask = TVIS_STATEIMAGEMASK;
    ::SendMessageA(Handle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&record));
}

int TMyTreeWnd::GetCheckState(HTREEITEM item) const
{
    TVITEMA record = {};
    record.mask = TVIF_STATE;
    record.hItem = item;
    record.stateMask = TVIS_STATEIMAGEMASK;
    if (!::SendMessageA(Handle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record)))
        return 0;
    return static_cast<int>((record.state & TVIS_STATEIMAGEMASK) >> 12);
}

int TMyTreeWnd::NextCheckState(int state)
{
    switch (state) {
    case NotChosen:
        return Chosen;
    case Chosen:
    case PartlyChosen:
        return NotChosen;
    default:
        return NoBox;
    }
}

void TMyTreeWnd::EvLButtonDown(UINT modKeys, POINT point)
{
    TVHITTESTINFO hit = {};
    hit.pt = point;
    HTREEITEM item = HitTest(hit);
    if (!item || !(hit.flags & TVHT_ONITEMSTATEICON)) {
        DefaultProcessing(WM_LBUTTONDOWN, modKeys, MAKELPARAM(point.x, point.y));
        return;
    }

    int state = NextCheckState(GetCheckState(item));
    SetCheckState(item, state);
    for (HTREEITEM child = GetNextItem(item, TVGN_CHILD); child; child = GetNextItem(child, TVGN_NEXT))
        SetCheckState(child, state);
    if (HTREEITEM parent = GetNextItem(item, TVGN_PARENT))
        SetCheckState(parent, PartlyChosen);
    // Not passed on: a press on a box neither selects nor takes the focus.
}
