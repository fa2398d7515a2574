#include "../../res/resource.h"
#include "../support/DialogTemplate.h"
#include "../support/ScratchCleanup.h"
#include "../support/TDrivenProgram.h"

namespace {
const char ProductA[] = "ZOLT工程预算";
const char ProductB[] = "ZOLT网络计划";
const char LibraryA[] = "甲库";
const char LibraryB[] = "乙库";

struct TFlatItem {
    int Depth;
    std::string Text;
    int State;
    bool operator==(const TFlatItem& other) const
    {
        return Depth == other.Depth && Text == other.Text && State == other.State;
    }
};

std::ostream& operator<<(std::ostream& out, const TFlatItem& item)
{
    return out << item.Depth << ":" << item.Text << "=" << item.State;
}

struct TMenuSearch {
    DWORD ProcessId;
    HWND Found;
};

BOOL CALLBACK MatchMenu(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TMenuSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->ProcessId && IsWindowVisible(window) && ClassName(window) == "#32768") {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleMenuOf(DWORD processId)
{
    TMenuSearch search = {processId, nullptr};
    EnumWindows(&MatchMenu, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}
} // namespace

class ConfirmDialog : public TDrivenProgram {
protected:
    void TearDown() override
    {
        Program.reset();
        TKey uninstall;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_ALL_ACCESS, uninstall.Receive()) ==
            ERROR_SUCCESS) {
            for (const std::string& name : LongEntries)
                DeleteRegistryTree(uninstall, name.c_str());
        }
        TDrivenProgram::TearDown();
    }

    // Two catalogued products, two quota libraries with their files.
    void SeedMachine(bool sharedLibrary)
    {
        SetSharedLibraryPresent(sharedLibrary);
        // A removal pass opens the maker's settings key, making it if need be.
        MakeKey(HKEY_CURRENT_USER, MakerKeyPath);
        AddUninstallEntry(ProductA, {{"InstallPath", Path("Apps\\Vexa")}});
        AddUninstallEntry(ProductB, {{"InstallPath", Path("Apps\\NetPlan")}});
        MakeFile("Apps\\Vexa\\vexa.exe");
        MakeFile("Apps\\NetPlan\\netplan.exe");
        MakeFile("Dek\\Jia\\jia.dek");
        MakeFile("Dek\\Yi\\yi.dek");
        WriteQuotaLibraries({{LibraryA, Path("Dek\\Jia\\jia.dek")}, {LibraryB, Path("Dek\\Yi\\yi.dek")}});
    }

    // Made below an open uninstall key: with the whole path, a name this long
    // overflows the system's own conversion buffer of the ANSI call.
    void AddEntryBesideOthers(const std::string& name, const std::string& uninstallString)
    {
        TKey uninstall, entry;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_ALL_ACCESS, uninstall.Receive()));
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(uninstall, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 entry.Receive(), nullptr));
        LongEntries.push_back(name);
        RegSetValueExA(entry, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstallString.c_str()),
                       static_cast<DWORD>(uninstallString.size() + 1));
    }

    void ExpectNothingRemoved()
    {
        EXPECT_TRUE(UninstallEntryExists(ProductA));
        EXPECT_TRUE(UninstallEntryExists(ProductB));
        EXPECT_TRUE(Exists("Apps\\Vexa\\vexa.exe"));
        EXPECT_TRUE(Exists("Apps\\NetPlan\\netplan.exe"));
        EXPECT_TRUE(Exists("Dek\\Jia\\jia.dek"));
        EXPECT_TRUE(Exists("Dek\\Yi\\yi.dek"));
        EXPECT_EQ(Path("Dek\\Jia\\jia.dek"), QuotaValue(LibraryA));
        EXPECT_EQ(Path("Dek\\Yi\\yi.dek"), QuotaValue(LibraryB));
    }

    std::vector<TFlatItem> TreeStates() const
    {
        std::vector<TFlatItem> flat;
        for (const auto& item : TRemoteProgram::Flatten(Program->ReadTree(TreeWindow)))
            flat.push_back({item.Depth + 1, item.Text, item.State});
        return flat;
    }

    std::string ShownText() const { return WindowText(GetDlgItem(Dialog, IDC_CONFIRM_TEXT)); }

    void ClickDialogButton(int id)
    {
        ASSERT_TRUE(RealInput::BringToFront(Dialog));
        HWND button = GetDlgItem(Dialog, id);
        ASSERT_NE(nullptr, button);
        RealInput::Click(button, Centre(button));
    }

    // The dialog answered 2: it is gone, the main window takes input again,
    // the choice is as it was and nothing left the machine.
    void ExpectRefused(const std::vector<TFlatItem>& statesBefore)
    {
        ASSERT_TRUE(Program->WaitForWindowGone(Dialog, StepTimeout));
        ASSERT_TRUE(Program->IsRunning());
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Frame) != FALSE; }));
        EXPECT_EQ(nullptr, Program->WaitForWindow(CompletionCaption, 500));
        EXPECT_EQ(statesBefore, TreeStates());
        ExpectNothingRemoved();
    }

    void CheckCompletionAndExit()
    {
        HWND box = Program->WaitForWindow(CompletionCaption, 20000);
        ASSERT_NE(nullptr, box);
        TMessageBoxText shown = ReadMessageBox(box);
        EXPECT_EQ(CompletionMessage, shown.Text);
        EXPECT_EQ(1, shown.Buttons);
        bool dismissed = false;
        ASSERT_NO_FATAL_FAILURE(ClickMessageBoxOk(box, dismissed));
        if (!dismissed) {
            ADD_FAILURE() << "a real click on OK did not reach the completion box";
            RealInput::Key(VK_RETURN);
        }
        DWORD code = 1234;
        ASSERT_TRUE(Program->WaitForExit(code, 20000));
        EXPECT_EQ(0u, code);
    }

    void EndWithCancel()
    {
        ASSERT_TRUE(Program->IsRunning());
        PostMessageA(Form, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(CancelButton));
        DWORD code = 1234;
        ASSERT_TRUE(Program->WaitForExit(code, 20000));
        EXPECT_EQ(0u, code);
    }

    std::vector<std::string> LongEntries;
};

