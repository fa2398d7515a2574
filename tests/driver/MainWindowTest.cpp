#include "../../machine/TRemovalLock.h"
#include "../../res/resource.h"
#include "../support/DialogTemplate.h"
#include "../support/Pixels.h"
#include "../support/TDrivenProgram.h"
#include <set>
#include <vector>

namespace {
const char ProductName[] = "ZOLT工程预算";

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

// The display scale of the programs started while it lives (Wine reads it
// when a program starts); the setting as it was comes back at the end.
class TDisplayScaleSetting {
public:
    explicit TDisplayScaleSetting(DWORD dpi)
    {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, Desktop.Receive(),
                            nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof Previous;
        HadOne = RegQueryValueExA(Desktop, Name, nullptr, nullptr, reinterpret_cast<BYTE*>(&Previous), &size) ==
                 ERROR_SUCCESS;
        Set = RegSetValueExA(Desktop, Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
              ERROR_SUCCESS;
    }
    ~TDisplayScaleSetting()
    {
        if (HadOne)
            RegSetValueExA(Desktop, Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Previous), sizeof Previous);
        else if (Desktop.IsOpen())
            RegDeleteValueA(Desktop, Name);
    }
    TDisplayScaleSetting(const TDisplayScaleSetting&) = delete;
    TDisplayScaleSetting& operator=(const TDisplayScaleSetting&) = delete;

    bool Set = false;

private:
    static constexpr const char* Key = "Control Panel\\Desktop";
    static constexpr const char* Name = "LogPixels";
    TKey Desktop;
    DWORD Previous = 0;
    bool HadOne = false;
};
} // namespace

class MainWindow : public TDrivenProgram {
protected:
    // What a closing that removed anything by mistake would take away: a
    // chosen product with its files and shortcuts, and a chosen library.
    void SeedInstalledProduct()
    {
        std::string folder = Path("Zolt");
        AddUninstallEntry(ProductName, {{"InstallPath", folder},
                                        {"UninstallString", folder + "\\UninstallZolt.exe"},
                                        {"ProgramGroup", "ZOLT"},
                                        {"progs", "zolt.exe=工程预算;"}});
        MakeFile("Zolt\\zolt.exe");
        MakeFile("Programs\\ZOLT\\工程预算.lnk");
        MakeFile("Desktop\\工程预算.lnk");
        MakeFile("Dek\\a.dek");
        WriteQuotaLibraries({{"A", Path("Dek\\a.dek")}});
    }

    void ExpectNothingRemoved()
    {
        EXPECT_TRUE(UninstallEntryExists(ProductName));
        for (const char* file : {"Zolt\\zolt.exe", "Programs\\ZOLT\\工程预算.lnk", "Desktop\\工程预算.lnk", "Dek\\a.dek"})
            EXPECT_TRUE(Exists(file)) << file;
        EXPECT_EQ(Path("Dek\\a.dek"), QuotaValue("A"));
    }

    void ExpectEndsWithZero()
    {
        DWORD code = 1234;
        ASSERT_TRUE(Program->WaitForExit(code)) << "the program is still running";
        EXPECT_EQ(0u, code);
    }
};

TEST_F(MainWindow, IsAFixedDialogFrameWithoutMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    EXPECT_EQ(MainWindowTitle, WindowText(Frame));
    DWORD style = static_cast<DWORD>(GetWindowLongA(Frame, GWL_STYLE));
    // The system adds the caption and sibling clipping to every overlapped window.
    const DWORD wanted = WS_VISIBLE | WS_DLGFRAME | WS_SYSMENU;
    EXPECT_EQ(wanted, style & wanted) << Hex(style);
    EXPECT_EQ(0u, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD)) << Hex(style);
    EXPECT_EQ(nullptr, GetMenu(Frame));
}

