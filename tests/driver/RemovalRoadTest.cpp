#include "../../machine/TRemovalLock.h"
#include "../../machine/TUserProfile.h"
#include "../../machine/TUserProfiles.h"
#include "../../res/resource.h"
#include "../../ui/THoldersDlg.h"
#include "../support/Pixels.h"
#include "../support/ScratchCleanup.h"
#include "../support/TDrivenProgram.h"
#include <sddl.h>
#include <algorithm>
#include <cctype>

namespace {
// Catalogued: install path given, group and file list from the catalogue.
const char NetPlan[] = "ZOLT网络计划";
// Catalogued: install dir from the uninstall command, its own group and list.
const char BriSel[] = "ZOLT定额制版";
const char BriSelGroup[] = "弈辰 定额制版";
const char BriSelList[] = "brisel.exe=ZOLT 定额录入制版系统,BRL;text.brl=;index.brl=;brisel.cfg=;$w\\brisel.HLP=;"
                          "uninst\\udmain.exe=;uninst\\udlog3.000=;";
// Uncatalogued, listed through its uninstall command, with all three values.
const char GangJie[] = "弈辰钢结构设计";
const char GangJieList[] = "gjg.exe=弈辰钢结构设计,GJG;gjg.hlp=;UninstallZolt.exe=;uninst\\udlog3.000=;";
// Uncatalogued and listed, but without a file list: nothing of it may go.
const char TuJi[] = "弈辰图集";
// Catalogued, one file; laid only where a test needs it.
const char VexaDemo[] = "ZOLT工程预算演示版";

const char JianZhu[] = "全统建筑基础定额湖北2000基价表";
const char JianZhuEntry[] = "ZOLT湖北2000建筑定额库";
const char JianZhuShortcut[] = "2000湖北省建筑工程预算定额";
const char ShiZheng[] = "弈辰市政定额";
const char YuanLin[] = "弈辰园林定额";
const char VexaGroup[] = "Programs\\ZOLT 工程预算\\";
} // namespace

// One uninstall taken all the way: a machine seeded with the family's
// products, libraries and history next to decoys, choices made with real
// clicks, the confirmation answered and the completion box dismissed.
//
// The machine is laid as the family's installers lay it for a program of
// the test's width. On 64-bit Windows they are 32-bit programs, as the
// shipping exe is, and the 32-bit tests lay it their way: uninstall entries
// in the 32-bit view (Wow6432Node), the shared libraries through "$y" into
// SysWOW64.
class RemovalRoad : public TDrivenProgram {
protected:
    void TearDown() override
    {
        Holders.clear();
        TDrivenProgram::TearDown();
        for (const std::string& path : SixtyFourBitEntries)
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
    }

    static bool UnderWow64()
    {
        BOOL wow64 = FALSE;
        return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
    }

    // The system folder by the name the system gives it at boot, when no
    // WoW64 redirection applies: SysWOW64 for a 32-bit program.
    static std::string RealSystemFolder()
    {
        char folder[MAX_PATH] = {};
        if (UnderWow64())
            GetSystemWow64DirectoryA(folder, sizeof folder);
        else
            GetSystemDirectoryA(folder, sizeof folder);
        return folder;
    }

    // The system folder of programs of the other width, as this test reaches it.
    static std::string OtherSystemFolder()
    {
        char folder[MAX_PATH] = {};
        if (UnderWow64()) {
            GetWindowsDirectoryA(folder, sizeof folder);
            return std::string(folder) + "\\sysnative";
        }
        GetSystemWow64DirectoryA(folder, sizeof folder);
        return folder;
    }

