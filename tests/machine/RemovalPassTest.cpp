#include "../../catalogue/Catalogue.h"
#include "../../door/TRemovalTargets.h"
#include "../../machine/TUserProfile.h"
#include "../../removal/TRemovalPass.h"
#include "../support/Owners.h"
#include "../support/ScratchCleanup.h"
#include "../support/TScratchMachine.h"
#include <aclapi.h>
#include <algorithm>
#include <shlobj.h>
#include <cstdio>
#include <map>
#include <vector>

using Texts = std::vector<std::string>;

namespace {
const char* const Uninstall = UninstallKeyPath;
const char* const Maker = MakerKeyPath;
const char* const Settings = SettingsKeyPath;
const char QuotaGroup[] = "ZOLT 工程预算";

// A catalogued quota library whose shortcut has a name of its own.
const char Library[] = "全统建筑基础定额湖北2000基价表";
const char LibraryEntry[] = "ZOLT湖北2000建筑定额库";
const char LibraryShortcut[] = "2000湖北省建筑工程预算定额";
// A catalogued quota library whose shortcut is named after it.
const char PlainLibrary[] = "全国统一安装工程预算定额湖北2000估价表";
const char PlainLibraryEntry[] = "ZOLT2000年全统安装定额库湖北估价表";

std::string Entry(const std::string& name)
{
    return UninstallEntry(name);
}

DWORD WINAPI RemoveAllThread(void* argument)
{
    auto* job = static_cast<std::pair<TRemovalPass*, const Texts*>*>(argument);
    job->first->RemoveAll(*job->second);
    return 0;
}
} // namespace

class RemovalPassMachine : public TScratchMachine {
protected:
    void SetUp() override
    {
        TScratchMachine::SetUp();
        SeedShellFolders(UserProgramsFolder());
        WorkInScratchCwd();
    }

    // Runs the pass; returns how many document-type keys it deleted.
    int RunPass(const Texts& items) const
    {
        TRemovalPass pass(Context);
        LastLog.Text.clear();
        pass.LogTo(LastLog);
        pass.RemoveAll(items);
        LastReport = pass.GetReport();
        int keys = 0;
        for (const TRemovalReport::TRecord& record : pass.GetReport().Records())
            keys += record.Target == TRemovalReport::Key && record.Outcome == TRemovalReport::Deleted &&
                    record.Name.rfind("HKEY_LOCAL_MACHINE\\Software\\Classes\\", 0) == 0;
        return keys;
    }

    // Why the last pass did not even try `name`: the reason of its failure
    // record; NoReason when there is none.
    TRemovalReport::TReason StepOverFor(const std::string& name) const
    {
        for (const TRemovalReport::TRecord& record : LastReport.Records())
            if (record.Name == name && record.Outcome == TRemovalReport::Failed)
                return record.Reason;
        return TRemovalReport::NoReason;
    }
    bool KeptAsTheWayBack(const std::string& name) const
    {
        for (const TRemovalReport::TRecord& record : LastReport.Records())
            if (record.Name == name && record.Outcome == TRemovalReport::Kept)
                return record.Reason == TRemovalReport::WayBack;
        return false;
    }

    mutable TRemovalReport LastReport;
    // The last pass's log, as a file would receive it.
    struct TLogText : TRemovalReport::TLineSink {
        void Write(const std::string& text) override { Text += text; }
        std::string Text;
    };
    mutable TLogText LastLog;

    // An uncatalogued product whose only entry is a shortcut "S" in group "G":
    // where it is looked for tells which folders the pass read.
    void MakeShortcutProbe() const
    {
        SetString(HKEY_LOCAL_MACHINE, Entry("探针"), "InstallPath", Path("Probe"));
        SetString(HKEY_LOCAL_MACHINE, Entry("探针"), "ProgramGroup", "G");
        SetString(HKEY_LOCAL_MACHINE, Entry("探针"), "progs", "=S;");
        for (const char* file : {"Programs\\G\\S.lnk", "UserPrograms\\G\\S.lnk", "Desktop\\S.lnk"})
            MakeFile(file);
    }

    // The network plan installed in <scratch>\Plan, as its own file list has it.
    void MakeNetworkPlan() const
    {
        for (const char* file : {"netplan.exe", "example.wlt", "uninst\\udmain.exe"})
            MakeFile(std::string("Plan\\") + file);
        MakeFile("Windows\\zoltnet.hlp");
        MakeFile(InGroup("ZOLT 网络计划", "ZOLT 网络计划.lnk"));
        MakeFile("Desktop\\ZOLT 网络计划例子.lnk");
        MakeDocumentType("WLT");
    }
    bool NetworkPlanUntouched() const
    {
        return Exists("Plan\\netplan.exe") && Exists("Plan\\example.wlt") && Exists("Windows\\zoltnet.hlp") &&
               Exists(InGroup("ZOLT 网络计划", "ZOLT 网络计划.lnk")) && Exists("Desktop\\ZOLT 网络计划例子.lnk") &&
               MachineClassKey(".WLT");
    }
    bool NetworkPlanGone() const
    {
        return !Exists("Plan\\netplan.exe") && !Exists("Plan\\example.wlt") && !Exists("Windows\\zoltnet.hlp") &&
               !Exists(InGroup("ZOLT 网络计划", "ZOLT 网络计划.lnk")) && !Exists("Desktop\\ZOLT 网络计划例子.lnk") &&
               !MachineClassKey(".WLT") && !MachineClassKey("WLTFile");
    }

    // A file in the root of the current drive, removed at tear-down; false
    // when one of that name is there already and is not ours to touch.
    bool MakeRootFile(const std::string& name)
    {
        std::string path = DriveRoot() + name;
        if (!MakeNewOutsideFile(path))
            return false;
        RootFiles.push_back(path);
        return true;
    }

    Texts RootFiles;
};

class RemovalPassSetup : public RemovalPassMachine {};
class RemovalPassClassification : public RemovalPassMachine {};
class RemovalPassCatalogedProduct : public RemovalPassMachine {};
class RemovalPassSharedLibraries : public RemovalPassMachine {};
class RemovalPassHistory : public RemovalPassMachine {};
class RemovalPassKeyNames : public RemovalPassMachine {};
class RemovalPassAssociations : public RemovalPassMachine {};

class RemovalPassQuotaLibrary : public RemovalPassMachine {
protected:
    // The catalogued library in <scratch>\Lib, with what belongs to it and
    // look-alikes that do not.
    void MakeLibrary() const
    {
        for (const char* file : {"Lib\\jz2000.dek", "Lib\\other.dek", "Lib\\安装预算例子.YSB", "Lib\\土建预算例子.YSB",
                                 "Lib\\我的预算.YSB"})
            MakeFile(file);
        WriteIni("[Dek Files]\r\n" + std::string(Library) + "=" + Path("Lib\\jz2000.dek") + "\r\n其他库=" +
                 Path("Lib\\other.dek") + "\r\n[Other]\r\n" + Library + "=keep\r\n");
        MakeKey(HKEY_CURRENT_USER, std::string(Settings) + "\\" + Library + "\\Window\\Place");
        MakeKey(HKEY_CURRENT_USER, std::string(Settings) + "\\其他库");
        SetString(HKEY_CURRENT_USER, Settings, "LastFile", "a.ysb");
        MakeKey(HKEY_LOCAL_MACHINE, Entry(LibraryEntry) + "\\Sub");
        MakeKey(HKEY_LOCAL_MACHINE, Entry(Library));
        MakeKey(HKEY_LOCAL_MACHINE, Entry("ZOLT工程预算"));
        for (std::string name : {LibraryShortcut, Library, "安装预算例子", "ZOLT 工程预算", "卸载"})
            MakeFile(InGroup(QuotaGroup, name + ".lnk"));
        MakeFile(InGroup(QuotaGroup, "土建工程预算的例子.url"));
        MakeFile("UserPrograms\\ZOLT 工程预算\\" + std::string(LibraryShortcut) + ".lnk");
        MakeFile("Desktop\\安装预算例子.url");
        MakeFile("Desktop\\土建工程预算的例子.lnk");
    }
};

