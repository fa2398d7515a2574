#include "../../unattended/TCommandLine.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

namespace {
const char Program[] = "\"C:\\Program Files\\ZOLT\\uninst\\UninstallZolt.exe\"";

std::string Line(const std::string& arguments)
{
    return std::string(Program) + " " + arguments;
}
} // namespace

TEST(CommandLineSplit, FollowsTheRuntimesQuotingRules)
{
    struct TCase {
        const char* Arguments;
        Texts Expected;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"/quiet /all", {"/quiet", "/all"}},
        {"\"/log:C:\\My Logs\\uz.log\"", {"/log:C:\\My Logs\\uz.log"}},
        {"/log:\"C:\\My Logs\\uz.log\"", {"/log:C:\\My Logs\\uz.log"}},
        {"/items:\"ZOLT 网络计划;甲库\" /quiet", {"/items:ZOLT 网络计划;甲库", "/quiet"}},
        // Backslashes are literal unless a quote follows them.
        {"/log:C:\\logs\\", {"/log:C:\\logs\\"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\"b", {"a\"b"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"\"unclosed quote", {"unclosed quote"}},
        // "圳" is 0xDB 0x5C in GBK: its trail byte is no backslash before a quote.
        {"/items:\"\xDB\x5C\" x", {"/items:\xDB\x5C", "x"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.Expected, TCommandLine::SplitArguments(Line(c.Arguments))) << c.Arguments;
}

TEST(CommandLineSplit, ProgramNameIsSkippedQuotedOrNot)
{
    EXPECT_EQ((Texts{"/all"}), TCommandLine::SplitArguments("UninstallZolt.exe /all"));
    EXPECT_EQ((Texts{"/all"}), TCommandLine::SplitArguments("\"C:\\a b\\UninstallZolt.exe\" /all"));
    // As in the runtime, the name runs on past its closing quote to a blank.
    EXPECT_EQ(Texts{}, TCommandLine::SplitArguments("\"C:\\a b\\UninstallZolt.exe\"/all"));
    EXPECT_EQ(Texts{}, TCommandLine::SplitArguments("\"C:\\a b\\UninstallZolt.exe"));
    // A quote anywhere in the name opens or closes a quoted stretch of it.
    EXPECT_EQ((Texts{"/quiet", "/all"}),
              TCommandLine::SplitArguments("C:\\Program\" \"Files\\ZOLT\\uninst\\UninstallZolt.exe /quiet /all"));
    EXPECT_EQ((Texts{"/all"}), TCommandLine::SplitArguments("C:\\\"a b\"\\UninstallZolt.exe /all"));
    EXPECT_EQ(Texts{}, TCommandLine::SplitArguments(""));
}

TEST(CommandLineParse, NoArgumentsIsTheWindow)
{
    TCommandLine options = TCommandLine::Parse(Program);
    EXPECT_FALSE(options.HasArguments());
    EXPECT_TRUE(options.IsValid());
    EXPECT_FALSE(options.Quiet || options.All || options.List || options.Help || options.ChoosesItems());
}

TEST(CommandLineParse, UnderstoodCommandLines)
{
    struct TCase {
        const char* Arguments;
        bool Help, Quiet, All, List;
        Texts Items;
        const char* Log;
    } cases[] = {
        {"/?", true, false, false, false, {}, ""},
        {"-HELP", true, false, false, false, {}, ""},
        {"/quiet /all", false, true, true, false, {}, ""},
        {"-Quiet -ALL /Quiet", false, true, true, false, {}, ""},
        {"/all", false, false, true, false, {}, ""},
        {"/list", false, false, false, true, {}, ""},
        {"/quiet /list", false, true, false, true, {}, ""},
        {"/all /list", false, false, true, true, {}, ""},
        {"/items:ZOLT网络计划", false, false, false, false, {"ZOLT网络计划"}, ""},
        {"/quiet \"/items:ZOLT 工程预算;定额库\"", false, true, false, false, {"ZOLT 工程预算", "定额库"}, ""},
        {"/ITEMS:甲库;甲库", false, false, false, false, {"甲库", "甲库"}, ""},
        {"/log:uz.log", false, false, false, false, {}, "uz.log"},
        {"/quiet /all \"/log:C:\\日志 目录\\uz.log\"", false, true, true, false, {}, "C:\\日志 目录\\uz.log"},
        {"/log:C:\\a:b", false, false, false, false, {}, "C:\\a:b"},
    };
    for (const TCase& c : cases) {
        TCommandLine options = TCommandLine::Parse(Line(c.Arguments));
        EXPECT_TRUE(options.HasArguments()) << c.Arguments;
        EXPECT_EQ(c.Help, options.Help) << c.Arguments;
        if (c.Help)
            continue;
        EXPECT_TRUE(options.IsValid()) << c.Arguments << ": " << options.Error;
        EXPECT_EQ(c.Quiet, options.Quiet) << c.Arguments;
        EXPECT_EQ(c.All, options.All) << c.Arguments;
        EXPECT_EQ(c.List, options.List) << c.Arguments;
        EXPECT_EQ(c.Items, options.Items) << c.Arguments;
        EXPECT_EQ(std::string(c.Log), options.LogFile) << c.Arguments;
    }
}

TEST(CommandLineParse, RefusedCommandLinesChooseNothing)
{
    const char* const cases[] = {
        "/bogus",
        "/quiet /bogus",
        "quiet",
        "/",
        "-",
        "/quiet",
        "/quiet /log:uz.log",
        "/all /items:甲库",
        "/items:甲库 /items:乙库",
        "/items:",
        "/items",
        "/items:甲库;;乙库",
        "/items:;",
        "/items:甲库;",
        "/log:",
        "/log",
        "/log:a.log /log:b.log",
        "/all:yes",
        "/quiet:1 /all",
        "/list:all",
        "/all /quiet extra",
        // Help with anything else would end like a run that did its work.
        "/? /quiet /all",
        "/quiet /? /bogus",
        "/help /list",
        "/? /?",
        // The window removes the current user's parts only.
        "/allusers",
        "/all /allusers",
        "/items:甲库 /allusers",
        "/quiet /all /allusers:yes",
    };
    for (const char* arguments : cases) {
        TCommandLine options = TCommandLine::Parse(Line(arguments));
        EXPECT_FALSE(options.IsValid()) << arguments;
        EXPECT_FALSE(options.Error.empty()) << arguments;
        EXPECT_FALSE(options.ChoosesItems()) << arguments << " would still choose something";
        EXPECT_FALSE(options.Help) << arguments;
    }
}

// As LocalSystem, whose own profile is nobody's, every profile is visited
// without /allusers. Wine runs as its one user, so what the token says is
// given here as Windows would report it.
TEST(CommandLineParse, EveryProfileOnlyForAnUnattendedRemoval)
{
    struct TCase {
        const char* Arguments;
        bool AllUsers, Visits, VisitsAsLocalSystem;
    } cases[] = {
        {"/quiet /all /allusers", true, true, true},
        {"-ALLUSERS /quiet /items:甲库", true, true, true},
        {"/quiet /all", false, false, true},
        {"/quiet /items:甲库", false, false, true},
        // Nothing is removed.
        {"/quiet /list /allusers", true, false, false},
        {"/quiet /all /list", false, false, false},
        // The window.
        {"/all", false, false, false},
        {"", false, false, false},
    };
    for (const TCase& c : cases) {
        TCommandLine options = TCommandLine::Parse(Line(c.Arguments));
        EXPECT_EQ(c.AllUsers, options.AllUsers) << c.Arguments;
        EXPECT_EQ(c.Visits, options.VisitsEveryProfile(false)) << c.Arguments;
        EXPECT_EQ(c.VisitsAsLocalSystem, options.VisitsEveryProfile(true)) << c.Arguments;
    }
}

TEST(CommandLineParse, ErrorNamesTheFirstThingNotUnderstood)
{
    EXPECT_NE(std::string::npos, TCommandLine::Parse(Line("/all /frob /zap")).Error.find("/frob"));
    EXPECT_NE(std::string::npos, TCommandLine::Parse(Line("stray")).Error.find("stray"));
}