const char SixLines[] = "  程序\r\n    ZOLT工程预算\r\n    ZOLT网络计划\r\n  定额库\r\n    甲库\r\n    乙库\r\n";

TEST_F(ConfirmDialog, ShowsTheChosenItemsIndentedByDepth)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_EQ(3, StateOf(ProgramsHeadingText));
    ASSERT_EQ(1, StateOf(SharedLibraryItemText));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ(SixLines, ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, NothingChosenShowsAnEmptyList)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(ClickBox(ProgramsHeadingText, 1));
    ASSERT_NO_FATAL_FAILURE(ClickBox(QuotaLibrariesHeadingText, 1));
    for (const TFlatItem& item : TreeStates())
        ASSERT_EQ(1, item.State) << item;
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_NE(nullptr, GetDlgItem(Dialog, IDC_CONFIRM_TEXT));
    EXPECT_EQ("", ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, ProgramsHeadingWithoutBoxIsLeftOut)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(false));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_EQ(0, StateOf(ProgramsHeadingText));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ("    ZOLT工程预算\r\n    ZOLT网络计划\r\n  定额库\r\n    甲库\r\n    乙库\r\n", ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, ChosenHistoryIsListedAtTopLevel)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(ClickBox(HistoryItemText, 2));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ(std::string(SixLines) + "  注册表中历史记录，台帐\r\n", ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, LongestKeyNameIsListedWhole)
{
    std::string name = "弈辰超长名称软件";
    for (char c = 'a'; name.size() < 255; c = c == 'z' ? 'a' : c + 1)
        name += c;
    ASSERT_EQ(255u, name.size());
    ASSERT_NO_FATAL_FAILURE(AddEntryBesideOthers(name, "C:\\ZoltApps\\UninstallZolt.exe"));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ("    " + name + "\r\n", ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, TemplateAsBuiltIntoTheExe)
{
    TDialogTemplate confirm;
    ASSERT_TRUE(LoadDialogTemplate(ProgramUnderTest, IDD_CONFIRM, confirm));
    EXPECT_EQ(0x90C800C4u, confirm.Style);
    EXPECT_EQ(ConfirmTitle, confirm.Caption);
    EXPECT_EQ(9, confirm.PointSize);
    EXPECT_EQ("宋体", confirm.Face);
    EXPECT_EQ(49, confirm.X);
    EXPECT_EQ(16, confirm.Y);
    EXPECT_EQ(240, confirm.Cx);
    EXPECT_EQ(179, confirm.Cy);
    ASSERT_EQ(5u, confirm.Controls.size());
    const struct {
        WORD Id;
        const char* Class;
        DWORD Style;
        const char* Text;
    } expected[] = {
        {IDOK, "button", 0x50010300, "确认"},
        {IDCANCEL, "button", 0x50010300, "取消"},
        {IDC_CONFIRM_TEXT, "edit", 0x50A10804, ""},
        {0xFFFF, "static", 0x50000000, "将删除以下项目，请确认。"},
        {IDC_CONFIRM_WARNING, "static", 0x50000000, "    此操作使用不当将删除您的有用文档，请小心操作，没有把握请按“取消”。"},
    };
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].Id, confirm.Controls[i].Id);
        EXPECT_EQ(expected[i].Class, confirm.Controls[i].Class);
        EXPECT_EQ(expected[i].Style, confirm.Controls[i].Style);
        EXPECT_EQ(expected[i].Text, confirm.Controls[i].Text);
    }
}

