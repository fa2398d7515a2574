#pragma once
#include "../../framework/TDialog.h"
#include "../../res/resource.h"
#include "../../ui/TMyTreeWnd.h"
#include <string>

// The form's template with only the tree control object attached, so a test
// can fill the tree as it likes.
class TTreeHost : public TDialog {
public:
    TTreeHost() : TDialog(nullptr, IDD_CLIENT), Tree(new TMyTreeWnd(this, IDC_TREE)) { Create(); }
    ~TTreeHost() override { Destroy(); }

    HTREEITEM Add(HTREEITEM parent, const std::string& text, int state)
    {
        TTreeNode node = parent ? TTreeNode(*Tree, parent) : Tree->GetRoot();
        HTREEITEM item = node.AddChild(text.c_str(), 7, 8).GetHandle();
        if (state >= 0)
            Tree->SetCheckState(item, state);
        return item;
    }

    TMyTreeWnd* Tree;
};
