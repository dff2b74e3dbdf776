// What the drivers and tools of the end-to-end tests do to the windows of other programs, as a
// user would, under Wine and Xvfb: real keys and mouse moves, the pointer that a window chose,
// its pixels and screenshots, the checks that count failures and the scenarios that run them.
#pragma once

#include "WinHandles.h"
#include "WineTestSupport.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
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
using test::Hex; // "#RRGGBB" for a colour

// ---- Scenarios
// A driver's command line: --build, --installer and --shots (Unix paths, kept as Wine shows
// them) and the names of the scenarios to run.
struct DriverArguments {
    std::wstring build, installer, shots;
    std::vector<std::wstring> scenarios;
};
// False, after printing the usage of `program`, when a folder or every scenario is missing.
bool ReadDriverArguments(int argc, wchar_t** argv, const char* program, DriverArguments& arguments);
using Scenarios = std::map<std::wstring, std::function<void()>>;
// Runs the named scenarios in the order given, each under its name for the checks, and prints
// "ok" or "FAIL" with its time; an unknown name is a failure. Returns the failed checks.
int RunScenarios(const std::vector<std::wstring>& names, const Scenarios& known);

// ---- Time: input travels through the X server and the program's queue, and a busy machine
// takes longer, so waits are for a condition with a generous limit (Waiting.h), never for a
// fixed time.
bool Eventually(const std::function<bool()>& condition, int milliseconds = 5000);
// Puts the window in front and waits until it is; a failed check names the window otherwise.
bool BringToFront(HWND window);

// ---- Files and environment
std::string ReadFileText(const std::wstring& path);
bool CopyInto(const std::wstring& from, const std::wstring& to);
// Writes `text` to `path` whole, through a file beside it, so that a reader never sees half.
void PublishWhole(const std::wstring& path, const std::string& text);
// An environment variable's value; empty when it is not set.
std::wstring EnvironmentVariable(const wchar_t* name);

// ---- Other programs
// A program that the driver started and that runs beside it: its output goes to `outputFile`
// unless that is empty, it runs in `folder` unless that is null, and it is ended by force
// (exit code 99) if it still runs when the object goes.
class StartedProgram {
public:
    explicit StartedProgram(std::wstring commandLine, const std::wstring& outputFile = {},
                            const wchar_t* folder = nullptr);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    bool Running() const;
    bool Ended(DWORD milliseconds) const;
    DWORD ExitCode() const; // 9999 while it has none

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// Runs `commandLine` to its end, its output into `outputFile` unless that is empty, and gives its
// exit code; none when it could not start or did not end within `milliseconds`.
std::optional<DWORD> RunToEnd(std::wstring commandLine, DWORD milliseconds = INFINITE,
                              const std::wstring& outputFile = {});

// ---- Other programs' windows
// WM_GETTEXT through a timeout: the window's thread may be busy.
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The visible top-level windows of one process (0: of any) with this class and, unless null,
// this caption.
std::vector<HWND> WindowsOfProcess(DWORD process, const std::wstring& className, const wchar_t* caption = nullptr);
// The first such window, waited for up to `milliseconds`, or until `hopeless` says it will not
// come; null when none came.
HWND WaitForWindow(DWORD process, const std::wstring& className, const wchar_t* caption, int milliseconds,
                   const std::function<bool()>& hopeless = nullptr);
// Windows and Wine give the text of a message box the control id 0xFFFF.
std::wstring MessageText(HWND box);
// `control`'s rectangle in `window`'s client coordinates.
RECT RectIn(HWND control, HWND window);

// ---- Messages to other programs' windows: posted, not sent, so that a button that opens a
// modal message box leaves the driver free to answer it.
void PressButton(HWND window, int id);
void AnswerOk(HWND box);
void AskToClose(HWND window);

// ---- Input, real as a user's: the window must be in front. Each returns once the window that
// the input went to has taken it from its queue; what it then does is the caller's to wait for.
// Keys by name: a letter or digit, tab, enter, escape, alt, ctrl, shift or an arrow; names
// joined by "+" are pressed together ("ctrl+tab"). Empty when a name is unknown.
std::vector<WORD> KeysNamed(const std::wstring& chord);
// Presses the keys together: all down in order, then up in reverse. False when the window in
// front did not take them.
bool SendKeys(const std::vector<WORD>& keys);
void Keys(std::initializer_list<WORD> keys); // SendKeys, and a failed check when not taken
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
// The same of an area of the screen (several windows, a menu open), once it stands still.
void SaveScreenArea(const RECT& area, const std::wstring& folder, const std::wstring& name);

int ScreenDpi();

} // namespace cornice::driving
