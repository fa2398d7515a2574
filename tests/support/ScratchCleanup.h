#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Tear-down helpers for what a test made: they never fail a test and never
// loop on something that will not go.
void DeleteRegistryTree(HKEY parent, const char* name);
void DeleteFolderTree(const std::string& folder);
// A file, or a folder with everything in it.
void DeletePath(const std::string& path);

// Under Wine, the Unix path of a Windows path, in UTF-8; empty elsewhere.
std::string UnixPath(const std::string& windowsPath);
// Under Wine, starts a Unix program with these arguments (UTF-8), as Wine
// starts one like a Windows program; true when it started. Wine neither
// waits for it nor knows its exit status: look for what it does.
bool RunUnixProgram(const std::string& program, const std::vector<std::string>& arguments);
// Removes a link itself (a Unix one, under Wine), never what it leads to.
void RemoveLink(const std::string& path);