TEST_F(ConfirmDialog, RunningDialogHasItsCaptionAndControlsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ(ConfirmTitle, WindowText(Dialog));
    EXPECT_EQ(0x90C800C4u, static_cast<DWORD>(GetWindowLongA(Dialog, GWL_STYLE)) & ~WS_CLIPSIBLINGS);
    std::vector<std::pair<int, std::string>> controls;
    for (HWND child = GetWindow(Dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.emplace_back(static_cast<WORD>(GetDlgCtrlID(child)), ClassName(child) + ":" + WindowText(child));
    std::vector<std::pair<int, std::string>> expected = {
        {IDOK, "Button:确认"},
        {IDCANCEL, "Button:取消"},
        {IDC_CONFIRM_TEXT, std::string("Edit:") + SixLines},
        {0xFFFF, "Static:将删除以下项目，请确认。"},
        {IDC_CONFIRM_WARNING, "Static:    此操作使用不当将删除您的有用文档，请小心操作，没有把握请按“取消”。"},
    };
    EXPECT_EQ(expected, controls);
    // The buttons keep their plain style: neither is made the default one.
    EXPECT_EQ(0x50010300, GetWindowLongA(GetDlgItem(Dialog, IDOK), GWL_STYLE));
    EXPECT_EQ(0x50010300, GetWindowLongA(GetDlgItem(Dialog, IDCANCEL), GWL_STYLE));
    // The edit control draws its border itself and drops WS_BORDER from the window.
    EXPECT_EQ(0x50A10804, GetWindowLongA(GetDlgItem(Dialog, IDC_CONFIRM_TEXT), GWL_STYLE) | WS_BORDER);
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, SitsAtTheTemplatePositionFromTheFormNotCentred)
{
    TDialogTemplate confirm;
    ASSERT_TRUE(LoadDialogTemplate(ProgramUnderTest, IDD_CONFIRM, confirm));
    RECT offset = {49, 16, 49 + 240, 16 + 179};
    ASSERT_TRUE(MapLikeTemplate(confirm, offset));
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());

    POINT form = {0, 0};
    ClientToScreen(Form, &form);
    POINT dialog = {0, 0};
    ClientToScreen(Dialog, &dialog);
    EXPECT_EQ(form.x + offset.left, dialog.x);
    EXPECT_EQ(form.y + offset.top, dialog.y);
    RECT client;
    GetClientRect(Dialog, &client);
    EXPECT_EQ(offset.right - offset.left, client.right);
    EXPECT_EQ(offset.bottom - offset.top, client.bottom);
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, MainWindowIsDisabledWhileItIsUp)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(IsWindowEnabled(Frame));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_FALSE(IsWindowEnabled(Frame));
    EXPECT_EQ(Frame, GetWindow(Dialog, GW_OWNER));
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_TRUE(Program->WaitForWindowGone(Dialog));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Frame) != FALSE; }));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, ConfirmButtonRemovesThenReportsCompletion)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDOK));
    ASSERT_TRUE(Program->WaitForWindowGone(Dialog));
    ASSERT_NO_FATAL_FAILURE(CheckCompletionAndExit());
    EXPECT_FALSE(UninstallEntryExists(ProductB));
    EXPECT_FALSE(Exists("Apps\\NetPlan\\netplan.exe"));
    EXPECT_FALSE(Exists("Dek\\Jia\\jia.dek"));
    EXPECT_EQ("", QuotaValue(LibraryA));
    // The shared libraries were shown unchosen.
    EXPECT_TRUE(ExistsAbsolute(InSystem("bds52f.dll")));
}

TEST_F(ConfirmDialog, CancelButtonRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    std::vector<TFlatItem> before = TreeStates();
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(before));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, EscapeRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    std::vector<TFlatItem> before = TreeStates();
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_TRUE(RealInput::BringToFront(Dialog));
    RealInput::Key(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(before));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, ClickOnTheCloseBoxRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    std::vector<TFlatItem> before = TreeStates();
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    POINT box;
    ASSERT_TRUE(FindCloseBox(Dialog, box));
    ASSERT_TRUE(RealInput::BringToFront(Dialog));
    RealInput::Click(Dialog, box);
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(before));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, CloseCommandRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    std::vector<TFlatItem> before = TreeStates();
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    PostMessageA(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(before));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, SystemMenuCloseRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    std::vector<TFlatItem> before = TreeStates();
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_TRUE(RealInput::BringToFront(Dialog));
    // Alt alone selects the system menu, Down drops it, C is its Close.
    RealInput::Key(VK_MENU);
    RealInput::Key(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return VisibleMenuOf(Program->GetProcessId()) != nullptr; }));
    RealInput::Key('C');
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(before));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, EnterAtOnceConfirms)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ(GetDlgItem(Dialog, IDOK), FocusOf(Dialog));
    ASSERT_TRUE(RealInput::BringToFront(Dialog));
    RealInput::Key(VK_RETURN);
    ASSERT_TRUE(Program->WaitForWindowGone(Dialog));
    ASSERT_NO_FATAL_FAILURE(CheckCompletionAndExit());
    EXPECT_FALSE(UninstallEntryExists(ProductA));
    EXPECT_FALSE(UninstallEntryExists(ProductB));
}

