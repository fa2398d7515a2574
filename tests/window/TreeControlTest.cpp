#include "TreeHost.h"
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {
LRESULT Press(HWND tree, POINT point)
{
    return SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

// A point on the item's check box, found the way the control itself sees it.
POINT BoxOf(HWND tree, HTREEITEM item)
{
    RECT rect;
    *reinterpret_cast<HTREEITEM*>(&rect) = item;
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    int y = (rect.top + rect.bottom) / 2;
    for (int x = rect.left - 1; x >= 0; --x) {
        TVHITTESTINFO hit = {};
        hit.pt = POINT{x, y};
        SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.hItem == item && (hit.flags & TVHT_ONITEMSTATEICON))
            return hit.pt;
    }
    ADD_FAILURE() << "no state icon found";
    return POINT{0, 0};
}

// The colours of one picture of a list drawn over white.
std::set<DWORD> ColoursOf(HIMAGELIST list, int index)
{
    int side = 0, height = 0;
    ImageList_GetIconSize(list, &side, &height);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, side, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, canvas);
    PatBlt(dc, 0, 0, side, height, WHITENESS);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    std::set<DWORD> colours;
    for (int i = 0; i < side * height; ++i)
        colours.insert(pixels[i] & 0x00FFFFFF);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(canvas);
    return colours;
}

UINT ItemState(HWND tree, HTREEITEM item)
{
    TVITEMA record = {};
    record.mask = TVIF_STATE;
    record.hItem = item;
    record.stateMask = 0xFFFF;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
    return record.state;
}
} // namespace

class TreeControl : public ::testing::Test {
protected:
    TTreeHost Host;
    HWND TreeWindow() const { return Host.Tree->GetHandle(); }
};

