#include "Trace.h"

#include <atomic>
#include <exception>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace cornice {
namespace {

std::atomic<TraceListener> g_listener{nullptr};

} // namespace

void TraceCaughtException(const char* where) noexcept
{
    try {
        std::string line = std::string("Cornice: ") + where + ": ";
        try {
            throw; // only ever called inside a catch block
        } catch (const std::exception& error) {
            line += error.what();
        } catch (...) {
            line += "an exception without words";
        }
#ifdef _WIN32
        ::OutputDebugStringA((line + "\n").c_str());
#endif
        if (const TraceListener listener = g_listener.load()) listener(line.c_str());
    } catch (...) {
        // Out of memory while wording the trace: nothing more to say.
    }
}

void SetTraceListener(TraceListener listener) noexcept { g_listener.store(listener); }

} // namespace cornice
