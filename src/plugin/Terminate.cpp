// The C++ runtime's default handler for an exception that nothing catches prints the exception's type
// before it aborts, and with it comes the runtime's name demangler, a sixth of the DLL. The plug-in has
// no console to print to (and every window procedure catches what its handlers throw), so the DLL's
// handler only aborts, as the default one does after printing. Linked into the DLL alone.
//
// For the same reason the DLL has its own versions of the runtime's throw helpers, which the library's
// strings and containers call when they are misused or memory runs out. The runtime's versions build
// exception objects that carry their message in a string of the library's older kind, and with them come
// that whole second string class and what it needs, another sixth of the DLL. Every catch in the plug-in is
// catch (...): what is thrown matters, not its type or message.
#include <bits/functexcept.h>
#include <cstdlib>
#include <new>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx

namespace {

// What the helpers below throw, but for memory that runs out.
struct LibraryMisuse {};

} // namespace

namespace std {

void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_bad_exception() { throw LibraryMisuse(); }
void __throw_bad_cast() { throw LibraryMisuse(); }
void __throw_bad_typeid() { throw LibraryMisuse(); }
void __throw_logic_error(const char*) { throw LibraryMisuse(); }
void __throw_domain_error(const char*) { throw LibraryMisuse(); }
void __throw_invalid_argument(const char*) { throw LibraryMisuse(); }
void __throw_length_error(const char*) { throw LibraryMisuse(); }
void __throw_out_of_range(const char*) { throw LibraryMisuse(); }
void __throw_out_of_range_fmt(const char*, ...) { throw LibraryMisuse(); }
void __throw_runtime_error(const char*) { throw LibraryMisuse(); }
void __throw_range_error(const char*) { throw LibraryMisuse(); }
void __throw_overflow_error(const char*) { throw LibraryMisuse(); }
void __throw_underflow_error(const char*) { throw LibraryMisuse(); }

} // namespace std
