#include "../../removal/RemoveProductFiles.h"
#include "../support/TScratchMachine.h"
#include <algorithm>
#include <cstdio>

namespace {
const char NetworkPlanFiles[] =
    "netplan.exe=ZOLT 网络计划,WLT;example.wlt=ZOLT 网络计划例子;弈辰软件技术服务部.url=弈辰软件技术服务部;"
    "弈辰软件.url=弈辰软件;$w\\zoltnet.hlp=;uninst\\udmain.exe=;uninst\\udenu.dll=;uninst\\udlog3.000=;";
const char NetworkPlanGroup[] = "ZOLT 网络计划";

} // namespace

class ProductFilesMachine : public TScratchMachine {
protected:
    void SetUp() override
    {
        TScratchMachine::SetUp();
        WorkInScratchCwd();
        char unique[64];
        std::snprintf(unique, sizeof unique, "UzDecoy%lux%lu", GetCurrentProcessId(), GetTickCount());
        RootName = unique;
    }

    // One run, as a pass of its own: the folders that wait are looked at when it ends.
    int Run(const std::string& fileList, const std::string& group, const std::string& installDir) const
    {
        TDoor door(Report, "", nullptr);
        TProductFilesResult result =
            RemoveProductFiles(fileList, group, installDir, ProgramsFolder(), DesktopFolder(), Context, door);
        door.Files.Finish();
        return result.AssociationsRemoved;
    }

    // ".N" naming "NFile", which has the usual subkeys, an icon among them.
    void MakeDocumentType(const std::string& name) const
    {
        TScratchMachine::MakeDocumentType(name);
        MakeKey(HKEY_LOCAL_MACHINE, InClasses(name + "File\\DefaultIcon"));
    }
    bool ClassKey(const std::string& name) const { return MachineClassKey(name); }

    static std::string OnDesktop(const std::string& name) { return "Desktop\\" + name; }

    void MakeNetworkPlan() const
    {
        for (const char* file : {"netplan.exe", "example.wlt", "弈辰软件技术服务部.url", "弈辰软件.url",
                                 "uninst\\udmain.exe", "uninst\\udenu.dll", "uninst\\udlog3.000"})
            MakeFile(std::string("Plan\\") + file);
        MakeFile("Windows\\zoltnet.hlp");
        for (const char* file : {"ZOLT 网络计划.lnk", "ZOLT 网络计划例子.lnk", "弈辰软件技术服务部.url", "弈辰软件.lnk",
                                 "卸载.lnk"})
            MakeFile(InGroup(NetworkPlanGroup, file));
        for (const char* file : {"ZOLT 网络计划.lnk", "ZOLT 网络计划例子.url", "弈辰软件技术服务部.lnk", "弈辰软件.url"})
            MakeFile(OnDesktop(file));
        MakeDocumentType("WLT");
    }

    // A file under the drive root, removed with its folder at tear-down.
    std::string MakeRootFile(const std::string& relative)
    {
        size_t slash = relative.find('\\');
        if (slash != std::string::npos)
            MakeOutsideFolder(DriveRoot() + relative.substr(0, slash));
        std::string path = DriveRoot() + relative;
        MakeOutsideFile(path);
        return path;
    }

    std::string RootName;
    mutable TRemovalReport Report;
    mutable TDoor Door{Report, "", nullptr};
};

class ProductFilesExample : public ProductFilesMachine {};
class ProductFilesList : public ProductFilesMachine {};
class ProductFilesShortcuts : public ProductFilesMachine {};
class ProductFilesDocumentTypes : public ProductFilesMachine {};
class ProductFilesFolders : public ProductFilesMachine {};
class ProductFilesGuards : public ProductFilesMachine {};

