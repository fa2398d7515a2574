#pragma once
#include <string>
#include <vector>

class TMyTreeWnd;

// The user's choice, read from the tree in pre-order when "确认" is pressed.
struct TChosenItems {
    // One line per chosen item: two spaces per level of depth, the text, "\r\n".
    std::string ConfirmationText;
    // The chosen items' whole texts in tree order, the two headings left out.
    std::vector<std::string> Items;
    // True when every item is chosen or partly chosen.
    bool CompleteRemoval = true;

    static TChosenItems Collect(TMyTreeWnd& tree);
};
