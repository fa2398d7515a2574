#include "../../door/TRemovalReport.h"
#include <gtest/gtest.h>
#include <string>

namespace {
using TReport = TRemovalReport;

// The log as a file would receive it, line by line.
struct TLogText : TRemovalReport::TLineSink {
    void Write(const std::string& text) override { Text += text; }
    std::string Text;
};

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}
} // namespace

TEST(RemovalReport, WhatWentOrWasNotThereIsComplete)
{
    TReport report;
    report.BeginItem("甲库");
    report.Add(TReport::File, TReport::Deleted, "C:\\a");
    report.Add(TReport::Shortcut, TReport::NotFound, "C:\\b.lnk");
    report.Add(TReport::Folder, TReport::Kept, "C:\\dir");
    report.Add(TReport::File, TReport::Kept, "C:\\uninst\\UninstallZolt.exe");
    EXPECT_TRUE(report.IsComplete());
    report.Add(TReport::Folder, TReport::Scheduled, "C:\\dir2");
    EXPECT_FALSE(report.IsComplete());
}

TEST(RemovalReport, LeftoversSayWhatGoesByHandAndWhatAtTheRestart)
{
    TReport report;
    TLogText log;
    report.TellLinesTo(&log);
    report.BeginItem("ZOLT网络计划");
    report.Add(TReport::File, TReport::Scheduled, "D:\\Plan\\netplan.exe", 32);
    report.Add(TReport::Folder, TReport::Scheduled, "D:\\Plan\\");
    report.Add(TReport::Key, TReport::Failed, "HKEY_CLASSES_ROOT\\.WLT", 5);
    report.Add(TReport::IniEntry, TReport::Failed, "C:\\WINDOWS\\VEXA.INI [Dek Files] 甲库", 5);
    report.Add(TReport::File, TReport::Failed, "D:\\Plan\\data\\x.dat", 0, TReport::Link);

    std::string text = report.DescribeLeftovers();
    EXPECT_EQ(0u, text.find("卸载已经完成，但有些项目现在无法删除。"));
    size_t byHand = text.find("以下项目需要您手动删除（共 3 项）：");
    size_t atRestart = text.find("以下项目将在重新启动计算机后删除（共 1 项）：");
    ASSERT_NE(std::string::npos, byHand);
    ASSERT_NE(std::string::npos, atRestart);
    EXPECT_LT(byHand, text.find("HKEY_CLASSES_ROOT\\.WLT"));
    EXPECT_LT(text.find("VEXA.INI [Dek Files] 甲库"), atRestart);
    EXPECT_LT(atRestart, text.find("D:\\Plan\\netplan.exe"));
    // A folder that waits for what is in it is no leftover of its own.
    EXPECT_EQ(std::string::npos, text.find("D:\\Plan\\\r\n"));
    EXPECT_NE(std::string::npos, text.find("请在方便时重新启动计算机。"));
    EXPECT_EQ(std::string::npos, text.find("未列出"));
    // Why it was not even tried is said with it.
    EXPECT_NE(std::string::npos, text.find("    D:\\Plan\\data\\x.dat（是链接，未删除）\r\n"));
    EXPECT_NE(std::string::npos, log.Text.find("D:\\Plan\\data\\x.dat (a link: not followed)\r\n"));
}

TEST(RemovalReport, LeftoversListAtMostFifteenLines)
{
    TReport report;
    report.BeginItem("ZOLT工程预算");
    for (int i = 0; i < 20; ++i)
        report.Add(TReport::File, TReport::Failed, "C:\\f" + std::to_string(i), 5);
    std::string text = report.DescribeLeftovers();
    EXPECT_EQ(15u, Occurrences(text, "    C:\\f"));
    EXPECT_NE(std::string::npos, text.find("C:\\f14\r\n"));
    EXPECT_EQ(std::string::npos, text.find("C:\\f15"));
    EXPECT_NE(std::string::npos, text.find("……另有 5 项未列出。"));
    EXPECT_NE(std::string::npos, text.find("（共 20 项）"));
    // Nothing waits for a restart, so none is asked for.
    EXPECT_EQ(std::string::npos, text.find("重新启动"));
}

// Each line goes to the log as its record is added, so a run cut short has
// logged all it did; a record that comes back to an earlier item at the end
// (a folder that waited for what was in it) is headed so.
TEST(RemovalReport, LogHearsEachLineAsItHappens)
{
    TReport report;
    TLogText log;
    report.TellLinesTo(&log);
    report.BeginItem("甲库");
    report.Add(TReport::File, TReport::Deleted, "C:\\Dek\\jia.dek");
    EXPECT_EQ("Removing 甲库\r\n"
              "  deleted    file       C:\\Dek\\jia.dek\r\n",
              log.Text);
    report.Add(TReport::IniEntry, TReport::Failed, "VEXA.INI [Dek Files] 甲库", 5);
    report.BeginItem("弈辰图集");
    report.BeginItem("ZOLT网络计划");
    report.Add(TReport::File, TReport::Scheduled, "D:\\Plan\\netplan.exe", 32);
    const size_t plan = report.CurrentItem();
    report.BeginSection("ZOLT网络计划 for S-1-5-21-1-2-3-1001");
    report.Add(TReport::Shortcut, TReport::Deleted, "C:\\Users\\bob\\Desktop\\ZOLT 网络计划.lnk");
    report.AddTo(plan, TReport::Folder, TReport::Kept, "D:\\Plan\\");
    report.AddTo(plan, TReport::Folder, TReport::Scheduled, "D:\\Plan\\uninst");

    EXPECT_EQ("Removing 甲库\r\n"
              "  deleted    file       C:\\Dek\\jia.dek\r\n"
              "  failed     INI entry  VEXA.INI [Dek Files] 甲库 (error 5)\r\n"
              "Removing 弈辰图集\r\n"
              "Removing ZOLT网络计划\r\n"
              "  scheduled  file       D:\\Plan\\netplan.exe (error 32; goes at the next restart)\r\n"
              "Removing ZOLT网络计划 for S-1-5-21-1-2-3-1001\r\n"
              "  deleted    shortcut   C:\\Users\\bob\\Desktop\\ZOLT 网络计划.lnk\r\n"
              "Finishing ZOLT网络计划\r\n"
              "  kept       folder     D:\\Plan\\ (not empty)\r\n"
              "  scheduled  folder     D:\\Plan\\uninst (goes at the next restart)\r\n",
              log.Text);
    EXPECT_EQ("3 items removed: 2 deleted, 0 not found, 1 kept, 2 scheduled for the restart, 1 failed",
              report.Summary());
}
