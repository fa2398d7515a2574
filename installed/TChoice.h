#pragma once
#include <string>
#include <vector>

// The choice the uninstall command reads out of the tree: fed every item of
// a pre-order walk, it keeps the confirmation text, the chosen texts and
// whether the removal is complete.
struct TChoice {
    // One line per chosen item: two spaces per level of depth, the text, "\r\n".
    std::string ConfirmationText;
    // The chosen items' whole texts in tree order, the two headings left out.
    std::vector<std::string> Items;
    // True when every item is chosen or partly chosen.
    bool CompleteRemoval = true;

    // The next item of the walk, at `depth` (1 for a top-level item).
    void Add(int depth, int state, const std::string& text);
};