    static bool EntryInView(const std::string& name, REGSAM view)
    {
        TKey key;
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallEntry(name).c_str(), 0, KEY_READ | view, key.Receive()) ==
               ERROR_SUCCESS;
    }

    // An uninstall entry in the 64-bit view, which 64-bit programs' installers
    // write and a 32-bit program does not see; deleted at tear-down.
    void AddSixtyFourBitEntry(const std::string& name, const std::map<std::string, std::string>& values)
    {
        const std::string path = UninstallEntry(name);
        TKey entry;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, entry.Receive(), nullptr));
        SixtyFourBitEntries.push_back(path);
        for (const auto& value : values)
            RegSetValueExA(entry, value.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.second.c_str()),
                           static_cast<DWORD>(value.second.size() + 1));
    }

    static std::string Lower(std::string text)
    {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }

    void MakeFiles(const std::string& folder, std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            MakeFile(folder + "\\" + name);
    }

    // A key of the machine's classes, or with `root` the current user's own.
    void MakeClassKey(const std::string& name, const std::string& subkey = "", HKEY root = HKEY_LOCAL_MACHINE)
    {
        MakeKey(root, InClasses(name));
        if (!subkey.empty())
            MakeKey(root, InClasses(name + "\\" + subkey));
    }

    void WriteVexaIni()
    {
        std::string text = "[Dek Files]\r\n";
        text += std::string(JianZhu) + "=" + Path("Dek\\JianZhu\\hb2000jz.dek") + "\r\n";
        text += std::string(ShiZheng) + "=" + Path("Dek\\ShiZheng\\sz2003.dek") + "\r\n";
        text += std::string(YuanLin) + "=" + Path("Dek\\YuanLin\\yl2003.dek") + "\r\n";
        text += "[Options]\r\nLastProject=" + Path("Documents\\办公楼.YSB") + "\r\n";
        WriteIni(text);
    }

    void SeedMachine()
    {
        AddUninstallEntry(NetPlan, {{"InstallPath", Path("Apps\\NetPlan")}, {"DisplayName", "ZOLT 网络计划"}});
        MakeFiles("Apps\\NetPlan", {"netplan.exe", "example.wlt", "弈辰软件技术服务部.url", "弈辰软件.url",
                                    "uninst\\udmain.exe", "uninst\\udenu.dll", "uninst\\udlog3.000",
                                    "我的网络图.wlt"});
        MakeOutsideFile(InWindows("zoltnet.hlp"));
        MakeFiles("Programs\\ZOLT 网络计划", {"ZOLT 网络计划.lnk", "ZOLT 网络计划例子.lnk", "弈辰软件技术服务部.url",
                                             "弈辰软件.lnk", "卸载.lnk"});
        MakeFiles("Desktop", {"ZOLT 网络计划.lnk", "ZOLT 网络计划.url", "ZOLT 网络计划例子.url", "弈辰软件.url"});
        MakeClassKey(".WLT");
        MakeClassKey("WLTFile", "shell\\open\\command");
        // The user chose another program for the type: the user's own classes answer for it.
        MakeClassKey(".WLT", "", HKEY_CURRENT_USER);
        MakeClassKey("WLTFile", "shell\\open\\command", HKEY_CURRENT_USER);

        AddUninstallEntry(BriSel, {{"UninstallString", Path("Apps\\BriSel") + "\\uninst\\udmain.exe -f udlog3.000"},
                                   {"ProgramGroup", BriSelGroup},
                                   {"progs", BriSelList}});
        MakeFiles("Apps\\BriSel", {"brisel.exe", "text.brl", "index.brl", "brisel.cfg", "pricetab.prc",
                                   "uninst\\udmain.exe", "uninst\\udlog3.000"});
        MakeOutsideFile(InWindows("brisel.HLP"));
        MakeFiles(std::string("Programs\\") + BriSelGroup, {"ZOLT 定额录入制版系统.lnk", "卸载.lnk", "定额制版说明.lnk"});
        MakeFiles("Programs\\ZOLT 定额录入制版系统", {"ZOLT 定额录入制版系统.lnk"});
        MakeFiles("Desktop", {"ZOLT 定额录入制版系统.lnk"});
        MakeClassKey(".BRL");
        MakeClassKey("BRLFile", "shell\\open\\command");

        AddUninstallEntry(GangJie, {{"UninstallString", Path("Apps\\GangJie\\UninstallZolt.exe")},
                                    {"InstallPath", Path("Apps\\GangJie")},
                                    {"ProgramGroup", "弈辰 钢结构"},
                                    {"progs", GangJieList}});
        MakeFiles("Apps\\GangJie", {"gjg.exe", "gjg.hlp", "UninstallZolt.exe", "uninst\\udlog3.000"});
        MakeFiles("Programs\\弈辰 钢结构", {"弈辰钢结构设计.lnk", "卸载.lnk"});
        MakeFiles("Desktop", {"弈辰钢结构设计.lnk"});
        MakeClassKey(".GJG");
        MakeClassKey("GJGFile", "shell\\open\\command");

        AddUninstallEntry(TuJi, {{"UninstallString", Path("Apps\\TuJi\\UninstallZolt.exe")},
                                 {"InstallPath", Path("Apps\\TuJi")},
                                 {"ProgramGroup", "弈辰 图集"}});
        MakeFiles("Apps\\TuJi", {"tuji.exe", "UninstallZolt.exe"});
        MakeFiles("Programs\\弈辰 图集", {"弈辰图集.lnk", "卸载.lnk"});

        SetSharedLibraryPresent(true);
        MakeOutsideFile(InSystem("cw3230mt.dll"));
        MakeOutsideFile(InSystem("bds52t.dll"));

        ASSERT_NO_FATAL_FAILURE(WriteVexaIni());
        for (const char* folder : {"Dek\\JianZhu", "Dek\\ShiZheng", "Dek\\YuanLin"})
            MakeFiles(folder, {"安装预算例子.YSB", "土建预算例子.YSB"});
        MakeFiles("Dek\\JianZhu", {"hb2000jz.dek"});
        MakeFiles("Dek\\ShiZheng", {"sz2003.dek", "我的预算.YSB"});
        MakeFiles("Dek\\YuanLin", {"yl2003.dek"});
        MakeFiles("Programs\\ZOLT 工程预算", {"2000湖北省建筑工程预算定额.lnk", "全统建筑基础定额湖北2000基价表.lnk",
                                             "弈辰市政定额.lnk", "弈辰园林定额.lnk", "安装预算例子.lnk",
                                             "土建工程预算的例子.lnk", "卸载.lnk", "ZOLT 工程预算.lnk"});
        MakeFiles("Desktop", {"安装预算例子.lnk", "土建工程预算的例子.lnk"});
        const std::string udmain = Path("Dek\\uninst\\udmain.exe");
        AddUninstallEntry(JianZhuEntry, {{"UninstallString", udmain}});
        AddUninstallEntry(JianZhu, {{"UninstallString", udmain}});
        AddUninstallEntry(ShiZheng, {{"UninstallString", udmain}});
        AddUninstallEntry(YuanLin, {{"UninstallString", udmain}});

        MakeKey(HKEY_CURRENT_USER, MakerKeyPath);
        SetString(HKEY_CURRENT_USER, MakerKeyPath, "Owner", "工程部");
        for (const char* library : {JianZhu, ShiZheng, YuanLin})
            SetString(HKEY_CURRENT_USER, SubKey(SettingsKeyPath, library), "Path", "x");
        SetString(HKEY_CURRENT_USER, SubKey(SettingsKeyPath, "Settings"), "Printer", "LPT1");
        SetString(HKEY_CURRENT_USER, SubKey(MakerKeyPath, "TallyPad\\Recent"), "File1", "a.tpb");
        MakeKey(HKEY_CURRENT_USER, "Software\\OrlaquinTools");
        MakeKey(HKEY_CURRENT_USER, "Software\\OrlaquinTools\\Keep");
        MakeFiles("Documents", {"TallyPad.ini", "预算表台账.YsbTz", "TallyPad.ini.bak", "我的文档.doc"});
        MakeOutsideFile(InWindows("zoltnet.ini"));
        MakeOutsideFile(InWindows("zoltnet2.ini"));

        AddUninstallEntry("OtherSoft Viewer", {{"UninstallString", Path("Apps\\OtherSoft\\uninstall.exe")},
                                               {"InstallPath", Path("Apps\\OtherSoft")},
                                               {"ProgramGroup", "OtherSoft"},
                                               {"progs", "viewer.exe=OtherSoft Viewer,OSV;"}});
        MakeFiles("Apps\\OtherSoft", {"viewer.exe", "uninstall.exe", "弈辰软件.url"});
        MakeFiles("Programs\\OtherSoft", {"OtherSoft Viewer.lnk", "卸载.lnk"});
        MakeFiles("Desktop", {"OtherSoft Viewer.lnk"});
        MakeClassKey(".OSV");
        MakeClassKey("OSVFile");
        MakeClassKey(".WLTX");
        MakeClassKey("WLTXFile");
        MakeClassKey(".BRL2");
        MakeClassKey(".OSV", "", HKEY_CURRENT_USER);
    }

    // complete: every item chosen, so the complete-removal flag is 1; else
    // one product, one quota library and the history are left unchosen.
    void RunRoad(bool complete)
    {
        if (!Seeded) {
            ASSERT_NO_FATAL_FAILURE(SeedMachine());
        }
        ASSERT_NO_FATAL_FAILURE(StartProgram());
        bool tuJi = UninstallEntryExists(TuJi);
        for (const char* listed : {NetPlan, BriSel, GangJie, TuJi, SharedLibraryItemText, JianZhu, ShiZheng, YuanLin})
            ASSERT_TRUE(listed == TuJi && !tuJi ? true : Program->FindItem(TreeWindow, listed) != nullptr) << listed;
        ASSERT_EQ(nullptr, Program->FindItem(TreeWindow, "OtherSoft Viewer"));

        ASSERT_NO_FATAL_FAILURE(ClickBox(SharedLibraryItemText, 2));
        if (complete) {
            ASSERT_NO_FATAL_FAILURE(ClickBox(HistoryItemText, 2));
        } else {
            ASSERT_NO_FATAL_FAILURE(ClickBox(BriSel, 1));
            ASSERT_NO_FATAL_FAILURE(ClickBox(YuanLin, 1));
            if (tuJi) {
                ASSERT_NO_FATAL_FAILURE(ClickBox(TuJi, 1));
            }
        }
        bool allChosen = true;
        for (const auto& item : TRemoteProgram::Flatten(Program->ReadTree(TreeWindow)))
            allChosen = allChosen && item.State >= 2;
        ASSERT_EQ(complete, allChosen);

        ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
        ShownChoice = WindowText(GetDlgItem(Dialog, IDC_CONFIRM_TEXT));
        ASSERT_TRUE(RealInput::BringToFront(Dialog));
        HWND yes = GetDlgItem(Dialog, IDOK);
        RealInput::Click(yes, Centre(yes));

        ASSERT_TRUE(Program->WaitForWindowGone(Dialog, StepTimeout));
        HWND box = Program->WaitForWindow(CompletionCaption, 30000);
        ASSERT_NE(nullptr, box);
        Completion = ReadMessageBox(box);
        if (Completion.IconControl) {
            RECT icon;
            GetWindowRect(Completion.IconControl, &icon);
            CompletionShowsWarning = ScreenShowsIcon(icon, LoadIconA(nullptr, IDI_WARNING), GetSystemMetrics(SM_CXICON));
        }
        // The pass holds the mouse capture; the box must still take the click.
        ASSERT_NO_FATAL_FAILURE(ClickMessageBoxOk(box, ClickDismissed));
        if (!ClickDismissed) {
            RealInput::BringToFront(box);
            RealInput::Key(VK_RETURN);
            ASSERT_TRUE(Program->WaitForWindowGone(box));
        }
        MainWindowClosed = Program->WaitForWindowGone(Frame, 20000);
        ASSERT_TRUE(Program->WaitForExit(ExitCode, 20000));
    }

    // Without its uninstall entry, the product that cannot be removed (no
    // file list) is no longer there to be said.
    void ForgetTuJi() { DeleteRegistryTree(HKEY_LOCAL_MACHINE, UninstallEntry(TuJi).c_str()); }

    // The network plan's uninst folder made a link to a folder elsewhere
    // that holds files named like the product's; the steel-structure
    // product's installation folder itself a link to where it was moved.
    void LinkTheInstallationFolders()
    {
        DeletePath(Path("Apps\\NetPlan\\uninst"));
        MakeFiles("Elsewhere", {"udmain.exe", "udenu.dll", "udlog3.000"});
        ASSERT_NO_FATAL_FAILURE(MakeLink("Apps\\NetPlan\\uninst", "Elsewhere"));
        DeletePath(Path("Apps\\GangJie"));
        MakeFiles("Moved\\GangJie", {"gjg.exe", "gjg.hlp", "UninstallZolt.exe", "uninst\\udlog3.000", "mine.gjg"});
        ASSERT_NO_FATAL_FAILURE(MakeLink("Apps\\GangJie", "Moved\\GangJie"));
    }

    void ExpectLinksNotFollowed()
    {
        ExpectKept({"Elsewhere\\udmain.exe", "Elsewhere\\udenu.dll", "Elsewhere\\udlog3.000", "Apps\\NetPlan\\uninst"});
        ExpectGone({"Apps\\NetPlan\\netplan.exe", "Moved\\GangJie\\gjg.exe", "Moved\\GangJie\\gjg.hlp",
                    "Moved\\GangJie\\UninstallZolt.exe", "Moved\\GangJie\\uninst"});
        ExpectKept({"Moved\\GangJie\\mine.gjg", "Apps\\GangJie"});
        std::vector<std::string> pending = PendingDeletions();
        for (const char* path : {"Elsewhere\\udmain.exe", "Apps\\NetPlan\\uninst\\udmain.exe", "Apps\\NetPlan\\uninst"})
            EXPECT_EQ(pending.end(), std::find(pending.begin(), pending.end(), Path(path))) << path;
    }

    void ExpectGone(std::initializer_list<std::string> paths)
    {
        for (const std::string& path : paths)
            EXPECT_FALSE(Exists(path)) << path << " is still there";
    }

    void ExpectKept(std::initializer_list<std::string> paths)
    {
        for (const std::string& path : paths)
            EXPECT_TRUE(Exists(path)) << path << " went";
    }

    // The program run from a command line, these arguments after its name,
    // to its end: whether it showed any window on the way, and its exit code.
    void RunFromCommandLine(const std::string& arguments, const std::string& exe = ProgramUnderTest,
                            const std::string& directory = "")
    {
        Program = std::make_unique<TRemoteProgram>(exe);
        ASSERT_TRUE(Program->Start(arguments, nullptr, directory));
        ShowedWindow = Program->ShowedAWindowBeforeExit(60000);
        ASSERT_TRUE(Program->WaitForExit(ExitCode, 60000));
    }

    // The log the program appended to, in the program's code page.
    std::string ReadLog(const std::string& relative) const
    {
        TFile file(CreateFileA(Path(relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr));
        if (!file.IsOpen())
            return std::string();
        std::string utf8(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        ReadFile(file, &utf8[0], static_cast<DWORD>(utf8.size()), &read, nullptr);
        std::wstring wide(utf8.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(read), &wide[0],
                                        static_cast<int>(wide.size())));
        std::string text(wide.size() * 2, '\0');
        text.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0],
                                        static_cast<int>(text.size()), nullptr, nullptr));
        return text;
    }

    void ExpectNothingOfTheMachineRemoved()
    {
        ExpectKept({"Apps\\NetPlan\\netplan.exe", "Apps\\BriSel\\brisel.exe", "Apps\\GangJie\\gjg.exe",
                    "Dek\\JianZhu\\hb2000jz.dek", "Documents\\TallyPad.ini"});
        for (const char* entry : {NetPlan, BriSel, GangJie, TuJi, JianZhu})
            EXPECT_TRUE(UninstallEntryExists(entry)) << entry;
        EXPECT_TRUE(ExistsAbsolute(InSystem(SharedLibraryFiles[0])));
        EXPECT_EQ(Path("Dek\\JianZhu\\hb2000jz.dek"), QuotaValue(JianZhu));
    }

    void ExpectRoadEndedWell()
    {
        // Spelled out once, byte for byte, rather than taken from the program.
        EXPECT_EQ("已经顺利完成卸载，欢迎再次使用弈辰软件!", Completion.Text);
        EXPECT_EQ(nullptr, Completion.IconControl);
        EXPECT_EQ(1, Completion.Buttons);
        EXPECT_TRUE(ClickDismissed) << "a real click on OK did not reach the completion box";
        EXPECT_TRUE(MainWindowClosed);
        EXPECT_EQ(0u, ExitCode);
    }

    void ExpectNetPlanFilesGone()
    {
        ExpectGone({"Apps\\NetPlan\\netplan.exe", "Apps\\NetPlan\\example.wlt", "Apps\\NetPlan\\弈辰软件技术服务部.url",
                    "Apps\\NetPlan\\弈辰软件.url", "Apps\\NetPlan\\uninst\\udmain.exe",
                    "Apps\\NetPlan\\uninst\\udenu.dll", "Apps\\NetPlan\\uninst\\udlog3.000",
                    "Programs\\ZOLT 网络计划\\ZOLT 网络计划.lnk", "Programs\\ZOLT 网络计划\\ZOLT 网络计划例子.lnk",
                    "Programs\\ZOLT 网络计划\\弈辰软件技术服务部.url", "Programs\\ZOLT 网络计划\\弈辰软件.lnk",
                    "Desktop\\ZOLT 网络计划.lnk", "Desktop\\ZOLT 网络计划例子.url", "Desktop\\弈辰软件.url"});
        EXPECT_FALSE(ExistsAbsolute(InWindows("zoltnet.hlp")));
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            EXPECT_FALSE(KeyExists(root, InClasses(".WLT")));
            EXPECT_FALSE(KeyExists(root, InClasses("WLTFile")));
        }
        EXPECT_FALSE(UninstallEntryExists(NetPlan));
        // A ".url" is only the stand-in for a ".lnk" that is not there.
        ExpectKept({"Desktop\\ZOLT 网络计划.url", "Apps\\NetPlan\\我的网络图.wlt"});
    }

    void ExpectGangJieFilesGone()
    {
        ExpectGone({"Apps\\GangJie\\gjg.exe", "Apps\\GangJie\\gjg.hlp", "Apps\\GangJie\\UninstallZolt.exe",
                    "Apps\\GangJie\\uninst\\udlog3.000", "Programs\\弈辰 钢结构\\弈辰钢结构设计.lnk",
                    "Desktop\\弈辰钢结构设计.lnk"});
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, InClasses(".GJG")));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, InClasses("GJGFile")));
        EXPECT_FALSE(UninstallEntryExists(GangJie));
    }

    void ExpectTuJiWhole()
    {
        ExpectKept({"Apps\\TuJi\\tuji.exe", "Apps\\TuJi\\UninstallZolt.exe", "Programs\\弈辰 图集\\弈辰图集.lnk",
                    "Programs\\弈辰 图集\\卸载.lnk"});
        EXPECT_TRUE(UninstallEntryExists(TuJi));
    }

    void ExpectChosenLibraryGone(const char* key, const std::string& folder, const char* file, const char* shortcut,
                                 const char* entry)
    {
        ExpectGone({folder + "\\" + file, folder + "\\安装预算例子.YSB", folder + "\\土建预算例子.YSB",
                    VexaGroup + std::string(shortcut) + ".lnk"});
        EXPECT_EQ("", QuotaValue(key));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SubKey(SettingsKeyPath, key)));
        EXPECT_FALSE(UninstallEntryExists(entry));
    }

    void ExpectSampleShortcutsGone()
    {
        ExpectGone({std::string(VexaGroup) + "安装预算例子.lnk", std::string(VexaGroup) + "土建工程预算的例子.lnk",
                    "Desktop\\安装预算例子.lnk", "Desktop\\土建工程预算的例子.lnk"});
    }

    void ExpectOtherVendorsUntouched()
    {
        ExpectKept({"Apps\\OtherSoft\\viewer.exe", "Apps\\OtherSoft\\uninstall.exe", "Apps\\OtherSoft\\弈辰软件.url",
                    "Programs\\OtherSoft\\OtherSoft Viewer.lnk", "Programs\\OtherSoft\\卸载.lnk",
                    "Desktop\\OtherSoft Viewer.lnk"});
        EXPECT_TRUE(UninstallEntryExists("OtherSoft Viewer"));
        for (const char* key : {".OSV", "OSVFile", ".WLTX", "WLTXFile", ".BRL2"})
            EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, InClasses(key))) << key;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, InClasses(".OSV")));
        EXPECT_TRUE(ExistsAbsolute(InSystem("cw3230mt.dll")));
        EXPECT_TRUE(ExistsAbsolute(InSystem("bds52t.dll")));
        EXPECT_TRUE(ExistsAbsolute(InWindows("zoltnet2.ini")));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\OrlaquinTools\\Keep"));
        EXPECT_EQ(Path("Documents\\办公楼.YSB"), IniValue("Options", "LastProject"));
        ExpectKept({"Documents\\TallyPad.ini.bak", "Documents\\我的文档.doc"});
    }

    // A file built beside the test programs: the holder program and its DLL.
    static std::string BesideTheTests(const char* name)
    {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
        std::string folder(path, length);
        return folder.substr(0, folder.rfind('\\') + 1) + name;
    }

    // The network plan's program and one of its DLLs made real ones, for
    // programs to run and load.
    void MakeNetPlanRunnable()
    {
        ASSERT_TRUE(CopyFileA(BesideTheTests("uz-holder.exe").c_str(), Path("Apps\\NetPlan\\netplan.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(BesideTheTests("uz-holder-lib.dll").c_str(),
                              Path("Apps\\NetPlan\\uninst\\udenu.dll").c_str(), FALSE));
    }

    // A program left running, with its window "uz-holder"; its process id.
    DWORD StartHolder(const std::string& exe, const std::string& arguments = "")
    {
        Holders.push_back(std::make_unique<TRemoteProgram>(exe));
        EXPECT_TRUE(Holders.back()->Start(arguments)) << exe;
        EXPECT_NE(nullptr, Holders.back()->WaitForWindow("uz-holder")) << exe;
        return Holders.back()->GetProcessId();
    }

    // Confirms the choice the program opened with and waits for the dialog
    // that lists who holds what.
    void ConfirmAndAwaitHolders()
    {
        Dialog = Program->WaitForWindow(ConfirmTitle, StepTimeout);
        ASSERT_NE(nullptr, Dialog);
        Program->WaitIdle();
        ASSERT_NO_FATAL_FAILURE(PressButton(Dialog, IDOK));
        HoldersDialog = Program->WaitForWindow(HoldersTitle, 30000);
        ASSERT_NE(nullptr, HoldersDialog);
        Program->WaitIdle();
    }

    void PressButton(HWND dialog, int id)
    {
        ASSERT_TRUE(RealInput::BringToFront(dialog));
        HWND button = GetDlgItem(dialog, id);
        ASSERT_NE(nullptr, button);
        RealInput::Click(button, Centre(button));
    }

    std::string HoldersListed() const { return WindowText(GetDlgItem(HoldersDialog, IDC_HOLDERS_LIST)); }

    // Dismisses the completion box and waits for the end; its text.
    std::string FinishWithTheCompletionBox()
    {
        HWND box = Program->WaitForWindow(CompletionCaption, 30000);
        EXPECT_NE(nullptr, box);
        if (!box)
            return std::string();
        Completion = ReadMessageBox(box);
        bool dismissed = false;
        ClickMessageBoxOk(box, dismissed);
        if (!dismissed) {
            RealInput::BringToFront(box);
            RealInput::Key(VK_RETURN);
        }
        EXPECT_TRUE(Program->WaitForExit(ExitCode, 20000));
        return Completion.Text;
    }

    std::vector<std::unique_ptr<TRemoteProgram>> Holders;
    HWND HoldersDialog = nullptr;
    std::vector<std::string> SixtyFourBitEntries;
    bool Seeded = false;
    bool ShowedWindow = true;
    std::string ShownChoice;
    TMessageBoxText Completion;
    bool CompletionShowsWarning = false;
    bool ClickDismissed = false;
    bool MainWindowClosed = false;
    DWORD ExitCode = 1234;
};

