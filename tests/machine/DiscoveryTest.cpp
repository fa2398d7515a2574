#include "../../catalogue/Catalogue.h"
#include "../../installed/TInstalledItems.h"
#include "../support/Owners.h"
#include "../support/TScratchMachine.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using Names = std::vector<std::string>;

namespace {
// A program path of exactly `length` characters that ends in the program's name.
std::string CommandOfLength(size_t length)
{
    std::string tail = "\\UninstallZolt.exe";
    return "C:\\" + std::string(length - 3 - tail.size(), 'd') + tail;
}
} // namespace

class DiscoveryMachine : public TScratchMachine {
protected:
    void SetUp() override
    {
        TScratchMachine::SetUp();
        WorkInScratchCwd();
    }

    void AddEntry(const std::string& name, const std::string& command) const
    {
        AddUninstallEntry(name, {{"UninstallString", command}});
    }

    // Whether the value's `size` bytes went in without a zero at their end.
    bool StoredWithoutZero(const std::string& path, DWORD size) const
    {
        TKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            return false;
        std::vector<char> data(size + 8, '\x7f');
        DWORD got = static_cast<DWORD>(data.size());
        bool read = RegQueryValueExA(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                                     &got) == ERROR_SUCCESS;
        return read && got == size && data[size - 1] != '\0';
    }
};

class DiscoveredProducts : public DiscoveryMachine {};
class DiscoveredSharedLibraries : public DiscoveryMachine {};
class DiscoveredQuotaLibraries : public DiscoveryMachine {};

TEST_F(DiscoveredProducts, FamilyEntriesInRegistryOrderOthersLeftOut)
{
    // Made in an order unlike the registry's, so the result cannot just
    // follow creation.
    AddEntry("Foo", "C:\\Foo\\UninstallZolt.exe");
    MakeKey(HKEY_LOCAL_MACHINE, UninstallEntry("ZOLT工程预算"));
    AddEntry("Bar", "C:\\Bar\\setup.exe /u");
    AddEntry("Alpha", "\"C:\\Program Files\\Alpha\\uninst\\UninstallZolt.exe\" /S");

    Names expected;
    for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, UninstallKeyPath))
        if (name != "Bar")
            expected.push_back(name);
    ASSERT_EQ(3u, expected.size());

    EXPECT_EQ(expected, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, ProgramNameInAnotherCaseDoesNotCount)
{
    AddEntry("Qux", "C:\\Qux\\uninstallzolt.exe");
    AddEntry("Quux", "C:\\QUUX\\UNINSTALLZOLT.EXE");
    EXPECT_EQ(Names{}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, CatalogueNameMustMatchExactly)
{
    MakeKey(HKEY_LOCAL_MACHINE, UninstallEntry("zolt工程预算"));
    MakeKey(HKEY_LOCAL_MACHINE, UninstallEntry("ZOLT工程预算 "));
    MakeKey(HKEY_LOCAL_MACHINE, UninstallEntry("ZOLT工程"));
    AddEntry("ZOLT网络", "C:\\Plan\\setup.exe");
    EXPECT_EQ(Names{}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, ExpandableUninstallStringIsRead)
{
    std::string command = "%ProgramFiles%\\Foo\\UninstallZolt.exe";
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("Foo"), "UninstallString", REG_EXPAND_SZ, command.c_str(),
           static_cast<DWORD>(command.size() + 1));
    EXPECT_EQ(Names{"Foo"}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, NonStringUninstallStringLeavesOnlyTheName)
{
    const char bytes[] = "C:\\Foo\\UninstallZolt.exe";
    DWORD number = 7;
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("AsBinary"), "UninstallString", REG_BINARY, bytes, sizeof bytes);
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("AsDword"), "UninstallString", REG_DWORD, &number, sizeof number);
    const char multi[] = "C:\\Foo\\UninstallZolt.exe\0";
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("AsMulti"), "UninstallString", REG_MULTI_SZ, multi, sizeof multi);
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("ZOLT网络计划"), "UninstallString", REG_DWORD, &number, sizeof number);
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("ZOLT计算簿"), "UninstallString", REG_BINARY, bytes, sizeof bytes);

    Names found = TInstalledItems::Discover(Context.Dirs).Products;
    std::sort(found.begin(), found.end());
    // A list of strings is read as its first, which names the program.
    Names expected{"AsMulti", "ZOLT网络计划", "ZOLT计算簿"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, found);
}

