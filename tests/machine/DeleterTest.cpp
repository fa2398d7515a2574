#include "../../door/TDeleter.h"
#include "../../door/TEntryDeleter.h"
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
    TReport::TOutcome OutcomeOf(const std::string& name, TReport::TReason* reason = nullptr) const
    {
        TReport::TOutcome outcome = TReport::Deleted;
        bool found = false;
        for (const TReport::TRecord& record : Report.Records()) {
            if (record.Name == name) {
                outcome = record.Outcome;
                found = true;
                if (reason)
                    *reason = record.Reason;
            }
        }
        EXPECT_TRUE(found) << "no record of " << name;
        return outcome;
    }

    size_t RecordsOf(const std::string& name) const
    {
        size_t count = 0;
        for (const TReport::TRecord& record : Report.Records())
            count += record.Name == name;
        return count;
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

    EXPECT_TRUE(deleter.DeleteFile(Root, Path("listed.exe"), TReport::File, true));
    EXPECT_FALSE(deleter.DeleteFile(Root, Path("other.dek")));

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
    deleter.DeleteFile(Root, Path("absent.exe"));
    deleter.DeleteFile(Root, Path("NoFolder\\absent.exe"));
    // A folder where a file was expected is not the file.
    deleter.DeleteFile(Root, Path("Folder.exe"));
    deleter.RemoveFolder(Root, Path("NoFolder"));
    deleter.RemoveFolder("", Path("NoFolder"));
    deleter.Finish();
    for (const char* name : {"absent.exe", "NoFolder\\absent.exe", "Folder.exe", "NoFolder"})
        EXPECT_EQ(TReport::NotFound, OutcomeOf(Path(name))) << name;
    EXPECT_TRUE(Exists("Folder.exe"));
    EXPECT_TRUE(Report.IsComplete());
}