TEST_F(RemovalRoad, PartialRemovalEndsWithCompletionMessageAndExitZero)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectRoadEndedWell();
    EXPECT_EQ(std::string::npos, ShownChoice.find(HistoryItemText));
    EXPECT_EQ(std::string::npos, ShownChoice.find(BriSel));
}

TEST_F(RemovalRoad, PartialRemovalTakesAChosenCataloguedProduct)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectNetPlanFilesGone();
}

TEST_F(RemovalRoad, PartialRemovalKeepsUninstallShortcutsGroupsAndFolders)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectKept({"Programs\\ZOLT 网络计划\\卸载.lnk", "Apps\\NetPlan\\uninst", "Programs\\弈辰 钢结构\\卸载.lnk",
                "Apps\\GangJie\\uninst", "Apps\\GangJie", std::string(VexaGroup) + "卸载.lnk", "Dek\\JianZhu"});
}

TEST_F(RemovalRoad, PartialRemovalLeavesAnUnchosenProductWhole)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectKept({"Apps\\BriSel\\brisel.exe", "Apps\\BriSel\\text.brl", "Apps\\BriSel\\index.brl",
                "Apps\\BriSel\\brisel.cfg", "Apps\\BriSel\\pricetab.prc", "Apps\\BriSel\\uninst\\udmain.exe",
                "Apps\\BriSel\\uninst\\udlog3.000", "Programs\\弈辰 定额制版\\ZOLT 定额录入制版系统.lnk",
                "Programs\\弈辰 定额制版\\卸载.lnk", "Desktop\\ZOLT 定额录入制版系统.lnk"});
    EXPECT_TRUE(ExistsAbsolute(InWindows("brisel.HLP")));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, InClasses(".BRL")));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, InClasses("BRLFile\\shell\\open\\command")));
    EXPECT_TRUE(UninstallEntryExists(BriSel));
}

TEST_F(RemovalRoad, PartialRemovalTakesAnUncataloguedProductWithAllThreeValues)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectGangJieFilesGone();
}

// A chosen product none of whose files can be tried is not passed over in
// silence: the box says so, and it stays whole, entry and all.
TEST_F(RemovalRoad, ChosenUncataloguedProductWithoutFileListStaysAndIsSaid)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ASSERT_NE(std::string::npos, ShownChoice.find(TuJi));
    ExpectTuJiWhole();
    EXPECT_TRUE(CompletionShowsWarning);
    EXPECT_EQ("卸载已经完成，但有些项目现在无法删除。\r\n\r\n以下项目需要您手动删除（共 1 项）：\r\n"
              "    弈辰图集（卸载信息不全，未删除其文件）\r\n",
              Completion.Text);
    EXPECT_EQ(0u, ExitCode);
}

TEST_F(RemovalRoad, PartialRemovalTakesTheSharedLibrariesOnly)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    for (const char* name : SharedLibraryFiles)
        EXPECT_FALSE(ExistsAbsolute(InSystem(name))) << name;
    EXPECT_TRUE(ExistsAbsolute(InSystem("cw3230mt.dll")));
    EXPECT_TRUE(ExistsAbsolute(InSystem("bds52t.dll")));
}

TEST_F(RemovalRoad, PartialRemovalTakesChosenQuotaLibrariesAndLeavesTheOther)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectChosenLibraryGone(JianZhu, "Dek\\JianZhu", "hb2000jz.dek", JianZhuShortcut, JianZhuEntry);
    ExpectChosenLibraryGone(ShiZheng, "Dek\\ShiZheng", "sz2003.dek", ShiZheng, ShiZheng);
    ExpectSampleShortcutsGone();
    // The catalogue's shortcut name stands in for the key's own.
    ExpectKept({std::string(VexaGroup) + JianZhu + ".lnk", std::string(VexaGroup) + "ZOLT 工程预算.lnk",
                "Dek\\ShiZheng\\我的预算.YSB"});
    EXPECT_TRUE(UninstallEntryExists(JianZhu));

    ExpectKept({"Dek\\YuanLin\\yl2003.dek", "Dek\\YuanLin\\安装预算例子.YSB", "Dek\\YuanLin\\土建预算例子.YSB",
                std::string(VexaGroup) + YuanLin + ".lnk"});
    EXPECT_EQ(Path("Dek\\YuanLin\\yl2003.dek"), QuotaValue(YuanLin));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SubKey(SettingsKeyPath, YuanLin)));
    EXPECT_TRUE(UninstallEntryExists(YuanLin));
}

