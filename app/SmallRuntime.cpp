// The C++ runtime's error paths, made small. Its defaults pull in a symbol
// demangler, for the message std::terminate would print to a console this
// program does not have, and a second std::string implementation, for the
// texts of the library's exceptions: together a third of the exe. The
// program's own code throws nothing; a library error is a bug, and like any
// exception it is caught before it reaches Windows.
#include <cstdlib>
#include <exception>
#include <new>

namespace {
struct TLibraryError {};

[[noreturn]] void Fail()
{
    throw TLibraryError();
}
} // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc()
{
    throw bad_alloc();
}
void __throw_bad_array_new_length()
{
    throw bad_array_new_length();
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
