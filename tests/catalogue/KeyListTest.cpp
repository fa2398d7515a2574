#include "../../catalogue/KeyList.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
using Names = std::vector<std::string>;

// The list in a buffer of exactly `length` bytes, so that a read past the
// length is a read past the allocation (which the sanitizer build reports).
Names Split(const char* bytes, size_t length)
{
    std::vector<char> exact(bytes, bytes + length);
    return SplitKeyList(exact.data(), length);
}
} // namespace

TEST(KeyListSplit, LastNameWithoutZeroIsKeptAndNothingBeyondIsRead)
{
    const char buffer[] = "ab\0cd\0ef" "XYZ\0";
    Names names = SplitKeyList(buffer, 8);
    EXPECT_EQ((Names{"ab", "cd", "ef"}), names);
    EXPECT_EQ((Names{"ab", "cd", "ef"}), Split(buffer, 8));
}

TEST(KeyListSplit, ListEndingInZeroHasNoEmptyName)
{
    const char buffer[] = "ab\0cd\0\0XYZ";
    EXPECT_EQ((Names{"ab", "cd"}), SplitKeyList(buffer, 6));
    EXPECT_EQ((Names{"ab", "cd"}), Split(buffer, 7));
}

TEST(KeyListSplit, NothingForLengthZero)
{
    const char buffer[] = "ab\0cd\0";
    EXPECT_EQ(Names{}, SplitKeyList(buffer, 0));
}