TEST_F(ConfirmDialog, SecondTryAfterRefusalShowsTheNewChoice)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    std::vector<TFlatItem> before = TreeStates();
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_EQ(SixLines, ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(ExpectRefused(before));

    ASSERT_NO_FATAL_FAILURE(ClickBox(ProductA, 1));
    ASSERT_NO_FATAL_FAILURE(ClickBox(LibraryB, 1));
    ASSERT_EQ(3, StateOf(QuotaLibrariesHeadingText));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ("  程序\r\n    ZOLT网络计划\r\n  定额库\r\n    甲库\r\n", ShownText());

    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDOK));
    ASSERT_NO_FATAL_FAILURE(CheckCompletionAndExit());
    EXPECT_TRUE(UninstallEntryExists(ProductA));
    EXPECT_FALSE(UninstallEntryExists(ProductB));
    EXPECT_FALSE(Exists("Dek\\Jia\\jia.dek"));
    EXPECT_TRUE(Exists("Dek\\Yi\\yi.dek"));
    EXPECT_EQ(Path("Dek\\Yi\\yi.dek"), QuotaValue(LibraryB));
}

// Backing out gives the keyboard focus back to the control that had it, as
// any dialog does, and not to 确认.
TEST_F(ConfirmDialog, RefusalGivesTheFocusBackWhereItWas)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    RECT label = Program->ItemRect(TreeWindow, Program->FindItem(TreeWindow, ProductA), true);
    RealInput::Click(TreeWindow, POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Frame) == TreeWindow; }))
        << "a click on a label gives the tree the focus";

    RealInput::Key(VK_RETURN);
    Dialog = Program->WaitForWindow(ConfirmTitle, StepTimeout);
    ASSERT_NE(nullptr, Dialog);
    Program->WaitIdle();
    ASSERT_TRUE(RealInput::BringToFront(Dialog));
    RealInput::Key(VK_ESCAPE);
    ASSERT_TRUE(Program->WaitForWindowGone(Dialog, StepTimeout));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(Frame) == TreeWindow; }))
        << "the focus went to " << ClassName(FocusOf(Frame)) << " " << WindowText(FocusOf(Frame));

    ASSERT_NO_FATAL_FAILURE(ExpectNothingRemoved());
}

// A choice on the command line opens the window with it made and the
// confirmation waiting; the user still has the last word.
TEST_F(ConfirmDialog, CommandLineChoiceGoesStraightToTheConfirmation)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram(std::string("/items:") + ProductB));
    Dialog = Program->WaitForWindow(ConfirmTitle, StepTimeout);
    ASSERT_NE(nullptr, Dialog) << "no confirmation came up by itself";
    Program->WaitIdle();
    EXPECT_EQ("  程序\r\n    ZOLT网络计划\r\n", ShownText());
    EXPECT_EQ(1, StateOf(ProductA));
    EXPECT_EQ(1, StateOf(LibraryA));

    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDOK));
    ASSERT_NO_FATAL_FAILURE(CheckCompletionAndExit());
    EXPECT_TRUE(UninstallEntryExists(ProductA));
    EXPECT_FALSE(UninstallEntryExists(ProductB));
    EXPECT_TRUE(Exists("Dek\\Jia\\jia.dek"));
}

// Without /quiet, what is not understood is said in the usage box.
TEST_F(ConfirmDialog, SwitchNotUnderstoodIsShownWithTheUsage)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    Program = std::make_unique<TRemoteProgram>(ProgramUnderTest);
    ASSERT_TRUE(Program->Start("/all /frob"));
    HWND box = Program->WaitForWindow(MainWindowTitle, StepTimeout);
    ASSERT_NE(nullptr, box);
    TMessageBoxText shown = ReadMessageBox(box);
    EXPECT_EQ(0u, shown.Text.find("未知的开关：/frob")) << shown.Text;
    EXPECT_NE(std::string::npos, shown.Text.find("用法：UninstallZolt.exe"));
    EXPECT_EQ(1, shown.Buttons);
    bool dismissed = false;
    ASSERT_NO_FATAL_FAILURE(ClickMessageBoxOk(box, dismissed));
    DWORD exitCode = 0;
    ASSERT_TRUE(Program->WaitForExit(exitCode, StepTimeout));
    EXPECT_EQ(1639u, exitCode);
    ExpectNothingRemoved();
}