TEST_F(RemovalRoad, PartialRemovalLeavesUnchosenHistory)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectKept({"Documents\\TallyPad.ini", "Documents\\预算表台账.YsbTz"});
    EXPECT_TRUE(ExistsAbsolute(InWindows("zoltnet.ini")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SubKey(MakerKeyPath, "TallyPad\\Recent")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SubKey(SettingsKeyPath, "Settings")));
}

TEST_F(RemovalRoad, PartialRemovalLeavesOtherVendorsAlone)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(false));
    ExpectOtherVendorsUntouched();
}

TEST_F(RemovalRoad, CompleteRemovalEndsWithCompletionMessageAndExitZero)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    Seeded = true;
    ForgetTuJi();
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ExpectRoadEndedWell();
    EXPECT_NE(std::string::npos, ShownChoice.find(std::string("  ") + HistoryItemText + "\r\n"));
}

TEST_F(RemovalRoad, CompleteRemovalTakesUninstallShortcutsAndEmptiedFolders)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ExpectNetPlanFilesGone();
    ExpectGangJieFilesGone();
    ExpectGone({"Programs\\ZOLT 网络计划\\卸载.lnk", "Programs\\ZOLT 网络计划", "Apps\\NetPlan\\uninst",
                "Programs\\弈辰 钢结构\\卸载.lnk", "Programs\\弈辰 钢结构", "Apps\\GangJie\\uninst", "Apps\\GangJie",
                "Programs\\弈辰 定额制版\\卸载.lnk", "Apps\\BriSel\\uninst", std::string(VexaGroup) + "卸载.lnk",
                "Dek\\JianZhu", "Dek\\YuanLin"});
}

TEST_F(RemovalRoad, CompleteRemovalKeepsFoldersStillHoldingOtherFiles)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ExpectKept({"Apps\\NetPlan\\我的网络图.wlt", "Apps\\BriSel\\pricetab.prc",
                "Programs\\弈辰 定额制版\\定额制版说明.lnk", std::string(VexaGroup) + "ZOLT 工程预算.lnk",
                "Dek\\ShiZheng\\我的预算.YSB", "Programs", "Desktop", "Documents"});
    ExpectTuJiWhole();
}

TEST_F(RemovalRoad, CompleteRemovalUsesTheProductsOwnGroupAndFileList)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ExpectGone({"Apps\\BriSel\\brisel.exe", "Apps\\BriSel\\text.brl", "Apps\\BriSel\\index.brl",
                "Apps\\BriSel\\brisel.cfg", "Apps\\BriSel\\uninst\\udmain.exe", "Apps\\BriSel\\uninst\\udlog3.000",
                "Programs\\弈辰 定额制版\\ZOLT 定额录入制版系统.lnk", "Desktop\\ZOLT 定额录入制版系统.lnk"});
    EXPECT_FALSE(ExistsAbsolute(InWindows("brisel.HLP")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, InClasses(".BRL")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, InClasses("BRLFile")));
    EXPECT_FALSE(UninstallEntryExists(BriSel));
    // Only in the catalogue's list and group, which the entry's own values replace.
    ExpectKept({"Apps\\BriSel\\pricetab.prc", "Programs\\ZOLT 定额录入制版系统\\ZOLT 定额录入制版系统.lnk"});
}

TEST_F(RemovalRoad, CompleteRemovalTakesEveryQuotaLibrary)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ExpectChosenLibraryGone(JianZhu, "Dek\\JianZhu", "hb2000jz.dek", JianZhuShortcut, JianZhuEntry);
    ExpectChosenLibraryGone(ShiZheng, "Dek\\ShiZheng", "sz2003.dek", ShiZheng, ShiZheng);
    ExpectSampleShortcutsGone();
    ExpectGone({"Dek\\YuanLin\\yl2003.dek", std::string(VexaGroup) + YuanLin + ".lnk"});
    EXPECT_EQ("", QuotaValue(YuanLin));
    EXPECT_FALSE(UninstallEntryExists(YuanLin));
    EXPECT_TRUE(UninstallEntryExists(JianZhu));
}

TEST_F(RemovalRoad, CompleteRemovalTakesTheHistory)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ExpectGone({"Documents\\TallyPad.ini", "Documents\\预算表台账.YsbTz"});
    EXPECT_FALSE(ExistsAbsolute(InWindows("zoltnet.ini")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SubKey(MakerKeyPath, "TallyPad")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SettingsKeyPath));
    // The maker's key itself stays, with its values.
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, MakerKeyPath));
    char owner[64] = {};
    DWORD size = sizeof owner;
    EXPECT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_CURRENT_USER, MakerKeyPath, "Owner", RRF_RT_REG_SZ, nullptr, owner, &size));
    EXPECT_STREQ("工程部", owner);
}

TEST_F(RemovalRoad, CompleteRemovalLeavesOtherVendorsAlone)
{
    ASSERT_NO_FATAL_FAILURE(RunRoad(true));
    ExpectOtherVendorsUntouched();
    for (const char* name : SharedLibraryFiles)
        EXPECT_FALSE(ExistsAbsolute(InSystem(name))) << name;
}

// What cannot go now is said, not hidden: a file held open by another
// program goes at the restart, with the folders it keeps; a read-only file
// of the product's own list goes now; a read-only library file that no
// product list names is left for the user to remove.
TEST_F(RemovalRoad, WhatStaysIsSaidAndFilesInUseGoAtTheRestart)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    Seeded = true;
    ForgetTuJi();
    const std::string held = Path("Apps\\NetPlan\\uninst\\udmain.exe");
    TFile holder(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr));
    ASSERT_TRUE(holder.IsOpen());
    ASSERT_TRUE(SetFileAttributesA(Path("Apps\\NetPlan\\example.wlt").c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string library = Path("Dek\\YuanLin\\yl2003.dek");
    ASSERT_TRUE(SetFileAttributesA(library.c_str(), FILE_ATTRIBUTE_READONLY));

    ASSERT_NO_FATAL_FAILURE(RunRoad(true));

    EXPECT_EQ(0u, ExitCode);
    EXPECT_EQ(1, Completion.Buttons);
    EXPECT_TRUE(CompletionShowsWarning);
    const std::string& text = Completion.Text;
    EXPECT_EQ(0u, text.find("卸载已经完成，但有些项目现在无法删除。")) << text;
    size_t byHand = text.find("以下项目需要您手动删除（共 1 项）：");
    size_t atRestart = text.find("以下项目将在重新启动计算机后删除（共 1 项）：");
    ASSERT_NE(std::string::npos, byHand) << text;
    ASSERT_NE(std::string::npos, atRestart) << text;
    EXPECT_LT(byHand, text.find(library));
    EXPECT_LT(atRestart, text.find(held));
    EXPECT_NE(std::string::npos, text.find("请在方便时重新启动计算机。"));

    EXPECT_FALSE(Exists("Apps\\NetPlan\\example.wlt"));
    EXPECT_TRUE(ExistsAbsolute(library));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY), GetFileAttributesA(library.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(ExistsAbsolute(held));
    ExpectGone({"Apps\\NetPlan\\netplan.exe", "Apps\\NetPlan\\uninst\\udenu.dll", "Programs\\ZOLT 网络计划"});
    EXPECT_FALSE(UninstallEntryExists(NetPlan));

    // The held file first, then the folder only it keeps; the installation
    // folder holds the user's file too, so it waits for nothing.
    std::vector<std::string> pending = PendingDeletions();
    auto at = [&](const std::string& path) {
        return std::find(pending.begin(), pending.end(), path) - pending.begin();
    };
    ASSERT_LT(at(held), static_cast<long>(pending.size()));
    ASSERT_LT(at(Path("Apps\\NetPlan\\uninst")), static_cast<long>(pending.size()));
    EXPECT_LT(at(held), at(Path("Apps\\NetPlan\\uninst")));
    EXPECT_EQ(static_cast<long>(pending.size()), at(Path("Apps\\NetPlan")));
    EXPECT_EQ(pending.end(), std::find(pending.begin(), pending.end(), library));

    holder.Reset();
    ASSERT_TRUE(RestartWine());
    EXPECT_FALSE(ExistsAbsolute(held));
    EXPECT_FALSE(Exists("Apps\\NetPlan\\uninst"));
    // The user's own file keeps the installation folder, restart or not.
    ExpectKept({"Apps\\NetPlan\\我的网络图.wlt", "Apps\\BriSel\\pricetab.prc", "Dek\\ShiZheng\\我的预算.YSB"});
    EXPECT_TRUE(ExistsAbsolute(library));
    ExpectOtherVendorsUntouched();
}

TEST_F(RemovalRoad, QuietAllRemovesWhatChoosingEverythingRemovesWithoutAWindow)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    // A log that cannot be opened, or is a folder or a link at that path
    // (to a folder, to somebody's file), or lies past a link in a folder
    // above it: nothing is done, and nothing is made where the link leads.
    MakeFile("Elsewhere\\notes.txt");
    ASSERT_NO_FATAL_FAILURE(MakeLink("linked.log", "Elsewhere"));
    ASSERT_NO_FATAL_FAILURE(MakeLink("uz.log", "Elsewhere\\notes.txt"));
    ASSERT_NO_FATAL_FAILURE(MakeLink("linked dir", "Elsewhere"));
    for (const char* log : {"logs dir\\uz.log", "Documents", "linked.log", "uz.log", "linked dir\\uz.log"}) {
        ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /ALL \"/log:" + Path(log) + "\""));
        EXPECT_EQ(1622u, ExitCode) << log;
        EXPECT_FALSE(ShowedWindow);
        ExpectNothingOfTheMachineRemoved();
    }
    EXPECT_FALSE(Exists("Elsewhere\\uz.log"));
    // A relative name is taken where the program was started; one that does
    // not fit there is refused, never made in the folder it works in later.
    MakeFolder("logs dir");
    const std::string longName = std::string(240, 'x') + ".log";
    ASSERT_NO_FATAL_FAILURE(
        RunFromCommandLine("/quiet /ALL \"/log:" + longName + "\"", ProgramUnderTest, Path("logs dir")));
    EXPECT_EQ(1622u, ExitCode);
    ExpectNothingOfTheMachineRemoved();
    EXPECT_FALSE(ExistsAbsolute(InSystem(longName.c_str())));
    EXPECT_EQ(1u, GetFileSize(TFile(CreateFileA(Path("Elsewhere\\notes.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                               nullptr, OPEN_EXISTING, 0, nullptr)),
                              nullptr));

    // Started from inside a product's folder, the program keeps it no more busy than any other.
    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /ALL \"/log:" + Path("logs dir\\uz.log") + "\"",
                                               ProgramUnderTest, Path("Apps\\GangJie\\uninst")));
    // The product without a file list could not even be tried.
    EXPECT_EQ(1603u, ExitCode);
    EXPECT_FALSE(ShowedWindow);
    ExpectNetPlanFilesGone();
    ExpectGangJieFilesGone();
    ExpectTuJiWhole();
    ExpectChosenLibraryGone(JianZhu, "Dek\\JianZhu", "hb2000jz.dek", JianZhuShortcut, JianZhuEntry);
    ExpectGone({"Programs\\ZOLT 网络计划", "Apps\\NetPlan\\uninst", "Apps\\GangJie", "Dek\\YuanLin",
                "Documents\\TallyPad.ini", "Apps\\BriSel\\brisel.exe"});
    for (const char* name : SharedLibraryFiles)
        EXPECT_FALSE(ExistsAbsolute(InSystem(name))) << name;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SubKey(MakerKeyPath, "TallyPad")));
    ExpectOtherVendorsUntouched();

    std::string log = ReadLog("logs dir\\uz.log");
    EXPECT_NE(std::string::npos, log.find(" Started: ")) << log;
    EXPECT_NE(std::string::npos, log.find("/quiet /ALL")) << log;
    EXPECT_NE(std::string::npos, log.find("    ZOLT网络计划 [chosen]\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find("Removing ZOLT网络计划\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find("  deleted    file       " + Path("Apps\\NetPlan\\netplan.exe") + "\r\n"));
    // Each classes key by its own name: the machine's, and the user's own.
    for (const char* classes : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"})
        EXPECT_NE(std::string::npos,
                  log.find(std::string("  deleted    key        ") + classes + "\\Software\\Classes\\.WLT\r\n"))
            << classes;
    EXPECT_NE(std::string::npos, log.find("  not found  shortcut   "));
    EXPECT_NE(std::string::npos, log.find("  deleted    INI entry  "));
    EXPECT_NE(std::string::npos, log.find("  kept       folder     " + Path("Apps\\NetPlan\\") + " (not empty)"));
    EXPECT_NE(std::string::npos,
              log.find(std::string("  failed     folder     ") + TuJi +
                       " (the uninstall entry lacks InstallPath, ProgramGroup or progs)\r\n"))
        << log;
    EXPECT_NE(std::string::npos, log.find(" Exit code 1603\r\n")) << log;
}

TEST_F(RemovalRoad, QuietItemsRemoveOnlyThoseAndUnknownItemsNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine(std::string("-quiet /items:") + NetPlan + ";不存在的产品"));
    EXPECT_EQ(1605u, ExitCode);
    EXPECT_FALSE(ShowedWindow);
    ExpectNothingOfTheMachineRemoved();

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /all /frob"));
    EXPECT_EQ(1639u, ExitCode);
    EXPECT_FALSE(ShowedWindow);
    ExpectNothingOfTheMachineRemoved();

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine(std::string("/quiet /items:") + NetPlan));
    EXPECT_EQ(0u, ExitCode);
    EXPECT_FALSE(ShowedWindow);
    ExpectNetPlanFilesGone();
    // Not every item is chosen: the product's folders and uninstall shortcut stay.
    ExpectKept({"Apps\\NetPlan\\uninst", "Programs\\ZOLT 网络计划\\卸载.lnk"});
    ExpectKept({"Apps\\BriSel\\brisel.exe", "Apps\\GangJie\\gjg.exe", "Dek\\JianZhu\\hb2000jz.dek",
                "Documents\\TallyPad.ini"});
    for (const char* entry : {BriSel, GangJie, TuJi, JianZhu})
        EXPECT_TRUE(UninstallEntryExists(entry)) << entry;
    EXPECT_TRUE(ExistsAbsolute(InSystem(SharedLibraryFiles[0])));
    ExpectOtherVendorsUntouched();
}

