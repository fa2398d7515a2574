#include "../../catalogue/TFileListSpec.h"
#include "../../catalogue/UninstallCommand.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {
using Names = std::vector<std::string>;

// The document types an entry really registers: those that give usable keys.
Names DocumentTypesOf(const TFileListEntry& entry)
{
    Names usable;
    for (const std::string& name : TFileListSpec::SplitDocumentTypes(entry.ExtensionList)) {
        char dotKey[16];
        char fileKey[16];
        if (TFileListSpec::DocumentTypeKeys(name, dotKey, fileKey))
            usable.push_back(name);
    }
    return usable;
}

void ExpectEntry(const TFileListEntry& entry, const char* file, const char* description, const char* extensions)
{
    EXPECT_EQ(file, entry.FilePart);
    EXPECT_EQ(description, entry.Description);
    EXPECT_EQ(extensions, entry.ExtensionList);
}
} // namespace

TEST(FileListParse, EmptySpecNamesNothing)
{
    EXPECT_TRUE(TFileListSpec::Parse("").empty());
}

TEST(FileListParse, SpecOfSemicolonsNamesNothing)
{
    EXPECT_TRUE(TFileListSpec::Parse(";").empty());
    EXPECT_TRUE(TFileListSpec::Parse(";;;").empty());
}

TEST(FileListParse, EntryWithoutEqualsIsDropped)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse("a.txt=;b.txt;c.txt=C");
    ASSERT_EQ(2u, entries.size());
    ExpectEntry(entries[0], "a.txt", "", "");
    ExpectEntry(entries[1], "c.txt", "C", "");
}

TEST(FileListParse, LastEntryNeedsNoSemicolon)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse("a.exe=Main,EXT");
    ASSERT_EQ(1u, entries.size());
    ExpectEntry(entries[0], "a.exe", "Main", "EXT");
    EXPECT_EQ(Names{"EXT"}, DocumentTypesOf(entries[0]));
}

TEST(FileListParse, EmptyEntriesBetweenOthersAreDropped)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse(";a=;;b=;");
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("a", entries[0].FilePart);
    EXPECT_EQ("b", entries[1].FilePart);
}

TEST(FileListParse, EntryWithOnlyADescriptionNamesNoFile)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse("=Help;");
    ASSERT_EQ(1u, entries.size());
    ExpectEntry(entries[0], "", "Help", "");
    TFixedPath path;
    EXPECT_FALSE(TFileListSpec::ResolveFilePart(entries[0].FilePart, TSystemDirs{}, "C:\\ZOLT\\", path));
}

TEST(FileListParse, TrailingCommaGivesNoDocumentType)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse("a.exe=Main,");
    ASSERT_EQ(1u, entries.size());
    ExpectEntry(entries[0], "a.exe", "Main", "");
    EXPECT_TRUE(DocumentTypesOf(entries[0]).empty());
}

TEST(FileListParse, DescriptionMayHoldEquals)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse("a.exe=x=y;");
    ASSERT_EQ(1u, entries.size());
    ExpectEntry(entries[0], "a.exe", "x=y", "");
}

TEST(FileListParse, OnlyTheFirstCommaSplitsTheDescription)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse("a.exe=Main,A|B,C;");
    ASSERT_EQ(1u, entries.size());
    ExpectEntry(entries[0], "a.exe", "Main", "A|B,C");
}

TEST(FileListParse, CommaInTheFilePartDoesNotSplit)
{
    std::vector<TFileListEntry> entries = TFileListSpec::Parse("a,b.exe=Main;");
    ASSERT_EQ(1u, entries.size());
    ExpectEntry(entries[0], "a,b.exe", "Main", "");
}

TEST(FileListParse, KeepsEntriesInOrderWithGbkTexts)
{
    std::vector<TFileListEntry> entries =
        TFileListSpec::Parse("vexa.exe=ZOLT 工程预算,YSB|DEK|JGK;$w\\vexa.hlp=ZOLT 工程预算帮助;常用.cfg=;");
    ASSERT_EQ(3u, entries.size());
    ExpectEntry(entries[0], "vexa.exe", "ZOLT 工程预算", "YSB|DEK|JGK");
    ExpectEntry(entries[1], "$w\\vexa.hlp", "ZOLT 工程预算帮助", "");
    ExpectEntry(entries[2], "常用.cfg", "", "");
}

