#include "../../catalogue/TFixedPath.h"
#include <gtest/gtest.h>
#include <string>

TEST(FixedPath, FreshPathIsEmptyAndNotUsable)
{
    TFixedPath path;
    EXPECT_EQ(0u, path.size());
    EXPECT_FALSE(path.IsUsable());
    EXPECT_FALSE(path.IsRefused());
    EXPECT_STREQ("", path.c_str());
}

TEST(FixedPath, AppendJoins)
{
    TFixedPath path("C:\\ZOLT\\");
    path.Append("uninst\\").Append(std::string("udmain.exe"));
    EXPECT_STREQ("C:\\ZOLT\\uninst\\udmain.exe", path.c_str());
    EXPECT_EQ(25u, path.size());
    EXPECT_TRUE(path.IsUsable());
}

TEST(FixedPath, JoinOf255BytesFits)
{
    TFixedPath path("C:\\");
    path.Append(std::string(252, 'a'));
    EXPECT_FALSE(path.IsRefused());
    EXPECT_EQ(255u, path.size());
    EXPECT_EQ("C:\\" + std::string(252, 'a'), path.c_str());
}

TEST(FixedPath, JoinOf256BytesIsRefusedWithoutCutting)
{
    TFixedPath path("C:\\");
    path.Append(std::string(253, 'a'));
    EXPECT_TRUE(path.IsRefused());
    EXPECT_FALSE(path.IsUsable());
    // Nothing of the refused text is taken in.
    EXPECT_STREQ("C:\\", path.c_str());
    EXPECT_EQ(3u, path.size());
}

TEST(FixedPath, OverlongFirstTextIsRefused)
{
    TFixedPath path(std::string(256, 'a').c_str());
    EXPECT_TRUE(path.IsRefused());
    EXPECT_FALSE(path.IsUsable());
    EXPECT_STREQ("", path.c_str());
}

TEST(FixedPath, StaysRefusedAfterwards)
{
    TFixedPath path("C:\\");
    path.Append(std::string(300, 'a'));
    ASSERT_TRUE(path.IsRefused());
    path.Append("x.exe");
    EXPECT_TRUE(path.IsRefused());
    EXPECT_FALSE(path.IsUsable());
    EXPECT_STREQ("C:\\", path.c_str());
}

TEST(FixedPath, EmptyTextsDoNotMakeAPathUsable)
{
    TFixedPath path;
    path.Append("").Append(std::string());
    EXPECT_EQ(0u, path.size());
    EXPECT_FALSE(path.IsUsable());
    EXPECT_FALSE(path.IsRefused());
}
