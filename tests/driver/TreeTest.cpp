#include "../support/TDrivenProgram.h"
#include <set>

namespace {
// The tree's texts, as the program names them.
const char* const ProgramsHeading = ProgramsHeadingText;
const char* const QuotaHeading = QuotaLibrariesHeadingText;
const char* const HistoryItem = HistoryItemText;
const char* const SharedItem = SharedLibraryItemText;
const int ClosedFolderImage = 7;
const int OpenFolderImage = 8;

using TItem = TRemoteProgram::TItem;

enum TView { WithSelection, WithoutSelection, StatesOnly };

// One line per tree: "text(state)", then "+" when expanded and "*" when
// selected, children in braces.
std::string Outline(const std::vector<TItem>& items, TView view = WithSelection)
{
    std::string text;
    for (const TItem& item : items) {
        if (!text.empty())
            text += " ";
        text += item.Text + "(" + std::to_string(item.State) + ")";
        if (view != StatesOnly && item.Expanded)
            text += "+";
        if (view == WithSelection && item.Selected)
            text += "*";
        if (!item.Children.empty())
            text += "{" + Outline(item.Children, view) + "}";
    }
    return text;
}

// GBK texts as the console shows them.
std::string Readable(const std::string& gbk)
{
    int length = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &wide[0], length);
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

testing::AssertionResult SameShape(const std::string& expected, const std::string& actual)
{
    if (expected == actual)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\n  expected " << Readable(expected) << "\n       got " << Readable(actual);
}

std::string Leaf(const std::string& text, int state, const char* view = "")
{
    return text + "(" + std::to_string(state) + ")" + view;
}

std::string Branch(const std::string& text, int state, const char* view, const std::vector<std::string>& children)
{
    std::string outline = Leaf(text, state, view) + "{";
    for (size_t i = 0; i < children.size(); ++i)
        outline += (i ? " " : "") + children[i];
    return outline + "}";
}

std::string Top(const std::vector<std::string>& items)
{
    std::string outline;
    for (size_t i = 0; i < items.size(); ++i)
        outline += (i ? " " : "") + items[i];
    return outline;
}

std::vector<std::string> Leaves(const std::vector<std::string>& texts, int state)
{
    std::vector<std::string> leaves;
    for (const std::string& text : texts)
        leaves.push_back(Leaf(text, state));
    return leaves;
}
} // namespace

class Tree : public TDrivenProgram {
protected:
    void Open()
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram());
        ASSERT_TRUE(RealInput::BringToFront(Frame));
        Program->WaitIdle();
    }

    std::vector<TItem> Items() const { return Program->ReadTree(TreeWindow); }
    std::string Shape() const { return Outline(Items()); }
    std::string States() const { return Outline(Items(), StatesOnly); }

    HTREEITEM Find(const std::string& text) const
    {
        HTREEITEM item = Program->FindItem(TreeWindow, text);
        EXPECT_NE(nullptr, item) << "no item " << text;
        return item;
    }

    // The uninstall entries among `names`, in the order the registry gives them.
    static std::vector<std::string> InRegistryOrder(const std::set<std::string>& names)
    {
        std::vector<std::string> ordered;
        for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, UninstallKeyPath)) {
            if (names.count(name))
                ordered.push_back(name);
        }
        return ordered;
    }

    void PressBox(const std::string& text)
    {
        POINT point;
        ASSERT_TRUE(Program->StateIconPoint(TreeWindow, Find(text), point)) << "no box on " << text;
        RealInput::Click(TreeWindow, point);
    }

    void PressLabel(const std::string& text)
    {
        RECT label = Program->ItemRect(TreeWindow, Find(text), true);
        ASSERT_LT(label.left, label.right) << text;
        RealInput::Click(TreeWindow, POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2});
    }

    // Puts an item in a state the program never gives by itself, through
    // the program's own memory.
    bool ForceState(const std::string& text, int state)
    {
        return Program->SetItemState(TreeWindow, Find(text), state);
    }

    // A second press at the same place must not be taken as a double-click.
    static void OutwaitDoubleClick() { Sleep(GetDoubleClickTime() + 150); }

    // Waits for the tree to take this shape, then lets any input still
    // queued behind be handled before it checks the shape again.
    testing::AssertionResult ShapeBecomes(const std::string& expected)
    {
        WaitUntil([&] { return Shape() == expected; });
        Program->WaitIdle();
        Sleep(150);
        return SameShape(expected, Shape());
    }
};

