#include "TFileSearch.h"

TFileSearch::TFileSearch(const TWidePath& pattern)
{
    Search = ::FindFirstFileW(pattern.c_str(), &Data);
}

TFileSearch::~TFileSearch()
{
    if (IsOpen())
        ::FindClose(Search);
}

bool TFileSearch::Next()
{
    if (!IsOpen())
        return false;
    for (;;) {
        if (Started && !::FindNextFileW(Search, &Data))
            return false;
        Started = true;
        const wchar_t* name = Data.cFileName;
        if (!(name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))))
            return true;
    }
}
