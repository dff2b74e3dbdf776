// A failure caught and dealt with on the spot (a fallback taken, a message dropped at a window
// boundary) still leaves a line behind: in the debugger's output on Windows
// (OutputDebugString), and with whoever listens, such as a test.
#pragma once

namespace cornice {

// For use inside a catch block: "Cornice: <where>: <what the exception says>".
void TraceCaughtException(const char* where) noexcept;

// Receives every trace until replaced; null stops listening. Set by tests, on their own thread.
using TraceListener = void (*)(const char* where, const char* what);
inline TraceListener g_traceListener = nullptr;
inline void SetTraceListener(TraceListener listener) noexcept { g_traceListener = listener; }

} // namespace cornice
