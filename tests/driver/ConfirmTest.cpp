#include "DriverMain.h"
#include "TRealMachine.h"
#include "TRemoteProgram.h"
#include <memory>

namespace {
const char MainTitle[] = "弈辰软件卸载程序";
const char ConfirmTitle[] = "弈辰卸载确认";
const char CompletionCaption[] = "弈辰卸载";
const char CompletionText[] = "已经顺利完成卸载，欢迎再次使用弈辰软件!";
const char ProgramsHeading[] = "程序";
const char QuotaHeading[] = "定额库";
const char HistoryItem[] = "注册表中历史记录，台帐";
const char SharedItem[] = "ZOLT共享动态联接库DLL";
const char ProductA[] = "ZOLT工程预算";
const char ProductB[] = "ZOLT网络计划";
const char LibraryA[] = "甲库";
const char LibraryB[] = "乙库";
const int ConfirmTextId = 101;
const int WarningId = 102;
const DWORD StepTimeout = 5000;

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

void Flatten(const std::vector<TRemoteProgram::TItem>& items, int depth, std::vector<TFlatItem>& out)
{
    for (const auto& item : items) {
        out.push_back({depth, item.Text, item.State});
        Flatten(item.Children, depth + 1, out);
    }
}

std::string Narrow(const WCHAR* text)
{
    char buffer[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

// A string or an ordinal in a dialog template; ordinals come back as "#n".
const WORD* ReadSzOrOrd(const WORD* at, std::string& out)
{
    if (*at == 0xFFFF) {
        out = "#" + std::to_string(at[1]);
        return at + 2;
    }
    out = Narrow(reinterpret_cast<const WCHAR*>(at));
    while (*at)
        ++at;
    return at + 1;
}

std::string ControlClass(const std::string& raw)
{
    if (raw == "#128")
        return "button";
    if (raw == "#129")
        return "edit";
    if (raw == "#130")
        return "static";
    std::string lower = raw;
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return lower;
}

struct TTemplateControl {
    DWORD Style;
    WORD Id;
    std::string Class, Text;
};

struct TDialogTemplate {
    DWORD Style = 0;
    short X = 0, Y = 0, Cx = 0, Cy = 0;
    std::string Caption, Face;
    WORD PointSize = 0;
    std::vector<TTemplateControl> Controls;
    std::vector<char> Bytes;
};

// The dialog template as the exe carries it, for what the running window
// cannot tell: the styles before the controls adjust them, and the font.
bool LoadDialogTemplate(const std::string& exe, int id, TDialogTemplate& out)
{
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return false;
    bool ok = false;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5))) {
        const char* start = static_cast<const char*>(LockResource(LoadResource(module, found)));
        DWORD size = SizeofResource(module, found);
        if (start && size > sizeof(DLGTEMPLATE)) {
            out.Bytes.assign(start, start + size);
            const auto* head = reinterpret_cast<const DLGTEMPLATE*>(out.Bytes.data());
            out.Style = head->style;
            out.X = head->x;
            out.Y = head->y;
            out.Cx = head->cx;
            out.Cy = head->cy;
            const WORD* at = reinterpret_cast<const WORD*>(head + 1);
            std::string menu, cls;
            at = ReadSzOrOrd(at, menu);
            at = ReadSzOrOrd(at, cls);
            at = ReadSzOrOrd(at, out.Caption);
            if (out.Style & DS_SETFONT) {
                out.PointSize = *at++;
                at = ReadSzOrOrd(at, out.Face);
            }
            for (int i = 0; i < head->cdit; ++i) {
                size_t offset = (reinterpret_cast<const char*>(at) - out.Bytes.data() + 3) & ~size_t(3);
                const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(out.Bytes.data() + offset);
                TTemplateControl control;
                control.Style = item->style;
                control.Id = item->id;
                at = reinterpret_cast<const WORD*>(item + 1);
                std::string rawClass;
                at = ReadSzOrOrd(at, rawClass);
                control.Class = ControlClass(rawClass);
                at = ReadSzOrOrd(at, control.Text);
                WORD extra = *at++;
                at = reinterpret_cast<const WORD*>(reinterpret_cast<const char*>(at) + extra);
                out.Controls.push_back(control);
            }
            ok = true;
        }
    }
    FreeLibrary(module);
    return ok;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// MapDialogRect refuses another process's dialog, so the same template is
// made here, hidden, and asked instead.
bool MapLikeTemplate(const TDialogTemplate& dialogTemplate, RECT& rect)
{
    std::vector<char> bytes = dialogTemplate.Bytes;
    reinterpret_cast<DLGTEMPLATE*>(bytes.data())->style &= ~WS_VISIBLE;
    HWND hidden = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
                                             &QuietDialogProc, 0);
    if (!hidden)
        return false;
    bool ok = MapDialogRect(hidden, &rect) != FALSE;
    DestroyWindow(hidden);
    return ok;
}

