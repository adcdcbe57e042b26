// The C++ runtime's default handler for an exception that nothing catches prints the exception's type
// before it aborts, and with it comes the runtime's name demangler, a sixth of the DLL. The plug-in has
// no console to print to (and every window procedure catches what its handlers throw), so the DLL's
// handler only aborts, as the default one does after printing. Linked into the DLL alone.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
