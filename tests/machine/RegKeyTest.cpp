#include "../../door/TEntryDeleter.h"
#include "../../machine/TRegKey.h"
#include "../support/Owners.h"
#include "../support/TScratchMachine.h"
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {
const char Base[] = "Software\\UzRegKeyTest";

std::string Under(const std::string& path)
{
    return SubKey(Base, path);
}

// True when `key` is still an open handle.
bool HandleIsOpen(HKEY key)
{
    DWORD subKeys = 0;
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
}

// A read buffer of `size` bytes followed by guard bytes.
struct TGuardedBuffer {
    explicit TGuardedBuffer(DWORD size) : Size(size), Bytes(size + Guard, '\xCC') {}

    char* Data() { return Bytes.data(); }
    std::string Text() const { return std::string(Bytes.data()); }
    bool GuardIntact() const
    {
        for (size_t i = Size; i < Bytes.size(); ++i)
            if (Bytes[i] != '\xCC')
                return false;
        return true;
    }

    static const size_t Guard = 16;
    DWORD Size;
    std::vector<char> Bytes;
};
} // namespace

class TRegKeyScratch : public TScratchMachine {
protected:
    void SetUp() override
    {
        TScratchMachine::SetUp();
        if (HasFatalFailure())
            return;
        MakeKey(HKEY_CURRENT_USER, Base);
    }

    bool Read(const TRegKey& key, const char* name, std::string& text, DWORD size = 256) const
    {
        TGuardedBuffer buffer(size);
        bool read = key.QueryString(name, buffer.Data(), size);
        EXPECT_TRUE(buffer.GuardIntact()) << name;
        text = read ? buffer.Text() : std::string();
        return read;
    }

    // Stores `text` as REG_SZ without its terminating zero. The byte after
    // the data is not zero, or the registry would count the zero in anyway.
    void SetUnterminated(const std::string& path, const char* name, const std::string& text) const
    {
        std::string data = text + "#";
        SetRaw(HKEY_CURRENT_USER, path, name, REG_SZ, data.data(), static_cast<DWORD>(text.size()));
        TKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()));
        DWORD stored = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &stored));
        ASSERT_EQ(text.size(), stored) << "the value was stored with a zero after all";
    }
};

class RegKeyCreate : public TRegKeyScratch {};
class RegKeyOpen : public TRegKeyScratch {};
class RegKeyQueryString : public TRegKeyScratch {};
class RegKeyEnumKey : public TRegKeyScratch {};
class RegKeyRecurseDelete : public TRegKeyScratch {
protected:
    void SetUp() override
    {
        TRegKeyScratch::SetUp();
        if (HasFatalFailure())
            return;
        SetString(HKEY_CURRENT_USER, Base, "Keep", "parent value");
        SetString(HKEY_CURRENT_USER, Under("Sibling"), "Keep", "sibling value");
        SetString(HKEY_CURRENT_USER, Under("Doomed"), "V", "1");
        SetString(HKEY_CURRENT_USER, Under("Doomed\\A"), "V", "2");
        SetString(HKEY_CURRENT_USER, Under("Doomed\\A\\B"), "V", "3");
        MakeKey(HKEY_CURRENT_USER, Under("Doomed\\C"));
        ASSERT_EQ(ERROR_SUCCESS, Parent.Create(HKEY_CURRENT_USER, Base));
    }

    void ExpectEverythingThere() const
    {
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Base));
        std::string text;
        EXPECT_TRUE(Read(Parent, "Keep", text));
        EXPECT_EQ("parent value", text);
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Under("Sibling")));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Under("Doomed\\A\\B")));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Under("Doomed\\C")));
    }

    TRegKey Parent;
};

TEST_F(RegKeyCreate, CreatesAMissingKey)
{
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, Under("New\\Deeper")));
    TRegKey key;
    EXPECT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Under("New\\Deeper").c_str()));
    EXPECT_NE(nullptr, static_cast<HKEY>(key));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Under("New\\Deeper")));
}

TEST_F(RegKeyCreate, OpensAnExistingKeyWithItsValues)
{
    SetString(HKEY_CURRENT_USER, Under("Old"), "Name", "kept");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Under("Old").c_str()));
    std::string text;
    EXPECT_TRUE(Read(key, "Name", text));
    EXPECT_EQ("kept", text);
}

