#include "TChosenItems.h"
#include "../catalogue/Catalogue.h"
#include "TMyTreeWnd.h"

TChosenItems TChosenItems::Collect(TMyTreeWnd& tree)
{
    TChosenItems choice;
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

        if (!IsChosen(tree.GetCheckState(current))) {
            choice.CompleteRemoval = false;
            continue;
        }
        // The whole text: the removal pass compares it whole with keys and names.
        std::string text = TTreeNode(tree, current).GetText();
        choice.ConfirmationText.append(2 * depth, ' ');
        choice.ConfirmationText += text;
        choice.ConfirmationText += "\r\n";
        if (text != QuotaLibrariesHeadingText && text != ProgramsHeadingText)
            choice.Items.push_back(text);
    }
    return choice;
}
