#pragma once
#include "PendingDeletions.h"
#include "TMachine.h"
#include <memory>

// A fixture for driving the finished program: it seeds the test machine's
// real registry, Windows and system directories (the program runs in a
// process of its own, so nothing can be redirected), points the shell
// folders at a scratch folder, and puts everything back at tear-down.
class TRealMachine : public TMachine {
protected:
    void SetUp() override;
    void TearDown() override;

    void SetSharedLibraryPresent(bool present);

    // Paths in the real Windows and system directories.
    std::string InWindows(const std::string& name) const { return WindowsFolder + "\\" + name; }
    std::string InSystem(const std::string& name) const { return SystemFolder + "\\" + name; }

private:
    // Keys made are deleted at tear-down, values kept are put back.
    void KeyMade(HKEY root, const std::string& path) const override;
    void WideKeyMade(HKEY root, const std::wstring& path) const override;
    void KeepValue(HKEY root, const std::string& path, const char* name) const override;

    struct TSavedValue {
        HKEY Root;
        std::string Path, Name, Value;
        bool Existed;
    };
    mutable std::vector<TSavedValue> SavedValues;
    mutable std::vector<std::pair<HKEY, std::string>> MadeKeys;
    mutable std::vector<std::pair<HKEY, std::wstring>> MadeWideKeys;
    // What the program schedules for the restart is taken back at tear-down.
    std::unique_ptr<TPendingDeletionsGuard> Pending;
    std::string WindowsFolder;
    std::string SystemFolder;
};
