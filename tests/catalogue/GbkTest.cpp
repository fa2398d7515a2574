#include "../../catalogue/Gbk.h"
#include <gtest/gtest.h>

// "乗" in code page 936 is 0x81 0x5C: its trail byte is a backslash.
#define BACKSLASH_TRAIL "\x81\x5c"

TEST(GbkLeadByte, RangeIs81ToFE)
{
    EXPECT_FALSE(IsGbkLeadByte(0x80));
    EXPECT_TRUE(IsGbkLeadByte(0x81));
    EXPECT_TRUE(IsGbkLeadByte(0xFE));
    EXPECT_FALSE(IsGbkLeadByte(0xFF));
    EXPECT_FALSE(IsGbkLeadByte('\\'));
}

TEST(GbkFindText, FindsAtACharacterBoundary)
{
    EXPECT_EQ(4, FindText("D:\\x\\uninst", "\\uninst"));
    EXPECT_EQ(5, FindText("D:\\工\\uninst", "\\uninst"));
}

TEST(GbkFindText, DoesNotMatchAtATrailByte)
{
    EXPECT_EQ(-1, FindText("D:\\x\x81\\uninst", "\\uninst"));
}

TEST(GbkFindText, DoesNotMatchTheFirstHalfOfACharacter)
{
    // A needle that ends in a lead byte matches no two-byte character of the text.
    EXPECT_EQ(-1, FindText(BACKSLASH_TRAIL, "\x81"));
    EXPECT_EQ(-1, FindText("D:\\" BACKSLASH_TRAIL, "\\\x81"));
    // The false match at 2 takes the lead byte of the character after it.
    EXPECT_EQ(5, FindText("D:\\" BACKSLASH_TRAIL "\\\x81", "\\\x81"));
    EXPECT_EQ(1, FindText("a\x81", "\x81"));
}

TEST(GbkFindText, FindsTheFirstOccurrence)
{
    EXPECT_EQ(2, FindText("C:\\uninst\\uninst", "\\uninst"));
}

TEST(GbkFindText, FindsPastATrailByteMatch)
{
    // The false match inside "乗" is skipped, the real one after it is found.
    EXPECT_EQ(6, FindText("D:\\" BACKSLASH_TRAIL "x\\uninst", "\\uninst"));
}

TEST(GbkFindText, MissingTextIsMinusOne)
{
    EXPECT_EQ(-1, FindText("C:\\ZOLT", "\\uninst"));
    EXPECT_EQ(-1, FindText("", "x"));
}

TEST(GbkFindLastChar, FindsTheLastBackslashCharacter)
{
    EXPECT_EQ(3, FindLastChar("a\\b\\c", '\\'));
    EXPECT_EQ(1, FindLastChar("a\\" BACKSLASH_TRAIL, '\\'));
}

TEST(GbkFindLastChar, TrailByteIsNotTheCharacter)
{
    EXPECT_EQ(-1, FindLastChar(BACKSLASH_TRAIL, '\\'));
    EXPECT_EQ(-1, FindLastChar("", '\\'));
}

TEST(GbkEndsWithChar, TrailByteBackslashIsNotAnEnding)
{
    EXPECT_FALSE(EndsWithChar("D:\\" BACKSLASH_TRAIL, '\\'));
}

TEST(GbkEndsWithChar, RealBackslashIsAnEnding)
{
    EXPECT_TRUE(EndsWithChar("D:\\", '\\'));
    EXPECT_TRUE(EndsWithChar("D:\\" BACKSLASH_TRAIL "\\", '\\'));
    EXPECT_FALSE(EndsWithChar("D:\\x", '\\'));
    EXPECT_FALSE(EndsWithChar("", '\\'));
}

TEST(GbkEndsWithChar, BytesOutsideTheLeadRangeAreSingleCharacters)
{
    EXPECT_TRUE(EndsWithChar("\x80\\", '\\'));
    EXPECT_TRUE(EndsWithChar("\xFF\\", '\\'));
    EXPECT_FALSE(EndsWithChar("\xFE\\", '\\'));
}

TEST(GbkSearch, LoneLeadByteAtTheEndDoesNotStepPastTheZero)
{
    // A cut two-byte character; the backslash after the zero must stay unseen.
    const char text[] = {'a', '\x81', '\0', '\\', '\0'};
    EXPECT_EQ(-1, FindLastChar(text, '\\'));
    EXPECT_EQ(-1, FindText(text, "\\"));
    EXPECT_FALSE(EndsWithChar(text, '\\'));
}
