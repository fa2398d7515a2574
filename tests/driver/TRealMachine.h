#pragma once
#include <windows.h>
#include "../support/ScratchCleanup.h"
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

// A fixture for driving the finished program: it seeds the test machine's
// real registry, Windows and system directories (the program runs in a
// process of its own, so nothing can be redirected), points the shell
// folders at a scratch folder, and puts everything back at tear-down.
class TRealMachine : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static const char UninstallKey[];

    // An entry under HKLM's uninstall key, with string values.
    void AddUninstallEntry(const std::string& name, const std::map<std::string, std::string>& values = {});
    bool UninstallEntryExists(const std::string& name) const;
    // "Dek Files" keys of the real VEXA.INI, in order, each with its value.
    void WriteQuotaLibraries(const std::vector<std::pair<std::string, std::string>>& keys);
    void SetSharedLibraryPresent(bool present);

    // Scratch folder helpers; paths relative to Root.
    std::string Path(const std::string& relative) const;
    void MakeFile(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    static bool ExistsAbsolute(const std::string& path);

    // Keys in the real registry that the test made; deleted at tear-down.
    void MakeKey(HKEY root, const std::string& path);
    void SetString(HKEY root, const std::string& path, const char* name, const std::string& value);
    static bool KeyExists(HKEY root, const std::string& path);

    std::string Root;
    std::string WindowsFolder;
    std::string SystemFolder;
    std::string ProgramsFolder() const { return Path("Programs"); }
    std::string DesktopFolder() const { return Path("Desktop"); }
    std::string DocumentsFolder() const { return Path("Documents"); }

private:
    struct TSavedValue {
        HKEY Root;
        std::string Path, Name, Value;
        bool Existed;
    };
    void SaveAndSet(HKEY root, const std::string& path, const char* name, const std::string& value);

    std::vector<TSavedValue> SavedValues;
    std::vector<std::pair<HKEY, std::string>> MadeKeys;
    std::vector<std::string> MadeSystemFiles;
};