TEST_F(RemovalPassSetup, ProgramsFolderIsTheCommonOne)
{
    MakeShortcutProbe();
    RunPass({"探针"});
    EXPECT_FALSE(Exists("Programs\\G\\S.lnk"));
    EXPECT_TRUE(Exists("UserPrograms\\G\\S.lnk"));
    EXPECT_FALSE(Exists("Desktop\\S.lnk"));
}

TEST_F(RemovalPassSetup, WithoutCommonProgramsTheUserOnesServe)
{
    DeleteValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                "Common Programs");
    MakeShortcutProbe();
    RunPass({"探针"});
    EXPECT_TRUE(Exists("Programs\\G\\S.lnk"));
    EXPECT_FALSE(Exists("UserPrograms\\G\\S.lnk"));
}

TEST_F(RemovalPassSetup, CommonProgramsThatIsNoStringIsPassedOver)
{
    DWORD number = 1;
    SetRaw(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
           "Common Programs", REG_DWORD, &number, sizeof number);
    MakeShortcutProbe();
    RunPass({"探针"});
    EXPECT_TRUE(Exists("Programs\\G\\S.lnk"));
    EXPECT_FALSE(Exists("UserPrograms\\G\\S.lnk"));
}

TEST_F(RemovalPassClassification, EachKindIsRecognised)
{
    WriteIni("[Dek Files]\r\n甲库=C:\\甲.dek\r\n");
    TRemovalPass pass(Context);
    std::string value;
    EXPECT_EQ(TItemRemoval::QuotaLibrary, TItemRemoval::Classify("甲库", &value));
    EXPECT_EQ("C:\\甲.dek", value);
    EXPECT_EQ(TItemRemoval::CatalogedProduct, TItemRemoval::Classify("ZOLT网络计划"));
    EXPECT_EQ(TItemRemoval::SharedLibraries, TItemRemoval::Classify(SharedLibraryItemText));
    EXPECT_EQ(TItemRemoval::History, TItemRemoval::Classify("注册表中历史记录，台帐"));
    EXPECT_EQ(TItemRemoval::UncatalogedProduct, TItemRemoval::Classify("乙库"));
    EXPECT_EQ(TItemRemoval::UncatalogedProduct, TItemRemoval::Classify("zolt网络计划"));
}

TEST_F(RemovalPassClassification, DekFilesKeyWinsOverProductName)
{
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    MakeFile("Lib\\net.dek");
    WriteIni("[Dek Files]\r\nZOLT网络计划=" + Path("Lib\\net.dek") + "\r\n");

    RunPass({"ZOLT网络计划"});

    EXPECT_FALSE(Exists("Lib\\net.dek"));
    EXPECT_TRUE(NetworkPlanUntouched());
}

TEST_F(RemovalPassClassification, DekFilesKeyWinsOverHistoryText)
{
    MakeFile("Documents\\TallyPad.ini");
    MakeFile("Lib\\history.dek");
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad");
    WriteIni("[Dek Files]\r\n" + std::string(HistoryItemText) + "=" + Path("Lib\\history.dek") + "\r\n");

    RunPass({HistoryItemText});

    EXPECT_FALSE(Exists("Lib\\history.dek"));
    EXPECT_TRUE(Exists("Documents\\TallyPad.ini"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad"));
}

TEST_F(RemovalPassClassification, DekFilesKeyWithEmptyValueFallsThrough)
{
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    WriteIni("[Dek Files]\r\nZOLT网络计划=\r\n");

    RunPass({"ZOLT网络计划"});

    EXPECT_TRUE(NetworkPlanGone());
    EXPECT_EQ(Texts{"ZOLT网络计划"}, IniKeys("Dek Files"));
}

TEST_F(RemovalPassQuotaLibrary, LibraryFileGoesOthersStay)
{
    MakeLibrary();
    RunPass({Library});
    EXPECT_FALSE(Exists("Lib\\jz2000.dek"));
    EXPECT_TRUE(Exists("Lib\\other.dek"));
    EXPECT_TRUE(Exists("Lib\\我的预算.YSB"));
}

TEST_F(RemovalPassQuotaLibrary, OnlyItsKeyLeavesTheIni)
{
    MakeLibrary();
    RunPass({Library});
    FlushIniCache();
    EXPECT_EQ(Texts{"其他库"}, IniKeys("Dek Files"));
    EXPECT_EQ(Texts{Library}, IniKeys("Other"));
}

TEST_F(RemovalPassQuotaLibrary, SettingsKeyGoesWithItsSubkeys)
{
    MakeLibrary();
    RunPass({Library});
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(Settings) + "\\" + Library));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(Settings) + "\\其他库"));
    char value[16] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_CURRENT_USER, Settings, "LastFile", RRF_RT_REG_SZ, nullptr, value, &size));
}

TEST_F(RemovalPassQuotaLibrary, ShortcutIsNamedByTheCatalogue)
{
    MakeLibrary();
    RunPass({Library});
    EXPECT_FALSE(Exists(InGroup(QuotaGroup, std::string(LibraryShortcut) + ".lnk")));
    EXPECT_TRUE(Exists(InGroup(QuotaGroup, std::string(Library) + ".lnk")));
    // Found in the common programs, so the user's is not looked for.
    EXPECT_TRUE(Exists("UserPrograms\\ZOLT 工程预算\\" + std::string(LibraryShortcut) + ".lnk"));
}

TEST_F(RemovalPassQuotaLibrary, ShortcutIsLookedForInUserProgramsWhenNotInCommon)
{
    MakeLibrary();
    DeleteFileA(Path(InGroup(QuotaGroup, std::string(LibraryShortcut) + ".lnk")).c_str());
    RunPass({Library});
    EXPECT_FALSE(Exists("UserPrograms\\ZOLT 工程预算\\" + std::string(LibraryShortcut) + ".lnk"));
}

TEST_F(RemovalPassQuotaLibrary, SamplesAndTheirShortcutsGo)
{
    MakeLibrary();
    RunPass({Library});
    for (const char* gone : {"Lib\\安装预算例子.YSB", "Lib\\土建预算例子.YSB", "Desktop\\安装预算例子.url",
                             "Desktop\\土建工程预算的例子.lnk"})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_FALSE(Exists(InGroup(QuotaGroup, "安装预算例子.lnk")));
    EXPECT_FALSE(Exists(InGroup(QuotaGroup, "土建工程预算的例子.url")));
    EXPECT_TRUE(Exists(InGroup(QuotaGroup, "ZOLT 工程预算.lnk")));
    EXPECT_TRUE(Exists(InGroup(QuotaGroup, "卸载.lnk")));
}

TEST_F(RemovalPassQuotaLibrary, UninstallEntryIsTheCatalogueGroup)
{
    MakeLibrary();
    RunPass({Library});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry(LibraryEntry)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry(Library)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("ZOLT工程预算")));
}

