// The C++ runtime's error paths, made small. The program is built without
// exceptions: its own code throws nothing, and these replace every way the
// library would throw (running out of memory, a library error, which is a
// bug). Each ends the program at once with 1603, as any removal that could
// not be carried out does, instead of pulling in the exception machinery, a
// symbol demangler for std::terminate's message and a second std::string
// implementation for the texts of the library's exceptions.
#include <windows.h>
#include <cstdlib>
#include <new>

namespace {
const UINT FatalExitCode = 1603;

[[noreturn]] void Fail()
{
    ::ExitProcess(FatalExitCode);
}

void* Allocate(std::size_t size)
{
    return std::malloc(size ? size : 1);
}

void* AllocateOrFail(std::size_t size)
{
    void* block = Allocate(size);
    if (!block)
        Fail();
    return block;
}
} // namespace

void* operator new(std::size_t size)
{
    return AllocateOrFail(size);
}
void* operator new[](std::size_t size)
{
    return AllocateOrFail(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    Fail();
}
} // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc()
{
    Fail();
}
void __throw_bad_array_new_length()
{
    Fail();
}
void __throw_length_error(const char*)
{
    Fail();
}
void __throw_logic_error(const char*)
{
    Fail();
}
void __throw_out_of_range(const char*)
{
    Fail();
}
void __throw_out_of_range_fmt(const char*, ...)
{
    Fail();
}
void __throw_invalid_argument(const char*)
{
    Fail();
}
} // namespace std
