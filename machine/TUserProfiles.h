#pragma once
#include "TBaseFolder.h"
#include <string>
#include <vector>

// The machine's user profiles, as the system's profile list has them: the
// people who log on, not the system's own accounts. Each is opened in turn
// with TUserProfile.
class TUserProfiles {
public:
    struct TEntry {
        std::string Sid;
        // The profile folder, expanded, as Windows holds its name.
        TBaseFolder Path;
    };

    // Reads the profile list, in the registry's order.
    TUserProfiles();

    const std::vector<TEntry>& Entries() const { return Profiles; }

    // A person's account in canonical form: a local or domain account
    // (S-1-5-21- and four numbers) or a cloud directory account (S-1-12-1-
    // and four numbers). Everything else is left out: LocalSystem, the
    // local and network services (S-1-5-18 to -20), service and other
    // virtual accounts (S-1-5-80-, -82-, -83-, -90-, -96-...), and names
    // that are no plain SID, such as the ".bak" a damaged profile leaves.
    static bool IsUserSid(const std::string& sid);

    static const char ProfileListPath[];

private:
    std::vector<TEntry> Profiles;
};
