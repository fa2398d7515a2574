#pragma once
#include <windows.h>
#include "TWidePath.h"

// The names a pattern matches in one folder, as FindFirstFileW finds them,
// links not followed; "." and ".." are never among them. The search is
// closed by the destructor.
class TFileSearch {
public:
    explicit TFileSearch(const TWidePath& pattern);
    ~TFileSearch();
    TFileSearch(const TFileSearch&) = delete;
    TFileSearch& operator=(const TFileSearch&) = delete;

    // False when the search could not start: no such folder, or refused.
    bool IsOpen() const { return Search != INVALID_HANDLE_VALUE; }
    // Moves to the next name, the first one on the first call; false when
    // there is none left.
    bool Next();
    const WIN32_FIND_DATAW& Found() const { return Data; }

private:
    WIN32_FIND_DATAW Data = {};
    HANDLE Search = INVALID_HANDLE_VALUE;
    bool Started = false;
};
