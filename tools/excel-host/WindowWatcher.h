// Watches for the windows an add-in shows (message boxes, dialogs, any top-level window of
// this process), reports each once with its caption and text, and closes it, from a thread of
// its own, so that a modal message box inside a callback is seen while the callback waits.
#pragma once

#include <atomic>
#include <set>
#include <thread>

#include <windows.h>

namespace cornice::host {

class WindowWatcher {
public:
    // With closeWindows false the windows stay for the user to close.
    explicit WindowWatcher(bool closeWindows);
    WindowWatcher(const WindowWatcher&) = delete;
    WindowWatcher& operator=(const WindowWatcher&) = delete;
    ~WindowWatcher();

    // Keeps this thread's windows alive until the watcher has looked at the windows at least
    // once after this call began, so that a window shown before it (a modeless one) is
    // reported; false when no look came within `limitMilliseconds`.
    bool PumpMessagesUntilLookedAt(DWORD limitMilliseconds);
    // How many visible top-level windows the process has.
    static int VisibleWindows();
    // Keeps this thread's windows alive until no visible window of the process is left, for
    // at most `limitMilliseconds` (INFINITE: as long as it takes); false when some are left.
    static bool PumpMessagesUntilNoWindows(DWORD limitMilliseconds = INFINITE);

    // How many windows were reported so far.
    int Reported() const { return reported_; }

private:
    void Run();
    void Look();

    const bool closeWindows_;
    std::atomic<bool> stop_{false};
    std::atomic<int> reported_{0};
    std::atomic<unsigned> looks_{0};
    std::set<HWND> seen_;
    std::thread thread_;
};

} // namespace cornice::host