// The centre of the caption's close box, in screen coordinates.
bool FindCloseBox(HWND window, POINT& screen)
{
    TITLEBARINFO bar = {};
    bar.cbSize = sizeof bar;
    if (!GetTitleBarInfo(window, &bar))
        return false;
    auto isClose = [&](int x, int y) { return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE; };
    int y = (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2;
    int right = -1;
    for (int x = bar.rcTitleBar.right + 8; x > bar.rcTitleBar.left && right < 0; --x)
        if (isClose(x, y))
            right = x;
    if (right < 0)
        return false;
    int left = right;
    while (isClose(left - 1, y))
        --left;
    int x = (left + right) / 2;
    int top = y, bottom = y;
    while (isClose(x, top - 1))
        --top;
    while (isClose(x, bottom + 1))
        ++bottom;
    screen = POINT{x, (top + bottom) / 2};
    return true;
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

class ConfirmDialog : public TRealMachine {
protected:
    void TearDown() override
    {
        Program.reset();
        HKEY uninstall;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_ALL_ACCESS, &uninstall) == ERROR_SUCCESS) {
            for (const std::string& name : LongEntries)
                DeleteRegistryTree(uninstall, name.c_str());
            RegCloseKey(uninstall);
        }
        TRealMachine::TearDown();
    }

    // Two catalogued products, two quota libraries with their files.
    void SeedMachine(bool sharedLibrary)
    {
        SetSharedLibraryPresent(sharedLibrary);
        // A removal pass opens the maker's settings key, making it if need be.
        MakeKey(HKEY_CURRENT_USER, "Software\\Orlaquin");
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
        HKEY uninstall, entry;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_ALL_ACCESS, &uninstall));
        LONG made = RegCreateKeyExA(uninstall, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry, nullptr);
        RegCloseKey(uninstall);
        ASSERT_EQ(ERROR_SUCCESS, made);
        LongEntries.push_back(name);
        RegSetValueExA(entry, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstallString.c_str()),
                       static_cast<DWORD>(uninstallString.size() + 1));
        RegCloseKey(entry);
    }

    void ExpectNothingRemoved()
    {
        EXPECT_TRUE(UninstallEntryExists(ProductA));
        EXPECT_TRUE(UninstallEntryExists(ProductB));
        EXPECT_TRUE(Exists("Apps\\Vexa\\vexa.exe"));
        EXPECT_TRUE(Exists("Apps\\NetPlan\\netplan.exe"));
        EXPECT_TRUE(Exists("Dek\\Jia\\jia.dek"));
        EXPECT_TRUE(Exists("Dek\\Yi\\yi.dek"));
        EXPECT_EQ(Path("Dek\\Jia\\jia.dek"), IniValue(LibraryA));
        EXPECT_EQ(Path("Dek\\Yi\\yi.dek"), IniValue(LibraryB));
    }

    std::string IniValue(const char* key) const
    {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "VEXA.INI");
        char value[512] = {};
        GetPrivateProfileStringA("Dek Files", key, "", value, sizeof value, "VEXA.INI");
        return value;
    }

    void StartProgram()
    {
        Program = std::make_unique<TRemoteProgram>(ProgramUnderTest);
        ASSERT_TRUE(Program->Start());
        Frame = Program->WaitForWindow(MainTitle);
        ASSERT_NE(nullptr, Frame);
        Form = FindWindowExA(Frame, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, Form);
        Tree = GetDlgItem(Form, 101);
        ASSERT_NE(nullptr, Tree);
    }

    std::vector<TFlatItem> TreeStates() const
    {
        std::vector<TFlatItem> flat;
        Flatten(Program->ReadTree(Tree), 1, flat);
        return flat;
    }

    int StateOf(const std::string& text) const { return Program->StateOf(Tree, text); }

    void ClickBox(const std::string& text, int expectedState)
    {
        ASSERT_TRUE(RealInput::BringToFront(Frame));
        ASSERT_TRUE(Program->PressBox(Tree, text, expectedState)) << text << " stays at " << StateOf(text);
    }

    // Presses the form's 确认 with a real click and waits for the dialog.
    void OpenConfirmation()
    {
        ASSERT_TRUE(RealInput::BringToFront(Frame));
        HWND button = GetDlgItem(Form, IDOK);
        RealInput::Click(button, Centre(button));
        Dialog = Program->WaitForWindow(ConfirmTitle, StepTimeout);
        ASSERT_NE(nullptr, Dialog);
        Program->WaitIdle();
    }

    std::string ShownText() const { return WindowText(GetDlgItem(Dialog, ConfirmTextId)); }

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
        std::string text;
        int buttons = 0;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (ClassName(child) == "Button")
                ++buttons;
            else if (ClassName(child) == "Static" && !WindowText(child).empty())
                text = WindowText(child);
        }
        EXPECT_EQ(CompletionText, text);
        EXPECT_EQ(1, buttons);
        HWND ok = GetDlgItem(box, IDOK);
        ASSERT_NE(nullptr, ok);
        RealInput::BringToFront(box);
        RealInput::Click(ok, Centre(ok));
        if (!Program->WaitForWindowGone(box, 3000)) {
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
        PostMessageA(Form, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(Form, IDCANCEL)));
        DWORD code = 1234;
        ASSERT_TRUE(Program->WaitForExit(code, 20000));
        EXPECT_EQ(0u, code);
    }

    std::unique_ptr<TRemoteProgram> Program;
    HWND Frame = nullptr;
    HWND Form = nullptr;
    HWND Tree = nullptr;
    HWND Dialog = nullptr;
    std::vector<std::string> LongEntries;
};