TEST_F(ProductFilesExample, NetworkPlanGoesAndEverythingBesideItStays)
{
    MakeNetworkPlan();
    MakeFile("Other\\netplan.exe");
    MakeFile(InGroup("ZOLT 工程预算", "ZOLT 网络计划.lnk"));
    MakeFile(OnDesktop("ZOLT 工程预算.lnk"));
    MakeFile("Windows\\zoltnet.ini");
    MakeFile("Windows\\System32\\zoltnet.hlp");
    MakeDocumentType("WLX");
    MakeKey(HKEY_LOCAL_MACHINE, InClasses(".WL"));
    Context.CompleteRemoval = true;

    EXPECT_EQ(2, Run(NetworkPlanFiles, NetworkPlanGroup, Path("Plan")));

    for (const char* gone : {"Plan\\netplan.exe", "Plan\\example.wlt", "Plan\\弈辰软件技术服务部.url",
                             "Plan\\弈辰软件.url", "Plan\\uninst\\udmain.exe", "Plan\\uninst\\udenu.dll",
                             "Plan\\uninst\\udlog3.000", "Plan\\uninst", "Plan", "Windows\\zoltnet.hlp",
                             "Programs\\ZOLT 网络计划", "Desktop\\ZOLT 网络计划.lnk", "Desktop\\ZOLT 网络计划例子.url",
                             "Desktop\\弈辰软件技术服务部.lnk", "Desktop\\弈辰软件.url"})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_FALSE(ClassKey(".WLT"));
    EXPECT_FALSE(ClassKey("WLTFile"));

    for (const char* kept : {"Other\\netplan.exe", "Programs\\ZOLT 工程预算\\ZOLT 网络计划.lnk",
                             "Desktop\\ZOLT 工程预算.lnk", "Windows\\zoltnet.ini", "Windows\\System32\\zoltnet.hlp",
                             "Programs", "Desktop"})
        EXPECT_TRUE(Exists(kept)) << kept;
    EXPECT_TRUE(ClassKey(".WLX"));
    EXPECT_TRUE(ClassKey("WLXFile\\shell\\open\\command"));
    EXPECT_TRUE(ClassKey(".WL"));
}

TEST_F(ProductFilesList, CallersTextIsUnchangedAndServesTwice)
{
    const std::string fileList = NetworkPlanFiles;
    const std::string copy = fileList;
    MakeNetworkPlan();
    Run(fileList, NetworkPlanGroup, Path("Plan"));
    EXPECT_EQ(copy, fileList);

    MakeNetworkPlan();
    EXPECT_EQ(2, Run(fileList, NetworkPlanGroup, Path("Plan")));
    EXPECT_EQ(copy, fileList);
    for (const char* gone : {"Plan\\netplan.exe", "Plan\\uninst\\udlog3.000", "Windows\\zoltnet.hlp",
                             "Programs\\ZOLT 网络计划\\ZOLT 网络计划例子.lnk", "Desktop\\弈辰软件.url"})
        EXPECT_FALSE(Exists(gone)) << gone;
}

TEST_F(ProductFilesList, EntryWithoutEqualsSignIsPassedOver)
{
    MakeFile("Plan\\netplan.exe");
    MakeFile("Plan\\example.wlt");
    MakeFile("Plan\\readme.txt");
    Run("netplan.exe;example.wlt=;readme.txt", "", Path("Plan"));
    EXPECT_TRUE(Exists("Plan\\netplan.exe"));
    EXPECT_FALSE(Exists("Plan\\example.wlt"));
    EXPECT_TRUE(Exists("Plan\\readme.txt"));
}

TEST_F(ProductFilesList, LastEntryMayLackItsSemicolon)
{
    MakeFile("Plan\\netplan.exe");
    MakeFile("Plan\\example.wlt");
    Run("netplan.exe=;example.wlt=", "", Path("Plan"));
    EXPECT_FALSE(Exists("Plan\\netplan.exe"));
    EXPECT_FALSE(Exists("Plan\\example.wlt"));
}

TEST_F(ProductFilesList, FileNamesResolveAgainstTheirFolders)
{
    MakeFile("Windows\\a.hlp");
    MakeFile("Windows\\System32\\b.dll");
    MakeFile("Elsewhere\\c.dat");
    MakeFile("Elsewhere\\d.dat");
    MakeFile("Plan\\e.exe");
    MakeFile("Plan\\sub\\f.dat");
    // Same names where a wrong resolution would look.
    for (const char* decoy : {"Plan\\a.hlp", "Plan\\b.dll", "Windows\\b.dll", "Windows\\System32\\a.hlp",
                              "Windows\\e.exe", "Cwd\\e.exe", "Cwd\\sub\\f.dat", "Plan\\c.dat", "Plan\\d.dat"})
        MakeFile(decoy);

    std::string fileList = "$w\\a.hlp=;$y\\b.dll=;$q" + Path("Elsewhere\\c.dat") + "=;" + Path("Elsewhere\\d.dat") +
                       "=;e.exe=;sub\\f.dat=;";
    Run(fileList, "", Path("Plan"));

    for (const char* gone : {"Windows\\a.hlp", "Windows\\System32\\b.dll", "Elsewhere\\c.dat", "Elsewhere\\d.dat",
                             "Plan\\e.exe", "Plan\\sub\\f.dat"})
        EXPECT_FALSE(Exists(gone)) << gone;
    for (const char* kept : {"Plan\\a.hlp", "Plan\\b.dll", "Windows\\b.dll", "Windows\\System32\\a.hlp",
                             "Windows\\e.exe", "Cwd\\e.exe", "Cwd\\sub\\f.dat", "Plan\\c.dat", "Plan\\d.dat"})
        EXPECT_TRUE(Exists(kept)) << kept;
}

