#include "../../uninstall/TDeleter.h"
#include "../support/Owners.h"
#include "../support/PendingDeletions.h"
#include "../support/TScratchMachine.h"
#include <algorithm>
#include <memory>

namespace {
using TReport = TRemovalReport;
} // namespace

// Each deletion as the removal pass makes it, and what the report says of
// it. What is scheduled for the restart is taken back at tear-down.
class Deleter : public TScratchMachine {
protected:
    void SetUp() override
    {
        Pending = std::make_unique<TPendingDeletionsGuard>();
        TScratchMachine::SetUp();
    }
    void TearDown() override
    {
        TScratchMachine::TearDown();
        Pending.reset();
    }

    // The outcome of the last record made for this name.
    TReport::TOutcome OutcomeOf(const std::string& name) const
    {
        TReport::TOutcome outcome = TReport::Deleted;
        bool found = false;
        for (const TReport::TRecord& record : Report.Records()) {
            if (record.Name == name) {
                outcome = record.Outcome;
                found = true;
            }
        }
        EXPECT_TRUE(found) << "no record of " << name;
        return outcome;
    }

    static bool IsPending(const std::string& path)
    {
        std::vector<std::string> pending = PendingDeletions();
        return std::find(pending.begin(), pending.end(), path) != pending.end();
    }

    std::unique_ptr<TPendingDeletionsGuard> Pending;
    TReport Report;
};

TEST_F(Deleter, ReadOnlyFileGoesOnlyWhenAProductsListNamesIt)
{
    for (const char* name : {"listed.exe", "other.dek"}) {
        MakeFile(name);
        ASSERT_TRUE(SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    TDeleter deleter(Report, "");

    EXPECT_TRUE(deleter.DeleteFile(Path("listed.exe"), TReport::File, true));
    EXPECT_FALSE(deleter.DeleteFile(Path("other.dek")));

    EXPECT_FALSE(Exists("listed.exe"));
    EXPECT_EQ(TReport::Deleted, OutcomeOf(Path("listed.exe")));
    // Left as it was, and not scheduled: nothing deletes a read-only file at the restart.
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA(Path("other.dek").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(TReport::Failed, OutcomeOf(Path("other.dek")));
    EXPECT_FALSE(IsPending(Path("other.dek")));
}

TEST_F(Deleter, WhatIsNotThereIsNoFailure)
{
    MakeFolder("Folder.exe");
    TDeleter deleter(Report, "");
    deleter.DeleteFile(Path("absent.exe"));
    deleter.DeleteFile(Path("NoFolder\\absent.exe"));
    // A folder where a file was expected is not the file.
    deleter.DeleteFile(Path("Folder.exe"));
    deleter.RemoveFolder(Path("NoFolder"));
    for (const char* name : {"absent.exe", "NoFolder\\absent.exe", "Folder.exe", "NoFolder"})
        EXPECT_EQ(TReport::NotFound, OutcomeOf(Path(name))) << name;
    EXPECT_TRUE(Exists("Folder.exe"));
    EXPECT_TRUE(Report.IsComplete());
}

TEST_F(Deleter, FileInUseGoesAtTheRestartAndTheFoldersItKeepsAfterIt)
{
    MakeFile("Plan\\uninst\\udmain.exe");
    MakeFile("Plan\\mine.wlt");
    MakeFile("Other\\mine.wlt");
    TFile holder(CreateFileA(Path("Plan\\uninst\\udmain.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsOpen());
    TDeleter deleter(Report, "");

    EXPECT_FALSE(deleter.DeleteFile(Path("Plan\\uninst\\udmain.exe")));
    deleter.RemoveFolder(Path("Plan\\uninst"));
    deleter.RemoveFolder(Path("Plan\\"));
    deleter.RemoveFolder(Path("Other"));

    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Plan\\uninst\\udmain.exe")));
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Plan\\uninst")));
    // Kept by the user's file too, but that is for the restart to find out.
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Plan\\")));
    EXPECT_EQ(TReport::Kept, OutcomeOf(Path("Other")));
    std::vector<std::string> pending = PendingDeletions();
    auto at = [&](const std::string& path) { return std::find(pending.begin(), pending.end(), path) - pending.begin(); };
    EXPECT_LT(at(Path("Plan\\uninst\\udmain.exe")), at(Path("Plan\\uninst")));
    EXPECT_LT(at(Path("Plan\\uninst")), at(Path("Plan\\")));
    EXPECT_LT(at(Path("Plan\\")), static_cast<long>(pending.size()));
    EXPECT_FALSE(IsPending(Path("Other")));
    EXPECT_EQ(3u, Report.Count(TReport::Scheduled));
}

TEST_F(Deleter, OwnFileIsKeptAndScheduledOnlyFromItsUninstFolder)
{
    MakeFile("Plan\\uninst\\UninstallZolt.exe");
    MakeFile("Tool\\UninstallZolt.exe");
    const std::string own = Path("Plan\\uninst\\UninstallZolt.exe");
    TDeleter deleter(Report, own);

    // Any spelling of it: another case, "/" for "\".
    std::string spelled = Path("PLAN/uninst/uninstallzolt.EXE");
    std::replace(spelled.begin(), spelled.end(), '\\', '/');
    EXPECT_FALSE(deleter.DeleteFile(spelled));
    EXPECT_TRUE(Exists("Plan\\uninst\\UninstallZolt.exe"));
    EXPECT_EQ(TReport::Kept, OutcomeOf(spelled));
    EXPECT_TRUE(deleter.DeleteFile(Path("Tool\\UninstallZolt.exe")));

    deleter.ScheduleOwnFileIn(Path("Tool"));
    deleter.ScheduleOwnFileIn(Path("Plan\\uninstall"));
    EXPECT_FALSE(IsPending(own));
    deleter.ScheduleOwnFileIn(Path("Plan\\uninst"));
    deleter.ScheduleOwnFileIn(Path("Plan\\uninst"));
    EXPECT_TRUE(IsPending(own));
    EXPECT_EQ(1u, Report.Count(TReport::Scheduled));
    deleter.RemoveFolder(Path("Plan\\uninst"));
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Plan\\uninst")));
}

TEST_F(Deleter, IniEntryThatWillNotGoIsReported)
{
    WriteIni("[Dek Files]\r\n甲库=C:\\jia.dek\r\n乙库=C:\\yi.dek\r\n");
    TDeleter deleter(Report, "");
    deleter.DeleteIniEntry(QuotaLibrarySection, "甲库", IniFileName, "甲");
    {
        // Held by a program that lets nobody else write it.
        TFile holder(CreateFileA(IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.IsOpen());
        deleter.DeleteIniEntry(QuotaLibrarySection, "乙库", IniFileName, "乙");
    }
    FlushIniCache();

    EXPECT_EQ(TReport::Deleted, OutcomeOf("甲"));
    EXPECT_EQ(TReport::Failed, OutcomeOf("乙"));
    EXPECT_EQ(std::vector<std::string>{"乙库"}, IniKeys(QuotaLibrarySection));
}
