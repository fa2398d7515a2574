#include "../../catalogue/THashTableImp.h"
#include "../../catalogue/TLinkedStrings.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {
TLinkedStrings Row(const std::string& name, const std::string& group = "", const std::string& files = "",
                   int32_t shared = 0)
{
    return TLinkedStrings{name, group, files, shared};
}

size_t BucketOfName(const std::string& name)
{
    return THashTableImp<TLinkedStrings>::BucketOf(TLinkedStrings::Key(name));
}

// "adp" lands in the same bucket as "abc" (103); found by search, checked below.
const char CollidesWithAbc[] = "adp";
} // namespace

TEST(HashString, EmptyTextIsZero)
{
    EXPECT_EQ(0u, HashString(""));
}

TEST(HashString, ShortTextIsLengthXorPaddedLittleEndianBytes)
{
    EXPECT_EQ(0x636262u, HashString("abc"));
}

TEST(HashString, FourBytesAreOneLittleEndianGroup)
{
    EXPECT_EQ(0x64636265u, HashString("abcd"));
}

TEST(HashString, RemainderAfterWholeGroupsIsXoredIn)
{
    EXPECT_EQ(0x64636201u, HashString("abcde"));
}

TEST(HashString, EveryWholeGroupIsXored)
{
    // Two equal groups cancel out, leaving only the length.
    EXPECT_EQ(8u, HashString("abcdabcd"));
}

TEST(HashString, HighBytesAreNotSignExtended)
{
    // GBK text is all bytes above 0x7F; a signed char would smear 0xFF over the word.
    EXPECT_EQ(0xFEu, HashString("\xFF"));
    EXPECT_EQ(0x81u ^ 0x5C00u ^ 2u, HashString("\x81\x5c"));
}

TEST(HashString, LengthIsNotCutToAByte)
{
    EXPECT_EQ(256u, HashString(std::string(256, '\0')));
}

TEST(HashString, EmbeddedZeroBytesCount)
{
    // The hash runs over the std::string length, not up to the first zero.
    EXPECT_EQ(4u ^ 0x00610061u, HashString(std::string("a\0a\0", 4)));
}

TEST(LinkedStrings, HashValueDependsOnNameOnly)
{
    EXPECT_EQ(HashString("ZOLT"), Row("ZOLT", "group", "a=;", 1).HashValue());
    EXPECT_EQ(Row("ZOLT").HashValue(), Row("ZOLT", "other", "b=;", 0).HashValue());
}

TEST(LinkedStrings, EqualityComparesNameOnly)
{
    EXPECT_TRUE(Row("A", "g1", "f1", 0) == Row("A", "g2", "f2", 1));
    EXPECT_FALSE(Row("A") == Row("a"));
}

TEST(HashTableBuckets, BucketIsHashModulo111)
{
    const size_t bucketCount = THashTableImp<TLinkedStrings>::BucketCount;
    EXPECT_EQ(111u, bucketCount);
    EXPECT_EQ(103u, BucketOfName("abc"));
    EXPECT_EQ(107u, BucketOfName("abcd"));
    EXPECT_EQ(7u, BucketOfName("abcde"));
    EXPECT_EQ(0u, BucketOfName(""));
}

TEST(HashTableBuckets, AddStoresInTheNamesBucket)
{
    THashTableImp<TLinkedStrings> table;
    table.Add(Row("abc"));
    EXPECT_EQ(1u, table.BucketSize(103));
    for (size_t bucket = 0; bucket < 111; ++bucket) {
        if (bucket != 103) {
            EXPECT_EQ(0u, table.BucketSize(bucket)) << bucket;
        }
    }
}

TEST(HashTableAdd, ReturnsOneAndCounts)
{
    THashTableImp<TLinkedStrings> table;
    EXPECT_EQ(0u, table.GetItemsInContainer());
    EXPECT_EQ(1, table.Add(Row("abc")));
    EXPECT_EQ(1, table.Add(Row("abcd")));
    EXPECT_EQ(2u, table.GetItemsInContainer());
}