TEST_F(DiscoveredProducts, UninstallStringOf255CharactersIsRead)
{
    std::string command = CommandOfLength(255);
    ASSERT_EQ(255u, command.size());
    AddEntry("Foo", command);
    EXPECT_EQ(Names{"Foo"}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, UninstallStringOf256CharactersIsUnreadable)
{
    // The program's name sits at the front, where a reader that kept the
    // first 255 bytes would still find it.
    std::string command = "C:\\Foo\\UninstallZolt.exe ";
    command += std::string(256 - command.size(), 'x');
    AddEntry("Foo", command);
    AddEntry("Longer", command + std::string(100, 'y'));
    EXPECT_EQ(Names{}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, UnterminatedUninstallStringOf255BytesIsRead)
{
    // A zero right after the data would be stored with it, so none may follow.
    std::string command = CommandOfLength(255) + "!";
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("Foo"), "UninstallString", REG_SZ, command.data(), 255);
    ASSERT_TRUE(StoredWithoutZero(UninstallEntry("Foo"), 255));
    EXPECT_EQ(Names{"Foo"}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, UnterminatedUninstallStringOf256BytesIsUnreadable)
{
    std::string command = "C:\\Foo\\UninstallZolt.exe ";
    command += std::string(256 - command.size(), 'x');
    ASSERT_EQ(256u, command.size());
    command += "!";
    SetRaw(HKEY_LOCAL_MACHINE, UninstallEntry("Foo"), "UninstallString", REG_SZ, command.data(), 256);
    ASSERT_TRUE(StoredWithoutZero(UninstallEntry("Foo"), 256));
    EXPECT_EQ(Names{}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, CatalogueNameIsListedWhateverItsUninstallString)
{
    AddEntry("ZOLT网络计划", "C:\\Foo\\UninstallZolt.exe " + std::string(300, 'x'));
    EXPECT_EQ(Names{"ZOLT网络计划"}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredProducts, GbkNamesWithBackslashOrBarTrailBytesAreCarriedWhole)
{
    // "\x81\x5c" and "\x81\x7c" are single characters whose second byte is "\" or "|".
    const std::string backslash = "预算\x81\x5c" "甲";
    const std::string bar = "\x81\x7c" "乙\x81\x5c";
    AddEntry(backslash, "C:\\预算\\UninstallZolt.exe");
    AddEntry(bar, "C:\\\x81\x5c" "UninstallZolt.exe");

    Names found = TInstalledItems::Discover(Context.Dirs).Products;
    std::sort(found.begin(), found.end());
    Names expected{backslash, bar};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, found);
}

// Another vendor's entry named in characters code page 936 lacks: the
// ANSI functions would give its name with "?" for them, a name that is no
// key's. It is not the family's whatever its command says, and nothing is
// made beside it; a key that holds "?" itself is judged as any other.
TEST_F(DiscoveredProducts, EntryWhoseNameTheCodePageCannotHoldIsNeitherListedNorMade)
{
    AddEntry("Foo", "C:\\Foo\\UninstallZolt.exe");
    MakeKey(HKEY_LOCAL_MACHINE, UninstallEntry("ZOLT工程预算"));
    AddWideUninstallEntry(L"Probe\u00f6\u00df\u0e01Tool", "C:\\Probe\\UninstallZolt.exe");
    AddWideUninstallEntry(L"\u00e5", "C:\\Probe\\UninstallZolt.exe");
    AddEntry("Who?", "C:\\Who\\UninstallZolt.exe");
    const std::vector<std::wstring> before = WideUninstallEntries();
    ASSERT_EQ(5u, before.size());

    Names found = TInstalledItems::Discover(Context.Dirs).Products;

    std::sort(found.begin(), found.end());
    EXPECT_EQ((Names{"Foo", "Who?", "ZOLT工程预算"}), found);
    EXPECT_EQ(before, WideUninstallEntries());
}

TEST_F(DiscoveredProducts, NoUninstallKeyNoProducts)
{
    EXPECT_EQ(Names{}, TInstalledItems::Discover(Context.Dirs).Products);
}

TEST_F(DiscoveredSharedLibraries, MarkerDllInSystemDirectory)
{
    MakeFile("Windows\\System32\\bds52f.dll");
    EXPECT_TRUE(TInstalledItems::Discover(Context.Dirs).SharedLibraries);
}

TEST_F(DiscoveredSharedLibraries, MarkerDllElsewhereDoesNotCount)
{
    MakeFile("Windows\\bds52f.dll");
    MakeFile("Cwd\\bds52f.dll");
    MakeFile("Windows\\System32\\cw3230.dll");
    MakeFile("Windows\\System32\\owl52f.dll");
    EXPECT_FALSE(TInstalledItems::Discover(Context.Dirs).SharedLibraries);
}

TEST_F(DiscoveredSharedLibraries, UnknownSystemDirectoryLooksNowhereElse)
{
    Context.Dirs.SystemDir.clear();
    MakeFile("Cwd\\bds52f.dll");
    if (!MakeNewOutsideFile(DriveRoot() + "bds52f.dll"))
        GTEST_SKIP() << "a bds52f.dll already sits in the drive root";
    EXPECT_FALSE(TInstalledItems::Discover(Context.Dirs).SharedLibraries);
}

TEST_F(DiscoveredQuotaLibraries, KeysOfDekFilesInIniOrder)
{
    WriteIni("[Before]\r\nOther=C:\\o.dek\r\n"
             "[Dek Files]\r\nZeta=C:\\z.dek\r\nAlpha=C:\\a.dek\r\n甲库=C:\\甲.dek\r\n空库=\r\n"
             "[After]\r\nLater=C:\\l.dek\r\n");
    EXPECT_EQ((Names{"Zeta", "Alpha", "甲库", "空库"}), TInstalledItems::Discover(Context.Dirs).QuotaLibraries);
}

TEST_F(DiscoveredQuotaLibraries, NoIniNoQuotaLibraries)
{
    EXPECT_EQ(Names{}, TInstalledItems::Discover(Context.Dirs).QuotaLibraries);
}

TEST_F(DiscoveredQuotaLibraries, OtherSectionsDoNotCount)
{
    WriteIni("[Dek File]\r\nA=C:\\a.dek\r\n[Dek Files Old]\r\nB=C:\\b.dek\r\n");
    EXPECT_EQ(Names{}, TInstalledItems::Discover(Context.Dirs).QuotaLibraries);
}

// The list is read whole however long: never cut, so no name is offered
// that is only the start of one. Around the first buffer's end too, where
// the profile functions' own count (one a character, two bytes in GBK)
// parts from the bytes.
TEST_F(DiscoveredQuotaLibraries, KeyListIsReadWholeHoweverLong)
{
    const char* const syllables[] = {"甲", "乙", "丙", "丁", "戊"};
    auto gbk = [&](int seed, int characters) {
        std::string name;
        for (int k = 0; k < characters; ++k)
            name += syllables[(seed + k) % 5];
        return name;
    };
    std::vector<Names> lists;
    // 40 libraries of long names, as installed on one machine.
    lists.emplace_back();
    for (int i = 0; i < 40; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Library%02d_", i);
        lists.back().push_back(name + std::string(60, static_cast<char>('a' + i % 26)));
    }
    lists.emplace_back();
    for (int i = 0; i < 40; ++i)
        lists.back().push_back(std::to_string(i) + gbk(i, 30));
    // 22 names of 46 two-byte characters take 2046 bytes with their zeros.
    lists.emplace_back();
    for (int i = 0; i < 24; ++i)
        lists.back().push_back(gbk(i, 46));
    // Lists of 2045 to 2050 bytes with their zeros; and of 4094 to 4098.
    for (size_t total : {2045u, 2046u, 2047u, 2048u, 2049u, 2050u, 4094u, 4096u, 4098u}) {
        // Names of 99 bytes and a last one of the rest, at least 10.
        std::vector<size_t> lengths(total / 100, 99);
        size_t rest = total % 100;
        if (rest < 11) {
            lengths.back() -= 10;
            rest += 10;
        }
        lengths.push_back(rest - 1);
        lists.emplace_back();
        for (size_t i = 0; i < lengths.size(); ++i)
            lists.back().push_back(std::to_string(i) + std::string(lengths[i] - std::to_string(i).size(), 'k'));
    }
    for (const Names& written : lists) {
        std::string ini = "[Dek Files]\r\n";
        size_t bytes = 0;
        for (const std::string& name : written) {
            ini += name + "=C:\\lib.dek\r\n";
            bytes += name.size() + 1;
        }
        WriteIni(ini);
        EXPECT_EQ(written, TInstalledItems::Discover(Context.Dirs).QuotaLibraries) << bytes << " bytes";
    }
}