TEST_F(RemovalPassQuotaLibrary, CatalogueRowWithoutShortcutNameUsesTheText)
{
    MakeFile("Lib\\az2000.dek");
    WriteIni("[Dek Files]\r\n" + std::string(PlainLibrary) + "=" + Path("Lib\\az2000.dek") + "\r\n");
    MakeFile(InGroup(QuotaGroup, std::string(PlainLibrary) + ".lnk"));
    MakeKey(HKEY_LOCAL_MACHINE, Entry(PlainLibraryEntry));
    MakeKey(HKEY_LOCAL_MACHINE, Entry(PlainLibrary));

    RunPass({PlainLibrary});

    EXPECT_FALSE(Exists("Lib\\az2000.dek"));
    EXPECT_FALSE(Exists(InGroup(QuotaGroup, std::string(PlainLibrary) + ".lnk")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry(PlainLibraryEntry)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry(PlainLibrary)));
}

TEST_F(RemovalPassQuotaLibrary, UncataloguedLibraryUsesItsTextForShortcutAndEntry)
{
    MakeFile("Lib\\jia.dek");
    WriteIni("[Dek Files]\r\n甲库=" + Path("Lib\\jia.dek") + "\r\n");
    MakeFile(InGroup(QuotaGroup, "甲库.lnk"));
    MakeKey(HKEY_LOCAL_MACHINE, Entry("甲库") + "\\Sub");
    MakeKey(HKEY_LOCAL_MACHINE, Entry("乙库"));
    MakeKey(HKEY_CURRENT_USER, std::string(Settings) + "\\甲库");

    RunPass({"甲库"});

    EXPECT_FALSE(Exists("Lib\\jia.dek"));
    EXPECT_FALSE(Exists(InGroup(QuotaGroup, "甲库.lnk")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry("甲库")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(Settings) + "\\甲库"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("乙库")));
}

// A relative value would name a file in whatever the current directory is:
// it is not tried, it is said, and its INI entry, the only record of where
// the file is, stays. The rest of the library still goes.
TEST_F(RemovalPassQuotaLibrary, RelativeLibraryPathIsNotTriedAndSaidSo)
{
    for (const char* decoy : {"Cwd\\lib\\jia.dek", "Cwd\\lib\\安装预算例子.YSB", "Cwd\\jia.dek"})
        MakeFile(decoy);
    WriteIni("[Dek Files]\r\n甲库=lib\\jia.dek\r\n");
    MakeKey(HKEY_LOCAL_MACHINE, Entry("甲库"));

    RunPass({"甲库"});

    for (const char* decoy : {"Cwd\\lib\\jia.dek", "Cwd\\lib\\安装预算例子.YSB", "Cwd\\jia.dek"})
        EXPECT_TRUE(Exists(decoy)) << decoy;
    EXPECT_EQ(TRemovalReport::NotAbsolute, StepOverFor("lib\\jia.dek"));
    EXPECT_EQ(Texts{"甲库"}, IniKeys("Dek Files"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry("甲库")));
}

TEST_F(RemovalPassQuotaLibrary, LibraryFolderEndsAtTheLastWholeBackslash)
{
    // The file's name holds a character whose second byte is "\".
    const std::string library = "Q\\A\x81\x5c" "B.dek";
    MakeFile(library);
    MakeFile("Q\\安装预算例子.YSB");
    MakeFile("Q\\土建预算例子.YSB");
    WriteIni("[Dek Files]\r\n甲库=" + Path(library) + "\r\n");

    RunPass({"甲库"});

    EXPECT_FALSE(Exists(library));
    EXPECT_FALSE(Exists("Q\\安装预算例子.YSB"));
    EXPECT_FALSE(Exists("Q\\土建预算例子.YSB"));
}

// A library at a drive's root ("T:\\x.dek", whose folder "T:" is that
// root), or written with "/", is one place like any other. T: is a drive of
// the tests' own.
TEST_F(RemovalPassQuotaLibrary, LibraryAtADrivesRootOrWrittenWithSlashesKeepsItsSamples)
{
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("T:\\")) << "the test session has no drive T:";
    std::string slashed = Path("Q") + "/jia.dek";
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    MakeFolder("Q");
    const std::pair<std::string, std::string> libraries[] = {{"T:\\yi.dek", "T:"}, {slashed, Path("Q")}};
    for (const auto& library : libraries) {
        const std::string folder = library.second + "\\";
        MakeOutsideFile(library.first);
        MakeOutsideFile(folder + "安装预算例子.YSB");
        MakeOutsideFile(folder + "我的预算.YSB");
        WriteIni("[Dek Files]\r\n甲库=" + library.first + "\r\n");

        RunPass({"甲库"});

        EXPECT_FALSE(ExistsAbsolute(library.first)) << library.first;
        EXPECT_FALSE(ExistsAbsolute(folder + "安装预算例子.YSB")) << library.first;
        EXPECT_TRUE(ExistsAbsolute(folder + "我的预算.YSB")) << library.first;
    }
}

// However many libraries VEXA.INI lists, each is offered whole and goes
// with its file and its INI entry; a text that names nothing (such as the
// start of a library's name) makes no key.
TEST_F(RemovalPassQuotaLibrary, FortyLongNamedLibrariesAreAllListedAndAllGo)
{
    std::vector<std::pair<std::string, std::string>> libraries;
    Texts names;
    for (int i = 0; i < 40; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Library%02d_", i);
        names.push_back(name + std::string(60, static_cast<char>('a' + i % 26)));
        const std::string file = "Lib\\" + std::to_string(i) + ".dek";
        MakeFile(file);
        libraries.emplace_back(names.back(), Path(file));
    }
    WriteQuotaLibraries(libraries);
    MakeKey(HKEY_LOCAL_MACHINE, Uninstall);
    const Texts entries = SubkeyNames(HKEY_LOCAL_MACHINE, Uninstall);

    Texts listed = TInstalledItems::Discover(Context.Dirs).QuotaLibraries;
    ASSERT_EQ(names, listed);
    listed.push_back(names.back().substr(0, 20));
    RunPass(listed);

    EXPECT_EQ(Texts{}, IniKeys(QuotaLibrarySection));
    for (int i = 0; i < 40; ++i)
        EXPECT_FALSE(Exists("Lib\\" + std::to_string(i) + ".dek")) << i;
    EXPECT_EQ(entries, SubkeyNames(HKEY_LOCAL_MACHINE, Uninstall));
    EXPECT_TRUE(LastReport.IsComplete());
}

TEST_F(RemovalPassQuotaLibrary, LibraryPathLongerThan255BytesIsNotCut)
{
    MakeFolder("Long");
    std::string folder = Path("Long") + "\\";
    std::string name = std::string(300 - folder.size(), 'n');
    std::string cut = name.substr(0, 255 - folder.size());
    MakeFile("Long\\" + cut);
    WriteIni("[Dek Files]\r\n甲库=" + folder + name + "\r\n");

    RunPass({"甲库"});

    EXPECT_TRUE(Exists("Long\\" + cut));
    EXPECT_EQ(TRemovalReport::TooLong, StepOverFor(folder + name));
    EXPECT_EQ(Texts{"甲库"}, IniKeys("Dek Files"));
}

TEST_F(RemovalPassCatalogedProduct, InstallPathAndCatalogueListRemoveTheProduct)
{
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    MakeKey(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划") + "\\Sub\\Deeper");
    MakeKey(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划演示版"));

    EXPECT_EQ(2, RunPass({"ZOLT网络计划"}));

    EXPECT_TRUE(NetworkPlanGone());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划")));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划演示版")));
}

