#pragma once
#include <windows.h>
#include <string>

// Tear-down helpers for what a test made: they never fail a test and never
// loop on something that will not go.
void DeleteRegistryTree(HKEY parent, const char* name);
void DeleteFolderTree(const std::string& folder);
// A file, or a folder with everything in it.
void DeletePath(const std::string& path);
