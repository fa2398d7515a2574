#pragma once
#include <string>
#include <vector>

// What of the product family is on this machine, in the order the tree
// shows it. Reads the registry, the system directory and "VEXA.INI".
struct TInstalledItems {
    std::vector<std::string> Products;       // uninstall entries, registry order
    bool SharedLibraries = false;            // the marker DLL is in the system directory
    std::vector<std::string> QuotaLibraries; // keys of "Dek Files", INI order

    static TInstalledItems Discover();

    // Whether an uninstall entry belongs to the family: its command names
    // this program, or its key name is in the product catalogue.
    static bool IsFamilyEntry(const char* keyName, const char* uninstallString);

    // The names in a zero-separated key list of `length` bytes; a name cut
    // at the end of the list is kept as it stands, empty names are dropped.
    static std::vector<std::string> SplitKeyList(const char* list, size_t length);
};

extern const char UninstallKeyPath[];
extern const char IniFileName[];
extern const char QuotaLibrarySection[];