const char SixLines[] = "  程序\r\n    ZOLT工程预算\r\n    ZOLT网络计划\r\n  定额库\r\n    甲库\r\n    乙库\r\n";

TEST_F(ConfirmDialog, ShowsTheChosenItemsIndentedByDepth)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_EQ(3, StateOf(ProgramsHeading));
    ASSERT_EQ(1, StateOf(SharedItem));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ(SixLines, ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, NothingChosenShowsAnEmptyList)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(ClickBox(ProgramsHeading, 1));
    ASSERT_NO_FATAL_FAILURE(ClickBox(QuotaHeading, 1));
    for (const TFlatItem& item : TreeStates())
        ASSERT_EQ(1, item.State) << item;
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_NE(nullptr, GetDlgItem(Dialog, ConfirmTextId));
    EXPECT_EQ("", ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, ProgramsHeadingWithoutBoxIsLeftOut)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(false));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_EQ(0, StateOf(ProgramsHeading));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ("    ZOLT工程预算\r\n    ZOLT网络计划\r\n  定额库\r\n    甲库\r\n    乙库\r\n", ShownText());
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, ChosenHistoryIsListedAtTopLevel)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(ClickBox(HistoryItem, 2));
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
    ASSERT_TRUE(LoadDialogTemplate(ProgramUnderTest, 1, confirm));
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
        {ConfirmTextId, "edit", 0x50A10804, ""},
        {0xFFFF, "static", 0x50000000, "将删除以下项目，请确认。"},
        {WarningId, "static", 0x50000000, "    此操作使用不当将删除您的有用文档，请小心操作，没有把握请按“取消”。"},
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
        {ConfirmTextId, std::string("Edit:") + SixLines},
        {0xFFFF, "Static:将删除以下项目，请确认。"},
        {WarningId, "Static:    此操作使用不当将删除您的有用文档，请小心操作，没有把握请按“取消”。"},
    };
    EXPECT_EQ(expected, controls);
    // The buttons keep their plain style: neither is made the default one.
    EXPECT_EQ(0x50010300, GetWindowLongA(GetDlgItem(Dialog, IDOK), GWL_STYLE));
    EXPECT_EQ(0x50010300, GetWindowLongA(GetDlgItem(Dialog, IDCANCEL), GWL_STYLE));
    // The edit control draws its border itself and drops WS_BORDER from the window.
    EXPECT_EQ(0x50A10804, GetWindowLongA(GetDlgItem(Dialog, ConfirmTextId), GWL_STYLE) | WS_BORDER);
    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(EndWithCancel());
}

