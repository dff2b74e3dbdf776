#include "Trace.h"

#include <exception>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>
#endif

namespace cornice {

void TraceCaughtException(const char* where) noexcept
{
    const char* what = "an exception without words";
    try {
        throw; // only ever called inside a catch block, whose exception outlives this
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
    }
#ifdef _WIN32
    for (const char* part : {"Cornice: ", where, ": ", what, "\n"}) ::OutputDebugStringA(part);
#endif
    if (g_traceListener) g_traceListener(where, what);
}

} // namespace cornice
