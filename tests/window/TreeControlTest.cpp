#include "TreeHost.h"
#include <gtest/gtest.h>

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