TEST_F(RemovalPassCatalogedProduct, InstallDirIsTheUninstallStringBeforeUninst)
{
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "UninstallString",
              Path("Plan\\uninst\\UninstallZolt.exe") + " /uninst");
    RunPass({"ZOLT网络计划"});
    EXPECT_TRUE(NetworkPlanGone());
}

// As Windows writes a path with spaces: the quotes go, and so does what
// follows them.
TEST_F(RemovalPassCatalogedProduct, QuotedUninstallStringIsReadInsideItsQuotes)
{
    const std::string plan = "Program Files\\ZOLT 网络计划";
    for (const char* file : {"netplan.exe", "example.wlt", "uninst\\udmain.exe"})
        MakeFile(plan + "\\" + file);
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "UninstallString",
              "\"" + Path(plan + "\\uninst\\UninstallZolt.exe") + "\" /x \"D:\\uninst\"");
    RunPass({"ZOLT网络计划"});
    EXPECT_FALSE(Exists(plan + "\\netplan.exe"));
    EXPECT_FALSE(Exists(plan + "\\uninst\\udmain.exe"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划")));
}

// "T:\\uninst\\UninstallZolt.exe" cuts to "T:", the root of drive T:,
// a drive of the tests' own.
TEST_F(RemovalPassCatalogedProduct, InstallDirAtADrivesRootKeepsItsFiles)
{
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("T:\\")) << "the test session has no drive T:";
    MakeOutsideFile("T:\\netplan.exe");
    MakeOutsideFolder("T:\\uninst");
    MakeOutsideFile("T:\\uninst\\udmain.exe");
    MakeFile(InGroup("ZOLT 网络计划", "ZOLT 网络计划.lnk"));
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "UninstallString", "T:\\uninst\\UninstallZolt.exe");
    Context.CompleteRemoval = true;

    RunPass({"ZOLT网络计划"});

    EXPECT_FALSE(ExistsAbsolute("T:\\netplan.exe"));
    EXPECT_FALSE(ExistsAbsolute("T:\\uninst"));
    EXPECT_FALSE(Exists(InGroup("ZOLT 网络计划", "ZOLT 网络计划.lnk")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划")));
}

TEST_F(RemovalPassCatalogedProduct, InstallDirEndsBeforeTheFirstUninst)
{
    MakeNetworkPlan();
    MakeFile("Plan\\uninst\\netplan.exe");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "UninstallString",
              Path("Plan\\uninst\\uninst\\UninstallZolt.exe"));
    RunPass({"ZOLT网络计划"});
    EXPECT_FALSE(Exists("Plan\\netplan.exe"));
    EXPECT_TRUE(Exists("Plan\\uninst\\netplan.exe"));
}

TEST_F(RemovalPassCatalogedProduct, InstallPathWinsOverUninstallString)
{
    MakeNetworkPlan();
    MakeFile("Other\\netplan.exe");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "UninstallString",
              Path("Other\\uninst\\UninstallZolt.exe"));
    RunPass({"ZOLT网络计划"});
    EXPECT_FALSE(Exists("Plan\\netplan.exe"));
    EXPECT_TRUE(Exists("Other\\netplan.exe"));
}

TEST_F(RemovalPassCatalogedProduct, UninstInAnotherCaseGivesNoInstallDir)
{
    MakeNetworkPlan();
    MakeKey(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划") + "\\Sub");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "UninstallString", Path("Plan\\Uninst\\UninstallZolt.exe"));
    RunPass({"ZOLT网络计划"});
    EXPECT_TRUE(NetworkPlanUntouched());
    EXPECT_EQ(TRemovalReport::NoInstallFolder, StepOverFor("ZOLT网络计划"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划")));
}

TEST_F(RemovalPassCatalogedProduct, BackslashTrailByteBeforeUninstIsNoMarker)
{
    // "P\x81\x5cuninst" is one folder name; the marker is the later "\uninst".
    const std::string plan = "P\x81\x5c" "uninst\\Q";
    MakeFile(plan + "\\netplan.exe");
    MakeFile(plan + "\\example.wlt");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "UninstallString",
              Path(plan + "\\uninst\\UninstallZolt.exe"));
    RunPass({"ZOLT网络计划"});
    EXPECT_FALSE(Exists(plan + "\\netplan.exe"));
    EXPECT_FALSE(Exists(plan + "\\example.wlt"));
}

TEST_F(RemovalPassCatalogedProduct, ProgramGroupValueWinsOverTheCatalogue)
{
    MakeNetworkPlan();
    MakeFile(InGroup("我的网络计划", "ZOLT 网络计划.lnk"));
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "ProgramGroup", "我的网络计划");
    RunPass({"ZOLT网络计划"});
    EXPECT_FALSE(Exists(InGroup("我的网络计划", "ZOLT 网络计划.lnk")));
    EXPECT_TRUE(Exists(InGroup("ZOLT 网络计划", "ZOLT 网络计划.lnk")));
}

TEST_F(RemovalPassCatalogedProduct, ProgsValueWinsOverTheCatalogue)
{
    MakeNetworkPlan();
    MakeFile("Plan\\mine.exe");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "progs", "mine.exe=;");
    EXPECT_EQ(0, RunPass({"ZOLT网络计划"}));
    EXPECT_FALSE(Exists("Plan\\mine.exe"));
    EXPECT_TRUE(NetworkPlanUntouched());
}

// None of its files can be tried: its entry, which keeps it in the list,
// stays as the way back to them, and the user is told.
TEST_F(RemovalPassCatalogedProduct, NoInstallDirKeepsTheEntryAndSaysSo)
{
    MakeNetworkPlan();
    MakeFile("Cwd\\netplan.exe");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "DisplayName", "ZOLT 网络计划");
    Context.CompleteRemoval = true;
    RunPass({"ZOLT网络计划"});
    EXPECT_TRUE(NetworkPlanUntouched());
    EXPECT_TRUE(Exists("Cwd\\netplan.exe"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划")));
    EXPECT_EQ(TRemovalReport::NoInstallFolder, StepOverFor("ZOLT网络计划"));
    EXPECT_TRUE(KeptAsTheWayBack(std::string("HKEY_LOCAL_MACHINE\\") + Uninstall + "\\ZOLT网络计划"));
}

// Gone since the tree was built: it is not made anew by looking for it,
// and what was not there is said to be not found, never deleted.
TEST_F(RemovalPassCatalogedProduct, EntryThatWentMeanwhileIsNeitherMadeNorSaidDeleted)
{
    MakeNetworkPlan();
    RunPass({"ZOLT网络计划", "我的产品"});
    EXPECT_TRUE(NetworkPlanUntouched());
    for (const char* entry : {"ZOLT网络计划", "我的产品"}) {
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry(entry))) << entry;
        const std::string name = std::string("HKEY_LOCAL_MACHINE\\") + Uninstall + "\\" + entry;
        size_t notFound = 0;
        for (const TRemovalReport::TRecord& record : LastReport.Records()) {
            if (record.Name == name) {
                EXPECT_EQ(TRemovalReport::NotFound, record.Outcome) << entry;
                ++notFound;
            }
        }
        EXPECT_EQ(1u, notFound) << entry;
    }
    EXPECT_TRUE(LastReport.IsComplete());
}

