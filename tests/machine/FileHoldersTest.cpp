#include "../../holders/TFileHolders.h"
#include "../../holders/TRestartManager.h"
#include "../support/TRemoteProgram.h"
#include "../support/TScratchMachine.h"
#include <algorithm>
#include <cwchar>
#include <memory>

namespace {
// A file built beside the test programs (the holder program and its DLL).
std::string BesideTheTests(const char* name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\') + 1) + name;
}

RM_PROCESS_INFO App(DWORD id, const wchar_t* name, const wchar_t* service, RM_APP_TYPE type)
{
    RM_PROCESS_INFO app = {};
    app.Process.dwProcessId = id;
    app.Process.ProcessStartTime = FILETIME{0x5A3B2C00, 0x01DA0F11};
    std::wcsncpy(app.strAppName, name, CCH_RM_MAX_APP_NAME);
    std::wcsncpy(app.strServiceShortName, service, CCH_RM_MAX_SVC_NAME);
    app.ApplicationType = type;
    app.AppStatus = RmStatusRunning;
    app.TSSessionId = type == RmService ? 0 : 1;
    app.bRestartable = type == RmService;
    return app;
}

const THolder* Find(const std::vector<THolder>& holders, DWORD id)
{
    for (const THolder& holder : holders)
        if (holder.ProcessId == id)
            return &holder;
    return nullptr;
}

bool Holds(const THolder* holder, const std::string& file)
{
    return holder && std::any_of(holder->Files.begin(), holder->Files.end(),
                                 [&](const std::string& held) { return lstrcmpiA(held.c_str(), file.c_str()) == 0; });
}
} // namespace

// What RmGetList reports on Windows for files in use: an estimator's program
// by its window, a service with its display and short names, two services
// of one host process, Explorer, a console program, and the uninstaller
// itself, which is never listed.
TEST(FileHolders, RestartManagerListNamesEachProcessOnceWithItsKind)
{
    const DWORD self = GetCurrentProcessId();
    const RM_PROCESS_INFO apps[] = {
        App(4242, L"ZOLT 网络计划", L"", RmMainWindow),
        App(1312, L"Windows Search", L"WSearch", RmService),
        App(1080, L"Remote Procedure Call (RPC)", L"RpcSs", RmService),
        App(1080, L"DCOM Server Process Launcher", L"DcomLaunch", RmService),
        App(2112, L"", L"ZoltLicence", RmService),
        App(3000, L"Windows 资源管理器", L"", RmExplorer),
        App(5000, L"Windows 命令处理程序", L"", RmConsole),
        App(6000, L"计算簿 - 钢筋比重表", L"", RmOtherWindow),
        App(self, L"弈辰软件卸载程序", L"", RmMainWindow),
    };
    std::vector<THolder> holders = TRestartManager::FromList(apps, sizeof apps / sizeof apps[0], self);

    ASSERT_EQ(7u, holders.size());
    const struct {
        DWORD Id;
        THolder::TKind Kind;
        const char* Name;
    } expected[] = {{4242, THolder::Application, "ZOLT 网络计划"},
                    {1312, THolder::Service, "Windows Search"},
                    {1080, THolder::Service, "Remote Procedure Call (RPC)"},
                    {2112, THolder::Service, "ZoltLicence"},
                    {3000, THolder::Critical, "Windows 资源管理器"},
                    {5000, THolder::Application, "Windows 命令处理程序"},
                    {6000, THolder::Application, "计算簿 - 钢筋比重表"}};
    for (size_t i = 0; i < holders.size(); ++i) {
        SCOPED_TRACE(expected[i].Name);
        EXPECT_EQ(expected[i].Id, holders[i].ProcessId);
        EXPECT_EQ(expected[i].Kind, holders[i].Kind);
        EXPECT_EQ(expected[i].Name, holders[i].Name);
    }
}

