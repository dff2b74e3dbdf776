// What the drivers of the end-to-end tests do to the windows of other programs, as a user
// would, under Wine and Xvfb: real keys and mouse moves, the pointer that a window chose, its
// pixels and screenshots, and the checks that count failures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace cornice::driving {

// ---- Checks: a failure prints the scenario, the line and what was wrong, and is counted.
extern int g_failures;
extern std::string g_scenario;
void Check(bool ok, int line, const std::string& what);
#define CHECK(condition, what) ::cornice::driving::Check((condition), __LINE__, (what))

std::string U8(const std::wstring& text);
// "text" with \r and \n shown as escapes.
std::string Quote(const std::wstring& text);
std::string Hex(COLORREF colour);

// ---- Time: input travels through the X server and the program's queue, and a busy machine
// takes longer, so waits are for a condition with a generous limit (Waiting.h), never for a
// fixed time.
bool Eventually(const std::function<bool()>& condition, int milliseconds = 5000);
// Puts the window in front and waits until it is; a failed check names the window otherwise.
bool BringToFront(HWND window);

// ---- Files
// A Unix path ("/work/build") as Wine's Z: drive shows it.
std::wstring WindowsPath(const std::string& unixPath);
std::string ReadFileText(const std::wstring& path);
bool CopyInto(const std::wstring& from, const std::wstring& to);

// ---- Other programs' windows
// WM_GETTEXT through a timeout: the window's thread may be busy.
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The visible top-level windows of one process with this class.
std::vector<HWND> WindowsOfProcess(DWORD process, const std::wstring& className);
// `control`'s rectangle in `window`'s client coordinates.
RECT RectIn(HWND control, HWND window);

// ---- Input, real as a user's: the window must be in front. Each returns once the window that
// the input went to has taken it from its queue; what it then does is the caller's to wait for.
void Keys(std::initializer_list<WORD> keys);
void MovePointer(int x, int y);
void MovePointerInto(HWND window, int dx, int dy);
void ClickWithMouse(HWND window, int dx, int dy);
// The pointer that the window under it chose. Another process's cursor cannot be looked into
// under Wine (GetIconInfo fails), but its handle tells one pointer from another.
HCURSOR Pointer();

// ---- Pixels
struct Capture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top-down
    COLORREF At(int x, int y) const;
};
Capture CaptureScreen(const RECT& rect);
Capture CaptureWindow(HWND window);
// The window as it stands once it has painted and its picture stays the same.
Capture SettledCapture(HWND window, bool clientOnly = false);
// The colour that fills most of a window's client area: its background.
COLORREF MostCommonColour(HWND window);
// A row of the link's colour (predicate) as wide as most of its text.
bool Underlined(HWND label, const std::function<bool(COLORREF)>& inkColour);
// A 24-bit BMP named `name` in `folder` (the scripts turn them into PNG files).
void SaveScreenshot(HWND window, const std::wstring& folder, const std::wstring& name);

int ScreenDpi();

} // namespace cornice::driving
