#include "TChosenItems.h"
#include "TMyTreeWnd.h"

TChoice TChosenItems::Collect(TMyTreeWnd& tree)
{
    TChoice choice;
    int depth = 0;
    HTREEITEM current = nullptr; // the invisible root
    for (;;) {
        HTREEITEM candidate = tree.GetNextItem(current, TVGN_CHILD);
        if (candidate) {
            ++depth;
        } else {
            if (!current)
                break;
            candidate = tree.GetNextItem(current, TVGN_NEXT);
            while (!candidate) {
                current = tree.GetNextItem(current, TVGN_PARENT);
                if (!current)
                    break;
                --depth;
                candidate = tree.GetNextItem(current, TVGN_NEXT);
            }
            if (!candidate)
                break;
        }
        current = candidate;
        int state = tree.GetCheckState(current);
        // The whole text: the removal pass compares it whole with keys and names.
        choice.Add(depth, state, IsChosen(state) ? TTreeNode(tree, current).GetText() : std::string());
    }
    return choice;
}