// Run from a removed product's uninst folder, in a complete removal, the
// program schedules its own file and that folder; a held file makes it
// tell the deployment tool that a restart is needed.
TEST_F(RemovalRoad, QuietRemovalWithFilesInUseAsksForARestart)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    const std::string copy = Path("Apps\\NetPlan\\uninst\\UninstallZolt.exe");
    ASSERT_TRUE(CopyFileA(ProgramUnderTest.c_str(), copy.c_str(), FALSE));
    const std::string held = Path("Apps\\GangJie\\gjg.exe");
    TFile holder(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsOpen());
    ForgetTuJi();

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /all", copy));

    EXPECT_EQ(3010u, ExitCode);
    EXPECT_FALSE(ShowedWindow);
    std::vector<std::string> pending = PendingDeletions();
    for (const std::string& path : {copy, Path("Apps\\NetPlan\\uninst"), held, Path("Apps\\GangJie")})
        EXPECT_NE(pending.end(), std::find(pending.begin(), pending.end(), path)) << path;
    EXPECT_TRUE(ExistsAbsolute(copy));
    ExpectGone({"Apps\\NetPlan\\netplan.exe", "Apps\\GangJie\\gjg.hlp"});
}

// One removal at a time: while a window is open, an unattended removal ends
// at once with 1618, which deployment tools retry on. Listing removes
// nothing and needs no turn.
TEST_F(RemovalRoad, QuietRemovalWhileAWindowIsOpenEndsWith1618AndRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    std::unique_ptr<TRemoteProgram> window = std::move(Program);

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /all \"/log:" + Path("uz.log") + "\""));
    EXPECT_EQ(1618u, ExitCode);
    EXPECT_FALSE(ShowedWindow);
    ExpectNothingOfTheMachineRemoved();
    ExpectKept({"Documents\\TallyPad.ini", "Desktop\\ZOLT 网络计划.lnk"});
    std::string log = ReadLog("uz.log");
    EXPECT_NE(std::string::npos, log.find(" Another removal is running: nothing was done\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find(" Exit code 1618\r\n")) << log;
    EXPECT_EQ(std::string::npos, log.find("Found:")) << log;

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /list \"/log:" + Path("list.log") + "\""));
    EXPECT_EQ(0u, ExitCode);
    EXPECT_NE(std::string::npos, ReadLog("list.log").find("    ZOLT网络计划 [chosen]\r\n"));
    EXPECT_TRUE(window->IsRunning());
}

// Any user can make an object of the lock's name before a deployment tool's
// run. Only a mutex of the Administrators group, LocalSystem or the run's own
// account counts as the lock: a name taken any other way neither stops every
// removal of the machine with 1618 nor goes unsaid.
TEST_F(RemovalRoad, QuietRemovalGoesOnPastTheLocksNameTakenByAnotherAccount)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    const struct {
        const char* Descriptor; // of a mutex; none: an event
        const char* Item;
        const char* Said;
    } squatters[] = {
        {"O:S-1-5-21-1001-2002-3003-1105D:(A;;GA;;;WD)", JianZhu,
         "made by another account (owner S-1-5-21-1001-2002-3003-1105)"},
        {"D:(D;;GA;;;WD)", ShiZheng, "made so that we may not open it"},
        {nullptr, YuanLin, "an object of another kind"},
    };
    for (const auto& squatter : squatters) {
        SCOPED_TRACE(squatter.Said);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (squatter.Descriptor) {
            ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(squatter.Descriptor, SDDL_REVISION_1,
                                                                             &descriptor, nullptr));
        }
        SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
        THandle taken(squatter.Descriptor ? CreateMutexA(&attributes, TRUE, TRemovalLock::Name)
                                          : CreateEventA(nullptr, TRUE, FALSE, TRemovalLock::Name));
        LocalFree(descriptor);
        ASSERT_TRUE(taken.IsOpen());

        ASSERT_NO_FATAL_FAILURE(RunFromCommandLine(std::string("/quiet /items:") + squatter.Item + " \"/log:" +
                                                   Path("uz.log") + "\""));
        EXPECT_EQ(0u, ExitCode);
        EXPECT_EQ("", QuotaValue(squatter.Item));
        std::string log = ReadLog("uz.log");
        EXPECT_NE(std::string::npos, log.find(std::string(" The name Global\\UninstallZolt.Removal is taken by ") +
                                              squatter.Said + ": it is no lock of ours"))
            << log;
        DeleteFileA(Path("uz.log").c_str());
    }
}

// A shared library held open goes at the restart. Windows carries out
// pending deletions at boot without WoW64 redirection, so the file must be
// named where it really lies: for the 32-bit program in SysWOW64, while a
// namesake in System32 belongs to 64-bit programs (for the 64-bit build the
// other way round). The log names that real place, where the user finds it.
TEST_F(RemovalRoad, HeldSharedLibraryGoesAtTheRestartFromWhereItReallyLies)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    const char* name = SharedLibraryFiles[0];
    const std::string namesake = OtherSystemFolder() + "\\" + name;
    ASSERT_NO_FATAL_FAILURE(MakeOutsideFile(namesake));
    const std::string held = InSystem(name);
    TFile holder(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsOpen());
    MakeFolder("logs");

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine(std::string("/quiet /items:") + SharedLibraryItemText + " \"/log:" +
                                               Path("logs\\uz.log") + "\""));

    EXPECT_EQ(3010u, ExitCode);
    const std::string log = ReadLog("logs\\uz.log");
    EXPECT_NE(std::string::npos, Lower(log).find(Lower(RealSystemFolder() + "\\" + name))) << log;
    holder.Reset();
    ASSERT_TRUE(RestartWine());
    EXPECT_FALSE(ExistsAbsolute(held)) << "the family's library is still there";
    EXPECT_TRUE(ExistsAbsolute(namesake)) << "its namesake in the other system folder went instead";
}