TEST_F(ConfirmDialog, SitsAtTheTemplatePositionFromTheFormNotCentred)
{
    TDialogTemplate confirm;
    ASSERT_TRUE(LoadDialogTemplate(ProgramUnderTest, 1, confirm));
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
    EXPECT_EQ("", IniValue(LibraryA));
    // The shared libraries were shown unchosen.
    EXPECT_TRUE(ExistsAbsolute(SystemFolder + "\\bds52f.dll"));
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
    ScreenToClient(Dialog, &box);
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
    ASSERT_EQ(3, StateOf(QuotaHeading));
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    EXPECT_EQ("  程序\r\n    ZOLT网络计划\r\n  定额库\r\n    甲库\r\n", ShownText());

    ASSERT_NO_FATAL_FAILURE(ClickDialogButton(IDOK));
    ASSERT_NO_FATAL_FAILURE(CheckCompletionAndExit());
    EXPECT_TRUE(UninstallEntryExists(ProductA));
    EXPECT_FALSE(UninstallEntryExists(ProductB));
    EXPECT_FALSE(Exists("Dek\\Jia\\jia.dek"));
    EXPECT_TRUE(Exists("Dek\\Yi\\yi.dek"));
    EXPECT_EQ(Path("Dek\\Yi\\yi.dek"), IniValue(LibraryB));
}

// Backing out gives the keyboard focus back to the control that had it, as
// any dialog does, and not to 确认.
TEST_F(ConfirmDialog, RefusalGivesTheFocusBackWhereItWas)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine(true));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    RECT label = Program->ItemRect(Tree, Program->FindItem(Tree, ProductA), true);
    RealInput::Click(Tree, POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Frame) == Tree; })) << "a click on a label gives the tree the focus";

    RealInput::Key(VK_RETURN);
    Dialog = Program->WaitForWindow(ConfirmTitle, StepTimeout);
    ASSERT_NE(nullptr, Dialog);
    Program->WaitIdle();
    ASSERT_TRUE(RealInput::BringToFront(Dialog));
    RealInput::Key(VK_ESCAPE);
    ASSERT_TRUE(Program->WaitForWindowGone(Dialog, StepTimeout));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(Frame) == Tree; }))
        << "the focus went to " << ClassName(FocusOf(Frame)) << " " << WindowText(FocusOf(Frame));

    ASSERT_NO_FATAL_FAILURE(ExpectNothingRemoved());
}