TEST_F(RemovalPassSharedLibraries, OnlyTheFiveSystemLibrariesGo)
{
    const char* const libraries[] = {"bds52f.dll", "cw3230.dll", "owl52f.dll", "GridPort.dll", "PageViewDlg.dll"};
    for (const char* name : libraries) {
        MakeFile(std::string("Windows\\System32\\") + name);
        MakeFile(std::string("Windows\\") + name);
        MakeFile(std::string("Cwd\\") + name);
    }
    MakeFile("Windows\\System32\\other.dll");
    MakeFolder("Cwd\\uninst");
    SetString(HKEY_LOCAL_MACHINE, Entry(SharedLibraryItemText), "InstallPath", Path("Windows\\System32"));
    MakeKey(HKEY_LOCAL_MACHINE, InClasses(".dll"));
    Context.CompleteRemoval = true;

    EXPECT_EQ(0, RunPass({SharedLibraryItemText}));

    for (const char* name : libraries) {
        EXPECT_FALSE(Exists(std::string("Windows\\System32\\") + name)) << name;
        EXPECT_TRUE(Exists(std::string("Windows\\") + name)) << name;
        EXPECT_TRUE(Exists(std::string("Cwd\\") + name)) << name;
    }
    for (const char* kept : {"Windows\\System32\\other.dll", "Cwd\\uninst", "Programs", "Windows\\System32"})
        EXPECT_TRUE(Exists(kept)) << kept;
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry(SharedLibraryItemText)));
    EXPECT_TRUE(MachineClassKey(".dll"));
}

TEST_F(RemovalPassHistory, TallyFilesAndZoltnetIniGo)
{
    for (const char* file : {"Documents\\TallyPad.ini", "Documents\\预算表台账.YsbTz", "Windows\\zoltnet.ini",
                             "Documents\\other.ini", "Windows\\zoltnet.hlp", "Windows\\TallyPad.ini"})
        MakeFile(file);
    RunPass({HistoryItemText});
    EXPECT_FALSE(Exists("Documents\\TallyPad.ini"));
    EXPECT_FALSE(Exists("Documents\\预算表台账.YsbTz"));
    EXPECT_FALSE(Exists("Windows\\zoltnet.ini"));
    EXPECT_TRUE(Exists("Documents\\other.ini"));
    EXPECT_TRUE(Exists("Windows\\zoltnet.hlp"));
    EXPECT_TRUE(Exists("Windows\\TallyPad.ini"));
}

TEST_F(RemovalPassHistory, EveryMakerSubkeyGoesTheMakerKeyStays)
{
    MakeKey(HKEY_CURRENT_USER, std::string(Settings) + "\\Recent\\Files\\One");
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad\\Settings");
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\网络计划");
    // A name the code page cannot write goes by the name Windows holds.
    TKey foreign;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Orlaquin\\Zo\u00eb\\Recent", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, foreign.Receive(), nullptr));
    foreign.Reset();
    SetString(HKEY_CURRENT_USER, Maker, "Company", "x");
    MakeKey(HKEY_CURRENT_USER, "Software\\Other\\Keep");
    MakeKey(HKEY_CURRENT_USER, "Software\\Orlaquin2");

    RunPass({HistoryItemText});

    HKEY maker;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Maker, 0, KEY_READ, &maker));
    DWORD subkeys = 99, values = 0;
    RegQueryInfoKeyA(maker, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(maker);
    EXPECT_EQ(0u, subkeys);
    EXPECT_EQ(1u, values);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Other\\Keep"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Orlaquin2"));
}

TEST_F(RemovalPassHistory, WithoutDocumentsFolderNoTallyFileIsLookedForElsewhere)
{
    DeleteValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                "Personal");
    MakeFile("Cwd\\TallyPad.ini");
    MakeFile("Cwd\\预算表台账.YsbTz");
    bool rooted = MakeRootFile("TallyPad.ini") && MakeRootFile("预算表台账.YsbTz");

    RunPass({HistoryItemText});

    EXPECT_TRUE(Exists("Cwd\\TallyPad.ini"));
    EXPECT_TRUE(Exists("Cwd\\预算表台账.YsbTz"));
    EXPECT_EQ(TRemovalReport::NoFolder, StepOverFor("TallyPad.ini"));
    if (!rooted)
        GTEST_SKIP() << "tally files already sit in the drive root";
    for (const std::string& file : RootFiles)
        EXPECT_TRUE(ExistsAbsolute(file)) << file;
}

TEST_F(RemovalPassHistory, WithoutWindowsDirectoryNoZoltnetIniIsLookedForElsewhere)
{
    Context.Dirs.WindowsDir.clear();
    MakeFile("Cwd\\zoltnet.ini");
    if (!MakeRootFile("zoltnet.ini"))
        GTEST_SKIP() << "a zoltnet.ini already sits in the drive root";
    RunPass({HistoryItemText});
    EXPECT_TRUE(Exists("Cwd\\zoltnet.ini"));
    EXPECT_TRUE(ExistsAbsolute(RootFiles.front()));
}

namespace {
// Sets what everyone may do with a key: with KEY_READ alone it can no longer
// be opened for deleting.
bool SetKeyAccess(HKEY root, const std::string& path, DWORD access)
{
    TKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, key.Receive()) != ERROR_SUCCESS)
        return false;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    CreateWellKnownSid(WinWorldSid, nullptr, sid, &sidSize);
    EXPLICIT_ACCESS_A entry = {};
    entry.grfAccessPermissions = access;
    entry.grfAccessMode = SET_ACCESS;
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.ptstrName = reinterpret_cast<LPSTR>(sid);
    PACL acl = nullptr;
    bool done = SetEntriesInAclA(1, &entry, nullptr, &acl) == ERROR_SUCCESS &&
                SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
    LocalFree(acl);
    return done;
}
} // namespace

TEST_F(RemovalPassHistory, UndeletableSubkeyDoesNotStopTheLoop)
{
    const std::string deep = std::string(Maker) + "\\A\\Locked";
    const std::string top = std::string(Maker) + "\\M";
    MakeKey(HKEY_CURRENT_USER, deep);
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\A\\Z");
    MakeKey(HKEY_CURRENT_USER, top);
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\Z\\Inner");
    MakeKey(HKEY_CURRENT_USER, std::string(Settings) + "\\Recent");
    ASSERT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, deep, KEY_READ));
    ASSERT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, top, KEY_READ));
    HKEY probe;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, top.c_str(), 0, KEY_ALL_ACCESS, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        SetKeyAccess(HKEY_CURRENT_USER, deep, KEY_ALL_ACCESS);
        SetKeyAccess(HKEY_CURRENT_USER, top, KEY_ALL_ACCESS);
        GTEST_SKIP() << "this registry lets a read-only key be opened for everything";
    }

    TRemovalPass pass(Context);
    Texts items{HistoryItemText};
    std::pair<TRemovalPass*, const Texts*> job(&pass, &items);
    HANDLE thread = CreateThread(nullptr, 0, RemoveAllThread, &job, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    DWORD waited = WaitForSingleObject(thread, 20000);
    if (waited != WAIT_OBJECT_0) {
        // Spinning for good: the process cannot go on with it.
        ADD_FAILURE() << "the removal pass did not finish";
        TerminateThread(thread, 1);
    }
    CloseHandle(thread);

    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, deep));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, top));
    // What stayed is said: the two keys that would not go, nothing else.
    std::vector<std::string> failed;
    for (const TRemovalReport::TRecord& record : pass.GetReport().Records())
        if (record.Outcome == TRemovalReport::Failed)
            failed.push_back(record.Name);
    EXPECT_EQ((Texts{"HKEY_CURRENT_USER\\Software\\Orlaquin\\A", "HKEY_CURRENT_USER\\Software\\Orlaquin\\M"}), failed);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(Maker) + "\\A\\Z"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(Maker) + "\\Z"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Settings));

    EXPECT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, deep, KEY_ALL_ACCESS));
    EXPECT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, top, KEY_ALL_ACCESS));
}