TEST_F(RegKeyCreate, OpensForWritingAndDeleting)
{
    MakeKey(HKEY_CURRENT_USER, Under("Full\\Child"));
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Under("Full").c_str()));
    const char value[] = "written";
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "W", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(key, "Child"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "W"));
}

TEST_F(RegKeyCreate, FailedCreateKeepsThePreviousKeyUsable)
{
    SetString(HKEY_CURRENT_USER, Under("First"), "Name", "first");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Under("First").c_str()));
    HKEY before = key;

    EXPECT_NE(ERROR_SUCCESS, key.Create(nullptr, "Second"));

    EXPECT_EQ(before, static_cast<HKEY>(key));
    EXPECT_TRUE(HandleIsOpen(before));
    std::string text;
    EXPECT_TRUE(Read(key, "Name", text));
    EXPECT_EQ("first", text);
}

TEST_F(RegKeyCreate, FailedCreateOnAClosedKeyLeavesItClosed)
{
    TRegKey key;
    EXPECT_NE(ERROR_SUCCESS, key.Create(nullptr, "Second"));
    EXPECT_EQ(nullptr, static_cast<HKEY>(key));
}

TEST_F(RegKeyCreate, SecondCreateSwitchesKeysAndClosesTheFirst)
{
    SetString(HKEY_CURRENT_USER, Under("First"), "Name", "first");
    SetString(HKEY_CURRENT_USER, Under("Second"), "Name", "second");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Under("First").c_str()));
    HKEY first = key;

    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Under("Second").c_str()));
    EXPECT_FALSE(HandleIsOpen(first));
    std::string text;
    EXPECT_TRUE(Read(key, "Name", text));
    EXPECT_EQ("second", text);
}

TEST_F(RegKeyCreate, DestructorClosesTheKey)
{
    HKEY handle = nullptr;
    {
        TRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
        handle = key;
        ASSERT_TRUE(HandleIsOpen(handle));
    }
    EXPECT_FALSE(HandleIsOpen(handle));
}

TEST_F(RegKeyCreate, CloseClosesOnceAndForgetsTheKey)
{
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    HKEY handle = key;
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    EXPECT_EQ(nullptr, static_cast<HKEY>(key));
    EXPECT_FALSE(HandleIsOpen(handle));
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
}

// For keys that are not the program's to make, such as other users' hives.
TEST_F(RegKeyOpen, OpensAnExistingKeyAndCreatesNoMissingOne)
{
    SetString(HKEY_CURRENT_USER, Under("There"), "Name", "there");
    TRegKey key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, Under("Missing").c_str()));
    EXPECT_EQ(nullptr, static_cast<HKEY>(key));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Under("Missing")));

    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, Under("There").c_str()));
    std::string text;
    EXPECT_TRUE(Read(key, "Name", text));
    EXPECT_EQ("there", text);
    HKEY there = key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, Under("Missing").c_str()));
    EXPECT_EQ(there, static_cast<HKEY>(key)) << "a failed open closed the key it had";
}

TEST_F(RegKeyQueryString, ReadsAString)
{
    SetString(HKEY_CURRENT_USER, Base, "Path", "C:\\ZOLT\\vexa.exe");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_TRUE(Read(key, "Path", text));
    EXPECT_EQ("C:\\ZOLT\\vexa.exe", text);
}