TEST(SplitDocumentTypes, SplitsInOrder)
{
    EXPECT_EQ((Names{"YSB", "DEK", "JGK"}), TFileListSpec::SplitDocumentTypes("YSB|DEK|JGK"));
}

TEST(SplitDocumentTypes, SingleNameIsOneName)
{
    EXPECT_EQ(Names{"WLT"}, TFileListSpec::SplitDocumentTypes("WLT"));
}

TEST(SplitDocumentTypes, KeepsEmptyNames)
{
    EXPECT_EQ((Names{"", "A"}), TFileListSpec::SplitDocumentTypes("|A"));
    EXPECT_EQ((Names{"A", "", "B"}), TFileListSpec::SplitDocumentTypes("A||B"));
    EXPECT_EQ((Names{"A", ""}), TFileListSpec::SplitDocumentTypes("A|"));
}

TEST(SplitDocumentTypes, TrailByteBarIsNotASeparator)
{
    EXPECT_EQ(Names{"\x81\x7c"}, TFileListSpec::SplitDocumentTypes("\x81\x7c"));
    EXPECT_EQ((Names{"A\x81\x7c" "B", "C"}), TFileListSpec::SplitDocumentTypes("A\x81\x7c" "B|C"));
}

TEST(SplitDocumentTypes, BarAfterAWholeGbkCharacterSeparates)
{
    // 0xB9 0xA4 is one character; the "|" after it is a character of its own.
    EXPECT_EQ((Names{"\xB9\xA4", "B"}), TFileListSpec::SplitDocumentTypes("\xB9\xA4|B"));
}

class ResolveFilePart : public ::testing::Test {
protected:
    // The resolved path, or "<nothing>" when the part names no file.
    std::string Resolve(const std::string& part, const char* installDir) const
    {
        TFixedPath path;
        if (!TFileListSpec::ResolveFilePart(part, Dirs, installDir, path))
            return "<nothing>";
        return path.c_str();
    }