// The history's keys are the user's own: a registry link among them goes as
// the link, and what it leads to (here a key of the user's elsewhere, or the
// maker's key itself) stays; so does all behind a maker key that is a link.
TEST_F(RemovalPassHistory, LinksGoAsLinksAndWhatTheyLeadToStays)
{
    auto linkThere = [](const std::string& path) {
        TKey key;
        return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, key.Receive()) ==
               ERROR_SUCCESS;
    };
    const std::string precious = "Software\\Precious";
    SetString(HKEY_CURRENT_USER, precious + "\\Inner", "Keep", "1");
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad");
    MakeRegistryLink(HKEY_CURRENT_USER, std::string(Maker) + "\\Ledger", HKEY_CURRENT_USER, precious);
    MakeRegistryLink(HKEY_CURRENT_USER, std::string(Settings) + "\\Loop", HKEY_CURRENT_USER, Maker);

    RunPass({HistoryItemText});

    EXPECT_EQ("1", ReadString(HKEY_CURRENT_USER, precious + "\\Inner", "Keep"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Maker));
    for (const char* gone : {"\\TallyPad", "\\Ledger", "\\Vexa"})
        EXPECT_FALSE(linkThere(Maker + std::string(gone))) << gone;
    std::string log = LastLog.Text;
    EXPECT_NE(std::string::npos,
              log.find("  deleted    key        HKEY_CURRENT_USER\\Software\\Orlaquin\\Ledger (link, removed as a link)\r\n"))
        << log;
    EXPECT_EQ(0u, LastReport.Count(TRemovalReport::Failed)) << log;

    DeleteRegistryTree(HKEY_CURRENT_USER, Maker);
    MakeRegistryLink(HKEY_CURRENT_USER, Maker, HKEY_CURRENT_USER, precious);
    RunPass({HistoryItemText});
    EXPECT_FALSE(linkThere(Maker));
    EXPECT_EQ("1", ReadString(HKEY_CURRENT_USER, precious + "\\Inner", "Keep"));
}

// Windows holds folder names in Unicode, and an ANSI program is given "?"
// for what its code page lacks. The user's folders are taken as Windows
// holds them: a user called Zoë loses her history files, and nobody's "?"
// is ever looked for as a wildcard.
TEST_F(RemovalPassHistory, FolderNamedOutsideTheCodePageIsActedOnAsWindowsHoldsIt)
{
    std::wstring documents = std::wstring(TWidePath::FromAnsi(Path("Zo")).c_str()) + L"\u00eb Documents";
    ASSERT_TRUE(CreateDirectoryW(documents.c_str(), nullptr));
    for (const wchar_t* name : {L"\\TallyPad.ini", L"\\\u9884\u7b97\u8868\u53f0\u8d26.YsbTz"}) {
        HANDLE file = CreateFileW((documents + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    TKey shellFolders;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, ShellFoldersPath, 0, KEY_SET_VALUE, shellFolders.Receive()));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(shellFolders, L"Personal", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(documents.c_str()),
                                            static_cast<DWORD>((documents.size() + 1) * sizeof(wchar_t))));

    RunPass({HistoryItemText});

    for (const wchar_t* name : {L"\\TallyPad.ini", L"\\\u9884\u7b97\u8868\u53f0\u8d26.YsbTz"})
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((documents + name).c_str()));
    size_t filesGone = 0;
    for (const TRemovalReport::TRecord& record : LastReport.Records())
        filesGone += record.Target == TRemovalReport::File && record.Outcome == TRemovalReport::Deleted;
    EXPECT_EQ(2u, filesGone) << LastLog.Text;
}

// A maker key the run may not open (its DACL shuts the account out) is no
// silent success: what stays there is for the user.
TEST_F(RemovalPassHistory, MakerKeyItMayNotOpenIsAFailure)
{
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad");
    ASSERT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, Maker, KEY_READ));
    RunPass({HistoryItemText});
    EXPECT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, Maker, KEY_ALL_ACCESS));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad"));
    bool said = false;
    for (const TRemovalReport::TRecord& record : LastReport.Records())
        said = said || (record.Name == "HKEY_CURRENT_USER\\Software\\Orlaquin" &&
                        record.Outcome == TRemovalReport::Failed && record.Error == ERROR_ACCESS_DENIED);
    EXPECT_TRUE(said) << LastLog.Text;
}

class RemovalPassUncatalogedProduct : public RemovalPassMachine {
protected:
    void MakeProduct() const
    {
        MakeFile("Mine\\mine.exe");
        MakeFile("Mine\\uninst\\u.exe");
        MakeFile(InGroup("我的组", "我的程序.lnk"));
        MakeFile("Desktop\\我的程序.lnk");
        MakeDocumentType("MYP");
        SetString(HKEY_LOCAL_MACHINE, Entry("我的产品"), "InstallPath", Path("Mine"));
        SetString(HKEY_LOCAL_MACHINE, Entry("我的产品"), "ProgramGroup", "我的组");
        SetString(HKEY_LOCAL_MACHINE, Entry("我的产品"), "progs", "mine.exe=我的程序,MYP;uninst\\u.exe=;");
    }
    bool Untouched() const
    {
        return Exists("Mine\\mine.exe") && Exists("Mine\\uninst\\u.exe") && Exists(InGroup("我的组", "我的程序.lnk")) &&
               Exists("Desktop\\我的程序.lnk") && MachineClassKey(".MYP") &&
               KeyExists(HKEY_LOCAL_MACHINE, Entry("我的产品"));
    }
};

TEST_F(RemovalPassUncatalogedProduct, AllThreeValuesRemoveFilesAndEntry)
{
    MakeProduct();
    MakeKey(HKEY_LOCAL_MACHINE, Entry("我的产品") + "\\Sub");
    MakeKey(HKEY_LOCAL_MACHINE, Entry("别的产品"));
    EXPECT_EQ(2, RunPass({"我的产品"}));
    for (const char* gone : {"Mine\\mine.exe", "Mine\\uninst\\u.exe", "Desktop\\我的程序.lnk"})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_FALSE(Exists(InGroup("我的组", "我的程序.lnk")));
    EXPECT_FALSE(MachineClassKey(".MYP"));
    EXPECT_FALSE(MachineClassKey("MYPFile"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry("我的产品")));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("别的产品")));
}

TEST_F(RemovalPassUncatalogedProduct, WithoutInstallPathNothingGoes)
{
    MakeProduct();
    DeleteValue(HKEY_LOCAL_MACHINE, Entry("我的产品"), "InstallPath");
    SetString(HKEY_LOCAL_MACHINE, Entry("我的产品"), "UninstallString", Path("Mine\\uninst\\UninstallZolt.exe"));
    RunPass({"我的产品"});
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(TRemovalReport::MissingValues, StepOverFor("我的产品"));
}

TEST_F(RemovalPassUncatalogedProduct, WithoutProgramGroupNothingGoes)
{
    MakeProduct();
    DeleteValue(HKEY_LOCAL_MACHINE, Entry("我的产品"), "ProgramGroup");
    RunPass({"我的产品"});
    EXPECT_TRUE(Untouched());
}

TEST_F(RemovalPassUncatalogedProduct, WithoutProgsNothingGoes)
{
    MakeProduct();
    DeleteValue(HKEY_LOCAL_MACHINE, Entry("我的产品"), "progs");
    RunPass({"我的产品"});
    EXPECT_TRUE(Untouched());
}

