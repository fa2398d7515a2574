#pragma once
#include "../../removal/TRemovalContext.h"
#include "Owners.h"
#include "TMachine.h"

// A fixture that gives each test a machine of its own: HKEY_LOCAL_MACHINE,
// HKEY_CURRENT_USER and HKEY_CLASSES_ROOT redirected to scratch keys, a
// scratch folder standing in for the Windows, system, programs, desktop and
// documents folders, and a removal context pointed at them.
// Everything is removed again at tear-down.
class TScratchMachine : public TMachine {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string WindowsFolder() const { return Path("Windows"); }
    std::string SystemFolder() const { return Path("Windows\\System32"); }
    std::string UserProgramsFolder() const { return Path("UserPrograms"); }

    // Makes the scratch folder's "Cwd" the current directory until tear-down:
    // relative paths gone wrong must land there, never in the Linux root
    // that Wine's Z: drive maps.
    void WorkInScratchCwd();

    // The scratch Windows and system folders; no complete removal.
    TRemovalContext Context;

private:
    TKey Scratch;
    TKey Overrides[3];
    std::string ScratchName;
    std::string SavedDirectory;
};
