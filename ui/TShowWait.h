#pragma once
#include <windows.h>

// The hourglass and the mouse held by the focused window for as long as
// the object lives; the previous cursor comes back with the destructor.
class TShowWait {
public:
    TShowWait()
        : PreviousCursor(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT)))
    {
        ::SetCapture(::GetFocus());
    }
    ~TShowWait()
    {
        ::ReleaseCapture();
        ::SetCursor(PreviousCursor);
    }
    TShowWait(const TShowWait&) = delete;
    TShowWait& operator=(const TShowWait&) = delete;

private:
    HCURSOR PreviousCursor;
};
