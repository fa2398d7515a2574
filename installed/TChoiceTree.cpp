#include "TChoiceTree.h"
#include "../catalogue/Catalogue.h"
#include "TCheckState.h"
#include <algorithm>

namespace {
using TNode = TChoiceTree::TNode;

bool Named(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

void Walk(const std::vector<TNode>& nodes, int depth, TChoice& choice)
{
    for (const TNode& node : nodes) {
        choice.Add(depth, node.State, node.Text);
        Walk(node.Children, depth + 1, choice);
    }
}

const char* StateName(int state)
{
    switch (state) {
    case NotChosen:
        return "not chosen";
    case Chosen:
        return "chosen";
    case PartlyChosen:
        return "partly chosen";
    default:
        return "no box";
    }
}

void List(const std::vector<TNode>& nodes, int depth, std::string& out)
{
    for (const TNode& node : nodes) {
        out.append(2 * static_cast<size_t>(depth), ' ');
        out += node.Text + " [" + StateName(node.State) + "]\r\n";
        List(node.Children, depth + 1, out);
    }
}
} // namespace

TChoiceTree::TChoiceTree(const TInstalledItems& found)
{
    // "程序" has a box only beside the shared libraries' item, and only
    // then starts open; the products under it start chosen either way.
    TNode programs{ProgramsHeadingText, NoBox, false, {}};
    for (const std::string& product : found.Products)
        programs.Children.push_back(TNode{product, Chosen, false, {}});
    if (found.SharedLibraries) {
        programs.Children.push_back(TNode{SharedLibraryItemText, NotChosen, false, {}});
        programs.Expanded = true;
        programs.State = found.Products.empty() ? NotChosen : PartlyChosen;
    }
    Nodes.push_back(programs);
    if (!found.QuotaLibraries.empty()) {
        TNode quota{QuotaLibrariesHeadingText, Chosen, true, {}};
        for (const std::string& library : found.QuotaLibraries)
            quota.Children.push_back(TNode{library, Chosen, false, {}});
        Nodes.push_back(quota);
    }
    Nodes.push_back(TNode{HistoryItemText, NotChosen, false, {}});
}

void TChoiceTree::ChooseAll()
{
    for (TNode& node : Nodes) {
        node.State = Chosen;
        for (TNode& child : node.Children)
            child.State = Chosen;
    }
}

std::vector<std::string> TChoiceTree::ChooseOnly(const std::vector<std::string>& texts)
{
    std::vector<std::string> found;
    for (TNode& node : Nodes) {
        bool heading = Named(texts, node.Text);
        if (heading)
            found.push_back(node.Text);
        bool anyChosen = false;
        for (TNode& child : node.Children) {
            bool named = Named(texts, child.Text);
            if (named)
                found.push_back(child.Text);
            child.State = heading || named ? Chosen : NotChosen;
            anyChosen = anyChosen || IsChosen(child.State);
        }
        if (heading)
            node.State = Chosen;
        else if (anyChosen)
            node.State = PartlyChosen;
        else if (node.State != NoBox)
            node.State = NotChosen;
    }
    std::vector<std::string> missing;
    for (const std::string& text : texts)
        if (!Named(found, text) && !Named(missing, text))
            missing.push_back(text);
    return missing;
}

std::vector<std::string> TChoiceTree::Choose(bool all, const std::vector<std::string>& texts)
{
    if (all)
        ChooseAll();
    else if (!texts.empty())
        return ChooseOnly(texts);
    return std::vector<std::string>();
}

TChoice TChoiceTree::Collect() const
{
    TChoice choice;
    Walk(Nodes, 1, choice);
    return choice;
}

std::string TChoiceTree::Listing() const
{
    std::string out;
    List(Nodes, 1, out);
    return out;
}