TEST_F(RegKeyQueryString, ReadsAnExpandStringAsStored)
{
    const char value[] = "%WINDIR%\\vexa.hlp";
    SetRaw(HKEY_CURRENT_USER, Base, "Help", REG_EXPAND_SZ, value, sizeof value);
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_TRUE(Read(key, "Help", text));
    EXPECT_EQ(value, text);
    char buffer[64];
    DWORD type = REG_NONE;
    EXPECT_TRUE(key.QueryString("Help", buffer, sizeof buffer, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
}

TEST_F(RegKeyQueryString, ReadsAnEmptyString)
{
    SetString(HKEY_CURRENT_USER, Base, "Empty", "");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text = "stale";
    EXPECT_TRUE(Read(key, "Empty", text));
    EXPECT_EQ("", text);
}

TEST_F(RegKeyQueryString, MissingValueFails)
{
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_FALSE(Read(key, "Missing", text));
}

TEST_F(RegKeyQueryString, ClosedKeyFails)
{
    TRegKey key;
    std::string text;
    EXPECT_FALSE(Read(key, "Path", text));
}

TEST_F(RegKeyQueryString, DwordIsRefused)
{
    // Its bytes spell "abc" and a zero: only the type tells it from a string.
    const DWORD value = 0x00636261;
    SetRaw(HKEY_CURRENT_USER, Base, "Number", REG_DWORD, &value, sizeof value);
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_FALSE(Read(key, "Number", text));
}

TEST_F(RegKeyQueryString, BinaryIsRefused)
{
    const char value[] = "abc";
    SetRaw(HKEY_CURRENT_USER, Base, "Blob", REG_BINARY, value, sizeof value);
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_FALSE(Read(key, "Blob", text));
}

// What a program that ignores the type reads: the first string, and only
// when the whole list fits.
TEST_F(RegKeyQueryString, MultiStringReadsAsItsFirst)
{
    const char value[] = "abc\0defghij\0";
    SetRaw(HKEY_CURRENT_USER, Base, "Multi", REG_MULTI_SZ, value, sizeof value);
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_TRUE(Read(key, "Multi", text));
    EXPECT_EQ("abc", text);
    EXPECT_FALSE(Read(key, "Multi", text, 8));
}

TEST_F(RegKeyQueryString, StringStoredWithoutZeroIsTerminated)
{
    SetUnterminated(Base, "Bare", "abc");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    TGuardedBuffer buffer(8);
    std::memset(buffer.Data(), 'X', 8);
    ASSERT_TRUE(key.QueryString("Bare", buffer.Data(), 8));
    EXPECT_EQ("abc", buffer.Text());
    EXPECT_TRUE(buffer.GuardIntact());
}

TEST_F(RegKeyQueryString, StringWithoutZeroFillingTheBufferIsRefused)
{
    SetUnterminated(Base, "Bare", "abcd");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_FALSE(Read(key, "Bare", text, 4));
    EXPECT_TRUE(Read(key, "Bare", text, 5));
    EXPECT_EQ("abcd", text);
}

TEST_F(RegKeyQueryString, StringOf255CharactersFits256Bytes)
{
    const std::string value(255, 'v');
    SetString(HKEY_CURRENT_USER, Base, "Long", value);
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_TRUE(Read(key, "Long", text, 256));
    EXPECT_EQ(value, text);
}

TEST_F(RegKeyQueryString, StringOf256CharactersIsRefusedBy256Bytes)
{
    SetString(HKEY_CURRENT_USER, Base, "Long", std::string(256, 'v'));
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    std::string text;
    EXPECT_FALSE(Read(key, "Long", text, 256));
}

TEST_F(RegKeyEnumKey, ListsEverySubkeyThenStops)
{
    for (const char* name : {"Alpha", "Beta", "Gamma"})
        MakeKey(HKEY_CURRENT_USER, Under(name));
    MakeKey(HKEY_CURRENT_USER, Under("Alpha\\Grandchild"));
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));

    std::set<std::string> names;
    char name[64];
    for (DWORD index = 0; index < 3; ++index) {
        ASSERT_EQ(ERROR_SUCCESS, key.EnumKey(index, name, sizeof name)) << index;
        names.insert(name);
    }
    EXPECT_EQ((std::set<std::string>{"Alpha", "Beta", "Gamma"}), names);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, key.EnumKey(3, name, sizeof name));
}

TEST_F(RegKeyEnumKey, ShortBufferIsRefusedWithoutOverrun)
{
    MakeKey(HKEY_CURRENT_USER, Under("LongerName"));
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, Base));
    TGuardedBuffer buffer(4);
    EXPECT_NE(ERROR_SUCCESS, key.EnumKey(0, buffer.Data(), 4));
    EXPECT_TRUE(buffer.GuardIntact());
}

TEST_F(RegKeyEnumKey, ClosedKeyListsNothing)
{
    TRegKey key;
    char name[64];
    EXPECT_NE(ERROR_SUCCESS, key.EnumKey(0, name, sizeof name));
}

