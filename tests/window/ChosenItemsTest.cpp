#include "../../catalogue/Catalogue.h"
#include "../../ui/TChosenItems.h"
#include "TreeHost.h"
#include <gtest/gtest.h>

using Items = std::vector<std::string>;

class ChosenItems : public ::testing::Test {
protected:
    TTreeHost Host;
    TChoice Collect() { return TChosenItems::Collect(*Host.Tree); }
};

TEST_F(ChosenItems, EmptyTreeIsACompleteRemovalOfNothing)
{
    TChoice choice = Collect();
    EXPECT_TRUE(choice.CompleteRemoval);
    EXPECT_EQ("", choice.ConfirmationText);
    EXPECT_TRUE(choice.Items.empty());
}

TEST_F(ChosenItems, NothingChosen)
{
    HTREEITEM root = Host.Add(nullptr, ProgramsHeadingText, 1);
    Host.Add(root, "P", 1);
    Host.Add(nullptr, HistoryItemText, 1);
    TChoice choice = Collect();
    EXPECT_FALSE(choice.CompleteRemoval);
    EXPECT_EQ("", choice.ConfirmationText);
    EXPECT_TRUE(choice.Items.empty());
}

TEST_F(ChosenItems, TheSixLineExample)
{
    HTREEITEM programs = Host.Add(nullptr, ProgramsHeadingText, 3);
    Host.Add(programs, "ZOLT工程预算", 2);
    Host.Add(programs, "ZOLT网络计划", 2);
    Host.Add(programs, SharedLibraryItemText, 1);
    HTREEITEM quota = Host.Add(nullptr, QuotaLibrariesHeadingText, 2);
    Host.Add(quota, "甲库", 2);
    Host.Add(quota, "乙库", 2);
    Host.Add(nullptr, HistoryItemText, 1);

    TChoice choice = Collect();

    EXPECT_EQ("  程序\r\n    ZOLT工程预算\r\n    ZOLT网络计划\r\n  定额库\r\n    甲库\r\n    乙库\r\n",
              choice.ConfirmationText);
    EXPECT_EQ((Items{"ZOLT工程预算", "ZOLT网络计划", "甲库", "乙库"}), choice.Items);
    EXPECT_FALSE(choice.CompleteRemoval);
}

TEST_F(ChosenItems, HeadingWithoutBoxIsLeftOutButItsChosenChildrenAreNot)
{
    HTREEITEM programs = Host.Add(nullptr, ProgramsHeadingText, -1);
    Host.Add(programs, "ZOLT工程预算", 2);
    TChoice choice = Collect();
    EXPECT_EQ("    ZOLT工程预算\r\n", choice.ConfirmationText);
    EXPECT_EQ((Items{"ZOLT工程预算"}), choice.Items);
    EXPECT_FALSE(choice.CompleteRemoval);
}

TEST_F(ChosenItems, ChosenChildUnderUnchosenRootIsCollected)
{
    HTREEITEM root = Host.Add(nullptr, "R", 1);
    Host.Add(root, "C", 2);
    TChoice choice = Collect();
    EXPECT_EQ("    C\r\n", choice.ConfirmationText);
    EXPECT_EQ((Items{"C"}), choice.Items);
}

TEST_F(ChosenItems, ChosenRootWithUnchosenChildrenClearsTheFlag)
{
    HTREEITEM root = Host.Add(nullptr, QuotaLibrariesHeadingText, 2);
    Host.Add(root, "A", 1);
    TChoice choice = Collect();
    EXPECT_EQ("  定额库\r\n", choice.ConfirmationText);
    EXPECT_TRUE(choice.Items.empty());
    EXPECT_FALSE(choice.CompleteRemoval);
}

TEST_F(ChosenItems, HistoryItemIsAnOrdinaryItem)
{
    Host.Add(nullptr, HistoryItemText, 2);
    TChoice choice = Collect();
    EXPECT_EQ("  注册表中历史记录，台帐\r\n", choice.ConfirmationText);
    EXPECT_EQ((Items{HistoryItemText}), choice.Items);
    EXPECT_TRUE(choice.CompleteRemoval);
}

TEST_F(ChosenItems, TwoItemsWithOneTextAreBothKept)
{
    HTREEITEM root = Host.Add(nullptr, ProgramsHeadingText, 3);
    Host.Add(root, "Same", 2);
    Host.Add(root, "Same", 2);
    TChoice choice = Collect();
    EXPECT_EQ("  程序\r\n    Same\r\n    Same\r\n", choice.ConfirmationText);
    EXPECT_EQ((Items{"Same", "Same"}), choice.Items);
    EXPECT_TRUE(choice.CompleteRemoval);
}

TEST_F(ChosenItems, EveryItemChosenOrPartlyChosenSetsTheFlag)
{
    HTREEITEM programs = Host.Add(nullptr, ProgramsHeadingText, 3);
    Host.Add(programs, "A", 2);
    HTREEITEM quota = Host.Add(nullptr, QuotaLibrariesHeadingText, 2);
    Host.Add(quota, "B", 2);
    Host.Add(nullptr, HistoryItemText, 2);
    EXPECT_TRUE(Collect().CompleteRemoval);
}

TEST_F(ChosenItems, DeeperLevelsIndentByTheirDepthAndTheWalkClimbsBack)
{
    HTREEITEM a = Host.Add(nullptr, "a", 2);
    HTREEITEM b = Host.Add(a, "b", 2);
    Host.Add(b, "c", 2);
    Host.Add(nullptr, "d", 2);
    TChoice choice = Collect();
    EXPECT_EQ("  a\r\n    b\r\n      c\r\n  d\r\n", choice.ConfirmationText);
    EXPECT_EQ((Items{"a", "b", "c", "d"}), choice.Items);
}

TEST_F(ChosenItems, LongTextsAreCollectedWhole)
{
    // A key name may have 255 characters; a 64-byte field must not cut it
    // into another, shorter name.
    std::string longName(200, 'k');
    longName += "产品名称的结尾";
    HTREEITEM root = Host.Add(nullptr, ProgramsHeadingText, 3);
    Host.Add(root, longName, 2);
    TChoice choice = Collect();
    ASSERT_EQ(1u, choice.Items.size());
    EXPECT_EQ(longName, choice.Items[0]);
    EXPECT_EQ("  程序\r\n    " + longName + "\r\n", choice.ConfirmationText);
}
