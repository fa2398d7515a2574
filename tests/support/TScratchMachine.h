#pragma once
#include <windows.h>
#include "../../uninstall/TRemovalContext.h"
#include <gtest/gtest.h>
#include <string>

// A fixture that gives each test a machine of its own: HKEY_LOCAL_MACHINE,
// HKEY_CURRENT_USER and HKEY_CLASSES_ROOT redirected to scratch keys, a
// scratch folder standing in for the Windows, system, programs, desktop and
// documents folders, and a removal context pointed at them.
// Everything is removed again at tear-down.
class TScratchMachine : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path under the scratch folder ("a\\b" joined with "\\").
    std::string Path(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    // Writes a file (and its folders); the content defaults to a marker text.
    void MakeFile(const std::string& relative, const std::string& content = "x") const;
    bool Exists(const std::string& relative) const;
    bool ExistsAbsolute(const std::string& path) const;

    // Registry helpers on the redirected roots; a path is "A\\B\\C".
    void MakeKey(HKEY root, const std::string& path) const;
    void SetString(HKEY root, const std::string& path, const char* name, const std::string& value) const;
    void SetRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                DWORD size) const;
    bool KeyExists(HKEY root, const std::string& path) const;

    // The scratch folder's well-known places.
    std::string WindowsFolder() const { return Path("Windows"); }
    std::string SystemFolder() const { return Path("Windows\\System32"); }
    std::string ProgramsFolder() const { return Path("Programs"); }
    std::string UserProgramsFolder() const { return Path("UserPrograms"); }
    std::string DesktopFolder() const { return Path("Desktop"); }
    std::string DocumentsFolder() const { return Path("Documents"); }

    // Points the shell-folder values at the scratch places (what the removal
    // pass reads). `common` false leaves "Common Programs" out.
    void SeedShellFolders(bool common = true) const;

    // The real "VEXA.INI" in the real Windows directory: the program reads it
    // by bare name, so tests write it there and SetUp/TearDown remove it.
    static std::string IniPath();
    void WriteIni(const std::string& text) const;
    static void FlushIniCache();

    std::string Root;
    // The scratch Windows and system folders; no complete removal.
    TRemovalContext Context;

private:
    HKEY Scratch = nullptr;
    HKEY Overrides[3] = {};
    std::string ScratchName;
};