// Only what a process holds waits for the restart: a file open without
// delete sharing, a running program's image; a folder waits only when all
// that is still in it waits too, and goes after it, deepest first, at the
// end of the pass. A path named twice is tried once.
TEST_F(Deleter, OnlyWhatAProcessHoldsGoesAtTheRestartAndFoldersAfterIt)
{
    MakeFile("Plan\\uninst\\udmain.exe");
    MakeFile("Plan\\mine.wlt");
    MakeFile("Lib\\Deep\\hb.dek");
    MakeFile("Lib\\Deep\\example.ysb");
    MakeFolder("Lib\\Empty");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    const std::string image = Path("Lib\\viewer.exe");
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\notepad.exe").c_str(), image.c_str(), FALSE));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(image.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                               &startup, &started));
    THandle running(started.hProcess);
    CloseHandle(started.hThread);
    TFile holder(CreateFileA(Path("Plan\\uninst\\udmain.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    TFile libraryHolder(CreateFileA(Path("Lib\\Deep\\hb.dek").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.IsOpen() && libraryHolder.IsOpen());
    TDeleter deleter(Report, "");

    // The outer folder first, as a product removed before its library would.
    deleter.RemoveFolder("", Path("Lib"));
    EXPECT_FALSE(deleter.DeleteFile(Path("Plan"), Path("Plan\\uninst\\udmain.exe")));
    EXPECT_FALSE(deleter.DeleteFile(Path("Plan"), Path("PLAN\\Uninst\\UDMAIN.exe")));
    deleter.RemoveFolder(Path("Plan"), Path("Plan\\uninst"));
    deleter.RemoveFolder("", Path("Plan\\"));
    EXPECT_FALSE(deleter.DeleteFile(Path("Lib"), image));
    EXPECT_FALSE(deleter.DeleteFile(Path("Lib"), Path("Lib\\Deep\\hb.dek")));
    EXPECT_TRUE(deleter.DeleteFile(Path("Lib"), Path("Lib\\Deep\\example.ysb")));
    deleter.RemoveFolder(Path("Lib"), Path("Lib\\Deep"));
    deleter.RemoveFolder(Path("Lib"), Path("Lib\\Empty"));
    deleter.Finish();
    TerminateProcess(running, 0);

    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Plan\\uninst\\udmain.exe")));
    EXPECT_EQ(1u, RecordsOf(Path("Plan\\uninst\\udmain.exe")));
    EXPECT_EQ(0u, RecordsOf(Path("PLAN\\Uninst\\UDMAIN.exe")));
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(image));
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Plan\\uninst")));
    // The user's file keeps it, at the restart as now.
    EXPECT_EQ(TReport::Kept, OutcomeOf(Path("Plan\\")));
    EXPECT_FALSE(IsPending(Path("Plan")));
    EXPECT_EQ(TReport::Deleted, OutcomeOf(Path("Lib\\Empty")));
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Lib\\Deep")));
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Lib")));

    std::vector<std::string> pending = PendingDeletions();
    auto at = [&](const std::string& path) { return std::find(pending.begin(), pending.end(), path) - pending.begin(); };
    for (const char* path : {"Plan\\uninst\\udmain.exe", "Plan\\uninst", "Lib\\Deep\\hb.dek", "Lib\\Deep", "Lib"})
        EXPECT_LT(at(Path(path)), static_cast<long>(pending.size())) << path;
    EXPECT_EQ(1, std::count(pending.begin(), pending.end(), Path("Plan\\uninst\\udmain.exe")));
    EXPECT_LT(at(Path("Plan\\uninst\\udmain.exe")), at(Path("Plan\\uninst")));
    EXPECT_LT(at(Path("Lib\\Deep\\hb.dek")), at(Path("Lib\\Deep")));
    EXPECT_LT(at(Path("Lib\\Deep")), at(Path("Lib")));
    EXPECT_EQ(6u, Report.Count(TReport::Scheduled));
}

TEST(DeleterRestart, OnlyWhatAProcessHoldsWaitsForTheRestart)
{
    EXPECT_TRUE(TDeleter::IsHeldByAProcess(false, ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(TDeleter::IsHeldByAProcess(false, ERROR_LOCK_VIOLATION));
    EXPECT_TRUE(TDeleter::IsHeldByAProcess(true, ERROR_SHARING_VIOLATION));
    // Opened with delete access and refused all the same: a mapped image.
    EXPECT_TRUE(TDeleter::IsHeldByAProcess(true, ERROR_ACCESS_DENIED));
    // Refused at the door: rights the user running the program lacks.
    EXPECT_FALSE(TDeleter::IsHeldByAProcess(false, ERROR_ACCESS_DENIED));
    EXPECT_FALSE(TDeleter::IsHeldByAProcess(false, ERROR_WRITE_PROTECT));
    EXPECT_FALSE(TDeleter::IsHeldByAProcess(true, ERROR_DIR_NOT_EMPTY));
}

TEST_F(Deleter, OwnFileIsKnownByWhatItIsNotHowItIsSpelled)
{
    MakeFile("Plan\\uninst\\UninstallZolt.exe");
    MakeFile("Tool\\UninstallZolt.exe");
    const std::string own = Path("Plan\\uninst\\UninstallZolt.exe");
    ASSERT_TRUE(CreateHardLinkA(Path("Plan\\uninst\\udmain.exe").c_str(), own.c_str(), nullptr));
    TDeleter deleter(Report, own);

    // Any spelling of it: another case, "/" for "\", another name of the same file.
    std::string spelled = Path("PLAN/uninst/uninstallzolt.EXE");
    std::replace(spelled.begin(), spelled.end(), '\\', '/');
    EXPECT_FALSE(deleter.DeleteFile(Root, spelled));
    EXPECT_FALSE(deleter.DeleteFile(Root, Path("Plan\\uninst\\udmain.exe")));
    EXPECT_TRUE(Exists("Plan\\uninst\\UninstallZolt.exe"));
    EXPECT_EQ(TReport::Kept, OutcomeOf(spelled));
    EXPECT_EQ(TReport::Kept, OutcomeOf(Path("Plan\\uninst\\udmain.exe")));
    EXPECT_TRUE(deleter.DeleteFile(Root, Path("Tool\\UninstallZolt.exe")));

    deleter.ScheduleOwnFileIn(Path("Tool"));
    deleter.ScheduleOwnFileIn(Path("Plan\\uninstall"));
    EXPECT_FALSE(IsPending(own));
    deleter.ScheduleOwnFileIn(Path("Plan\\uninst"));
    deleter.ScheduleOwnFileIn(Path("Plan\\uninst"));
    EXPECT_TRUE(IsPending(own));
    EXPECT_EQ(1u, Report.Count(TReport::Scheduled));
    ASSERT_TRUE(DeleteFileA(Path("Plan\\uninst\\udmain.exe").c_str()));
    deleter.RemoveFolder(Path("Plan"), Path("Plan\\uninst"));
    deleter.Finish();
    EXPECT_EQ(TReport::Scheduled, OutcomeOf(Path("Plan\\uninst")));
}

// A link below the folder a path is named under is never followed and never
// deleted, and nothing of it is scheduled; the folder itself may be a link,
// and what lies in it goes.
TEST_F(Deleter, LinksBelowTheFolderAreNeverFollowed)
{
    MakeFile("Elsewhere\\x.dat");
    MakeFile("Elsewhere\\y.dat");
    MakeFile("Elsewhere\\t.txt");
    MakeFile("Plan\\netplan.exe");
    ASSERT_NO_FATAL_FAILURE(MakeLink("Plan\\data", "Elsewhere"));
    MakeFolder("Elsewhere\\Empty");
    ASSERT_NO_FATAL_FAILURE(MakeLink("Plan\\Empty", "Elsewhere\\Empty"));
    MakeFile("Moved\\a.exe");
    MakeFile("Moved\\uninst\\udmain.exe");
    ASSERT_NO_FATAL_FAILURE(MakeLink("Linked", "Moved"));
    TDeleter deleter(Report, "");

    EXPECT_FALSE(deleter.DeleteFile(Path("Plan"), Path("Plan\\data\\x.dat"), TReport::File, true));
    deleter.RemoveFolder(Path("Plan"), Path("Plan\\data"));
    deleter.RemoveFolder(Path("Plan"), Path("Plan\\Empty"));
    // Named under a folder it does not lie in.
    EXPECT_FALSE(deleter.DeleteFile(Path("Plan"), Path("Plan\\..\\Elsewhere\\y.dat")));
    EXPECT_TRUE(deleter.DeleteFile(Path("Plan"), Path("Plan\\netplan.exe")));

    EXPECT_TRUE(deleter.DeleteFile(Path("Linked"), Path("Linked\\a.exe")));
    EXPECT_TRUE(deleter.DeleteFile(Path("Linked"), Path("Linked\\uninst\\udmain.exe")));
    deleter.RemoveFolder(Path("Linked"), Path("Linked\\uninst"));
    deleter.RemoveFolder("", Path("Linked"));
    deleter.Finish();

    TReport::TReason reason = TReport::NoReason;
    EXPECT_EQ(TReport::Failed, OutcomeOf(Path("Plan\\data\\x.dat"), &reason));
    EXPECT_EQ(TReport::Link, reason);
    EXPECT_EQ(TReport::Failed, OutcomeOf(Path("Plan\\data"), &reason));
    EXPECT_EQ(TReport::Link, reason);
    EXPECT_EQ(TReport::Failed, OutcomeOf(Path("Plan\\Empty"), &reason));
    EXPECT_EQ(TReport::Link, reason);
    EXPECT_EQ(TReport::Failed, OutcomeOf(Path("Plan\\..\\Elsewhere\\y.dat"), &reason));
    EXPECT_EQ(TReport::Outside, reason);
    for (const char* kept : {"Elsewhere\\x.dat", "Elsewhere\\y.dat", "Elsewhere\\Empty", "Plan\\data", "Plan\\Empty"})
        EXPECT_TRUE(Exists(kept)) << kept;
    EXPECT_FALSE(Exists("Plan\\netplan.exe"));

    EXPECT_FALSE(Exists("Moved\\a.exe"));
    EXPECT_FALSE(Exists("Moved\\uninst"));
    EXPECT_EQ(TReport::Kept, OutcomeOf(Path("Linked"), &reason));
    EXPECT_EQ(TReport::FolderIsLink, reason);
    EXPECT_TRUE(Exists("Moved"));
    EXPECT_EQ(0u, Report.Count(TReport::Scheduled));
    EXPECT_FALSE(IsPending(Path("Elsewhere\\x.dat")));
}

// What Windows reports of a target opened for deletion, and the verdict:
// the links Wine cannot make, and final paths that lead elsewhere.
TEST(DeleterJudge, WhatWindowsReportsDecides)
{
    using TVerdict = TDeleter::TVerdict;
    const DWORD Plain = FILE_ATTRIBUTE_ARCHIVE, Folder = FILE_ATTRIBUTE_DIRECTORY;
    const DWORD Reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    struct TCase {
        const wchar_t* Folder;
        const wchar_t* Final;
        DWORD Attributes;
        DWORD Tag;
        bool Itself;
        TVerdict Expected;
    } cases[] = {
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan\\data\\x.dat", Plain, 0, false, TDeleter::Proceed},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\c:\\zolt\\netplan\\X.DAT", Plain, 0, false, TDeleter::Proceed},
        // A junction, a mount point, a symbolic link, Wine's links, any tag.
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan\\data", Folder | Reparse, IO_REPARSE_TAG_MOUNT_POINT,
         false, TDeleter::RefuseLink},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan\\x.dat", Plain | Reparse, IO_REPARSE_TAG_SYMLINK, false,
         TDeleter::RefuseLink},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan\\data", Folder | Reparse, 0, false,
         TDeleter::RefuseLink},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan\\x.exe", Plain | Reparse, 0x8000001B, false,
         TDeleter::RefuseLink},
        // Data kept elsewhere, not a way to another file: a cloud desktop, compression.
        {L"\\\\?\\C:\\Users\\li\\OneDrive\\Desktop", L"\\\\?\\C:\\Users\\li\\OneDrive\\Desktop\\ZOLT 网络计划.lnk",
         Plain | Reparse, 0x9000601A, false, TDeleter::Proceed},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan\\netplan.exe", Plain | Reparse, 0x80000017, false,
         TDeleter::Proceed},
        // Led elsewhere through a link in a folder above it: a mount point to
        // the object manager, a junction made between the check and the open.
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\Windows\\System32\\config\\SAM", Plain, 0, false,
         TDeleter::RefuseOutside},
        {L"\\\\?\\C:\\ZOLT\\Net", L"\\\\?\\C:\\ZOLT\\NetPlan\\x.dat", Plain, 0, false, TDeleter::RefuseOutside},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\Volume{0b2f4c1e-0000-0000-0000-100000000000}\\ZOLT\\NetPlan\\x.dat",
         Plain, 0, false, TDeleter::RefuseOutside},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"", Plain, 0, false, TDeleter::RefuseOutside},
        {L"\\\\?\\UNC\\srv\\apps\\ZOLT", L"\\\\?\\UNC\\srv\\apps\\ZOLT\\x.dat", Plain, 0, false, TDeleter::Proceed},
        {L"\\\\?\\UNC\\srv\\apps\\ZOLT", L"\\\\?\\UNC\\srv\\apps2\\ZOLT\\x.dat", Plain, 0, false,
         TDeleter::RefuseOutside},
        {L"\\\\?\\D:\\", L"\\\\?\\D:\\x.dat", Plain, 0, false, TDeleter::Proceed},
        // The folder itself: a link to it is kept, and only it is removed.
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan\\", Folder, 0, true, TDeleter::Proceed},
        {L"\\\\?\\D:\\ZOLT\\NetPlan", L"\\\\?\\C:\\ZOLT\\NetPlan", Folder | Reparse, IO_REPARSE_TAG_MOUNT_POINT, true,
         TDeleter::KeepFolderLink},
        {L"\\\\?\\C:\\ZOLT\\NetPlan", L"\\\\?\\C:\\Windows", Folder, 0, true, TDeleter::RefuseOutside},
    };
    for (const TCase& c : cases) {
        TDeleter::TFacts facts = {c.Attributes, c.Tag, TWidePath::FromFinal(c.Final)};
        TWidePath folder = TWidePath::FromFinal(c.Folder);
        char final[512];
        WideCharToMultiByte(CP_ACP, 0, c.Final, -1, final, sizeof final, nullptr, nullptr);
        EXPECT_EQ(c.Expected, TDeleter::Judge(folder, facts, c.Itself)) << final;
    }
}