// Wine already fails to open "\\" by itself, so the refusal is also checked
// where it is decided.
TEST(RegKeySubKeyName, NothingButBackslashesIsNoSubKey)
{
    EXPECT_FALSE(TRegKey::IsSubKeyName(nullptr));
    EXPECT_FALSE(TRegKey::IsSubKeyName(""));
    EXPECT_FALSE(TRegKey::IsSubKeyName("\\"));
    EXPECT_FALSE(TRegKey::IsSubKeyName("\\\\\\"));
    EXPECT_TRUE(TRegKey::IsSubKeyName("\\A"));
    EXPECT_TRUE(TRegKey::IsSubKeyName("A\\"));
}

TEST_F(RegKeyRecurseDelete, DeletesTheKeyWithItsWholeSubtree)
{
    EXPECT_EQ(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("Doomed")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Under("Doomed")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Under("Sibling")));
    std::string text;
    EXPECT_TRUE(Read(Parent, "Keep", text));
    EXPECT_EQ("parent value", text);
}

TEST_F(RegKeyRecurseDelete, DeletesEveryOneOfManyChildren)
{
    // Children are deleted from the front: stepping the index on would miss half.
    for (int i = 0; i < 20; ++i) {
        std::string child = Under("Wide\\Child" + std::to_string(i));
        MakeKey(HKEY_CURRENT_USER, child + "\\One");
        MakeKey(HKEY_CURRENT_USER, child + "\\Two");
    }
    EXPECT_EQ(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("Wide")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Under("Wide")));
    ExpectEverythingThere();
}

TEST_F(RegKeyRecurseDelete, DeletesOnlyTheNamedLevelOfAPath)
{
    EXPECT_EQ(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("Doomed\\A")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Under("Doomed\\A")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Under("Doomed")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Under("Doomed\\C")));
}

TEST_F(RegKeyRecurseDelete, RefusesAnEmptyName)
{
    EXPECT_NE(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("")));
    ExpectEverythingThere();
}

TEST_F(RegKeyRecurseDelete, RefusesNamesOfOnlyBackslashes)
{
    EXPECT_NE(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("\\")));
    ExpectEverythingThere();
    EXPECT_NE(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("\\\\\\")));
    ExpectEverythingThere();
}

TEST_F(RegKeyRecurseDelete, MissingKeyFailsAndChangesNothing)
{
    EXPECT_NE(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("NotThere")));
    EXPECT_NE(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("Doomed\\NotThere")));
    ExpectEverythingThere();
}

TEST_F(RegKeyRecurseDelete, ClosedKeyDeletesNothing)
{
    TRegKey closed;
    EXPECT_NE(ERROR_SUCCESS, TEntryDeleter::DeleteTree(closed, TWidePath::FromAnsi("Doomed")));
    ExpectEverythingThere();
}

// Any user can make a registry link in their own hive. Deleting never
// reaches what a link leads to, and a link to its own parent ends.
TEST_F(RegKeyRecurseDelete, LinkGoesAsTheLinkAndWhatItLeadsToStays)
{
    auto linkThere = [](const std::string& path) {
        TKey key;
        return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, key.Receive()) ==
               ERROR_SUCCESS;
    };
    MakeRegistryLink(HKEY_CURRENT_USER, Under("Doomed\\ToSibling"), HKEY_CURRENT_USER, Under("Sibling"));
    MakeRegistryLink(HKEY_CURRENT_USER, Under("Doomed\\A\\ToParent"), HKEY_CURRENT_USER, Under("Doomed"));
    bool wasLink = true;
    EXPECT_EQ(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("Doomed"), &wasLink));
    EXPECT_FALSE(wasLink);
    EXPECT_FALSE(linkThere(Under("Doomed")));
    EXPECT_EQ("sibling value", ReadString(HKEY_CURRENT_USER, Under("Sibling"), "Keep"));

    MakeRegistryLink(HKEY_CURRENT_USER, Under("Link"), HKEY_CURRENT_USER, Under("Sibling"));
    EXPECT_EQ(ERROR_SUCCESS, TEntryDeleter::DeleteTree(Parent, TWidePath::FromAnsi("Link"), &wasLink));
    EXPECT_TRUE(wasLink);
    EXPECT_FALSE(linkThere(Under("Link")));
    EXPECT_EQ("sibling value", ReadString(HKEY_CURRENT_USER, Under("Sibling"), "Keep"));
}