TEST_F(ProductFilesList, EmptyFileNameDeletesOnlyShortcuts)
{
    MakeFile("Plan\\Help");
    MakeFile(InGroup("G", "Help.lnk"));
    MakeFile(OnDesktop("Help.lnk"));
    Run("=Help", "G", Path("Plan"));
    EXPECT_FALSE(Exists(InGroup("G", "Help.lnk")));
    EXPECT_FALSE(Exists(OnDesktop("Help.lnk")));
    EXPECT_TRUE(Exists("Plan\\Help"));
}

TEST_F(ProductFilesShortcuts, LinkGoesAndLikeNamedUrlStays)
{
    MakeFile(InGroup("G", "Tool.lnk"));
    MakeFile(InGroup("G", "Tool.url"));
    MakeFile(OnDesktop("Tool.lnk"));
    MakeFile(OnDesktop("Tool.url"));
    Run("tool.exe=Tool", "G", Path("Plan"));
    EXPECT_FALSE(Exists(InGroup("G", "Tool.lnk")));
    EXPECT_TRUE(Exists(InGroup("G", "Tool.url")));
    EXPECT_FALSE(Exists(OnDesktop("Tool.lnk")));
    EXPECT_TRUE(Exists(OnDesktop("Tool.url")));
}

TEST_F(ProductFilesShortcuts, UrlGoesWhenThereIsNoLink)
{
    MakeFile(InGroup("G", "Site.url"));
    MakeFile(OnDesktop("Site.url"));
    Run("=Site", "G", Path("Plan"));
    EXPECT_FALSE(Exists(InGroup("G", "Site.url")));
    EXPECT_FALSE(Exists(OnDesktop("Site.url")));
}

TEST_F(ProductFilesShortcuts, OnlyTheNamedGroupIsSearched)
{
    MakeFile(InGroup("Other", "Tool.lnk"));
    MakeFile("Programs\\Tool.lnk");
    MakeFile("UserPrograms\\G\\Tool.lnk");
    MakeFile(InGroup("G", "Tool.lnk"));
    Run("=Tool", "G", Path("Plan"));
    EXPECT_FALSE(Exists(InGroup("G", "Tool.lnk")));
    EXPECT_TRUE(Exists(InGroup("Other", "Tool.lnk")));
    EXPECT_TRUE(Exists("Programs\\Tool.lnk"));
    EXPECT_TRUE(Exists("UserPrograms\\G\\Tool.lnk"));
}

TEST_F(ProductFilesShortcuts, EmptyDescriptionTouchesNoShortcut)
{
    for (const char* decoy : {".lnk", ".url"}) {
        MakeFile(InGroup("G", decoy));
        MakeFile(OnDesktop(decoy));
    }
    MakeFile("Plan\\a.txt");
    MakeFile("Plan\\b.txt");
    Run("a.txt=;b.txt=,ZZQ", "G", Path("Plan"));
    EXPECT_FALSE(Exists("Plan\\a.txt"));
    EXPECT_FALSE(Exists("Plan\\b.txt"));
    for (const char* decoy : {".lnk", ".url"}) {
        EXPECT_TRUE(Exists(InGroup("G", decoy))) << decoy;
        EXPECT_TRUE(Exists(OnDesktop(decoy))) << decoy;
    }
}