// An entry that goes is deleted, one that was not there is not found
// (removing it "succeeds" all the same), an empty value is an entry too,
// and one that will not go is a failure.
TEST_F(Deleter, IniEntryIsReportedAsWhatHappenedToIt)
{
    WriteIni("[Dek Files]\r\n甲库=C:\\jia.dek\r\n乙库=C:\\yi.dek\r\n丁库=\r\n[Other]\r\n丙库=x\r\n");
    TEntryDeleter entries(Report);
    for (const char* key : {"甲库", "丙库", "丁库", "戊库"})
        entries.DeleteIniEntry(QuotaLibrarySection, key, IniFileName, key);
    {
        // Held by a program that lets nobody else write it.
        TFile holder(CreateFileA(IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.IsOpen());
        entries.DeleteIniEntry(QuotaLibrarySection, "乙库", IniFileName, "乙库");
    }
    FlushIniCache();

    EXPECT_EQ(TReport::Deleted, OutcomeOf("甲库"));
    EXPECT_EQ(TReport::NotFound, OutcomeOf("丙库"));
    EXPECT_EQ(TReport::Deleted, OutcomeOf("丁库"));
    EXPECT_EQ(TReport::NotFound, OutcomeOf("戊库"));
    EXPECT_EQ(TReport::Failed, OutcomeOf("乙库"));
    EXPECT_EQ(std::vector<std::string>{"乙库"}, IniKeys(QuotaLibrarySection));
    EXPECT_EQ(std::vector<std::string>{"丙库"}, IniKeys("Other"));

    // Without the file, nothing is there to go.
    ASSERT_TRUE(DeleteFileA(IniPath().c_str()));
    FlushIniCache();
    entries.DeleteIniEntry(QuotaLibrarySection, "乙库", IniFileName, "乙库 again");
    EXPECT_EQ(TReport::NotFound, OutcomeOf("乙库 again"));
    EXPECT_FALSE(ExistsAbsolute(IniPath()));
}