TEST_F(TreeControl, LoadsBothPictureStripsBeforeAnyItem)
{
    auto normal = reinterpret_cast<HIMAGELIST>(SendMessageA(TreeWindow(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    auto state = reinterpret_cast<HIMAGELIST>(SendMessageA(TreeWindow(), TVM_GETIMAGELIST, TVSIL_STATE, 0));
    ASSERT_NE(nullptr, normal);
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(30, ImageList_GetImageCount(normal));
    EXPECT_EQ(5, ImageList_GetImageCount(state));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(state, &cx, &cy);
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);
}

TEST_F(TreeControl, PicturesAndRowsAreSizedForTheScale)
{
    HTREEITEM root = Host.Add(nullptr, "root", 2);
    HTREEITEM child = Host.Add(root, "child", 1);
    TreeView_Expand(TreeWindow(), root, TVE_EXPAND);
    // The 16 colours the pictures are drawn in, as 0xRRGGBB.
    const std::set<DWORD> drawnColours = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                          0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                          0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    // 150 %, 125 % (between two drawings), 200 %, and back at 100 %.
    const struct {
        UINT Dpi;
        int Side;
        bool Drawn;
    } scales[] = {{144, 24, true}, {120, 20, false}, {192, 32, true}, {96, 16, true}};
    for (const auto& scale : scales) {
        SCOPED_TRACE(testing::Message() << scale.Dpi << " DPI");
        Host.Tree->ScaleTo(scale.Dpi);
        for (int which : {TVSIL_NORMAL, TVSIL_STATE}) {
            auto list = reinterpret_cast<HIMAGELIST>(SendMessageA(TreeWindow(), TVM_GETIMAGELIST, which, 0));
            ASSERT_NE(nullptr, list);
            EXPECT_EQ(which == TVSIL_NORMAL ? 30 : 5, ImageList_GetImageCount(list));
            int cx = 0, cy = 0;
            ImageList_GetIconSize(list, &cx, &cy);
            EXPECT_EQ(scale.Side, cx);
            EXPECT_EQ(scale.Side, cy);
        }
        EXPECT_GE(TreeView_GetItemHeight(TreeWindow()), scale.Side) << "the rows are lower than their pictures";
        // Box and picture side by side, each as wide as drawn.
        RECT row;
        *reinterpret_cast<HTREEITEM*>(&row) = child;
        ASSERT_TRUE(SendMessageA(TreeWindow(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row)));
        int boxWidth = 0, pictureWidth = 0;
        for (int x = row.left; x < row.right; ++x) {
            TVHITTESTINFO hit = {};
            hit.pt = POINT{x, (row.top + row.bottom) / 2};
            SendMessageA(TreeWindow(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            boxWidth += hit.hItem == child && (hit.flags & TVHT_ONITEMSTATEICON) ? 1 : 0;
            pictureWidth += hit.hItem == child && (hit.flags & TVHT_ONITEMICON) ? 1 : 0;
        }
        EXPECT_EQ(scale.Side, boxWidth);
        EXPECT_EQ(scale.Side, pictureWidth);

        // Where there is a drawing for the scale it is shown as drawn;
        // between two, it is smoothed, and so has colours of its own.
        auto boxes = reinterpret_cast<HIMAGELIST>(SendMessageA(TreeWindow(), TVM_GETIMAGELIST, TVSIL_STATE, 0));
        std::set<DWORD> colours = ColoursOf(boxes, 2);
        std::vector<DWORD> undrawn;
        for (DWORD colour : colours)
            if (!drawnColours.count(colour))
                undrawn.push_back(colour);
        if (scale.Drawn)
            EXPECT_TRUE(undrawn.empty()) << undrawn.size() << " colours not drawn, e.g. " << std::hex << undrawn[0];
        else
            EXPECT_FALSE(undrawn.empty());
    }
}

TEST_F(TreeControl, HasNoBuiltInCheckBoxes)
{
    LONG style = GetWindowLongA(TreeWindow(), GWL_STYLE);
    EXPECT_EQ(0, style & TVS_CHECKBOXES);
    EXPECT_EQ(0, style & WS_TABSTOP);
}

TEST_F(TreeControl, StateNeverSetReadsZero)
{
    HTREEITEM item = Host.Add(nullptr, "x", -1);
    EXPECT_EQ(0, Host.Tree->GetCheckState(item));
}

TEST_F(TreeControl, SetCheckStateLeavesOtherStateBitsAlone)
{
    HTREEITEM root = Host.Add(nullptr, "root", 1);
    Host.Add(root, "child", 2);
    TreeView_Expand(TreeWindow(), root, TVE_EXPAND);
    TreeView_SelectItem(TreeWindow(), root);
    TreeView_SetItemState(TreeWindow(), root, TVIS_BOLD, TVIS_BOLD);
    UINT before = ItemState(TreeWindow(), root) & ~TVIS_STATEIMAGEMASK;

    Host.Tree->SetCheckState(root, 3);

    EXPECT_EQ(3, Host.Tree->GetCheckState(root));
    EXPECT_EQ(before, ItemState(TreeWindow(), root) & ~TVIS_STATEIMAGEMASK);
}

TEST_F(TreeControl, NextStateRule)
{
    EXPECT_EQ(2, TMyTreeWnd::NextCheckState(1));
    EXPECT_EQ(1, TMyTreeWnd::NextCheckState(2));
    EXPECT_EQ(1, TMyTreeWnd::NextCheckState(3));
    for (int other : {0, 4, 5, 15})
        EXPECT_EQ(0, TMyTreeWnd::NextCheckState(other)) << other;
}

TEST_F(TreeControl, PressOnEntryMarksItsRootPartlyChosen)
{
    HTREEITEM root = Host.Add(nullptr, "root", 1);
    HTREEITEM a = Host.Add(root, "a", 1);
    HTREEITEM b = Host.Add(root, "b", 1);
    TreeView_Expand(TreeWindow(), root, TVE_EXPAND);

    Press(TreeWindow(), BoxOf(TreeWindow(), a));

    EXPECT_EQ(2, Host.Tree->GetCheckState(a));
    EXPECT_EQ(1, Host.Tree->GetCheckState(b));
    EXPECT_EQ(3, Host.Tree->GetCheckState(root));
}

TEST_F(TreeControl, UnchoosingTheOnlyChosenEntryStillLeavesRootPartlyChosen)
{
    HTREEITEM root = Host.Add(nullptr, "root", 3);
    HTREEITEM a = Host.Add(root, "a", 2);
    Host.Add(root, "b", 1);
    TreeView_Expand(TreeWindow(), root, TVE_EXPAND);

    Press(TreeWindow(), BoxOf(TreeWindow(), a));

    EXPECT_EQ(1, Host.Tree->GetCheckState(a));
    EXPECT_EQ(3, Host.Tree->GetCheckState(root));
}

TEST_F(TreeControl, PressOnRootSetsItsDirectChildrenOnly)
{
    HTREEITEM root = Host.Add(nullptr, "root", 3);
    HTREEITEM a = Host.Add(root, "a", 2);
    HTREEITEM b = Host.Add(root, "b", 1);
    HTREEITEM grandchild = Host.Add(a, "g", 2);
    HTREEITEM other = Host.Add(nullptr, "other", 2);
    TreeView_Expand(TreeWindow(), root, TVE_EXPAND);

    Press(TreeWindow(), BoxOf(TreeWindow(), root));
    EXPECT_EQ(1, Host.Tree->GetCheckState(root));
    EXPECT_EQ(1, Host.Tree->GetCheckState(a));
    EXPECT_EQ(1, Host.Tree->GetCheckState(b));
    EXPECT_EQ(2, Host.Tree->GetCheckState(grandchild));
    EXPECT_EQ(2, Host.Tree->GetCheckState(other));

    Press(TreeWindow(), BoxOf(TreeWindow(), root));
    EXPECT_EQ(2, Host.Tree->GetCheckState(root));
    EXPECT_EQ(2, Host.Tree->GetCheckState(a));
    EXPECT_EQ(2, Host.Tree->GetCheckState(b));
}

TEST_F(TreeControl, PressOnDisabledLookClearsTheBoxesBelow)
{
    HTREEITEM root = Host.Add(nullptr, "root", 1);
    HTREEITEM a = Host.Add(root, "a", 4);
    HTREEITEM b = Host.Add(a, "b", 2);
    TreeView_Expand(TreeWindow(), root, TVE_EXPAND);
    TreeView_Expand(TreeWindow(), a, TVE_EXPAND);

    Press(TreeWindow(), BoxOf(TreeWindow(), a));

    EXPECT_EQ(0, Host.Tree->GetCheckState(a));
    EXPECT_EQ(0, Host.Tree->GetCheckState(b));
    EXPECT_EQ(3, Host.Tree->GetCheckState(root));
}

TEST_F(TreeControl, PressOnBoxNeitherSelectsNorFocuses)
{
    HTREEITEM root = Host.Add(nullptr, "root", 1);
    SetFocus(GetDlgItem(Host.GetHandle(), IDOK));

    Press(TreeWindow(), BoxOf(TreeWindow(), root));

    EXPECT_EQ(nullptr, TreeView_GetSelection(TreeWindow()));
    EXPECT_NE(TreeWindow(), GetFocus());
}

TEST_F(TreeControl, PressOnLabelSelectsAndChangesNoState)
{
    HTREEITEM root = Host.Add(nullptr, "root", 1);
    RECT rect;
    TreeView_GetItemRect(TreeWindow(), root, &rect, TRUE);

    POINT label = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    // The tree view tracks a press until the button comes up: queue that first.
    PostMessageA(TreeWindow(), WM_LBUTTONUP, 0, MAKELPARAM(label.x, label.y));
    Press(TreeWindow(), label);

    EXPECT_EQ(1, Host.Tree->GetCheckState(root));
    EXPECT_EQ(root, TreeView_GetSelection(TreeWindow()));
}

TEST_F(TreeControl, KeysChangeNoState)
{
    HTREEITEM root = Host.Add(nullptr, "root", 1);
    TreeView_SelectItem(TreeWindow(), root);
    SetFocus(TreeWindow());
    for (WPARAM key : {VK_SPACE, VK_RETURN, VK_DOWN, VK_RIGHT}) {
        SendMessageA(TreeWindow(), WM_KEYDOWN, key, 0);
        SendMessageA(TreeWindow(), WM_CHAR, key == VK_SPACE ? ' ' : 0, 0);
        SendMessageA(TreeWindow(), WM_KEYUP, key, 0);
    }
    EXPECT_EQ(1, Host.Tree->GetCheckState(root));
}