TEST_F(ProductFilesDocumentTypes, EachTypeLosesBothKeysAndIsCounted)
{
    MakeDocumentType("YSB");
    MakeKey(HKEY_LOCAL_MACHINE, InClasses(".DEK"));
    MakeDocumentType("YSBX");
    MakeKey(HKEY_LOCAL_MACHINE, InClasses(".YS"));
    MakeKey(HKEY_LOCAL_MACHINE, InClasses("JGK"));

    EXPECT_EQ(3, Run("vexa.exe=,YSB|DEK|JGK", "G", Path("Plan")));

    EXPECT_FALSE(ClassKey(".YSB"));
    EXPECT_FALSE(ClassKey("YSBFile"));
    EXPECT_FALSE(ClassKey(".DEK"));
    EXPECT_TRUE(ClassKey(".YSBX"));
    EXPECT_TRUE(ClassKey("YSBXFile\\shell\\open\\command"));
    EXPECT_TRUE(ClassKey(".YS"));
    EXPECT_TRUE(ClassKey("JGK"));
}

TEST_F(ProductFilesDocumentTypes, BarTrailByteDoesNotSplitATypeName)
{
    const std::string name = "\x81\x7c" "A";
    MakeDocumentType(name);
    MakeDocumentType("A");
    MakeDocumentType("B");
    EXPECT_EQ(4, Run("x.exe=," + name + "|B", "G", Path("Plan")));
    EXPECT_FALSE(ClassKey("." + name));
    EXPECT_FALSE(ClassKey(name + "File"));
    EXPECT_FALSE(ClassKey(".B"));
    EXPECT_TRUE(ClassKey(".A"));
    EXPECT_TRUE(ClassKey("AFile"));
}

TEST_F(ProductFilesDocumentTypes, BackslashTrailByteBelongsToTheName)
{
    const std::string name = "Q\x81\x5c";
    MakeDocumentType(name);
    EXPECT_EQ(2, Run("x.exe=," + name, "G", Path("Plan")));
    EXPECT_FALSE(ClassKey("." + name));
    EXPECT_FALSE(ClassKey(name + "File"));
}

TEST_F(ProductFilesDocumentTypes, ElevenByteNameIsAccepted)
{
    MakeDocumentType("ABCDEFGHIJK");
    MakeDocumentType("类型名称表X");
    EXPECT_EQ(4, Run("x.exe=,ABCDEFGHIJK|类型名称表X", "G", Path("Plan")));
    EXPECT_FALSE(ClassKey(".ABCDEFGHIJK"));
    EXPECT_FALSE(ClassKey("ABCDEFGHIJKFile"));
    EXPECT_FALSE(ClassKey(".类型名称表X"));
    EXPECT_FALSE(ClassKey("类型名称表XFile"));
}

TEST_F(ProductFilesGuards, LongerDocumentTypeNameIsRefusedNotCut)
{
    // Each decoy is what a cut name or a cut key would come to.
    for (const char* decoy : {".ABCDEFGHIJKL", "ABCDEFGHIJKLFile", "ABCDEFGHIJKLFil", ".ABCDEFGHIJK",
                              "ABCDEFGHIJKFile", ".ABCDEFGHIJKLMNO", ".ABCDEFGHIJKLMN", "ABCDEFGHIJKLMNOFile",
                              "ABCDEFGHIJKLMNOFil", ".类型名称表格", "类型名称表格File", ".类型名称表", "类型名称表File"})
        MakeKey(HKEY_LOCAL_MACHINE, InClasses(decoy));

    EXPECT_EQ(0, Run("x.exe=,ABCDEFGHIJKL|ABCDEFGHIJKLMNO|类型名称表格", "G", Path("Plan")));

    for (const char* decoy : {".ABCDEFGHIJKL", "ABCDEFGHIJKLFile", "ABCDEFGHIJKLFil", ".ABCDEFGHIJK",
                              "ABCDEFGHIJKFile", ".ABCDEFGHIJKLMNO", ".ABCDEFGHIJKLMN", "ABCDEFGHIJKLMNOFile",
                              "ABCDEFGHIJKLMNOFil", ".类型名称表格", "类型名称表格File", ".类型名称表", "类型名称表File"})
        EXPECT_TRUE(ClassKey(decoy)) << decoy;
}

