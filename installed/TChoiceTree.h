#pragma once
#include "TChoice.h"
#include "TInstalledItems.h"
#include <string>
#include <vector>

// The tree the form shows, as data: what discovery found under the fixed
// headings, each item with its check state and whether it starts expanded.
// The form draws it; the unattended road chooses in it without a window.
class TChoiceTree {
public:
    struct TNode {
        std::string Text;
        int State;
        bool Expanded;
        std::vector<TNode> Children;
    };

    explicit TChoiceTree(const TInstalledItems& found);

    const std::vector<TNode>& Roots() const { return Nodes; }

    // Every item chosen, the headings too: a complete removal.
    void ChooseAll();
    // Only the items with exactly these texts chosen; a heading's text
    // chooses all below it. Headings show what is chosen below them as a
    // press on a box would. Returns the texts that name no item.
    std::vector<std::string> ChooseOnly(const std::vector<std::string>& texts);

    // The choice a command line asks for: everything, or only these texts
    // (none: the tree stays as it starts). Returns the texts that name no item.
    std::vector<std::string> Choose(bool all, const std::vector<std::string>& texts);

    // What the uninstall command's walk over this tree collects.
    TChoice Collect() const;

    // One item a line, two spaces per level, each with its state.
    std::string Listing() const;

private:
    std::vector<TNode> Nodes;
};