TEST_F(RemovalPassUncatalogedProduct, ValueThatIsNoStringCountsAsMissing)
{
    MakeProduct();
    const char bytes[] = "我的组";
    SetRaw(HKEY_LOCAL_MACHINE, Entry("我的产品"), "ProgramGroup", REG_BINARY, bytes, sizeof bytes);
    RunPass({"我的产品"});
    EXPECT_TRUE(Untouched());
}

// A file part that cannot be placed is not tried, and the entry stays as
// the way back to it; the rest of the product goes.
TEST_F(RemovalPassUncatalogedProduct, FilePartThatCannotBePlacedKeepsTheEntry)
{
    const std::pair<const char*, const char*> parts[] = {{"$q\\x.dat", "\\x.dat"}, {"C:x.dat", "C:x.dat"}};
    for (const auto& part : parts) {
        MakeProduct();
        SetString(HKEY_LOCAL_MACHINE, Entry("我的产品"), "progs",
                  std::string("mine.exe=我的程序,MYP;") + part.first + "=;uninst\\u.exe=;");
        RunPass({"我的产品"});
        EXPECT_FALSE(Exists("Mine\\mine.exe")) << part.first;
        EXPECT_FALSE(MachineClassKey(".MYP")) << part.first;
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("我的产品"))) << part.first;
        EXPECT_EQ(TRemovalReport::NotAbsolute, StepOverFor(part.second)) << part.first;
        EXPECT_TRUE(KeptAsTheWayBack(std::string("HKEY_LOCAL_MACHINE\\") + Uninstall + "\\我的产品")) << part.first;
    }
}

TEST_F(RemovalPassKeyNames, EmptyOrBackslashTextDeletesNoKey)
{
    // Values on the uninstall key itself, for a pass that took it as the entry.
    SetString(HKEY_LOCAL_MACHINE, Uninstall, "InstallPath", Path("Mine"));
    SetString(HKEY_LOCAL_MACHINE, Uninstall, "ProgramGroup", "我的组");
    SetString(HKEY_LOCAL_MACHINE, Uninstall, "progs", "mine.exe=我的程序;");
    MakeFile("Mine\\mine.exe");
    MakeFile(InGroup("我的组", "我的程序.lnk"));
    MakeKey(HKEY_LOCAL_MACHINE, Entry("Keep"));
    MakeKey(HKEY_CURRENT_USER, std::string(Settings) + "\\Keep");
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\Keep");

    RunPass({"", "\\", "\\\\"});

    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("Keep")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(Settings) + "\\Keep"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(Maker) + "\\Keep"));
    EXPECT_TRUE(Exists("Mine\\mine.exe"));
    EXPECT_TRUE(Exists(InGroup("我的组", "我的程序.lnk")));
    EXPECT_EQ(TRemovalReport::NotAKeyName, StepOverFor(std::string("HKEY_LOCAL_MACHINE\\") + Uninstall + "\\\\"));
}

TEST_F(RemovalPassKeyNames, BackslashQuotaLibraryDeletesNoKey)
{
    MakeFile("Lib\\a.dek");
    MakeFile("Lib\\b.dek");
    WriteIni("[Dek Files]\r\n\\=" + Path("Lib\\a.dek") + "\r\n\\\\=" + Path("Lib\\b.dek") + "\r\n");
    MakeKey(HKEY_LOCAL_MACHINE, Entry("Keep"));
    MakeKey(HKEY_CURRENT_USER, std::string(Settings) + "\\Keep");
    {
        TRemovalPass pass(Context);
        ASSERT_EQ(TItemRemoval::QuotaLibrary, TItemRemoval::Classify("\\"));
        ASSERT_EQ(TItemRemoval::QuotaLibrary, TItemRemoval::Classify("\\\\"));
    }

    RunPass({"\\", "\\\\"});

    EXPECT_FALSE(Exists("Lib\\a.dek"));
    EXPECT_FALSE(Exists("Lib\\b.dek"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry("Keep")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(Settings) + "\\Keep"));
}

TEST_F(RemovalPassAssociations, CountsDocumentTypeKeysOverAllItems)
{
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    MakeFile("Budget\\vexa.exe");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT工程预算"), "InstallPath", Path("Budget"));
    MakeDocumentType("YSB");
    MakeKey(HKEY_LOCAL_MACHINE, InClasses(".DEK"));
    MakeFile("Lib\\jia.dek");
    MakeFile("Lib\\安装预算例子.YSB");
    WriteIni("[Dek Files]\r\n甲库=" + Path("Lib\\jia.dek") + "\r\n");

    EXPECT_EQ(5, RunPass({"ZOLT网络计划", "甲库", "ZOLT工程预算", HistoryItemText}));
}

TEST_F(RemovalPassAssociations, NoneForItemsWithoutDocumentTypes)
{
    MakeDocumentType("YSB");
    MakeDocumentType("WLT");
    EXPECT_EQ(0, RunPass({HistoryItemText, SharedLibraryItemText, "乙库"}));
    EXPECT_TRUE(MachineClassKey(".YSB"));
    EXPECT_TRUE(MachineClassKey(".WLT"));
}

namespace {
// Each key's outcome in the report, by name.
std::map<std::string, TRemovalReport::TOutcome> KeyOutcomes(const TRemovalReport& report)
{
    std::map<std::string, TRemovalReport::TOutcome> outcomes;
    for (const TRemovalReport::TRecord& record : report.Records())
        if (record.Target == TRemovalReport::Key)
            outcomes[record.Name] = record.Outcome;
    return outcomes;
}
} // namespace

// HKEY_CLASSES_ROOT answers from the user's own classes where they have the
// type, from the machine's otherwise: the type goes from both, each said
// under its own name. The user's other types stay.
TEST_F(RemovalPassAssociations, DocumentTypeGoesFromTheMachinesClassesAndTheUsersOwn)
{
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    MakeDocumentType("WLT", HKEY_CURRENT_USER);
    MakeDocumentType("YSB", HKEY_CURRENT_USER);

    EXPECT_EQ(2, RunPass({"ZOLT网络计划"}));

    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(KeyExists(root, InClasses(".WLT")));
        EXPECT_FALSE(KeyExists(root, InClasses("WLTFile")));
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, InClasses(".YSB")));
    std::map<std::string, TRemovalReport::TOutcome> outcomes = KeyOutcomes(LastReport);
    for (const char* key : {"HKEY_LOCAL_MACHINE\\Software\\Classes\\.WLT", "HKEY_LOCAL_MACHINE\\Software\\Classes\\WLTFile",
                            "HKEY_CURRENT_USER\\Software\\Classes\\.WLT", "HKEY_CURRENT_USER\\Software\\Classes\\WLTFile"})
        EXPECT_EQ(TRemovalReport::Deleted, outcomes.count(key) ? outcomes[key] : TRemovalReport::Failed) << key;
}