TEST_F(ProductFilesGuards, EmptyDocumentTypeNameDeletesNothingOfItsOwn)
{
    MakeKey(HKEY_LOCAL_MACHINE, InClasses(".\\shell"));
    MakeKey(HKEY_LOCAL_MACHINE, InClasses("File\\shell\\open"));
    for (const char* name : {"X", "Y", "Z"})
        MakeDocumentType(name);

    EXPECT_EQ(6, Run("a.exe=b,|X;c.exe=d,Y||Z;e.exe=f,", "G", Path("Plan")));

    EXPECT_TRUE(ClassKey(".\\shell"));
    EXPECT_TRUE(ClassKey("File\\shell\\open"));
    for (const char* name : {".X", "XFile", ".Y", "YFile", ".Z", "ZFile"})
        EXPECT_FALSE(ClassKey(name)) << name;
}

TEST_F(ProductFilesGuards, DocumentTypeNameWithBackslashIsRefused)
{
    MakeKey(HKEY_LOCAL_MACHINE, InClasses(".A\\B"));
    MakeKey(HKEY_LOCAL_MACHINE, InClasses("A\\BFile"));
    EXPECT_EQ(0, Run("x.exe=,A\\B", "G", Path("Plan")));
    EXPECT_TRUE(ClassKey(".A\\B"));
    EXPECT_TRUE(ClassKey("A\\BFile"));
}

TEST_F(ProductFilesGuards, FilePathLongerThan255BytesIsSkippedNotCut)
{
    MakeFolder("Long");
    std::string folder = Path("Long") + "\\";
    std::string name = std::string(256 - folder.size() - 4, 'n') + ".dat";
    ASSERT_EQ(256u, (folder + name).size());
    std::string cut = (folder + name).substr(folder.size(), 255 - folder.size());
    MakeFile("Long\\" + name);
    MakeFile("Long\\" + cut);

    Run(name + "=;", "", Path("Long"));

    EXPECT_TRUE(Exists("Long\\" + cut));
    EXPECT_TRUE(Exists("Long\\" + name));
}

// Each thing the routine cannot even try is said, as a failure with its
// reason; what the files that stay still need (the uninstall entry) is then
// the caller's to keep.
TEST_F(ProductFilesGuards, EveryStepOverIsSaid)
{
    const std::string longName = std::string(256 - Path("Plan\\").size(), 'n');
    struct TCase {
        std::string Spec, Group, InstallDir, Desktop, WindowsDir;
        std::string Name;
        TRemovalReport::TReason Reason;
        bool SteppedOver;
    } cases[] = {
        {longName + "=;", "G", Path("Plan"), DesktopFolder(), WindowsFolder(), Path("Plan\\") + longName,
         TRemovalReport::TooLong, true},
        {"x.exe=;", "G", "Plan", DesktopFolder(), WindowsFolder(), "Plan", TRemovalReport::NotAbsolute, true},
        {"$w\\zoltnet.hlp=;", "G", Path("Plan"), DesktopFolder(), "", "$w\\zoltnet.hlp", TRemovalReport::NoFolder, true},
        {"=Tool;", "G", Path("Plan"), "", WindowsFolder(), "Tool.lnk", TRemovalReport::NoFolder, true},
        {"=Tool;", "G\\..", Path("Plan"), DesktopFolder(), WindowsFolder(), ProgramsFolder() + "\\G\\..",
         TRemovalReport::BadGroup, true},
        {"x.exe=,ABCDEFGHIJKL;", "G", Path("Plan"), DesktopFolder(), WindowsFolder(),
         "HKEY_LOCAL_MACHINE\\Software\\Classes\\.ABCDEFGHIJKL", TRemovalReport::BadDocumentType, false},
        // A folder its installer could not spell: the "?" stands for what it lost.
        {"x.exe=;", "G", Path("Zo?"), DesktopFolder(), WindowsFolder(), Path("Zo?"), TRemovalReport::NotWritable,
         true},
        // A part that cannot be placed (an unknown "$" prefix, a drive
        // without its root) would depend on the current drive or directory.
        {"$q\\x.dat=;", "G", Path("Plan"), DesktopFolder(), WindowsFolder(), "\\x.dat", TRemovalReport::NotAbsolute,
         true},
        {"C:x.dat=;", "G", Path("Plan"), DesktopFolder(), WindowsFolder(), "C:x.dat", TRemovalReport::NotAbsolute, true},
    };
    for (const TCase& c : cases) {
        TRemovalReport report;
        TDoor door(report, "", nullptr);
        TRemovalContext context = Context;
        context.Dirs.WindowsDir = c.WindowsDir;
        TProductFilesResult result =
            RemoveProductFiles(c.Spec, c.Group, c.InstallDir, ProgramsFolder(), c.Desktop, context, door);
        door.Files.Finish();
        EXPECT_EQ(c.SteppedOver, result.SteppedOver) << c.Spec;
        bool said = false;
        for (const TRemovalReport::TRecord& record : report.Records())
            said = said || (record.Name == c.Name && record.Outcome == TRemovalReport::Failed && record.Reason == c.Reason);
        EXPECT_TRUE(said) << c.Spec << " " << c.Name;
        EXPECT_FALSE(report.IsComplete()) << c.Spec;
    }
}

