#pragma once
#include <windows.h>

// Owners for what tests open, so that an ASSERT that returns early leaves
// nothing open behind it.
template <class Traits>
class TOwner {
public:
    using THandleType = typename Traits::THandleType;

    TOwner() = default;
    explicit TOwner(THandleType handle) : Handle(handle) {}
    ~TOwner() { Reset(); }
    TOwner(const TOwner&) = delete;
    TOwner& operator=(const TOwner&) = delete;
    TOwner(TOwner&& other) noexcept : Handle(other.Release()) {}
    TOwner& operator=(TOwner&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }

    operator THandleType() const { return Handle; }
    THandleType Get() const { return Handle; }
    bool IsOpen() const { return Handle != Traits::Empty(); }
    // For a call that hands the handle back through a pointer.
    THandleType* Receive()
    {
        Reset();
        return &Handle;
    }
    THandleType Release()
    {
        THandleType handle = Handle;
        Handle = Traits::Empty();
        return handle;
    }
    void Reset(THandleType handle = Traits::Empty())
    {
        if (IsOpen())
            Traits::Close(Handle);
        Handle = handle;
    }

private:
    THandleType Handle = Traits::Empty();
};

struct TKeyTraits {
    using THandleType = HKEY;
    static HKEY Empty() { return nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};

// Processes, threads and the like, which are null when not open.
struct TKernelTraits {
    using THandleType = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

// CreateFile's handles, which are INVALID_HANDLE_VALUE when not open.
struct TFileTraits {
    using THandleType = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct TFindTraits {
    using THandleType = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { FindClose(handle); }
};

struct TModuleTraits {
    using THandleType = HMODULE;
    static HMODULE Empty() { return nullptr; }
    static void Close(HMODULE module) { FreeLibrary(module); }
};

using TKey = TOwner<TKeyTraits>;
using THandle = TOwner<TKernelTraits>;
using TFile = TOwner<TFileTraits>;
using TFind = TOwner<TFindTraits>;
using TModuleFile = TOwner<TModuleTraits>;

// An exe or DLL loaded only to read its resources.
inline TModuleFile LoadAsData(const char* path)
{
    return TModuleFile(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// A page of memory in another process, freed with it.
class TRemotePage {
public:
    static const SIZE_T Size = 4096;

    explicit TRemotePage(HANDLE process)
        : Process(process),
          Address(static_cast<char*>(VirtualAllocEx(process, nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
    }
    ~TRemotePage()
    {
        if (Address)
            VirtualFreeEx(Process, Address, 0, MEM_RELEASE);
    }
    TRemotePage(const TRemotePage&) = delete;
    TRemotePage& operator=(const TRemotePage&) = delete;

    bool IsOpen() const { return Address != nullptr; }
    char* Get() const { return Address; }

private:
    HANDLE Process;
    char* Address;
};