// With every profile, each user's own classes: the hive where it is loaded
// (a logged-on user), else the profile's UsrClass.dat, loaded for the run
// and unloaded after; where the profile has none, those in the user's hive
// itself, as Wine keeps them. Classes that cannot be loaded are said, and
// the other profiles go on. (Wine never writes a loaded hive back, so what
// went from a file loaded for the run shows in the report only.)
TEST_F(RemovalPassAssociations, EveryProfileLosesTheDocumentTypeFromItsOwnClasses)
{
    const std::string alice = "S-1-5-21-4444-5555-6666-1001", bob = "S-1-5-21-4444-5555-6666-1002",
                      carol = "S-1-5-21-4444-5555-6666-1003", dave = "S-1-5-21-4444-5555-6666-1004";
    auto types = [this](HKEY classes) {
        MakeDocumentType("WLT", classes, "");
        MakeDocumentType("YSB", classes, "");
    };
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    MakeClassesHive(alice, MakeProfile(alice, "alice", true), true, types);
    MakeClassesHive(bob, MakeProfile(bob, "bob", false), false, types);
    MakeProfile(carol, "carol", false, [&](HKEY hive) { MakeDocumentType("WLT", hive); });
    std::string damaged("regf\x01\x00\x00\x00\x01\x00\x00\x00", 12);
    damaged.resize(4096, '\0');
    MakeProfile(dave, "dave", false);
    MakeFile("Profiles\\dave\\" + std::string(TUserProfile::ClassesHiveFile), damaged);
    ASSERT_TRUE(KeyExists(HKEY_USERS, alice + "_Classes\\.WLT"));
    Context.EveryProfile = true;

    RunPass({"ZOLT网络计划"});

    EXPECT_FALSE(MachineClassKey(".WLT"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, alice + "_Classes\\.WLT"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, alice + "_Classes\\WLTFile"));
    EXPECT_TRUE(KeyExists(HKEY_USERS, alice + "_Classes\\.YSB"));
    std::map<std::string, TRemovalReport::TOutcome> outcomes = KeyOutcomes(LastReport);
    for (const std::string& key : {"HKEY_USERS\\" + alice + "_Classes\\.WLT", "HKEY_USERS\\" + bob + "_Classes\\.WLT",
                                   "HKEY_USERS\\" + bob + "_Classes\\WLTFile",
                                   "HKEY_USERS\\" + carol + "\\Software\\Classes\\.WLT",
                                   "HKEY_USERS\\" + carol + "\\Software\\Classes\\WLTFile"})
        EXPECT_EQ(TRemovalReport::Deleted, outcomes.count(key) ? outcomes[key] : TRemovalReport::Failed) << key;
    EXPECT_EQ(TRemovalReport::ClassesNotOpened, StepOverFor("HKEY_USERS\\" + dave + "_Classes"));
    for (const std::string& sid : {alice, bob, carol, dave}) {
        EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(sid + "_Classes"))) << sid;
        EXPECT_FALSE(KeyExists(HKEY_USERS, TUserProfile::LoadedName(sid))) << sid;
    }
    EXPECT_TRUE(KeyExists(HKEY_USERS, alice + "_Classes")) << "the logged-on user's classes were unloaded";
}

namespace {
const UINT ShellNotice = WM_APP + 7;
int NoticesHeard;

LRESULT CALLBACK CountNotices(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == ShellNotice)
        ++NoticesHeard;
    return DefWindowProcA(window, msg, wParam, lParam);
}

// A hidden window registered with the shell for association changes; the
// shell may post or send its notice, so the window procedure counts them.
struct TShellListener {
    TShellListener()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &CountNotices;
        wc.lpszClassName = "UzShellListener";
        RegisterClassA(&wc);
        NoticesHeard = 0;
        Window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SHChangeNotifyEntry entry = {nullptr, TRUE};
        Registration = SHChangeNotifyRegister(Window, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ASSOCCHANGED,
                                              ShellNotice, 1, &entry);
    }
    ~TShellListener()
    {
        if (Registration)
            SHChangeNotifyDeregister(Registration);
        DestroyWindow(Window);
    }
    int Heard()
    {
        MSG msg;
        for (int round = 0; round < 20; ++round) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(10);
        }
        return NoticesHeard;
    }
    HWND Window;
    ULONG Registration;
};
} // namespace

TEST_F(RemovalPassAssociations, ShellHearsOnceWhenAssociationsWent)
{
    TShellListener listener;
    ASSERT_NE(0u, listener.Registration);
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    MakeDocumentType("WLT");
    MakeDocumentType("YSB");
    MakeFile("Budget\\vexa.exe");
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT工程预算"), "InstallPath", Path("Budget"));

    ASSERT_GT(RunPass({"ZOLT网络计划", "ZOLT工程预算"}), 0);

    EXPECT_EQ(1, listener.Heard());
}

TEST_F(RemovalPassAssociations, ShellHearsNothingWhenNoAssociationWent)
{
    TShellListener listener;
    ASSERT_NE(0u, listener.Registration);
    RunPass({HistoryItemText});
    EXPECT_EQ(0, listener.Heard());
}

// Finding what a removal would delete is the removal itself, run without
// deleting: it touches nothing (no file, folder, key or INI entry goes, no
// key is made), and names exactly the files the removal then deletes, plus
// the products' folders, in which anything running belongs to a product.
class RemovalPassFinding : public RemovalPassQuotaLibrary {
protected:
    // Every file and folder under the scratch folder.
    Texts Listing(const std::string& folder = "") const
    {
        Texts found;
        WIN32_FIND_DATAA entry;
        TFind search(FindFirstFileA(Path(folder.empty() ? "*" : folder + "\\*").c_str(), &entry));
        if (!search.IsOpen())
            return found;
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string relative = folder.empty() ? name : folder + "\\" + name;
            found.push_back(relative);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                for (const std::string& inner : Listing(relative))
                    found.push_back(inner);
        } while (FindNextFileA(search, &entry));
        return found;
    }
};

TEST_F(RemovalPassFinding, FindsWhatTheRemovalDeletesAndTouchesNothing)
{
    Context.CompleteRemoval = true;
    MakeNetworkPlan();
    SetString(HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划"), "InstallPath", Path("Plan"));
    MakeFile("Plan\\我的网络图.wlt");
    MakeFile(InGroup("ZOLT 网络计划", "卸载.lnk"));
    MakeLibrary();
    for (const char* file : {"Documents\\TallyPad.ini", "Windows\\zoltnet.ini"})
        MakeFile(file);
    MakeKey(HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad");
    const Texts items = {"ZOLT网络计划", Library, HistoryItemText, "已卸载的产品"};
    const Texts before = Listing();
    const Texts iniBefore = IniKeys("Dek Files");

    const TRemovalTargets found = TRemovalPass::FindTargets(Context, items);

    EXPECT_EQ(before, Listing());
    EXPECT_EQ(iniBefore, IniKeys("Dek Files"));
    const std::pair<HKEY, std::string> keys[] = {{HKEY_LOCAL_MACHINE, Entry("ZOLT网络计划")},
                                                 {HKEY_LOCAL_MACHINE, Entry(LibraryEntry)},
                                                 {HKEY_LOCAL_MACHINE, InClasses(".WLT")},
                                                 {HKEY_CURRENT_USER, std::string(Settings) + "\\" + Library},
                                                 {HKEY_CURRENT_USER, std::string(Maker) + "\\TallyPad"}};
    for (const auto& key : keys)
        EXPECT_TRUE(KeyExists(key.first, key.second)) << key.second;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry("已卸载的产品")));
    // Whatever runs from the product's folder holds its files, listed or not.
    EXPECT_TRUE(found.Touches(TWidePath::Full(Path("Plan\\我的网络图.wlt"))));
    EXPECT_FALSE(found.Touches(TWidePath::Full(Path("Lib\\other.dek"))));

    RunPass(items);
    Texts deleted;
    for (const TRemovalReport::TRecord& record : LastReport.Records())
        if (record.Outcome == TRemovalReport::Deleted &&
            (record.Target == TRemovalReport::File || record.Target == TRemovalReport::Shortcut))
            deleted.push_back(record.Name);
    ASSERT_GE(deleted.size(), 10u);
    EXPECT_EQ(deleted.size(), found.Files().size());
    for (const std::string& name : deleted)
        EXPECT_TRUE(found.Touches(TWidePath::Full(name))) << name;
}