TEST_F(MainWindow, IsTheFormsSizeInDialogUnitsAtEveryScale)
{
    TDialogTemplate form;
    ASSERT_TRUE(LoadDialogTemplate(ProgramUnderTest, IDD_CLIENT, form));
    ASSERT_EQ(IDC_TITLE_PICTURE, form.Controls.at(0).Id);
    const TTemplateControl& title = form.Controls[0];
    // Dialog units at a scale are measured as the dialog manager measures
    // them; at 100 % that is what the same template gives in this process.
    const SIZE standard = BaseUnitsAt(form, 96);
    RECT mapped = {0, 0, form.Cx, form.Cy};
    ASSERT_TRUE(MapLikeTemplate(form, mapped));
    ASSERT_EQ(mapped.right, MapWithUnits(RECT{0, 0, form.Cx, form.Cy}, standard).right);
    ASSERT_EQ(mapped.bottom, MapWithUnits(RECT{0, 0, form.Cx, form.Cy}, standard).bottom);

    // 100 %, 150 % and 200 %, with the size of the title picture drawn for each.
    TModuleFile exe = LoadAsData(ProgramUnderTest.c_str());
    ASSERT_TRUE(exe.IsOpen());
    const struct {
        DWORD Dpi;
        int Drawing;
    } scales[] = {{96, IDB_TITLE}, {144, IDB_TITLE_150}, {192, IDB_TITLE_200}};
    for (const auto& row : scales) {
        const DWORD dpi = row.Dpi;
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        TDisplayScaleSetting scale(dpi);
        ASSERT_TRUE(scale.Set);
        ASSERT_NO_FATAL_FAILURE(StartProgram());
        const SIZE units = BaseUnitsAt(form, dpi);

        // Exactly the form's 341 x 256 dialog units.
        RECT expected = MapWithUnits(RECT{0, 0, form.Cx, form.Cy}, units);
        RECT client;
        GetClientRect(Frame, &client);
        EXPECT_EQ(expected.right, client.right);
        EXPECT_EQ(expected.bottom, client.bottom);

        // The title picture at its place, and as large in dialog units as
        // its 160 x 100 pixels at 100 %: to a pixel, and to the rounding of
        // the base units, which are whole pixels (the font standing in for
        // the template's is 13 pixels high at 100 % and 19 at 150 %).
        HWND picture = GetDlgItem(Form, IDC_TITLE_PICTURE);
        ASSERT_NE(nullptr, picture);
        RECT pictureRect;
        GetWindowRect(picture, &pictureRect);
        MapWindowPoints(nullptr, Form, reinterpret_cast<POINT*>(&pictureRect), 2);
        RECT place = MapWithUnits(RECT{title.X, title.Y, 0, 0}, units);
        EXPECT_EQ(place.left, pictureRect.left);
        EXPECT_EQ(place.top, pictureRect.top);
        const int width = pictureRect.right - pictureRect.left, height = pictureRect.bottom - pictureRect.top;
        const double wantedWidth = 160.0 * units.cx / standard.cx, wantedHeight = 100.0 * units.cy / standard.cy;
        EXPECT_NEAR(wantedWidth, width, 1 + wantedWidth * (0.5 / units.cx + 0.5 / standard.cx));
        EXPECT_NEAR(wantedHeight, height, 1 + wantedHeight * (0.5 / units.cy + 0.5 / standard.cy));
        // Shown as drawn for the scale, not scaled.
        HRSRC drawing = FindResourceA(exe, MAKEINTRESOURCEA(row.Drawing), RT_BITMAP);
        ASSERT_NE(nullptr, drawing);
        auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(exe, drawing)));
        EXPECT_EQ(header->biWidth, width);
        EXPECT_EQ(header->biHeight, height);
        // It reaches past the form's right edge, where the form cuts it.
        RECT formClient;
        GetClientRect(Form, &formClient);
        EXPECT_GT(pictureRect.right, formClient.right);
        RECT frameClient, formWindow;
        GetClientRect(Frame, &frameClient);
        MapWindowPoints(Frame, nullptr, reinterpret_cast<POINT*>(&frameClient), 2);
        GetWindowRect(Form, &formWindow);
        EXPECT_EQ(formWindow.right, frameClient.right);
    }
}

TEST_F(MainWindow, CaptionShowsTheProgramIcon)
{
    // WM_GETICON does not cross processes under Wine, so the icon is looked
    // for where the caption draws it.
    TModuleFile exe = LoadAsData(ProgramUnderTest.c_str());
    ASSERT_NE(nullptr, exe.Get());
    HICON icon = static_cast<HICON>(
        LoadImageA(exe, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(nullptr, icon);
    const int size = GetSystemMetrics(SM_CXSMICON);

    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    Program->WaitIdle();
    RECT window;
    GetWindowRect(Frame, &window);
    RECT caption = {window.left, window.top, window.left + 3 * size,
                    window.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) + size};
    bool found = ScreenShowsIcon(caption, icon, size);
    DestroyIcon(icon);
    EXPECT_TRUE(found) << "icon " << IDI_PROGRAM << " is not in the caption";
}

TEST_F(MainWindow, FormIsACaptionlessChildDialogFillingTheClientArea)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    EXPECT_EQ("#32770", ClassName(Form));
    EXPECT_EQ(Frame, GetParent(Form));
    EXPECT_EQ(nullptr, GetWindow(Form, GW_HWNDNEXT)) << "the form is not the frame's only child";

    RECT client, form;
    GetClientRect(Frame, &client);
    GetWindowRect(Form, &form);
    MapWindowPoints(nullptr, Frame, reinterpret_cast<POINT*>(&form), 2);
    EXPECT_EQ(0, form.left);
    EXPECT_EQ(0, form.top);
    EXPECT_EQ(client.right, form.right);
    EXPECT_EQ(client.bottom, form.bottom);

    DWORD style = static_cast<DWORD>(GetWindowLongA(Form, GWL_STYLE));
    const DWORD wanted = (0x80C000C0 & ~0x80440000) | 0x50800000;
    EXPECT_EQ(wanted, style & wanted) << Hex(style);
    EXPECT_EQ(0u, style & (WS_POPUP | WS_DLGFRAME | WS_THICKFRAME)) << Hex(style);
    EXPECT_EQ(static_cast<DWORD>(WS_BORDER), style & WS_CAPTION) << "a caption is shown: " << Hex(style);
}

