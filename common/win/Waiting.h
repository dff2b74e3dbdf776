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

// True once the thread of `window` (of any process) has taken the `messages` messages that
// were queued for it before the call: a sent message is answered only when that thread next
// looks at its queue, which it does after each message it handled. A window that is gone
// (the input closed it) has nothing left to take. False when the thread did not answer within
// `limitMilliseconds`.
inline bool WindowThreadCaughtUp(HWND window, int messages = 1, DWORD limitMilliseconds = 15000)
{
    for (int i = 0; i <= messages; ++i) {
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, limitMilliseconds, &answer))
            return !::IsWindow(window);
    }
    return true;
}

// True once `window` has nothing left to paint.
inline bool WaitUntilPainted(HWND window, DWORD limitMilliseconds = 15000)
{
    return WaitUntil([&] { return WindowThreadCaughtUp(window, 1, limitMilliseconds) && !::GetUpdateRect(window, nullptr, FALSE); },
                     limitMilliseconds);
}

} // namespace cornice
