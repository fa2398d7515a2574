#include "TScratchMachine.h"
#include "../../catalogue/Catalogue.h"
#include "ScratchCleanup.h"
#include <cstdio>

namespace {
const HKEY Redirected[3] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT};
const char* const RedirectedNames[3] = {"HKLM", "HKCU", "HKCR"};
} // namespace

void TScratchMachine::SetUp()
{
    TMachine::SetUp();
    char name[64];
    std::snprintf(name, sizeof name, "UzScratch-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    ScratchName = name;

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    LayOut(std::string(temp) + ScratchName,
           {"Windows", "Windows\\System32", "Programs", "UserPrograms", "Desktop", "Documents"});

    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, ("Software\\" + ScratchName).c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, Scratch.Receive(), nullptr));
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(Scratch, RedirectedNames[i], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 Overrides[i].Receive(), nullptr));
    }
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(Redirected[i], Overrides[i]));

    Context.Dirs = TSystemDirs{WindowsFolder(), SystemFolder()};
    Context.CompleteRemoval = false;
    FillCatalogues();
}

void TScratchMachine::TearDown()
{
    if (!SavedDirectory.empty())
        SetCurrentDirectoryA(SavedDirectory.c_str());
    for (HKEY root : Redirected)
        RegOverridePredefKey(root, nullptr);
    for (TKey& key : Overrides)
        key.Reset();
    if (Scratch.IsOpen()) {
        Scratch.Reset();
        DeleteRegistryTree(HKEY_CURRENT_USER, ("Software\\" + ScratchName).c_str());
    }
    TMachine::TearDown();
}

void TScratchMachine::WorkInScratchCwd()
{
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    SavedDirectory = current;
    MakeFolder("Cwd");
    ASSERT_TRUE(SetCurrentDirectoryA(Path("Cwd").c_str()));
}
