#pragma once
#include "../catalogue/TSystemDirs.h"
#include <string>
#include <vector>

// What of the product family is on this machine, in the order the tree
// shows it. Reads the registry, the system directory and "VEXA.INI".
struct TInstalledItems {
    std::vector<std::string> Products;       // uninstall entries, registry order
    bool SharedLibraries = false;            // the marker DLL is in the system directory
    std::vector<std::string> QuotaLibraries; // keys of "Dek Files", INI order

    // Needs the catalogues filled; looks for the marker DLL in `dirs.SystemDir`.
    static TInstalledItems Discover(const TSystemDirs& dirs);

    // Whether an uninstall entry belongs to the family: its command names
    // this program, or its key name is in the product catalogue.
    static bool IsFamilyEntry(const char* keyName, const char* uninstallString);
};

extern const char UninstallKeyPath[];
extern const char IniFileName[];
extern const char QuotaLibrarySection[];