// The family on 64-bit Windows, as its 32-bit installers lay it: entries in
// the 32-bit view, shared libraries in SysWOW64, a product under "Program
// Files (x86)"; all of it goes. The 64-bit view, System32 and the 64-bit
// "Program Files" are 64-bit programs' own: an entry there with a family
// product's name, its files, and a namesake of a shared library stay.
TEST_F(RemovalRoad, RemovalOnSixtyFourBitWindowsTakesTheFamilyAndLeavesTheSixtyFourBitSideAlone)
{
    if (!UnderWow64())
        GTEST_SKIP() << "only a 32-bit program on 64-bit Windows has a 64-bit side beside its own";
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ASSERT_TRUE(EntryInView(NetPlan, KEY_WOW64_32KEY));
    ASSERT_FALSE(EntryInView(NetPlan, KEY_WOW64_64KEY));
    for (const char* name : SharedLibraryFiles)
        ASSERT_TRUE(ExistsAbsolute(RealSystemFolder() + "\\" + name)) << name;
    // Each side's "Program Files" gets a folder named as the scratch folder.
    const std::string scratchName = Root.substr(Root.rfind('\\') + 1);
    auto inProgramFiles = [&](const char* variable) {
        char folder[MAX_PATH] = {};
        GetEnvironmentVariableA(variable, folder, sizeof folder);
        return std::string(folder) + "\\" + scratchName;
    };
    const std::string product = inProgramFiles("ProgramFiles");
    ASSERT_NE(std::string::npos, product.find("\\Program Files (x86)\\")) << product;
    ASSERT_NO_FATAL_FAILURE(MakeOutsideFolder(product));
    ASSERT_NO_FATAL_FAILURE(MakeOutsideFile(product + "\\vexademo.exe"));
    ASSERT_NO_FATAL_FAILURE(AddUninstallEntry(VexaDemo, {{"InstallPath", product}}));
    const std::string sixtyFourBit = inProgramFiles("ProgramW6432");
    ASSERT_NO_FATAL_FAILURE(MakeOutsideFolder(sixtyFourBit));
    ASSERT_NO_FATAL_FAILURE(MakeOutsideFolder(sixtyFourBit + "\\uninst"));
    const std::vector<std::string> sixtyFourBitFiles = {sixtyFourBit + "\\netplan.exe",
                                                        sixtyFourBit + "\\example.wlt",
                                                        sixtyFourBit + "\\uninst\\udmain.exe"};
    for (const std::string& file : sixtyFourBitFiles)
        ASSERT_NO_FATAL_FAILURE(MakeOutsideFile(file));
    ASSERT_NO_FATAL_FAILURE(AddSixtyFourBitEntry(NetPlan, {{"InstallPath", sixtyFourBit}}));
    const std::string namesake = OtherSystemFolder() + "\\" + SharedLibraryFiles[0];
    ASSERT_NO_FATAL_FAILURE(MakeOutsideFile(namesake));

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine(std::string("/quiet /items:") + NetPlan + ";" + VexaDemo + ";" +
                                               SharedLibraryItemText));

    EXPECT_EQ(0u, ExitCode);
    ExpectNetPlanFilesGone();
    EXPECT_FALSE(ExistsAbsolute(product + "\\vexademo.exe"));
    EXPECT_FALSE(UninstallEntryExists(VexaDemo));
    for (const char* name : SharedLibraryFiles)
        EXPECT_FALSE(ExistsAbsolute(RealSystemFolder() + "\\" + name)) << name;
    EXPECT_TRUE(EntryInView(NetPlan, KEY_WOW64_64KEY));
    for (const std::string& file : sixtyFourBitFiles)
        EXPECT_TRUE(ExistsAbsolute(file)) << file;
    EXPECT_TRUE(ExistsAbsolute(namesake));
}

TEST_F(RemovalRoad, ListWritesTheTreeToStandardOutputAndRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    // Named in what the program's code page lacks: neither listed nor made anew as "Probe???Tool".
    AddWideUninstallEntry(L"Probe\u00f6\u00df\u0e01Tool", "C:\\Probe\\UninstallZolt.exe");
    const std::vector<std::wstring> entries = WideUninstallEntries();
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16));
    THandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    Program = std::make_unique<TRemoteProgram>(ProgramUnderTest);
    ASSERT_TRUE(Program->Start("/list", writer));
    writer.Reset();
    ASSERT_TRUE(Program->WaitForExit(ExitCode, 60000));
    std::string output;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reader, buffer, sizeof buffer, &read, nullptr) && read > 0)
        output.append(buffer, read);

    EXPECT_EQ(0u, ExitCode);
    // UTF-8, as a file or a pipe gets it.
    EXPECT_EQ(0u, output.find("  \xE7\xA8\x8B\xE5\xBA\x8F [partly chosen]\r\n")) << output;
    EXPECT_NE(std::string::npos, output.find("    ZOLT\xE7\xBD\x91\xE7\xBB\x9C\xE8\xAE\xA1\xE5\x88\x92 [chosen]\r\n"));
    EXPECT_EQ(std::string::npos, output.find("OtherSoft"));
    EXPECT_EQ(std::string::npos, output.find("Probe"));
    EXPECT_EQ(entries, WideUninstallEntries());
    ExpectNothingOfTheMachineRemoved();
}

// A link inside an installation folder leads nowhere: the files behind it
// stay, nothing of them is scheduled, and the box says what must go by hand.
// An installation folder that is itself a link still loses its files.
TEST_F(RemovalRoad, LinkInAnInstallationFolderIsNotFollowed)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    Seeded = true;
    ForgetTuJi();
    ASSERT_NO_FATAL_FAILURE(LinkTheInstallationFolders());

    ASSERT_NO_FATAL_FAILURE(RunRoad(true));

    ExpectLinksNotFollowed();
    EXPECT_TRUE(CompletionShowsWarning);
    const std::string& text = Completion.Text;
    EXPECT_NE(std::string::npos, text.find("以下项目需要您手动删除（共 4 项）：")) << text;
    for (const char* path : {"Apps\\NetPlan\\uninst\\udmain.exe", "Apps\\NetPlan\\uninst\\udenu.dll",
                             "Apps\\NetPlan\\uninst\\udlog3.000", "Apps\\NetPlan\\uninst"})
        EXPECT_NE(std::string::npos, text.find("    " + Path(path) + "（是链接，未删除）\r\n")) << path << text;
    EXPECT_EQ(std::string::npos, text.find("重新启动")) << text;
    EXPECT_EQ(0u, ExitCode);
    ExpectOtherVendorsUntouched();
}

TEST_F(RemovalRoad, QuietRunEndsWith1603WhenALinkWasNotFollowed)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ForgetTuJi();
    ASSERT_NO_FATAL_FAILURE(LinkTheInstallationFolders());
    MakeFolder("logs");

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /all /log:" + Path("logs\\uz.log")));

    EXPECT_EQ(1603u, ExitCode);
    ExpectLinksNotFollowed();
    std::string log = ReadLog("logs\\uz.log");
    EXPECT_NE(std::string::npos,
              log.find("  failed     file       " + Path("Apps\\NetPlan\\uninst\\udmain.exe") + " (a link: not followed)"))
        << log;
    EXPECT_NE(std::string::npos, log.find("  kept       folder     " + Path("Apps\\GangJie") +
                                          "\\ (a link; what it leads to stays)"))
        << log;
}

// "C:\Program Files\..." as Windows writes it, in quotes: the installation
// folder is read inside them, so the product's files go with its entry.
TEST_F(RemovalRoad, QuotedUninstallCommandLeadsToTheProductsFiles)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    const char TallyPad[] = "ZOLT计算簿";
    const std::string folder = "Program Files\\ZOLT 计算簿";
    AddUninstallEntry(TallyPad, {{"UninstallString", "\"" + Path(folder + "\\uninst\\UninstallZolt.exe") + "\""}});
    MakeFiles(folder, {"TallyPad.EXE", "函数说明.tpb", "钢筋比重表.tpb", "uninst\\udmain.exe", "我的计算.tpb"});

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine(std::string("/quiet /items:") + TallyPad));

    EXPECT_EQ(0u, ExitCode);
    ExpectGone({folder + "\\TallyPad.EXE", folder + "\\函数说明.tpb", folder + "\\钢筋比重表.tpb",
                folder + "\\uninst\\udmain.exe"});
    ExpectKept({folder + "\\我的计算.tpb"});
    EXPECT_FALSE(UninstallEntryExists(TallyPad));
}