TEST(HashTableAdd, StoresACopy)
{
    THashTableImp<TLinkedStrings> table;
    TLinkedStrings row = Row("abc", "group", "a.exe=;", 1);
    table.Add(row);
    row.Group = "changed";
    row.FileList = "changed";
    row.Shared = 0;

    const TLinkedStrings* found = table.Find(TLinkedStrings::Key("abc"));
    ASSERT_NE(nullptr, found);
    EXPECT_NE(&row, found);
    EXPECT_EQ("group", found->Group);
    EXPECT_EQ("a.exe=;", found->FileList);
    EXPECT_EQ(1, found->Shared);
}

TEST(HashTableAdd, KeepsDuplicatesAndFindReturnsTheLastAdded)
{
    THashTableImp<TLinkedStrings> table;
    EXPECT_EQ(1, table.Add(Row("abc", "first")));
    EXPECT_EQ(1, table.Add(Row("abc", "second")));
    EXPECT_EQ(2u, table.GetItemsInContainer());
    EXPECT_EQ(2u, table.BucketSize(103));

    const TLinkedStrings* found = table.Find(TLinkedStrings::Key("abc"));
    ASSERT_NE(nullptr, found);
    EXPECT_EQ("second", found->Group);
}

TEST(HashTableFind, EmptyTableFindsNothing)
{
    THashTableImp<TLinkedStrings> table;
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("abc")));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("")));
}

TEST(HashTableFind, TellsApartNamesSharingABucket)
{
    ASSERT_EQ(BucketOfName("abc"), BucketOfName(CollidesWithAbc));
    THashTableImp<TLinkedStrings> table;
    table.Add(Row("abc", "abc row"));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key(CollidesWithAbc)));

    table.Add(Row(CollidesWithAbc, "adp row"));
    const TLinkedStrings* abc = table.Find(TLinkedStrings::Key("abc"));
    const TLinkedStrings* adp = table.Find(TLinkedStrings::Key(CollidesWithAbc));
    ASSERT_NE(nullptr, abc);
    ASSERT_NE(nullptr, adp);
    EXPECT_EQ("abc row", abc->Group);
    EXPECT_EQ("adp row", adp->Group);
}

TEST(HashTableFind, IsCaseSensitive)
{
    THashTableImp<TLinkedStrings> table;
    table.Add(Row("Zolt"));
    EXPECT_NE(nullptr, table.Find(TLinkedStrings::Key("Zolt")));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("zolt")));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("ZOLT")));
}

TEST(HashTableFind, IgnoresEverythingButTheName)
{
    THashTableImp<TLinkedStrings> table;
    table.Add(Row("abc", "stored group", "stored=;", 1));
    const TLinkedStrings* found = table.Find(Row("abc", "other group", "other=;", 0));
    ASSERT_NE(nullptr, found);
    EXPECT_EQ("stored group", found->Group);
}

TEST(HashTableFind, NeedsTheWholeName)
{
    THashTableImp<TLinkedStrings> table;
    table.Add(Row("abcd"));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("abc")));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("abcd ")));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key(std::string("abcd\0", 5))));
}

TEST(HashTableForEach, VisitsEveryRecordOnce)
{
    THashTableImp<TLinkedStrings> table;
    table.Add(Row("abc", "first"));
    table.Add(Row("abc", "second"));
    table.Add(Row(CollidesWithAbc));
    table.Add(Row("abcde"));
    std::vector<std::string> seen;
    table.ForEach([&seen](const TLinkedStrings& row) { seen.push_back(row.Name + "/" + row.Group); });
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ((std::vector<std::string>{"abc/first", "abc/second", "abcde/", "adp/"}), seen);
}

TEST(HashTableClear, EmptiesEveryBucket)
{
    THashTableImp<TLinkedStrings> table;
    table.Add(Row("abc"));
    table.Add(Row(CollidesWithAbc));
    table.Add(Row("abcde"));
    table.Clear();
    EXPECT_EQ(0u, table.GetItemsInContainer());
    EXPECT_EQ(0u, table.BucketSize(103));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("abc")));
    EXPECT_EQ(nullptr, table.Find(TLinkedStrings::Key("abcde")));
}