TEST_F(Tree, ListsFamilyEntriesInRegistryOrder)
{
    AddUninstallEntry("ZOLT计算簿");
    AddUninstallEntry("Foo", {{"UninstallString", "C:\\Foo\\UninstallZolt.exe"}});
    AddUninstallEntry("Qux", {{"UninstallString", "\"D:\\Q Q\\UninstallZolt.exe\" /remove"}});
    AddUninstallEntry("ZOLT网络计划", {{"UninstallString", "C:\\Net\\setup.exe"}});
    AddUninstallEntry("Bar", {{"UninstallString", "C:\\Bar\\uninstall.exe"}});
    AddUninstallEntry("Baz", {{"UninstallString", "C:\\Baz\\uninstallzolt.exe"}});
    AddUninstallEntry("ZOLT预算通");
    std::vector<std::string> listed = InRegistryOrder({"ZOLT计算簿", "Foo", "Qux", "ZOLT网络计划"});
    ASSERT_EQ(4u, listed.size());
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Branch(ProgramsHeading, 0, "", Leaves(listed, 2)), Leaf(HistoryItem, 1)}), Shape()));
}

// Another vendor's entry named in characters the program's code page
// lacks: not listed whatever its command says, and nothing made beside it.
TEST_F(Tree, EntryWhoseNameTheCodePageCannotHoldIsNeitherListedNorMade)
{
    AddUninstallEntry("Foo", {{"UninstallString", "C:\\Foo\\UninstallZolt.exe"}});
    AddUninstallEntry("ZOLT网络计划");
    AddWideUninstallEntry(L"Probe\u00f6\u00df\u0e01Tool", "C:\\Probe\\UninstallZolt.exe");
    const std::vector<std::wstring> before = WideUninstallEntries();
    std::vector<std::string> listed = InRegistryOrder({"Foo", "ZOLT网络计划"});
    ASSERT_EQ(2u, listed.size());
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Branch(ProgramsHeading, 0, "", Leaves(listed, 2)), Leaf(HistoryItem, 1)}), Shape()));
    EXPECT_EQ(before, WideUninstallEntries());
}