// A quota library held open inside a product's folder whose own file is
// held too: everything held is scheduled, then the folders, deepest first,
// across both items; after the restart nothing the pass meant to remove is left.
TEST_F(RemovalRoad, HeldLibraryInsideAHeldProductsFolderGoesWithItAtTheRestart)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ForgetTuJi();
    DeletePath(Path("Apps\\NetPlan\\我的网络图.wlt"));
    MakeFiles("Apps\\NetPlan\\Dek", {"yl2003.dek", "安装预算例子.YSB", "土建预算例子.YSB"});
    std::string ini = "[Dek Files]\r\n";
    ini += std::string(JianZhu) + "=" + Path("Dek\\JianZhu\\hb2000jz.dek") + "\r\n";
    ini += std::string(ShiZheng) + "=" + Path("Dek\\ShiZheng\\sz2003.dek") + "\r\n";
    ini += std::string(YuanLin) + "=" + Path("Apps\\NetPlan\\Dek\\yl2003.dek") + "\r\n";
    ini += "[Options]\r\nLastProject=" + Path("Documents\\办公楼.YSB") + "\r\n";
    WriteIni(ini);
    const std::string heldFile = Path("Apps\\NetPlan\\uninst\\udmain.exe");
    const std::string heldLibrary = Path("Apps\\NetPlan\\Dek\\yl2003.dek");
    TFile fileHolder(CreateFileA(heldFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    TFile libraryHolder(
        CreateFileA(heldLibrary.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(fileHolder.IsOpen() && libraryHolder.IsOpen());

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /all"));

    EXPECT_EQ(3010u, ExitCode);
    std::vector<std::string> pending = PendingDeletions();
    auto at = [&](const std::string& path) {
        return std::find(pending.begin(), pending.end(), Path(path)) - pending.begin();
    };
    for (const char* path : {"Apps\\NetPlan\\uninst\\udmain.exe", "Apps\\NetPlan\\Dek\\yl2003.dek",
                             "Apps\\NetPlan\\uninst", "Apps\\NetPlan\\Dek", "Apps\\NetPlan"})
        ASSERT_LT(at(path), static_cast<long>(pending.size())) << path;
    EXPECT_LT(at("Apps\\NetPlan\\uninst\\udmain.exe"), at("Apps\\NetPlan\\uninst"));
    EXPECT_LT(at("Apps\\NetPlan\\Dek\\yl2003.dek"), at("Apps\\NetPlan\\uninst"));
    EXPECT_LT(at("Apps\\NetPlan\\uninst"), at("Apps\\NetPlan"));
    EXPECT_LT(at("Apps\\NetPlan\\Dek"), at("Apps\\NetPlan"));
    EXPECT_EQ(1, std::count(pending.begin(), pending.end(), Path("Apps\\NetPlan")));

    fileHolder.Reset();
    libraryHolder.Reset();
    ASSERT_TRUE(RestartWine());
    EXPECT_FALSE(Exists("Apps\\NetPlan"));
    ExpectOtherVendorsUntouched();
}

// Every user's profile, as a deployment tool running as LocalSystem needs:
// the machine's parts once, then each user's desktop, Programs, documents
// and keys. A logged-on user's hive is used where it is and stays loaded;
// a logged-off user's is loaded for the run and unloaded after it.
TEST_F(RemovalRoad, QuietAllUsersReachesEveryProfile)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ForgetTuJi();
    const std::string bobSid = "S-1-5-21-1001-2002-3003-1101", carolSid = "S-1-5-21-1001-2002-3003-1102";
    auto history = [](HKEY root) {
        for (const char* key : {"Software\\Orlaquin\\TallyPad\\Recent", "Software\\Orlaquin\\Vexa\\弈辰市政定额"}) {
            HKEY made = nullptr;
            RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr);
            RegCloseKey(made);
        }
    };
    const std::string bob = MakeProfile(bobSid, "bob", true, history);
    const std::string carol = MakeProfile(carolSid, "carol", false, history);
    // Dave's own values lead out of his profile: to a folder of the machine's
    // and to a share. Erin's account was deleted; the list still names her.
    const std::string daveSid = "S-1-5-21-1001-2002-3003-1103", erinSid = "S-1-5-21-1001-2002-3003-1104";
    MakeFolder("Fonts");
    MakeFile("Fonts\\ZOLT 网络计划.lnk");
    MakeProfile(daveSid, "dave", false, [this](HKEY root) {
        SetString(root, UserShellFoldersPath, "Desktop", Path("Fonts"));
        SetString(root, UserShellFoldersPath, "Personal", "\\\\zolt-nowhere\\share\\Documents");
    });
    AddProfileListEntry(erinSid, Path("Profiles\\erin"));
    // Zoë's folder is named outside the program's code page.
    const std::string zoeSid = "S-1-5-21-1001-2002-3003-1106";
    const std::wstring zoe = std::wstring(TWidePath::FromAnsi(Path("Profiles\\Zo")).c_str()) + L"\u00eb";
    ASSERT_TRUE(MoveFileW(TWidePath::FromAnsi(MakeProfile(zoeSid, "zoe", false)).c_str(), zoe.c_str()));
    {
        TKey entry;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, SubKey(TUserProfiles::ProfileListPath, zoeSid).c_str(),
                                               0, KEY_SET_VALUE, entry.Receive()));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(entry, L"ProfileImagePath", 0, REG_EXPAND_SZ,
                                                reinterpret_cast<const BYTE*>(zoe.c_str()),
                                                static_cast<DWORD>((zoe.size() + 1) * sizeof(wchar_t))));
    }
    const std::wstring zoeFiles[] = {zoe + L"\\Desktop\\ZOLT \u7f51\u7edc\u8ba1\u5212.lnk",
                                     zoe + L"\\Documents\\TallyPad.ini"};
    for (const std::wstring& file : zoeFiles) {
        HANDLE made = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, made);
        CloseHandle(made);
    }
    // Each user's own classes, a hive of its own: loaded while bob is logged
    // on, carol's a file in her profile.
    auto classes = [this](HKEY root) {
        MakeDocumentType("WLT", root, "");
        MakeDocumentType("OSV", root, "");
    };
    MakeClassesHive(bobSid, bob, true, classes);
    MakeClassesHive(carolSid, carol, false, classes);
    for (const std::string& profile : {bob, carol}) {
        for (const char* file : {"\\Desktop\\ZOLT 网络计划.lnk", "\\Desktop\\安装预算例子.lnk", "\\Desktop\\我的.lnk",
                                 "\\Documents\\TallyPad.ini", "\\Documents\\预算表台账.YsbTz", "\\Documents\\我的.doc"})
            MakeOutsideFile(profile + file);
    }
    const std::string carolShortcut =
        carol + "\\" + ProfilePrograms + "\\ZOLT 工程预算\\" + JianZhuShortcut + ".lnk";
    MakeOutsideFolder(carol + "\\" + ProfilePrograms + "\\ZOLT 工程预算");
    MakeOutsideFile(carolShortcut);
    DeletePath(Path(std::string(VexaGroup) + JianZhuShortcut + ".lnk"));
    MakeFolder("logs");

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /all /allusers /log:" + Path("logs\\uz.log")));

    EXPECT_EQ(0u, ExitCode);
    for (const std::string& profile : {bob, carol}) {
        for (const char* gone : {"\\Desktop\\ZOLT 网络计划.lnk", "\\Desktop\\安装预算例子.lnk", "\\Documents\\TallyPad.ini",
                                 "\\Documents\\预算表台账.YsbTz"})
            EXPECT_FALSE(ExistsAbsolute(profile + gone)) << profile + gone;
        for (const char* kept : {"\\Desktop\\我的.lnk", "\\Documents\\我的.doc"})
            EXPECT_TRUE(ExistsAbsolute(profile + kept)) << profile + kept;
    }
    // Not in the common Programs folder, so looked for in each user's own.
    EXPECT_FALSE(ExistsAbsolute(carolShortcut));
    // The logged-on user's keys went, and the hive is still loaded; the other
    // was loaded for the run and is gone again.
    EXPECT_TRUE(KeyExists(HKEY_USERS, bobSid + "\\Software\\Orlaquin"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, bobSid + "\\Software\\Orlaquin\\TallyPad"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, bobSid + "\\Software\\Orlaquin\\Vexa\\弈辰市政定额"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(carolSid)));
    EXPECT_TRUE(Exists("Fonts\\ZOLT 网络计划.lnk"));
    for (const std::wstring& file : zoeFiles)
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));
    // The document type went from each user's own classes, and only it.
    EXPECT_FALSE(KeyExists(HKEY_USERS, bobSid + "_Classes\\.WLT"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, bobSid + "_Classes\\WLTFile"));
    EXPECT_TRUE(KeyExists(HKEY_USERS, bobSid + "_Classes\\.OSV"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(carolSid + "_Classes")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, InClasses(".WLT")));
    // The running account is in the profile list too, and reached as one.
    // (Its folders are those its own "User Shell Folders" name, not the
    // scratch ones the fixture gave "Shell Folders".)
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SubKey(MakerKeyPath, "TallyPad")));
    ExpectGone({"Apps\\NetPlan\\netplan.exe", "Programs\\ZOLT 网络计划\\ZOLT 网络计划.lnk"});
    EXPECT_FALSE(UninstallEntryExists(NetPlan));
    ExpectOtherVendorsUntouched();

    std::string log = ReadLog("logs\\uz.log");
    EXPECT_NE(std::string::npos, log.find("Every user's profile is visited (/allusers)")) << log;
    for (const std::string& sid : {bobSid, carolSid})
        EXPECT_NE(std::string::npos, log.find(std::string("Removing ") + HistoryItemText + " for " + sid)) << sid;
    EXPECT_NE(std::string::npos, log.find("  deleted    shortcut   " + carolShortcut + "\r\n")) << log;
    // Said, by design, and no failure.
    EXPECT_NE(std::string::npos,
              log.find("  kept       folder     " + Path("Fonts") + " (outside the user's profile folder: not visited)"))
        << log;
    EXPECT_NE(std::string::npos, log.find("  kept       folder     \\\\zolt-nowhere\\share\\Documents (not a folder"))
        << log;
    EXPECT_NE(std::string::npos, log.find("  not found  folder     " + Path("Profiles\\erin") + " (no such profile)"))
        << log;
    EXPECT_NE(std::string::npos, log.find("  deleted    key        HKEY_USERS\\" + carolSid + "_Classes\\.WLT\r\n"))
        << log;
    // The machine's parts once, whatever the number of profiles.
    const std::string netplan = "  deleted    file       " + Path("Apps\\NetPlan\\netplan.exe");
    EXPECT_EQ(log.find(netplan), log.rfind(netplan));
    EXPECT_EQ(std::string::npos, log.find("  failed ")) << log;
}

// Programs still running hold a product's files: one started from the
// product's folder, one that only loaded a DLL of it. After the
// confirmation they are listed by name and path; "关闭程序" asks them to
// close, they do, and the files go now: the plain ending, nothing left for
// a restart.
TEST_F(RemovalRoad, RunningProgramsAreListedAndClosedOnRequest)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ASSERT_NO_FATAL_FAILURE(MakeNetPlanRunnable());
    const std::string program = Path("Apps\\NetPlan\\netplan.exe"), library = Path("Apps\\NetPlan\\uninst\\udenu.dll");
    const std::string loader = BesideTheTests("uz-holder.exe");
    const DWORD fromFolder = StartHolder(program);
    const DWORD withLibrary = StartHolder(loader, "load:" + library);

    ASSERT_NO_FATAL_FAILURE(StartProgram(std::string("/items:") + NetPlan));
    ASSERT_NO_FATAL_FAILURE(ConfirmAndAwaitHolders());
    const std::string listed = HoldersListed();
    EXPECT_NE(std::string::npos, listed.find("netplan.exe（进程 " + std::to_string(fromFolder) + "）\r\n    " + program +
                                             "\r\n"))
        << listed;
    EXPECT_NE(std::string::npos, listed.find("（进程 " + std::to_string(withLibrary) + "）\r\n    " + loader + "\r\n"))
        << listed;
    EXPECT_TRUE(Exists("Apps\\NetPlan\\netplan.exe")) << "removed before the user answered";
    // A picture of it, at the display scale of the session, beside the main window's.
    Sleep(300);
    const std::string artifacts = UZ_ARTIFACT_DIR;
    for (size_t at = 1; at <= artifacts.size(); ++at)
        if (at == artifacts.size() || artifacts[at] == '/')
            CreateDirectoryA(artifacts.substr(0, at).c_str(), nullptr);
    EXPECT_TRUE(RealInput::BringToFront(HoldersDialog));
    Program->WaitIdle();
    EXPECT_TRUE(SaveWindowPicture(HoldersDialog, artifacts + "/holders-dialog.bmp"));

    ASSERT_NO_FATAL_FAILURE(PressButton(HoldersDialog, IDC_CLOSE_PROGRAMS));
    for (auto& holder : Holders) {
        DWORD code = 1234;
        EXPECT_TRUE(holder->WaitForExit(code, 15000)) << "not asked to close, or ended otherwise";
        EXPECT_EQ(0u, code) << "ended by force";
    }
    EXPECT_TRUE(Program->WaitForWindowGone(HoldersDialog, 15000));
    EXPECT_EQ(CompletionMessage, FinishWithTheCompletionBox());
    EXPECT_EQ(0u, ExitCode);
    ExpectNetPlanFilesGone();
    EXPECT_TRUE(PendingDeletions().empty());
}

