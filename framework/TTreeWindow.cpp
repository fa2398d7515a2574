#include "TTreeWindow.h"
#include <vector>

TTreeWindow::TTreeWindow(TWindow* parent, int id, TModule* module) : TWindow(parent, nullptr, module)
{
    SetId(id);
}

TTreeNode TTreeWindow::GetRoot()
{
    return TTreeNode(*this, TVI_ROOT);
}

HTREEITEM TTreeWindow::GetNextItem(HTREEITEM item, UINT code) const
{
    if (item == TVI_ROOT)
        item = nullptr;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Handle, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM TTreeWindow::HitTest(TVHITTESTINFO& info) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(Handle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

void TTreeWindow::SetImageList(int which, HIMAGELIST list)
{
    ::SendMessageA(Handle, TVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list));
}

void TTreeWindow::SetIndent(int pixels)
{
    ::SendMessageA(Handle, TVM_SETINDENT, static_cast<WPARAM>(pixels), 0);
}

TTreeNode TTreeNode::AddChild(const char* text, int image, int selectedImage) const
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = Item;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    auto added = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Tree->GetHandle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    return TTreeNode(*Tree, added);
}

bool TTreeNode::Expand(UINT how) const
{
    return ::SendMessageA(Tree->GetHandle(), TVM_EXPAND, how, reinterpret_cast<LPARAM>(Item)) != 0;
}

std::string TTreeNode::GetText() const
{
    // The control cuts a text to the buffer it is given, so grow until it fits.
    for (size_t size = 256; size <= 65536; size *= 2) {
        std::vector<char> buffer(size, '\0');
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = Item;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        if (!::SendMessageA(Tree->GetHandle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
            return std::string();
        buffer.back() = '\0';
        size_t length = lstrlenA(item.pszText);
        if (length + 1 < size)
            return std::string(item.pszText, length);
    }
    return std::string();
}