TEST_F(ProductFilesGuards, ShortcutPathLongerThan255BytesIsSkippedNotCut)
{
    std::string group = "G";
    std::string base = Path(InGroup(group, ""));
    std::string description = std::string(256 - base.size() - 4, 'd');
    ASSERT_EQ(256u, (base + description + ".lnk").size());
    for (const char* suffix : {".lnk", ".url", ".ln", ".ur"})
        MakeFile(InGroup(group, description + suffix));

    Run("=" + description, group, Path("Plan"));

    for (const char* suffix : {".lnk", ".url", ".ln", ".ur"})
        EXPECT_TRUE(Exists(InGroup(group, description + suffix))) << suffix;
}

TEST_F(ProductFilesGuards, EmptyInstallDirSkipsPlainNamesAndFolders)
{
    MakeFile("Cwd\\netplan.exe");
    MakeFile("Cwd\\uninst\\udmain.exe");
    MakeFile("Windows\\zoltnet.hlp");
    MakeFile(InGroup(NetworkPlanGroup, "ZOLT 网络计划.lnk"));
    Context.CompleteRemoval = true;

    Run(NetworkPlanFiles, NetworkPlanGroup, "");

    EXPECT_TRUE(Exists("Cwd\\netplan.exe"));
    EXPECT_TRUE(Exists("Cwd\\uninst\\udmain.exe"));
    EXPECT_TRUE(Exists("Cwd"));
    // What does not hang on the install folder still goes.
    EXPECT_FALSE(Exists("Windows\\zoltnet.hlp"));
    EXPECT_FALSE(Exists(InGroup(NetworkPlanGroup, "ZOLT 网络计划.lnk")));
}

TEST_F(ProductFilesGuards, EmptyInstallDirLeavesAnEmptyUninstFolderInTheCurrentDirectory)
{
    MakeFolder("Cwd\\uninst");
    Context.CompleteRemoval = true;
    Run(NetworkPlanFiles, NetworkPlanGroup, "");
    EXPECT_TRUE(Exists("Cwd\\uninst"));
}

TEST_F(ProductFilesGuards, RelativeInstallDirIsTreatedAsEmpty)
{
    for (const char* installDir : {"Plan", "C:Plan", ".\\Plan"}) {
        MakeFile("Cwd\\Plan\\netplan.exe");
        MakeFolder("Cwd\\Plan\\uninst");
        MakeFile("Windows\\zoltnet.hlp");
        Context.CompleteRemoval = true;

        Run(NetworkPlanFiles, NetworkPlanGroup, installDir);

        EXPECT_TRUE(Exists("Cwd\\Plan\\netplan.exe")) << installDir;
        EXPECT_TRUE(Exists("Cwd\\Plan\\uninst")) << installDir;
        EXPECT_FALSE(Exists("Windows\\zoltnet.hlp")) << installDir;
    }
}

TEST_F(ProductFilesGuards, RootRelativeInstallDirIsTreatedAsEmpty)
{
    std::string decoy = MakeRootFile(RootName + "\\netplan.exe");
    Context.CompleteRemoval = true;
    Run(NetworkPlanFiles, NetworkPlanGroup, "\\" + RootName);
    EXPECT_TRUE(ExistsAbsolute(decoy));
}