TEST_F(Tree, ListsEveryCatalogueProduct)
{
    const std::set<std::string> products = {"ZOLT定额制版",       "ZOLT工程预算",       "ZOLT计算簿",
                                            "ZOLT清单计价演示版", "ZOLT工程预算演示版", "ZOLT工程预算免费版",
                                            "ZOLT网络计划",       "ZOLT网络计划演示版", "ZOLT清单计价系统"};
    for (const std::string& product : products)
        AddUninstallEntry(product);
    std::vector<std::string> listed = InRegistryOrder(products);
    ASSERT_EQ(products.size(), listed.size());
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Branch(ProgramsHeading, 0, "", Leaves(listed, 2)), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, SharedLibrariesAloneGiveAnExpandedUnchosenProgramsHeading)
{
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(
        SameShape(Top({Branch(ProgramsHeading, 1, "+", {Leaf(SharedItem, 1)}), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, SharedLibrariesWithProductsGiveAPartlyChosenProgramsHeading)
{
    AddUninstallEntry("ZOLT工程预算");
    AddUninstallEntry("Foo", {{"UninstallString", "C:\\Foo\\UninstallZolt.exe"}});
    SetSharedLibraryPresent(true);
    std::vector<std::string> children = Leaves(InRegistryOrder({"ZOLT工程预算", "Foo"}), 2);
    children.push_back(Leaf(SharedItem, 1));
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Branch(ProgramsHeading, 3, "+", children), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, WithoutSharedLibrariesProgramsHeadingHasNoBoxAndStaysCollapsed)
{
    AddUninstallEntry("ZOLT工程预算");
    AddUninstallEntry("ZOLT清单计价系统");
    std::vector<std::string> listed = InRegistryOrder({"ZOLT工程预算", "ZOLT清单计价系统"});
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Branch(ProgramsHeading, 0, "", Leaves(listed, 2)), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, SharedLibrariesAreKnownByBds52fAlone)
{
    SetSharedLibraryPresent(true);
    for (const char* other : {"cw3230.dll", "owl52f.dll", "GridPort.dll", "PageViewDlg.dll"})
        ASSERT_TRUE(DeleteFileA(InSystem(other).c_str())) << other;
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(
        SameShape(Top({Branch(ProgramsHeading, 1, "+", {Leaf(SharedItem, 1)}), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, OtherSharedFilesWithoutBds52fAreNotListed)
{
    SetSharedLibraryPresent(true);
    ASSERT_TRUE(DeleteFileA(InSystem("bds52f.dll").c_str()));
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Leaf(ProgramsHeading, 0), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, QuotaLibrariesComeBetweenProgramsAndHistoryInIniOrder)
{
    WriteQuotaLibraries({{"Zeta", "C:\\Dek\\z.dek"}, {"Alpha", "C:\\Dek\\a.dek"}});
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string quota = Branch(QuotaHeading, 2, "+", {Leaf("Zeta", 2), Leaf("Alpha", 2)});
    EXPECT_TRUE(SameShape(Top({Leaf(ProgramsHeading, 0), quota, Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, WithoutQuotaLibrariesOnlyProgramsAndHistoryAreShown)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Leaf(ProgramsHeading, 0), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, EmptyQuotaLibraryListShowsNoHeading)
{
    WriteQuotaLibraries({});
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(SameShape(Top({Leaf(ProgramsHeading, 0), Leaf(HistoryItem, 1)}), Shape()));
}

TEST_F(Tree, EveryItemShowsFolderPicturesAndNoneIsSelected)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    WriteQuotaLibraries({{"A", "C:\\Dek\\a.dek"}});
    ASSERT_NO_FATAL_FAILURE(Open());
    std::vector<TItem> all = TRemoteProgram::Flatten(Items());
    ASSERT_EQ(6u, all.size());
    for (const TItem& item : all) {
        EXPECT_EQ(ClosedFolderImage, item.Image) << item.Text;
        EXPECT_EQ(OpenFolderImage, item.SelectedImage) << item.Text;
        EXPECT_FALSE(item.Selected) << item.Text;
    }
    EXPECT_EQ(nullptr, reinterpret_cast<HTREEITEM>(Ask(TreeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

TEST_F(Tree, PressOnAnUnchosenEntryChoosesItAndMarksItsParentPartlyChosen)
{
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(PressBox(SharedItem));
    EXPECT_TRUE(ShapeBecomes(Top({Branch(ProgramsHeading, 3, "+", {Leaf(SharedItem, 2)}), Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, PressOnTheOnlyChosenEntryLeavesItsParentPartlyChosen)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(PressBox("ZOLT工程预算"));
    const std::string programs = Branch(ProgramsHeading, 3, "+", {Leaf("ZOLT工程预算", 1), Leaf(SharedItem, 1)});
    EXPECT_TRUE(ShapeBecomes(Top({programs, Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, PressOnAPartlyChosenHeadingUnchoosesItAndItsChildren)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(PressBox(ProgramsHeading));
    const std::string programs = Branch(ProgramsHeading, 1, "+", {Leaf("ZOLT工程预算", 1), Leaf(SharedItem, 1)});
    EXPECT_TRUE(ShapeBecomes(Top({programs, Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, SecondPressOnAHeadingChoosesItAndItsChildren)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(PressBox(ProgramsHeading));
    const std::string unchosen = Branch(ProgramsHeading, 1, "+", {Leaf("ZOLT工程预算", 1), Leaf(SharedItem, 1)});
    EXPECT_TRUE(ShapeBecomes(Top({unchosen, Leaf(HistoryItem, 1)})));
    OutwaitDoubleClick();
    ASSERT_NO_FATAL_FAILURE(PressBox(ProgramsHeading));
    const std::string chosen = Branch(ProgramsHeading, 2, "+", {Leaf("ZOLT工程预算", 2), Leaf(SharedItem, 2)});
    EXPECT_TRUE(ShapeBecomes(Top({chosen, Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, PressOnAChosenHeadingUnchoosesItsChildren)
{
    WriteQuotaLibraries({{"A", "C:\\Dek\\a.dek"}, {"B", "C:\\Dek\\b.dek"}});
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(PressBox(QuotaHeading));
    const std::string quota = Branch(QuotaHeading, 1, "+", {Leaf("A", 1), Leaf("B", 1)});
    EXPECT_TRUE(ShapeBecomes(Top({Leaf(ProgramsHeading, 0), quota, Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, PressOnAChildMarksItsParentPartlyChosenWhateverItsSiblings)
{
    WriteQuotaLibraries({{"A", "C:\\Dek\\a.dek"}, {"B", "C:\\Dek\\b.dek"}});
    ASSERT_NO_FATAL_FAILURE(Open());
    auto quota = [](int a, int b) {
        return Top({Leaf(ProgramsHeading, 0), Branch(QuotaHeading, 3, "+", {Leaf("A", a), Leaf("B", b)}),
                    Leaf(HistoryItem, 1)});
    };
    ASSERT_NO_FATAL_FAILURE(PressBox("A"));
    EXPECT_TRUE(ShapeBecomes(quota(1, 2)));
    ASSERT_NO_FATAL_FAILURE(PressBox("B"));
    EXPECT_TRUE(ShapeBecomes(quota(1, 1)));
    ASSERT_NO_FATAL_FAILURE(PressBox("A"));
    EXPECT_TRUE(ShapeBecomes(quota(2, 1)));
    ASSERT_NO_FATAL_FAILURE(PressBox("B"));
    EXPECT_TRUE(ShapeBecomes(quota(2, 2)));
}

TEST_F(Tree, PressOnATopLevelItemWithoutChildrenTogglesItAlone)
{
    AddUninstallEntry("ZOLT工程预算");
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string programs = Branch(ProgramsHeading, 0, "", {Leaf("ZOLT工程预算", 2)});
    ASSERT_NO_FATAL_FAILURE(PressBox(HistoryItem));
    EXPECT_TRUE(ShapeBecomes(Top({programs, Leaf(HistoryItem, 2)})));
    OutwaitDoubleClick();
    ASSERT_NO_FATAL_FAILURE(PressBox(HistoryItem));
    EXPECT_TRUE(ShapeBecomes(Top({programs, Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, PressOnABoxInStateFourTakesItAndItsChildrenToStateZero)
{
    AddUninstallEntry("ZOLT工程预算");
    WriteQuotaLibraries({{"A", "C:\\Dek\\a.dek"}, {"B", "C:\\Dek\\b.dek"}});
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(ForceState(QuotaHeading, 4));
    ASSERT_NO_FATAL_FAILURE(PressBox(QuotaHeading));
    const std::string programs = Branch(ProgramsHeading, 0, "", {Leaf("ZOLT工程预算", 2)});
    const std::string quota = Branch(QuotaHeading, 0, "+", {Leaf("A", 0), Leaf("B", 0)});
    EXPECT_TRUE(ShapeBecomes(Top({programs, quota, Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, PressOnABoxNeitherSelectsNorTakesTheFocus)
{
    WriteQuotaLibraries({{"A", "C:\\Dek\\a.dek"}});
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Frame) == OkButton; }));
    ASSERT_NO_FATAL_FAILURE(PressBox("A"));
    EXPECT_TRUE(ShapeBecomes(
        Top({Leaf(ProgramsHeading, 0), Branch(QuotaHeading, 3, "+", {Leaf("A", 1)}), Leaf(HistoryItem, 1)})));
    EXPECT_EQ(nullptr, reinterpret_cast<HTREEITEM>(Ask(TreeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    EXPECT_EQ(OkButton, FocusOf(Frame));
}

TEST_F(Tree, PressOnALabelSelectsItWithoutChangingStates)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(PressLabel("ZOLT工程预算"));
    const std::string entrySelected =
        Branch(ProgramsHeading, 3, "+", {Leaf("ZOLT工程预算", 2, "*"), Leaf(SharedItem, 1)});
    EXPECT_TRUE(ShapeBecomes(Top({entrySelected, Leaf(HistoryItem, 1)})));
    ASSERT_NO_FATAL_FAILURE(PressLabel(HistoryItem));
    const std::string programs = Branch(ProgramsHeading, 3, "+", {Leaf("ZOLT工程预算", 2), Leaf(SharedItem, 1)});
    EXPECT_TRUE(ShapeBecomes(Top({programs, Leaf(HistoryItem, 1, "*")})));
}

TEST_F(Tree, PressOnTheExpandButtonTogglesItWithoutChangingStates)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    HTREEITEM programs = Find(ProgramsHeading);
    POINT box;
    ASSERT_TRUE(Program->StateIconPoint(TreeWindow, programs, box));
    // The button lies left of the box.
    int right = -1;
    for (int x = box.x; x >= 0 && right < 0; --x) {
        HTREEITEM hit = nullptr;
        if ((Program->HitTest(TreeWindow, POINT{x, box.y}, &hit) & TVHT_ONITEMBUTTON) && hit == programs)
            right = x;
    }
    ASSERT_GE(right, 0) << "no expand button";
    int left = right;
    while (left > 0 && (Program->HitTest(TreeWindow, POINT{left - 1, box.y}) & TVHT_ONITEMBUTTON))
        --left;
    const POINT button = {(left + right) / 2, box.y};
    const std::vector<std::string> children = {Leaf("ZOLT工程预算", 2), Leaf(SharedItem, 1)};

    // Wine's tree also selects the item; that is the control's own business.
    auto shape = [&] { return Outline(Items(), WithoutSelection); };
    for (const char* view : {"", "+"}) {
        const std::string expected = Top({Branch(ProgramsHeading, 3, view, children), Leaf(HistoryItem, 1)});
        RealInput::Click(TreeWindow, button);
        WaitUntil([&] { return shape() == expected; });
        Program->WaitIdle();
        Sleep(150);
        EXPECT_TRUE(SameShape(expected, shape()));
        OutwaitDoubleClick();
    }
}

TEST_F(Tree, DoubleClickOnABoxChangesItsStateOnce)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    POINT box;
    ASSERT_TRUE(Program->StateIconPoint(TreeWindow, Find("ZOLT工程预算"), box));
    RealInput::DoubleClick(TreeWindow, box);
    // A press on a label after it is handled after both presses of the double-click.
    ASSERT_NO_FATAL_FAILURE(PressLabel(HistoryItem));
    const std::string programs = Branch(ProgramsHeading, 3, "+", {Leaf("ZOLT工程预算", 1), Leaf(SharedItem, 1)});
    EXPECT_TRUE(ShapeBecomes(Top({programs, Leaf(HistoryItem, 1, "*")})));
}

TEST_F(Tree, PressWhereABoxlessHeadingWouldHaveItsBoxChangesNoState)
{
    AddUninstallEntry("ZOLT工程预算");
    ASSERT_NO_FATAL_FAILURE(Open());
    HTREEITEM programs = Find(ProgramsHeading);
    POINT unused;
    // A heading in state 0 shows no box: the tree reports none to press.
    EXPECT_FALSE(Program->StateIconPoint(TreeWindow, programs, unused));
    POINT box;
    ASSERT_TRUE(Program->StateIconPoint(TreeWindow, Find(HistoryItem), box));
    RECT row = Program->ItemRect(TreeWindow, programs, false);
    const POINT where = {box.x, (row.top + row.bottom) / 2};
    HTREEITEM hit = nullptr;
    UINT flags = Program->HitTest(TreeWindow, where, &hit);
    EXPECT_EQ(programs, hit);
    EXPECT_EQ(0u, flags & TVHT_ONITEMSTATEICON);
    // The press lands on the heading's picture, which only selects it.
    RealInput::Click(TreeWindow, where);
    EXPECT_TRUE(ShapeBecomes(Top({Branch(ProgramsHeading, 0, "*", {Leaf("ZOLT工程预算", 2)}), Leaf(HistoryItem, 1)})));
}

TEST_F(Tree, KeyboardNeverChangesStates)
{
    AddUninstallEntry("ZOLT工程预算");
    SetSharedLibraryPresent(true);
    WriteQuotaLibraries({{"A", "C:\\Dek\\a.dek"}});
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string states = States();
    ASSERT_NO_FATAL_FAILURE(PressLabel(ProgramsHeading));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Frame) == TreeWindow; }));

    auto selected = [&] {
        for (const TItem& item : TRemoteProgram::Flatten(Items())) {
            if (item.Selected)
                return item.Text;
        }
        return std::string();
    };
    auto expanded = [&] { return Items().front().Expanded; };
    // Each key is followed by one whose effect shows, so that both are known handled.
    RealInput::Key(VK_SPACE);
    RealInput::Key(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return selected() == "ZOLT工程预算"; })) << selected();
    RealInput::Key(VK_SPACE);
    RealInput::Key(VK_UP);
    EXPECT_TRUE(WaitUntil([&] { return selected() == ProgramsHeading; })) << selected();
    RealInput::Key(VK_LEFT);
    EXPECT_TRUE(WaitUntil([&] { return !expanded(); }));
    RealInput::Key(VK_SPACE);
    RealInput::Key(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return expanded(); }));
    RealInput::Key(VK_END);
    EXPECT_TRUE(WaitUntil([&] { return selected() == HistoryItem; })) << selected();
    RealInput::Key(VK_SPACE);
    RealInput::Key(VK_HOME);
    EXPECT_TRUE(WaitUntil([&] { return selected() == ProgramsHeading; })) << selected();
    Program->WaitIdle();
    EXPECT_TRUE(SameShape(states, States()));
}