// Both answers about one process make one holder: the Restart Manager's
// name and kind, the walk's program file, the files of both once each.
TEST(FileHolders, AnswersAboutOneProcessAreMerged)
{
    THolder listed;
    listed.ProcessId = 4242;
    listed.Name = "ZOLT 网络计划";
    listed.Files = {"C:\\Plan\\example.wlt", "C:\\Plan\\netplan.exe"};
    THolder walked;
    walked.ProcessId = 4242;
    walked.Name = "netplan.exe";
    walked.Program = "C:\\Plan\\netplan.exe";
    walked.Files = {"C:\\PLAN\\netplan.exe", "C:\\Plan\\uninst\\udenu.dll"};
    THolder other = walked;
    other.ProcessId = 77;

    std::vector<THolder> merged = TFileHolders::Merge({listed}, {walked, other});

    ASSERT_EQ(2u, merged.size());
    EXPECT_EQ("ZOLT 网络计划", merged[0].Name);
    EXPECT_EQ("C:\\Plan\\netplan.exe", merged[0].Program);
    EXPECT_EQ((std::vector<std::string>{"C:\\Plan\\example.wlt", "C:\\Plan\\netplan.exe", "C:\\Plan\\uninst\\udenu.dll"}),
              merged[0].Files);
    EXPECT_EQ(77u, merged[1].ProcessId);
}

// Real processes: one run from a product's file, one that loaded a DLL of
// the product, one run from another file of the product's folder; a
// process that touches nothing of it, and the test itself, which holds
// the product's files as well, are not listed.
class FileHoldersLook : public TScratchMachine {
protected:
    void TearDown() override
    {
        Programs.clear();
        TScratchMachine::TearDown();
    }

    DWORD Run(const std::string& exe, const std::string& arguments)
    {
        Programs.push_back(std::make_unique<TRemoteProgram>(exe));
        EXPECT_TRUE(Programs.back()->Start(arguments)) << exe;
        return Programs.back()->GetProcessId();
    }

    std::vector<std::unique_ptr<TRemoteProgram>> Programs;
};

TEST_F(FileHoldersLook, FindsProgramsByTheirFileTheirModulesAndTheirFolder)
{
    const std::string holder = BesideTheTests("uz-holder.exe");
    MakeFolder("Plan\\uninst");
    MakeFolder("Plan\\tools");
    const std::string program = Path("Plan\\netplan.exe"), library = Path("Plan\\uninst\\udenu.dll"),
                      tool = Path("Plan\\tools\\helper.exe");
    ASSERT_TRUE(CopyFileA(holder.c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(BesideTheTests("uz-holder-lib.dll").c_str(), library.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(holder.c_str(), tool.c_str(), FALSE));
    HMODULE own = LoadLibraryA(library.c_str());
    ASSERT_NE(nullptr, own);
    const DWORD byFile = Run(program, "hidden");
    const DWORD byModule = Run(holder, "hidden load:" + library);
    const DWORD byFolder = Run(tool, "hidden");
    const DWORD bystander = Run(holder, "hidden");

    TRemovalTargets targets;
    for (const std::string& file : {program, library, BesideTheTests("uz_machine_tests.exe")})
        targets.AddFile(TWidePath::Full(file), TWidePath::Full(file));
    targets.AddFolder(Path("Plan"));
    const TFileHolders lookUp(targets);
    std::vector<THolder> holders;
    // The DLL is loaded a moment after its program starts.
    WaitUntil([&] {
        holders = lookUp.Look();
        return Holds(Find(holders, byModule), library);
    });

    EXPECT_TRUE(Holds(Find(holders, byFile), program));
    EXPECT_TRUE(Holds(Find(holders, byModule), library));
    EXPECT_TRUE(Holds(Find(holders, byFolder), tool));
    ASSERT_NE(nullptr, Find(holders, byFile));
    EXPECT_EQ(0, lstrcmpiA(program.c_str(), Find(holders, byFile)->Program.c_str()));
    EXPECT_EQ(0, lstrcmpiA("netplan.exe", Find(holders, byFile)->Name.c_str()));
    EXPECT_EQ(THolder::Application, Find(holders, byFile)->Kind);
    EXPECT_EQ(nullptr, Find(holders, bystander));
    EXPECT_EQ(nullptr, Find(holders, GetCurrentProcessId()));
    FreeLibrary(own);
}