// A product with no group put its shortcuts straight into the programs folder.
TEST_F(ProductFilesGuards, EmptyGroupLooksForShortcutsStraightInTheProgramsFolder)
{
    MakeFile("Programs\\Tool.lnk");
    MakeFile("Programs\\Site.url");
    MakeFile("Programs\\Other.lnk");
    MakeFile("Programs\\卸载.lnk");
    MakeFile(OnDesktop("Tool.lnk"));
    MakeFile("Plan\\uninst\\udmain.exe");
    Context.CompleteRemoval = true;

    Run("=Tool;=Site;=卸载;uninst\\udmain.exe=", "", Path("Plan"));

    EXPECT_FALSE(Exists("Programs\\Tool.lnk"));
    EXPECT_FALSE(Exists("Programs\\Site.url"));
    EXPECT_FALSE(Exists(OnDesktop("Tool.lnk")));
    EXPECT_TRUE(Exists("Programs\\Other.lnk"));
    // Neither a description nor the final step takes the programs folder's own "卸载.lnk".
    EXPECT_TRUE(Exists("Programs\\卸载.lnk"));
    // The product's own folders still go in a complete removal.
    EXPECT_FALSE(Exists("Plan\\uninst"));
    EXPECT_FALSE(Exists("Plan"));
}

TEST_F(ProductFilesGuards, EmptyGroupNeverRemovesTheProgramsFolder)
{
    Context.CompleteRemoval = true;
    Run("=Tool", "", Path("Plan"));
    EXPECT_TRUE(Exists("Programs"));
}

TEST_F(ProductFilesGuards, GroupThatIsNoFolderInsideTouchesNoShortcut)
{
    MakeFile("Programs\\Tool.lnk");
    MakeFile("Tool.lnk");
    MakeFile("Programs\\卸载.lnk");
    MakeFile("卸载.lnk");
    MakeFolder("Programs\\G");
    Context.CompleteRemoval = true;

    for (const char* group : {"\\", "\\\\", ".", "..", "G\\..", "G\\..\\.."})
        Run("=Tool", group, Path("Plan"));

    EXPECT_TRUE(Exists("Programs\\Tool.lnk"));
    EXPECT_TRUE(Exists("Tool.lnk"));
    EXPECT_TRUE(Exists("Programs\\卸载.lnk"));
    EXPECT_TRUE(Exists("卸载.lnk"));
}

TEST_F(ProductFilesGuards, GroupThatIsNoFolderInsideNeverRemovesTheProgramsFolder)
{
    Context.CompleteRemoval = true;
    for (const char* group : {"\\", "\\\\", ".", "G\\.."}) {
        Run("=Tool", group, Path("Plan"));
        EXPECT_TRUE(Exists("Programs")) << group;
        MakeFolder("Programs");
    }
}

TEST_F(ProductFilesFolders, NestedGroupLosesOnlyItsOwnFolder)
{
    MakeFile(InGroup("ZOLT\\网络计划", "Tool.lnk"));
    MakeFile(InGroup("ZOLT\\网络计划", "卸载.lnk"));
    Context.CompleteRemoval = true;
    Run("=Tool", "ZOLT\\网络计划", Path("Plan"));
    EXPECT_FALSE(Exists("Programs\\ZOLT\\网络计划"));
    EXPECT_TRUE(Exists("Programs\\ZOLT"));
}

TEST_F(ProductFilesGuards, EmptyProgramsFolderTouchesNothingUnderTheDriveRoot)
{
    std::string link = MakeRootFile(RootName + "\\Tool.lnk");
    std::string uninstall = MakeRootFile(RootName + "\\卸载.lnk");
    Context.CompleteRemoval = true;

    RemoveProductFiles("=Tool", RootName, Path("Plan"), "", DesktopFolder(), Context, Door);

    EXPECT_TRUE(ExistsAbsolute(link));
    EXPECT_TRUE(ExistsAbsolute(uninstall));
}

TEST_F(ProductFilesGuards, EmptyDesktopFolderTouchesNothingInTheDriveRoot)
{
    std::string link = MakeRootFile(RootName + ".lnk");
    std::string url = MakeRootFile(RootName + "x.url");
    RemoveProductFiles("=" + RootName + ";=" + RootName + "x", "G", Path("Plan"), ProgramsFolder(), "", Context,
                       Door);
    EXPECT_TRUE(ExistsAbsolute(link));
    EXPECT_TRUE(ExistsAbsolute(url));
}

