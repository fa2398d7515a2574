#pragma once
#include "TWidePath.h"
#include <string>
#include <utility>

// A folder deletions are named under, as Windows holds its name (UTF-16) and
// as the program's code page spells it, with "?" for what that cannot write.
// Paths are built and measured in that spelling, in the fixed buffers the
// program always used; where a path is acted on, the part of it that is the
// folder is taken as Windows holds it, so that a folder named outside code
// page 936 (a user called Zoë) is never searched or deleted with a "?"
// standing in. A folder read from an INI file or an uninstall entry is known
// only as spelled.
class TBaseFolder {
public:
    TBaseFolder() = default;
    // Known only as spelled.
    TBaseFolder(std::string spelled) : Spelled(std::move(spelled)) {}
    TBaseFolder(const char* spelled) : Spelled(spelled) {}
    // As Windows holds it; spelled as Windows would spell it for the program.
    explicit TBaseFolder(const TWidePath& held);

    const std::string& GetSpelled() const { return Spelled; }
    const TWidePath& GetHeld() const { return Held; }
    bool empty() const { return Spelled.empty() && Held.empty(); }

    // The full path of the folder itself, as Windows holds it.
    TWidePath Full() const;
    // The full path of `path`, spelled under this folder (or anywhere when
    // this folder is empty), with this folder's part as Windows holds it.
    TWidePath Resolve(const std::string& path) const;

private:
    std::string Spelled;
    TWidePath Held;
};
