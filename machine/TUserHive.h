#pragma once
#include <windows.h>
#include "TWidePath.h"
#include <string>

// A user's hive file loaded below HKEY_USERS under a name of the program's
// own, and unloaded again by the destructor, whatever happened in between.
// Loading and unloading need the restore and backup privileges, which are
// enabled for each call only. Every key opened in the hive must be closed
// before it can be unloaded.
class TUserHive {
public:
    TUserHive() = default;
    ~TUserHive() { Unload(); }
    TUserHive(const TUserHive&) = delete;
    TUserHive& operator=(const TUserHive&) = delete;

    // Loads `file` as HKEY_USERS\<name>; returns what RegLoadKey said. A hive
    // an interrupted run left under that name is unloaded first.
    LONG Load(const std::string& name, const TWidePath& file);
    // ERROR_SUCCESS also when nothing is loaded. A hive that will not go is
    // still held, so the call can be repeated.
    LONG Unload();

    bool IsLoaded() const { return !Name.empty(); }
    // The name below HKEY_USERS; empty when nothing is loaded.
    const std::string& GetName() const { return Name; }

private:
    std::string Name;
};