TEST_F(ProductFilesFolders, WithoutCompleteRemovalFoldersAndUninstallShortcutStay)
{
    MakeNetworkPlan();
    Context.CompleteRemoval = false;
    Run(NetworkPlanFiles, NetworkPlanGroup, Path("Plan"));
    EXPECT_FALSE(Exists("Plan\\uninst\\udmain.exe"));
    EXPECT_TRUE(Exists(InGroup(NetworkPlanGroup, "卸载.lnk")));
    EXPECT_TRUE(Exists("Plan\\uninst"));
    EXPECT_TRUE(Exists("Plan"));
}

TEST_F(ProductFilesFolders, LeftoverFileKeepsTheInstallFolder)
{
    MakeNetworkPlan();
    MakeFile("Plan\\mywork.wlt");
    Context.CompleteRemoval = true;
    Run(NetworkPlanFiles, NetworkPlanGroup, Path("Plan"));
    EXPECT_FALSE(Exists("Plan\\uninst"));
    EXPECT_TRUE(Exists("Plan\\mywork.wlt"));
}

TEST_F(ProductFilesFolders, FoldersAreNeverEmptiedRecursively)
{
    MakeNetworkPlan();
    MakeFile("Plan\\uninst\\extra.log");
    MakeFile(InGroup(NetworkPlanGroup, "Readme.lnk"));
    Context.CompleteRemoval = true;
    Run(NetworkPlanFiles, NetworkPlanGroup, Path("Plan"));
    EXPECT_TRUE(Exists("Plan\\uninst\\extra.log"));
    EXPECT_TRUE(Exists(InGroup(NetworkPlanGroup, "Readme.lnk")));
    EXPECT_FALSE(Exists(InGroup(NetworkPlanGroup, "卸载.lnk")));
}

// One place however it is written: with or without its last separator,
// with "\\" or with "/".
TEST_F(ProductFilesFolders, InstallDirMeansOnePlaceHoweverWritten)
{
    std::string slashed = Path("Plan");
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    for (const std::string& installDir : {Path("Plan"), Path("Plan") + "\\", slashed, slashed + "/"}) {
        MakeNetworkPlan();
        Context.CompleteRemoval = true;
        EXPECT_EQ(2, Run(NetworkPlanFiles, NetworkPlanGroup, installDir)) << installDir;
        EXPECT_FALSE(Exists("Plan")) << installDir;
        EXPECT_FALSE(Exists("Programs\\ZOLT 网络计划")) << installDir;
    }
}

// "T:" is what "T:\\uninst\\UninstallZolt.exe" cuts to: the root folder of
// the drive, which keeps its files' removal but is never removed itself.
// T: is a drive of the tests' own.
TEST_F(ProductFilesFolders, InstallDirAtADrivesRootKeepsItsFiles)
{
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("T:\\")) << "the test session has no drive T:";
    for (const char* file : {"T:\\netplan.exe", "T:\\example.wlt", "T:\\我的网络图.wlt"})
        MakeOutsideFile(file);
    MakeOutsideFolder("T:\\uninst");
    MakeOutsideFile("T:\\uninst\\udmain.exe");
    Context.CompleteRemoval = true;

    Run(NetworkPlanFiles, NetworkPlanGroup, "T:");

    EXPECT_FALSE(ExistsAbsolute("T:\\netplan.exe"));
    EXPECT_FALSE(ExistsAbsolute("T:\\example.wlt"));
    EXPECT_FALSE(ExistsAbsolute("T:\\uninst"));
    EXPECT_TRUE(ExistsAbsolute("T:\\我的网络图.wlt"));
    for (const TRemovalReport::TRecord& record : Report.Records())
        EXPECT_FALSE(record.Target == TRemovalReport::Folder && record.Name == "T:\\") << "the root was tried";
}

TEST_F(ProductFilesFolders, GbkInstallDirEndingInBackslashTrailByteGetsItsSeparator)
{
    // Without the separator the names would run on into the folder's own:
    // "计划\x81\x5cnetplan.exe" beside it.
    const std::string folder = "计划\x81\x5c";
    MakeFile(folder + "\\netplan.exe");
    MakeFile(folder + "\\uninst\\udmain.exe");
    MakeFile(folder + "netplan.exe");
    Context.CompleteRemoval = true;

    Run("netplan.exe=;uninst\\udmain.exe=;", "", Path(folder));

    EXPECT_TRUE(Exists(folder + "netplan.exe"));
    EXPECT_FALSE(Exists(folder + "\\netplan.exe"));
    EXPECT_FALSE(Exists(folder));
}
