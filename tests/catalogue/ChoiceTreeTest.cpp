#include "../../catalogue/Catalogue.h"
#include "../../installed/TCheckState.h"
#include "../../installed/TChoiceTree.h"
#include <gtest/gtest.h>

using Texts = std::vector<std::string>;

namespace {
TInstalledItems Machine(bool sharedLibraries, Texts products = {"ZOLT工程预算", "我的产品"},
                        Texts libraries = {"甲库", "乙库"})
{
    TInstalledItems found;
    found.Products = products;
    found.SharedLibraries = sharedLibraries;
    found.QuotaLibraries = libraries;
    return found;
}

// "text=state" for every item, in the walk's order.
Texts States(const TChoiceTree& tree)
{
    Texts out;
    for (const TChoiceTree::TNode& node : tree.Roots()) {
        out.push_back(node.Text + "=" + std::to_string(node.State));
        for (const TChoiceTree::TNode& child : node.Children)
            out.push_back(child.Text + "=" + std::to_string(child.State));
    }
    return out;
}
} // namespace

TEST(ChoiceTree, StartsAsTheFormShowsIt)
{
    TChoiceTree tree(Machine(true));
    EXPECT_EQ((Texts{"程序=3", "ZOLT工程预算=2", "我的产品=2", "ZOLT共享动态联接库DLL=1", "定额库=2", "甲库=2", "乙库=2",
                     "注册表中历史记录，台帐=1"}),
              States(tree));
    EXPECT_TRUE(tree.Roots()[0].Expanded);
    EXPECT_TRUE(tree.Roots()[1].Expanded);
    EXPECT_EQ((Texts{"ZOLT工程预算", "我的产品", "甲库", "乙库"}), tree.Collect().Items);

    TChoiceTree bare(Machine(false, {}, {}));
    EXPECT_EQ((Texts{"程序=0", "注册表中历史记录，台帐=1"}), States(bare));
    EXPECT_FALSE(bare.Roots()[0].Expanded);
}

TEST(ChoiceTree, AllChoosesEveryItemForACompleteRemoval)
{
    // Even the heading the form shows without a box.
    TChoiceTree tree(Machine(false));
    tree.ChooseAll();
    TChoice choice = tree.Collect();
    EXPECT_TRUE(choice.CompleteRemoval);
    EXPECT_EQ((Texts{"ZOLT工程预算", "我的产品", "甲库", "乙库", HistoryItemText}), choice.Items);
    EXPECT_EQ("  程序\r\n    ZOLT工程预算\r\n    我的产品\r\n  定额库\r\n    甲库\r\n    乙库\r\n  注册表中历史记录，台帐\r\n",
              choice.ConfirmationText);
}

TEST(ChoiceTree, ItemsChooseOnlyThoseInTreeOrder)
{
    TChoiceTree tree(Machine(true));
    EXPECT_EQ(Texts{}, tree.ChooseOnly({HistoryItemText, "乙库", "我的产品"}));
    EXPECT_EQ((Texts{"程序=3", "ZOLT工程预算=1", "我的产品=2", "ZOLT共享动态联接库DLL=1", "定额库=3", "甲库=1", "乙库=2",
                     "注册表中历史记录，台帐=2"}),
              States(tree));
    TChoice choice = tree.Collect();
    EXPECT_EQ((Texts{"我的产品", "乙库", HistoryItemText}), choice.Items);
    EXPECT_FALSE(choice.CompleteRemoval);
}

TEST(ChoiceTree, HeadingChoosesAllBelowIt)
{
    TChoiceTree tree(Machine(true));
    EXPECT_EQ(Texts{}, tree.ChooseOnly({ProgramsHeadingText}));
    TChoice choice = tree.Collect();
    EXPECT_EQ((Texts{"ZOLT工程预算", "我的产品", SharedLibraryItemText}), choice.Items);
    EXPECT_FALSE(choice.CompleteRemoval);
}

TEST(ChoiceTree, CompleteOnlyWhenEveryItemIsNamed)
{
    TChoiceTree tree(Machine(false));
    tree.ChooseOnly({"ZOLT工程预算", "我的产品", QuotaLibrariesHeadingText, HistoryItemText});
    // The boxless heading shows what is chosen below it, as a press would.
    EXPECT_EQ(PartlyChosen, tree.Roots()[0].State);
    EXPECT_TRUE(tree.Collect().CompleteRemoval);

    TChoiceTree nothingBelow(Machine(false, {}, {}));
    nothingBelow.ChooseOnly({HistoryItemText});
    EXPECT_EQ(NoBox, nothingBelow.Roots()[0].State);
    EXPECT_FALSE(nothingBelow.Collect().CompleteRemoval);
}

TEST(ChoiceTree, TextsThatNameNothingAreReturnedOnce)
{
    TChoiceTree tree(Machine(false, {"ZOLT工程预算"}, {}));
    // Exact and case-sensitive, as the tree's texts are keys; no shared
    // libraries' item and no quota heading on this machine.
    EXPECT_EQ((Texts{"zolt工程预算", SharedLibraryItemText, QuotaLibrariesHeadingText}),
              tree.ChooseOnly({"ZOLT工程预算", "zolt工程预算", SharedLibraryItemText, "zolt工程预算",
                               QuotaLibrariesHeadingText}));
}

TEST(ChoiceTree, ListingIndentsByDepthWithStates)
{
    TChoiceTree tree(Machine(true, {"ZOLT工程预算"}, {"甲库"}));
    EXPECT_EQ("  程序 [partly chosen]\r\n"
              "    ZOLT工程预算 [chosen]\r\n"
              "    ZOLT共享动态联接库DLL [not chosen]\r\n"
              "  定额库 [chosen]\r\n"
              "    甲库 [chosen]\r\n"
              "  注册表中历史记录，台帐 [not chosen]\r\n",
              tree.Listing());
    EXPECT_EQ("  程序 [no box]\r\n  注册表中历史记录，台帐 [not chosen]\r\n",
              TChoiceTree(Machine(false, {}, {})).Listing());
}
