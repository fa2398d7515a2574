#pragma once
#include <windows.h>

// A kernel object's handle, closed by the destructor. Either value the
// system gives for a failure (null, INVALID_HANDLE_VALUE) is no handle.
class THandle {
public:
    explicit THandle(HANDLE handle = nullptr) : Handle(handle) {}
    ~THandle() { Close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;

    void Reset(HANDLE handle)
    {
        Close();
        Handle = handle;
    }
    void Close()
    {
        if (IsOpen())
            ::CloseHandle(Handle);
        Handle = nullptr;
    }
    bool IsOpen() const { return Handle != nullptr && Handle != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return Handle; }

private:
    HANDLE Handle;
};