    TSystemDirs Dirs{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
};

TEST_F(ResolveFilePart, DollarWIsTheWindowsDirectory)
{
    EXPECT_EQ("C:\\WINDOWS\\brisel.HLP", Resolve("$w\\brisel.HLP", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, DollarYIsTheSystemDirectory)
{
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM\\x.dll", Resolve("$y\\x.dll", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, OtherDollarNameIsTheRestUnchanged)
{
    EXPECT_EQ("\\x.dat", Resolve("$q\\x.dat", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, UpperCaseDollarWIsNotTheWindowsDirectory)
{
    EXPECT_EQ("\\x.hlp", Resolve("$W\\x.hlp", "C:\\ZOLT\\"));
    EXPECT_EQ("\\x.dll", Resolve("$Y\\x.dll", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, DrivePathIsTakenAsItIs)
{
    EXPECT_EQ("D:\\data\\x.dat", Resolve("D:\\data\\x.dat", "C:\\ZOLT\\"));
    EXPECT_EQ("D:\\data\\x.dat", Resolve("D:\\data\\x.dat", ""));
}

TEST_F(ResolveFilePart, PlainNameIsInTheInstallationDirectory)
{
    EXPECT_EQ("C:\\ZOLT\\vexa.exe", Resolve("vexa.exe", "C:\\ZOLT\\"));
    EXPECT_EQ("C:\\ZOLT\\uninst\\udmain.exe", Resolve("uninst\\udmain.exe", "C:\\ZOLT\\"));
    EXPECT_EQ("C:\\ZOLT\\常用.cfg", Resolve("常用.cfg", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, PlainNameWithoutInstallationDirectoryNamesNothing)
{
    EXPECT_EQ("<nothing>", Resolve("vexa.exe", ""));
}

TEST_F(ResolveFilePart, EmptyPartNamesNothing)
{
    EXPECT_EQ("<nothing>", Resolve("", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, LoneDollarNamesNothing)
{
    EXPECT_EQ("<nothing>", Resolve("$", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, DollarWWithoutWindowsDirectoryNamesNothing)
{
    Dirs.WindowsDir.clear();
    EXPECT_EQ("<nothing>", Resolve("$w\\brisel.HLP", "C:\\ZOLT\\"));
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM\\x.dll", Resolve("$y\\x.dll", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, DollarYWithoutSystemDirectoryNamesNothing)
{
    Dirs.SystemDir.clear();
    EXPECT_EQ("<nothing>", Resolve("$y\\x.dll", "C:\\ZOLT\\"));
    EXPECT_EQ("C:\\WINDOWS\\brisel.HLP", Resolve("$w\\brisel.HLP", "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, PathOf255BytesFits)
{
    const std::string dir = "C:\\ZOLT\\";
    const std::string part = std::string(255 - dir.size() - 4, 'f') + ".exe";
    TFixedPath path;
    ASSERT_TRUE(TFileListSpec::ResolveFilePart(part, Dirs, dir.c_str(), path));
    EXPECT_EQ(dir + part, path.c_str());
    EXPECT_EQ(255u, path.size());
}

TEST_F(ResolveFilePart, PathOf256BytesIsRefusedWhole)
{
    const std::string dir = "C:\\ZOLT\\";
    const std::string part = std::string(256 - dir.size() - 4, 'f') + ".exe";
    TFixedPath path;
    EXPECT_FALSE(TFileListSpec::ResolveFilePart(part, Dirs, dir.c_str(), path));
    EXPECT_FALSE(path.IsUsable());
    EXPECT_TRUE(path.IsRefused());
    // Not one byte of the part went in: a cut name would be another file.
    EXPECT_LE(std::strlen(path.c_str()), dir.size());
}

TEST_F(ResolveFilePart, OverlongWindowsPathIsRefusedWhole)
{
    const std::string part = "$w\\" + std::string(256 - std::strlen("C:\\WINDOWS\\"), 'h');
    TFixedPath path;
    EXPECT_FALSE(TFileListSpec::ResolveFilePart(part, Dirs, "C:\\ZOLT\\", path));
    EXPECT_TRUE(path.IsRefused());
    EXPECT_LE(std::strlen(path.c_str()), std::strlen("C:\\WINDOWS"));
}

TEST_F(ResolveFilePart, OverlongDrivePathIsRefused)
{
    const std::string part = "D:\\" + std::string(253, 'd');
    ASSERT_EQ(256u, part.size());
    EXPECT_EQ("<nothing>", Resolve(part, "C:\\ZOLT\\"));
    EXPECT_EQ(part.substr(0, 255), Resolve(part.substr(0, 255), "C:\\ZOLT\\"));
}

TEST_F(ResolveFilePart, ReusedPathObjectDropsTheEarlierPath)
{
    TFixedPath path;
    ASSERT_TRUE(TFileListSpec::ResolveFilePart("a.exe", Dirs, "C:\\ZOLT\\", path));
    EXPECT_FALSE(TFileListSpec::ResolveFilePart("", Dirs, "C:\\ZOLT\\", path));
    EXPECT_STREQ("", path.c_str());
    ASSERT_TRUE(TFileListSpec::ResolveFilePart("b.exe", Dirs, "C:\\ZOLT\\", path));
    EXPECT_STREQ("C:\\ZOLT\\b.exe", path.c_str());
}

namespace {
// The key buffers with guard bytes on both sides, to see any write past them.
struct TGuardedKeys {
    unsigned char Before[16];
    char Dot[16];
    unsigned char Between[16];
    char File[16];
    unsigned char After[16];

    TGuardedKeys() { std::memset(this, 0xCC, sizeof *this); }

    bool Run(const std::string& name) { return TFileListSpec::DocumentTypeKeys(name, Dot, File); }

    bool GuardsIntact() const
    {
        for (size_t i = 0; i < 16; ++i)
            if (Before[i] != 0xCC || Between[i] != 0xCC || After[i] != 0xCC)
                return false;
        return true;
    }
};
static_assert(sizeof(TGuardedKeys) == 80, "the guards must sit right against the key buffers");
} // namespace

TEST(DocumentTypeKeys, MakesDotKeyAndFileKey)
{
    TGuardedKeys keys;
    ASSERT_TRUE(keys.Run("YSB"));
    EXPECT_STREQ(".YSB", keys.Dot);
    EXPECT_STREQ("YSBFile", keys.File);
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(DocumentTypeKeys, ElevenBytesFitExactly)
{
    TGuardedKeys keys;
    ASSERT_TRUE(keys.Run("ABCDEFGHIJK"));
    EXPECT_STREQ(".ABCDEFGHIJK", keys.Dot);
    EXPECT_STREQ("ABCDEFGHIJKFile", keys.File);
    EXPECT_EQ('\0', keys.File[15]);
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(DocumentTypeKeys, TwelveBytesAreRefused)
{
    TGuardedKeys keys;
    EXPECT_FALSE(keys.Run("ABCDEFGHIJKL"));
    EXPECT_FALSE(keys.Run("工程预算封面"));
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(DocumentTypeKeys, EmptyNameIsRefused)
{
    TGuardedKeys keys;
    EXPECT_FALSE(keys.Run(""));
    // Empty as the registry would see it: nothing before the first zero.
    EXPECT_FALSE(keys.Run(std::string("\0YSB", 4)));
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(DocumentTypeKeys, NameIsTakenUpToItsFirstZero)
{
    TGuardedKeys keys;
    ASSERT_TRUE(keys.Run(std::string("AB\0", 3) + std::string(20, 'x')));
    EXPECT_STREQ(".AB", keys.Dot);
    EXPECT_STREQ("ABFile", keys.File);
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(DocumentTypeKeys, BackslashIsRefused)
{
    TGuardedKeys keys;
    EXPECT_FALSE(keys.Run("\\"));
    EXPECT_FALSE(keys.Run("A\\B"));
    EXPECT_FALSE(keys.Run("AB\\"));
    EXPECT_FALSE(keys.Run("\x81\x5c\\"));
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(DocumentTypeKeys, GbkCharacterWithBackslashTrailIsAccepted)
{
    TGuardedKeys keys;
    ASSERT_TRUE(keys.Run("\x81\x5c"));
    EXPECT_STREQ(".\x81\x5c", keys.Dot);
    EXPECT_STREQ("\x81\x5c" "File", keys.File);
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(DocumentTypeKeys, GbkNameOfElevenBytesIsAccepted)
{
    TGuardedKeys keys;
    ASSERT_TRUE(keys.Run("A工程预算封"));
    EXPECT_STREQ(".A工程预算封", keys.Dot);
    EXPECT_STREQ("A工程预算封File", keys.File);
    EXPECT_TRUE(keys.GuardsIntact());
}

TEST(PathKinds, AbsoluteRootAndSeparators)
{
    struct TCase {
        const char* Path;
        bool Absolute, Root;
    } cases[] = {
        {"C:\\ZOLT\\Plan", true, false},
        {"C:/ZOLT/Plan", true, false},
        {"d:\\", true, true},
        {"D:/", true, true},
        {"\\\\server\\share\\Plan", true, false},
        {"\\\\server\\share\\", true, true},
        {"\\\\server\\share", true, true},
        {"//server/share/Plan", true, false},
        {"D:", false, false},
        {"C:Plan", false, false},
        {"\\Plan", false, false},
        {"/Plan", false, false},
        {"Plan", false, false},
        {"", false, false},
        {"\\\\\\x", false, false},
        {"1:\\x", false, false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Absolute, TFileListSpec::IsAbsolutePath(c.Path)) << c.Path;
        EXPECT_EQ(c.Root, TFileListSpec::IsRootPath(c.Path)) << c.Path;
    }
    EXPECT_EQ(6, TFileListSpec::FindLastSeparator("C:/Dek\\x.dek"));
    EXPECT_EQ(2, TFileListSpec::FindLastSeparator("C:/x.dek"));
    // A trail byte 0x5C is no separator.
    EXPECT_EQ(-1, TFileListSpec::FindLastSeparator("\xDB\x5C.dek"));
    EXPECT_TRUE(TFileListSpec::EndsWithSeparator("C:/ZOLT/"));
    EXPECT_FALSE(TFileListSpec::EndsWithSeparator("C:\\\xDB\x5C"));
}

// Each file part lies in the folder it is named under, which its deletion
// must not leave: where "$w", "$y" and plain names point, and why a part
// that points nowhere does.
TEST(FileListLocate, EachPartLiesInItsFolder)
{
    const TSystemDirs dirs{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
    struct TCase {
        const char* Part;
        const char* InstallDir;
        TFilePlace::TKind Kind;
        const char* Folder;
        const char* Path;
    } cases[] = {
        {"$w\\vexa.hlp", "D:\\Plan\\", TFilePlace::Resolved, "C:\\WINDOWS", "C:\\WINDOWS\\vexa.hlp"},
        {"$y\\bds52f.dll", "", TFilePlace::Resolved, "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM\\bds52f.dll"},
        {"uninst\\udmain.exe", "D:\\Plan\\", TFilePlace::Resolved, "D:\\Plan\\", "D:\\Plan\\uninst\\udmain.exe"},
        {"D:\\data\\x.dat", "D:\\Plan\\", TFilePlace::Resolved, "", "D:\\data\\x.dat"},
        {"$q\\x.dat", "D:\\Plan\\", TFilePlace::Resolved, "", "\\x.dat"},
        {"netplan.exe", "", TFilePlace::NoFolder, "", ""},
        {"", "D:\\Plan\\", TFilePlace::Nothing, "", ""},
        {"$", "D:\\Plan\\", TFilePlace::Nothing, "", ""},
    };
    for (const TCase& c : cases) {
        TFilePlace place = TFileListSpec::Locate(c.Part, dirs, c.InstallDir);
        EXPECT_EQ(c.Kind, place.Kind) << c.Part;
        EXPECT_EQ(std::string(c.Folder), place.Folder) << c.Part;
        EXPECT_EQ(std::string(c.Path), place.Path) << c.Part;
    }
    EXPECT_EQ(TFilePlace::NoFolder, TFileListSpec::Locate("$w\\x", TSystemDirs{"", "C:\\S"}, "").Kind);
    EXPECT_EQ(TFilePlace::NoFolder, TFileListSpec::Locate("$y\\x", TSystemDirs{"C:\\W", ""}, "").Kind);
}

TEST(UninstallCommand, InstallDirIsWhatComesBeforeUninst)
{
    struct TCase {
        const char* Command;
        const char* InstallDir;
    } cases[] = {
        {"D:\\Plan\\uninst\\UninstallZolt.exe", "D:\\Plan"},
        {"D:\\Plan\\uninst\\udmain.exe -f udlog3.000", "D:\\Plan"},
        // As Windows writes a path with spaces; what follows is arguments.
        {"\"C:\\Program Files\\ZOLT\\uninst\\UninstallZolt.exe\"", "C:\\Program Files\\ZOLT"},
        {"\"C:\\Program Files\\ZOLT\\UninstallZolt.exe\" /x D:\\uninst", ""},
        {"\"C:\\ZOLT\\uninst\\UninstallZolt.exe", "C:\\ZOLT"},
        {"D:\\Plan\\Uninst\\UninstallZolt.exe", ""},
        {"D:\\Plan\\uninstall\\UninstallZolt.exe", "D:\\Plan"},
        // "\xDB\\" is one character: no "\\uninst" begins in it.
        {"D:\\P\xDB\\uninst\\x.exe", ""},
        {"\"\"", ""},
        {"", ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(std::string(c.InstallDir), InstallDirFromCommand(c.Command)) << c.Command;
}
