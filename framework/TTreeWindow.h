#pragma once
#include "TWindow.h"
#include <commctrl.h>

class TTreeNode;

// The tree-view common control.
class TTreeWindow : public TWindow {
public:
    TTreeWindow(TWindow* parent, int id, TModule* module = nullptr);

    TTreeNode GetRoot();
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
    HTREEITEM HitTest(TVHITTESTINFO& info) const;
    void SetImageList(int which, HIMAGELIST list);
    void SetIndent(int pixels);
};

// One item of a tree window, or its invisible root.
class TTreeNode {
public:
    TTreeNode(TTreeWindow& tree, HTREEITEM item) : Tree(&tree), Item(item) {}

    HTREEITEM GetHandle() const { return Item; }

    // Inserts a new last child; the root's children are the top-level items.
    TTreeNode AddChild(const char* text, int image, int selectedImage) const;
    bool Expand(UINT how = TVE_EXPAND) const;
    // The item's whole text, however long.
    std::string GetText() const;

private:
    TTreeWindow* Tree;
    HTREEITEM Item;
};
