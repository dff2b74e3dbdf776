#include "WindowWatcher.h"

#include "Console.h"
#include "Waiting.h"

#include <cstdio>
#include <string>
#include <vector>

namespace cornice::host {
namespace {

constexpr DWORD kPollMilliseconds = 20;
// Message boxes keep their text in the static control with this id (the same in Wine).
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring TextOf(HWND window)
{
    // WM_GETTEXT through a timeout: the window's thread may be busy.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, 1000, &copied))
        return {};
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

// EnumWindows' callbacks end the enumeration rather than let an exception into user32.
BOOL CALLBACK AddIfOfThisProcess(HWND window, LPARAM found)
try {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
} catch (...) {
    return FALSE;
}

std::vector<HWND> VisibleWindowsOfThisProcess()
{
    std::vector<HWND> windows;
    ::EnumWindows(AddIfOfThisProcess, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

struct Children {
    std::vector<std::wstring> buttons;
    std::vector<std::wstring> labels; // static controls that show text
    bool icon = false;
};

// The static control types that show their text (not icons, bitmaps, frames or rectangles).
bool ShowsText(LONG style)
{
    switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return true;
    default:
        return false;
    }
}

BOOL CALLBACK NoteChild(HWND child, LPARAM found)
try {
    auto& result = *reinterpret_cast<Children*>(found);
    if (!::IsWindowVisible(child)) return TRUE;
    const std::wstring className = ClassOf(child);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (::CompareStringOrdinal(className.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL)
        result.buttons.push_back(TextOf(child));
    else if (::CompareStringOrdinal(className.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL &&
             (style & SS_TYPEMASK) == SS_ICON) {
        // Wine keeps the icon control of a message box without an icon, empty.
        DWORD_PTR icon = 0;
        if (::SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &icon) && icon) result.icon = true;
    } else if (::CompareStringOrdinal(className.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL &&
               ShowsText(style)) {
        result.labels.push_back(TextOf(child));
    }
    return TRUE;
} catch (...) {
    return FALSE;
}

Children ChildrenOf(HWND window)
{
    Children children;
    ::EnumChildWindows(window, NoteChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// The dialog's default button, as Enter would press it; Cancel when it has none.
void PressDefaultButton(HWND dialog)
{
    DWORD_PTR answer = 0;
    int id = IDCANCEL;
    if (::SendMessageTimeoutW(dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) &&
        HIWORD(answer) == DC_HASDEFID)
        id = LOWORD(answer);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool IsPumpedWindowLeft() { return !VisibleWindowsOfThisProcess().empty(); }

} // namespace

WindowWatcher::WindowWatcher(bool closeWindows) : closeWindows_(closeWindows), thread_([this] { Run(); }) {}

WindowWatcher::~WindowWatcher()
{
    stop_ = true;
    thread_.join();
}

void WindowWatcher::Run()
try {
    while (!stop_) {
        Look();
        ++looks_;
        ::Sleep(kPollMilliseconds); // the poll interval of a watch, not a wait for something
    }
    Look(); // a window that came up just before the end
} catch (...) {
    // An exception that left the thread would end the process; the watch ends instead, and
    // whoever waits for its looks is told that they never came.
    std::fputs("excel-host: the window watch failed and stopped\n", stdout);
}

void WindowWatcher::Look()
{
    const std::vector<HWND> windows = VisibleWindowsOfThisProcess();
    // Forget windows that are gone, so that a new window with a reused handle is reported.
    for (auto it = seen_.begin(); it != seen_.end();)
        it = ::IsWindow(*it) ? std::next(it) : seen_.erase(it);

    for (HWND window : windows) {
        if (!seen_.insert(window).second) continue;
        ++reported_;
        const std::wstring className = ClassOf(window);
        const bool dialog = className == L"#32770";
        const Children children = ChildrenOf(window);
        const HWND messageText = dialog ? ::GetDlgItem(window, kMessageBoxTextId) : nullptr;

        Say(std::wstring(L"  window shown: ") + (messageText ? L"message box " : L"window ") + Quoted(TextOf(window)) +
            L" (class " + className + L")");
        if (messageText) Say(L"    text: " + Quoted(TextOf(messageText)));
        std::wstring buttons;
        for (const std::wstring& button : children.buttons) buttons += (buttons.empty() ? L"" : L", ") + Quoted(button);
        Say(L"    buttons: " + (buttons.empty() ? std::wstring(L"none") : buttons) +
            L"; icon: " + (children.icon ? L"yes" : L"none"));
        // A message box's text is reported above; other windows' labels, in creation order.
        if (!messageText && !children.labels.empty()) {
            std::wstring labels;
            for (const std::wstring& label : children.labels) labels += (labels.empty() ? L"" : L", ") + Quoted(label);
            Say(L"    labels: " + labels);
        }

        if (!closeWindows_) continue;
        // Said first: the main thread may go on as soon as the window is gone.
        Say(L"    closed by excel-host");
        if (dialog) PressDefaultButton(window);
        else ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

int WindowWatcher::VisibleWindows() { return static_cast<int>(VisibleWindowsOfThisProcess().size()); }

bool WindowWatcher::PumpMessagesUntilLookedAt(DWORD limitMilliseconds)
{
    // The look under way may have begun before the call: the one after it has not.
    const unsigned wanted = looks_ + 2;
    return WaitUntil([&] { return looks_ >= wanted; }, limitMilliseconds, Pumping::Messages);
}

bool WindowWatcher::PumpMessagesUntilNoWindows(DWORD limitMilliseconds)
{
    return WaitUntil([] { return !IsPumpedWindowLeft(); }, limitMilliseconds, Pumping::Messages);
}

} // namespace cornice::host