TEST_F(MainWindow, FormHoldsItsControlsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    struct TControl {
        int Id;
        const char* Class;
        const char* Text;
        DWORD Style;
    };
    const TControl expected[] = {
        {IDC_TITLE_PICTURE, "Static", nullptr, 0x5000000E},
        {IDOK, "Button", "确认", 0x50010001},
        {IDCANCEL, "Button", "取消", 0x50010000},
        {IDC_TREE, "SysTreeView32", nullptr, 0x50800007},
        {0xFFFF, "Static", "    请用鼠标左銉选择要删除的项目", 0x50000000},
    };
    HWND control = GetWindow(Form, GW_CHILD);
    for (const TControl& want : expected) {
        ASSERT_NE(nullptr, control) << "missing control " << want.Id;
        SCOPED_TRACE(testing::Message() << "control " << want.Id);
        EXPECT_EQ(want.Id, GetDlgCtrlID(control) & 0xFFFF);
        EXPECT_EQ(0, lstrcmpiA(want.Class, ClassName(control).c_str())) << ClassName(control);
        if (want.Text) {
            EXPECT_EQ(want.Text, WindowText(control));
        }
        DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        DWORD exStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
        DWORD wanted = want.Style;
        if (want.Id == IDC_TREE) {
            // The tree control trades WS_BORDER for a sunken client edge.
            EXPECT_TRUE((style & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE)) << Hex(style) << " " << Hex(exStyle);
            wanted &= ~WS_BORDER;
        }
        EXPECT_EQ(wanted, style & wanted) << Hex(style);
        EXPECT_EQ(wanted & WS_TABSTOP, style & WS_TABSTOP) << Hex(style);
        // The control's own type: bitmap or text static, default or plain push button.
        EXPECT_EQ(want.Style & 0xF, style & 0xF) << Hex(style);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, control) << "an extra control " << GetDlgCtrlID(control);
}

TEST_F(MainWindow, CancelButtonEndsTheProgramRemovingNothing)
{
    SeedInstalledProduct();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    RealInput::Click(CancelButton, Centre(CancelButton));
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero());
    ExpectNothingRemoved();
}

TEST_F(MainWindow, EscapeEndsTheProgramRemovingNothing)
{
    SeedInstalledProduct();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    RealInput::Key(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero());
    ExpectNothingRemoved();
}

TEST_F(MainWindow, CloseBoxEndsTheProgramRemovingNothing)
{
    SeedInstalledProduct();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    POINT box;
    ASSERT_TRUE(FindCloseBox(Frame, box));
    RealInput::Click(Frame, box);
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero());
    ExpectNothingRemoved();
}

TEST_F(MainWindow, SystemCloseCommandEndsTheProgramRemovingNothing)
{
    SeedInstalledProduct();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    PostMessageA(Frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero());
    ExpectNothingRemoved();
}

TEST_F(MainWindow, AltF4EndsTheProgramRemovingNothing)
{
    SeedInstalledProduct();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    RealInput::KeyWithAlt(VK_F4);
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero());
    ExpectNothingRemoved();
}

// One removal at a time: a second start brings the open window to the
// front and ends, showing nothing of its own.
TEST_F(MainWindow, SecondStartBringsTheOpenWindowForwardAndEnds)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ShowWindow(Frame, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(Frame) != FALSE; }));

    TRemoteProgram second(ProgramUnderTest);
    ASSERT_TRUE(second.Start());
    EXPECT_FALSE(second.ShowedAWindowBeforeExit());
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitForExit(code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(Frame) && GetForegroundWindow() == Frame; }))
        << "iconic " << IsIconic(Frame) << ", foreground " << GetForegroundWindow();
    EXPECT_TRUE(Program->IsRunning());
}

