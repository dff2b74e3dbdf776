// Linked straight into Corbel.dll and Trellis.exe, not through a library, so that it is defined
// before libstdc++ is searched. libstdc++'s own terminate handler prints the type of the
// uncaught exception to stderr, for which it carries a C++ name demangler of some 45 KB; neither
// program has a console to print to, so this one only ends the process the same way. No
// exception is meant to reach it: none crosses a COM method or a window procedure.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