// A program that does not close when asked (it keeps its user's work) is
// listed again after the wait, never ended. "取消" (Esc) removes nothing and
// leaves the tree as it was; once the user has ended it, "重试" (Enter)
// finds nobody and the removal goes ahead.
TEST_F(RemovalRoad, ProgramThatWillNotCloseIsListedAgainAndCancelRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ASSERT_NO_FATAL_FAILURE(MakeNetPlanRunnable());
    const DWORD stubborn = StartHolder(Path("Apps\\NetPlan\\netplan.exe"), "stubborn");
    const std::string pid = "（进程 " + std::to_string(stubborn) + "）";

    ASSERT_NO_FATAL_FAILURE(StartProgram(std::string("/items:") + NetPlan));
    ASSERT_NO_FATAL_FAILURE(ConfirmAndAwaitHolders());
    ASSERT_NE(std::string::npos, HoldersListed().find(pid));
    const std::string heading = WindowText(GetDlgItem(HoldersDialog, IDC_HOLDERS_HEADING));
    HWND retry = GetDlgItem(HoldersDialog, IDOK);
    ASSERT_NO_FATAL_FAILURE(PressButton(HoldersDialog, IDC_CLOSE_PROGRAMS));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(retry); }, StepTimeout)) << "no wait for the programs";
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(retry) != FALSE; }, THoldersDlg::CloseWaitMs + 5000));
    EXPECT_TRUE(Holders[0]->IsRunning());
    EXPECT_NE(std::string::npos, HoldersListed().find(pid)) << HoldersListed();
    EXPECT_EQ(heading, WindowText(GetDlgItem(HoldersDialog, IDC_HOLDERS_HEADING)));

    const std::vector<TRemoteProgram::TItem> tree = TRemoteProgram::Flatten(Program->ReadTree(TreeWindow));
    ASSERT_TRUE(RealInput::BringToFront(HoldersDialog));
    RealInput::Key(VK_ESCAPE);
    ASSERT_TRUE(Program->WaitForWindowGone(HoldersDialog, StepTimeout));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Frame) != FALSE; }));
    ExpectNothingOfTheMachineRemoved();
    ExpectKept({"Apps\\NetPlan\\netplan.exe", "Apps\\NetPlan\\example.wlt", "Desktop\\ZOLT 网络计划.lnk"});
    const std::vector<TRemoteProgram::TItem> after = TRemoteProgram::Flatten(Program->ReadTree(TreeWindow));
    ASSERT_EQ(tree.size(), after.size());
    for (size_t i = 0; i < tree.size(); ++i)
        EXPECT_EQ(tree[i].State, after[i].State) << tree[i].Text;
    EXPECT_TRUE(Holders[0]->IsRunning());

    // Confirmed again, the user ends it and presses Enter.
    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_NO_FATAL_FAILURE(ConfirmAndAwaitHolders());
    Holders.clear();
    ASSERT_TRUE(RealInput::BringToFront(HoldersDialog));
    RealInput::Key(VK_RETURN);
    EXPECT_TRUE(Program->WaitForWindowGone(HoldersDialog, 15000));
    EXPECT_EQ(CompletionMessage, FinishWithTheCompletionBox());
    EXPECT_EQ(0u, ExitCode);
    ExpectNetPlanFilesGone();
}

// "忽略" ends as the removal always ended: what is held goes at the next
// restart and the box says so. The close box backs out like "取消".
TEST_F(RemovalRoad, IgnoringRunningProgramsLeavesTheirFilesToTheRestart)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ASSERT_NO_FATAL_FAILURE(MakeNetPlanRunnable());
    const std::string program = Path("Apps\\NetPlan\\netplan.exe");
    StartHolder(program);

    ASSERT_NO_FATAL_FAILURE(StartProgram(std::string("/items:") + NetPlan));
    ASSERT_NO_FATAL_FAILURE(ConfirmAndAwaitHolders());
    POINT closeBox;
    ASSERT_TRUE(FindCloseBox(HoldersDialog, closeBox));
    ASSERT_TRUE(RealInput::BringToFront(HoldersDialog));
    RealInput::Click(HoldersDialog, closeBox);
    ASSERT_TRUE(Program->WaitForWindowGone(HoldersDialog, StepTimeout));
    ExpectNothingOfTheMachineRemoved();

    ASSERT_NO_FATAL_FAILURE(OpenConfirmation());
    ASSERT_NO_FATAL_FAILURE(ConfirmAndAwaitHolders());
    ASSERT_NO_FATAL_FAILURE(PressButton(HoldersDialog, IDIGNORE));
    const std::string text = FinishWithTheCompletionBox();
    EXPECT_NE(std::string::npos, text.find("以下项目将在重新启动计算机后删除")) << text;
    EXPECT_NE(std::string::npos, text.find(program)) << text;
    EXPECT_EQ(0u, ExitCode);
    EXPECT_TRUE(Holders[0]->IsRunning());
    std::vector<std::string> pending = PendingDeletions();
    EXPECT_NE(pending.end(), std::find(pending.begin(), pending.end(), program));
    ExpectGone({"Apps\\NetPlan\\example.wlt", "Desktop\\ZOLT 网络计划.lnk"});
}

// Unattended, nobody is asked: the log names each process that holds
// files, with its id, its program file and what it holds, before the
// removal; the removal goes on as always and asks for the restart.
TEST_F(RemovalRoad, QuietRunLogsWhoHoldsWhatAndLeavesItToTheRestart)
{
    ASSERT_NO_FATAL_FAILURE(SeedMachine());
    ASSERT_NO_FATAL_FAILURE(MakeNetPlanRunnable());
    const std::string program = Path("Apps\\NetPlan\\netplan.exe"), library = Path("Apps\\NetPlan\\uninst\\udenu.dll");
    const std::string loader = BesideTheTests("uz-holder.exe");
    const DWORD fromFolder = StartHolder(program);
    const DWORD withLibrary = StartHolder(loader, "load:" + library);
    MakeFolder("logs");

    ASSERT_NO_FATAL_FAILURE(
        RunFromCommandLine(std::string("/quiet /items:") + NetPlan + " /log:" + Path("logs\\uz.log")));

    EXPECT_EQ(3010u, ExitCode);
    EXPECT_FALSE(ShowedWindow);
    for (auto& holder : Holders)
        EXPECT_TRUE(holder->IsRunning());
    const std::string log = ReadLog("logs\\uz.log");
    const size_t said = log.find(" Programs still running hold files to be removed");
    ASSERT_NE(std::string::npos, said) << log;
    EXPECT_LT(said, log.find("Removing ZOLT网络计划\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find("  process " + std::to_string(fromFolder) + " " + program + " (netplan.exe)\r\n"
                                          "    holds " + program + "\r\n"))
        << log;
    EXPECT_NE(std::string::npos, log.find("  process " + std::to_string(withLibrary) + " " + loader))
        << log;
    EXPECT_NE(std::string::npos, log.find("\r\n    holds " + library + "\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find("  scheduled  file       " + program)) << log;
}

// A deployment tool ends a run that passes its time limit: the log written
// so far names every file already gone, however far it got, and the same
// run started again finishes the removal.
TEST_F(RemovalRoad, RunEndedByForceLeavesALogOfWhatWentAndTheNextRunFinishes)
{
    const int products = 40, files = 30;
    auto product = [](int i) { return std::string("弈辰批量产品") + (i < 10 ? "0" : "") + std::to_string(i); };
    auto file = [&](int i, int f) {
        return "Many\\" + std::to_string(i) + "\\" + (f < 10 ? "f0" : "f") + std::to_string(f) + ".dat";
    };
    for (int i = 0; i < products; ++i) {
        std::string list;
        for (int f = 0; f < files; ++f) {
            MakeFile(file(i, f));
            list += file(i, f).substr(file(i, f).rfind('\\') + 1) + "=;";
        }
        AddUninstallEntry(product(i), {{"UninstallString", Path("Many\\" + std::to_string(i) + "\\UninstallZolt.exe")},
                                       {"InstallPath", Path("Many\\" + std::to_string(i))},
                                       {"ProgramGroup", "弈辰 " + product(i)},
                                       {"progs", list}});
    }
    MakeFolder("logs");

    // Started as a deployment tool starts it, without waiting for it.
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    std::string command = "\"" + ProgramUnderTest + "\" /quiet /all /log:" + Path("logs\\uz.log");
    ASSERT_TRUE(CreateProcessA(ProgramUnderTest.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started));
    THandle run(started.hProcess);
    CloseHandle(started.hThread);
    // Cut off once the removal is well under way, as a time limit cuts it.
    auto productsStarted = [&] {
        int started = 0;
        for (int i = 0; i < products; ++i)
            started += !Exists(file(i, 0));
        return started;
    };
    const bool underWay = WaitUntil([&] { return productsStarted() >= 3; }, 120000);
    TerminateProcess(run, 99);
    WaitForSingleObject(run, 10000);
    ASSERT_TRUE(underWay) << "the removal did not start";

    const std::string log = ReadLog("logs\\uz.log");
    EXPECT_EQ(std::string::npos, log.find("Summary:")) << "the run was not cut off";
    int gone = 0;
    std::vector<std::string> unsaid;
    for (int i = 0; i < products; ++i) {
        for (int f = 0; f < files; ++f) {
            if (Exists(file(i, f)))
                continue;
            ++gone;
            if (log.find("  deleted    file       " + Path(file(i, f)) + "\r\n") == std::string::npos)
                unsaid.push_back(file(i, f));
        }
    }
    EXPECT_GE(gone, 2 * files);
    EXPECT_LT(gone, products * files) << "the run was not cut off";
    // A cut may fall between a deletion and its line: the one file then.
    EXPECT_LE(unsaid.size(), 1u) << (unsaid.empty() ? "" : unsaid[0]);

    ASSERT_NO_FATAL_FAILURE(RunFromCommandLine("/quiet /all /log:" + Path("logs\\uz.log"), ProgramUnderTest));
    EXPECT_EQ(0u, ExitCode);
    for (int i = 0; i < products; ++i) {
        EXPECT_FALSE(UninstallEntryExists(product(i))) << product(i);
        for (int f = 0; f < files; ++f)
            EXPECT_FALSE(Exists(file(i, f))) << file(i, f);
    }
    EXPECT_NE(std::string::npos, ReadLog("logs\\uz.log").find("Summary:"));
}