// While an unattended removal runs (this process takes its turn) there is
// no window to bring forward: the user is told, and the window stays shut.
TEST_F(MainWindow, StartDuringAnUnattendedRemovalSaysSoAndEnds)
{
    SeedInstalledProduct();
    TRemovalLock unattended;
    ASSERT_FALSE(unattended.IsHeldElsewhere());
    Program = std::make_unique<TRemoteProgram>(ProgramUnderTest);
    ASSERT_TRUE(Program->Start());
    HWND box = Program->WaitForWindow(MainWindowTitle);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("#32770", ClassName(box));
    TMessageBoxText shown = ReadMessageBox(box);
    EXPECT_EQ(0u, shown.Text.find("另一个弈辰软件卸载程序正在运行")) << shown.Text;
    EXPECT_EQ(1, shown.Buttons);
    bool dismissed = false;
    ASSERT_NO_FATAL_FAILURE(ClickMessageBoxOk(box, dismissed));
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero());
    ExpectNothingRemoved();
}

TEST_F(MainWindow, StartsWithTheFocusOnConfirm)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(Frame) == OkButton; })) << FocusOf(Frame);
}

TEST_F(MainWindow, EnterAtStartAsksForConfirmation)
{
    SeedInstalledProduct();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    RealInput::Key(VK_RETURN);
    HWND dialog = Program->WaitForWindow(ConfirmTitle, 10000);
    ASSERT_NE(nullptr, dialog);
    RealInput::Key(VK_ESCAPE);
    ASSERT_TRUE(Program->WaitForWindowGone(dialog, 10000));
    EXPECT_TRUE(IsWindow(Frame));
    ExpectNothingRemoved();
    PostMessageA(CancelButton, BM_CLICK, 0, 0);
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero());
    ExpectNothingRemoved();
}

TEST_F(MainWindow, EnterWithTheFocusInTheTreeAsksForConfirmation)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    // Below the last item: the press only takes the focus.
    RECT client;
    GetClientRect(TreeWindow, &client);
    RealInput::Click(TreeWindow, POINT{client.right / 2, client.bottom - 8});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Frame) == TreeWindow; })) << FocusOf(Frame);
    RealInput::Key(VK_RETURN);
    HWND dialog = Program->WaitForWindow(ConfirmTitle, 10000);
    ASSERT_NE(nullptr, dialog);
    RealInput::Key(VK_ESCAPE);
    EXPECT_TRUE(Program->WaitForWindowGone(dialog, 10000));
}

TEST_F(MainWindow, TabMovesBetweenTheTwoButtonsOnly)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Frame) == OkButton; })) << FocusOf(Frame);
    for (HWND next : {CancelButton, OkButton, CancelButton, OkButton}) {
        RealInput::Key(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(Frame) == next; }))
            << "focus on control " << GetDlgCtrlID(FocusOf(Frame)) << " instead of " << GetDlgCtrlID(next);
    }
}

TEST_F(MainWindow, PictureOfTheWindowIsSaved)
{
    AddUninstallEntry(ProductName);
    AddUninstallEntry("ZOLT清单计价系统", {{"UninstallString", "C:\\ZOLT\\Bill\\UninstallZolt.exe"}});
    SetSharedLibraryPresent(true);
    WriteQuotaLibraries({{"全国统一建筑工程基础定额", "C:\\ZOLT\\Dek\\jc.dek"}, {"安装工程定额", "C:\\ZOLT\\Dek\\az.dek"}});
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    Program->WaitIdle();
    RECT window;
    GetWindowRect(Frame, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    auto shown = [&] { return ScreenPixels(window); };
    // Painting is done once two looks a moment apart agree.
    std::vector<DWORD> last = shown();
    EXPECT_TRUE(WaitUntil([&] {
        Sleep(100);
        std::vector<DWORD> now = shown();
        bool settled = now == last;
        last = now;
        return settled;
    }));
    EXPECT_GT(std::set<DWORD>(last.begin(), last.end()).size(), 8u) << "the window shows next to nothing";

    // The folder is a Linux path; Wine takes it as one on drive Z:.
    const std::string folder = UZ_ARTIFACT_DIR;
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at == folder.size() || folder[at] == '/')
            CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    }
    const std::string file = folder + "/main-window.bmp";
    DeleteFileA(file.c_str());
    ASSERT_TRUE(SaveWindowPicture(Frame, file)) << file;

    const DWORD stride = (width * 3 + 3) & ~3;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) << file;
    EXPECT_EQ(14u + 40u + stride * height, data.nFileSizeLow);
}
