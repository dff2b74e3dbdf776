// Waiting for a condition, within a limit: what the tests, drivers and tools do instead of
// sleeping for a fixed time. The interval is only how often the condition is looked at; the
// limit is generous, since a busy machine is slow, and a wait that runs out says so.
#pragma once

#include <windows.h>

#include <algorithm>

namespace cornice {

enum class Pumping {
    None,     // the condition comes about elsewhere (another process or thread)
    Messages, // this thread's windows must go on working for the condition to come about
};

inline void PumpThreadMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// True as soon as `condition()` holds; false when it still does not after `limitMilliseconds`
// (INFINITE: as long as it takes).
template <typename Condition>
bool WaitUntil(Condition&& condition, DWORD limitMilliseconds, Pumping pumping = Pumping::None,
               DWORD intervalMilliseconds = 20)
{
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (pumping == Pumping::Messages) PumpThreadMessages();
        if (condition()) return true;
        const ULONGLONG waited = ::GetTickCount64() - start;
        if (limitMilliseconds != INFINITE && waited >= limitMilliseconds) return false;
        DWORD pause = intervalMilliseconds;
        if (limitMilliseconds != INFINITE) pause = static_cast<DWORD>(std::min<ULONGLONG>(pause, limitMilliseconds - waited));
        if (pumping == Pumping::Messages)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, pause, QS_ALLINPUT);
        else
            ::Sleep(pause);
    }
}

} // namespace cornice
