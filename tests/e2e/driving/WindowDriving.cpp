#include "WindowDriving.h"

#include "Utf8.h"
#include "Waiting.h"
#include "WinHandles.h"
#include "WineTestSupport.h"

#include <algorithm>
#include <cwctype>
#include <cstdlib>
#include <cstdio>
#include <map>

namespace cornice::driving {

int g_failures = 0;
std::string g_scenario;

void Check(bool ok, int line, const std::string& what)
{
    if (ok) return;
    ++g_failures;
    std::printf("FAIL [%s] line %d: %s\n", g_scenario.c_str(), line, what.c_str());
    std::fflush(stdout);
}

std::string U8(const std::wstring& text) { return ToUtf8(text); }

std::string Quote(const std::wstring& text)
{
    std::string shown;
    for (const char c : U8(text)) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else shown += c;
    }
    return "\"" + shown + "\"";
}

bool ReadDriverArguments(int argc, wchar_t** argv, const char* program, DriverArguments& arguments)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const auto next = [&] { return i + 1 < argc ? test::WindowsPathOf(U8(argv[++i])) : std::wstring(); };
        if (argument == L"--build") arguments.build = next();
        else if (argument == L"--installer") arguments.installer = next();
        else if (argument == L"--shots") arguments.shots = next();
        else arguments.scenarios.push_back(argument);
    }
    if (!arguments.build.empty() && !arguments.installer.empty() && !arguments.shots.empty() &&
        !arguments.scenarios.empty())
        return true;
    std::printf("usage: %s --build DIR --installer DIR --shots DIR SCENARIO...\n", program);
    return false;
}

int RunScenarios(const std::vector<std::wstring>& names, const Scenarios& known)
{
    for (const std::wstring& name : names) {
        g_scenario = U8(name);
        const auto found = known.find(name);
        if (found == known.end()) {
            Check(false, __LINE__, "no such scenario");
            continue;
        }
        const int before = g_failures;
        const DWORD started = ::GetTickCount();
        found->second();
        std::printf("%s %s (%lu ms)\n", g_failures == before ? "ok  " : "FAIL", g_scenario.c_str(),
                    static_cast<unsigned long>(::GetTickCount() - started));
        std::fflush(stdout);
    }
    return g_failures;
}

bool Eventually(const std::function<bool()>& condition, int milliseconds)
{
    return WaitUntil(condition, static_cast<DWORD>(milliseconds), Pumping::None, 50);
}

bool BringToFront(HWND window)
{
    ::SetForegroundWindow(window);
    const bool inFront = Eventually([&] { return ::GetForegroundWindow() == window; }, 10000);
    Check(inFront, __LINE__, "the window " + Quote(TextOf(window)) + " never came to the front");
    return inFront;
}

namespace {

// The window that input at the pointer, or from the keyboard, goes to.
HWND InputTarget(bool keyboard)
{
    if (keyboard) return ::GetForegroundWindow();
    POINT at;
    ::GetCursorPos(&at);
    return ::WindowFromPoint(at);
}

void InputTaken(bool keyboard, int messages)
{
    const HWND target = InputTarget(keyboard);
    Check(!target || WindowThreadCaughtUp(target, messages), __LINE__,
          "the window " + Quote(TextOf(target)) + " did not take its input");
}

} // namespace

std::string ReadFileText(const std::wstring& path)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read) text.append(buffer, read);
    return text;
}

bool CopyInto(const std::wstring& from, const std::wstring& to)
{
    if (::CopyFileW(from.c_str(), to.c_str(), FALSE)) return true;
    std::printf("cannot copy %s to %s (error %lu)\n", U8(from).c_str(), U8(to).c_str(), ::GetLastError());
    return false;
}

void PublishWhole(const std::wstring& path, const std::string& text)
{
    const std::wstring partial = path + L".part";
    {
        UniqueFile file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        DWORD written = 0;
        ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    ::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::wstring EnvironmentVariable(const wchar_t* name)
{
    std::vector<wchar_t> value(32768);
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return length && length < value.size() ? std::wstring(value.data(), length) : std::wstring();
}

StartedProgram::StartedProgram(std::wstring commandLine, const std::wstring& outputFile, const wchar_t* folder)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    UniqueFile output;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        output.Reset(::CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.Get();
    }
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr, folder,
                          &startup, &process))
        return;
    process_.Reset(process.hProcess);
    ::CloseHandle(process.hThread);
    id_ = process.dwProcessId;
}

StartedProgram::~StartedProgram()
{
    if (!Running()) return;
    ::TerminateProcess(process_.Get(), 99);
    ::WaitForSingleObject(process_.Get(), 5000);
}

bool StartedProgram::Running() const { return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

bool StartedProgram::Ended(DWORD milliseconds) const
{
    return process_ && ::WaitForSingleObject(process_.Get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD StartedProgram::ExitCode() const
{
    DWORD code = 9999;
    if (process_) ::GetExitCodeProcess(process_.Get(), &code);
    return code;
}

std::optional<DWORD> RunToEnd(std::wstring commandLine, DWORD milliseconds, const std::wstring& outputFile)
{
    const StartedProgram program(std::move(commandLine), outputFile);
    if (!program.Started() || !program.Ended(milliseconds)) return std::nullopt;
    return program.ExitCode();
}

std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, 2000, &copied))
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

namespace {

struct WindowSearch {
    DWORD process;
    std::wstring className;
    const wchar_t* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if ((search.process == 0 || process == search.process) && ::IsWindowVisible(window) &&
        ClassOf(window) == search.className && (!search.caption || TextOf(window) == search.caption))
        search.found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> WindowsOfProcess(DWORD process, const std::wstring& className, const wchar_t* caption)
{
    WindowSearch search{process, className, caption, {}};
    ::EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD process, const std::wstring& className, const wchar_t* caption, int milliseconds,
                   const std::function<bool()>& hopeless)
{
    HWND found = nullptr;
    Eventually(
        [&] {
            const std::vector<HWND> windows = WindowsOfProcess(process, className, caption);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr || (hopeless && hopeless());
        },
        milliseconds);
    return found;
}

std::wstring MessageText(HWND box)
{
    wchar_t text[4096] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 4096);
    return text;
}

void PressButton(HWND window, int id) { ::PostMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0); }
void AnswerOk(HWND box) { ::PostMessageW(box, WM_COMMAND, IDOK, 0); }
void AskToClose(HWND window) { ::PostMessageW(window, WM_CLOSE, 0, 0); }

RECT RectIn(HWND control, HWND window)
{
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<WORD> KeysNamed(const std::wstring& chord)
{
    static const std::pair<const wchar_t*, WORD> named[] = {
        {L"tab", VK_TAB},     {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}, {L"alt", VK_MENU},
        {L"ctrl", VK_CONTROL}, {L"shift", VK_SHIFT}, {L"down", VK_DOWN},     {L"up", VK_UP},
        {L"right", VK_RIGHT}, {L"left", VK_LEFT},
    };
    std::vector<WORD> keys;
    for (std::size_t start = 0;;) {
        const std::size_t plus = chord.find(L'+', start);
        const std::wstring name = chord.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start);
        WORD key = 0;
        if (name.size() == 1 && std::iswalnum(name[0])) key = static_cast<WORD>(std::towupper(name[0]));
        for (const auto& [keyName, code] : named)
            if (name == keyName) key = code;
        if (!key) return {};
        keys.push_back(key);
        if (plus == std::wstring::npos) return keys;
        start = plus + 1;
    }
}

bool SendKeys(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // Through the X server and the program's queue.
    const HWND target = InputTarget(true);
    return !target || WindowThreadCaughtUp(target, static_cast<int>(inputs.size()));
}

void Keys(std::initializer_list<WORD> keys)
{
    Check(SendKeys(keys), __LINE__, "the window " + Quote(TextOf(InputTarget(true))) + " did not take its keys");
}

void MovePointer(int x, int y)
{
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = static_cast<LONG>((x * 65535.0) / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    move.mi.dy = static_cast<LONG>((y * 65535.0) / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &move, sizeof move);
    POINT at{};
    Check(Eventually([&] { return ::GetCursorPos(&at) && std::abs(at.x - x) <= 1 && std::abs(at.y - y) <= 1; }), __LINE__,
          "the pointer never reached " + std::to_string(x) + "," + std::to_string(y));
    InputTaken(false, 1);
}

void MovePointerInto(HWND window, int dx, int dy)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    MovePointer(rect.left + dx, rect.top + dy);
}

void ClickWithMouse(HWND window, int dx, int dy)
{
    MovePointerInto(window, dx, dy);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
    InputTaken(false, 2);
}

HCURSOR Pointer()
{
    CURSORINFO info{};
    info.cbSize = sizeof info;
    ::GetCursorInfo(&info);
    return info.hCursor;
}

COLORREF Capture::At(int x, int y) const
{
    const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

Capture CaptureScreen(const RECT& rect)
{
    Capture capture;
    capture.width = rect.right - rect.left;
    capture.height = rect.bottom - rect.top;
    if (capture.width <= 0 || capture.height <= 0) return Capture{};
    capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);
    const WindowDc screen(nullptr);
    UniqueHdc memory(::CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueHbitmap bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        ScopedSelectObject select(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, capture.width, capture.height, screen.Get(), rect.left, rect.top, SRCCOPY);
    }
    ::GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < capture.pixels.size(); ++i) capture.pixels[i] = source[i] & 0x00FFFFFF;
    return capture;
}

Capture CaptureWindow(HWND window)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    return CaptureScreen(rect);
}

namespace {

BOOL CALLBACK AddIfVisible(HWND child, LPARAM list)
{
    if (::IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> VisibleDescendants(HWND window)
{
    std::vector<HWND> found;
    ::EnumChildWindows(window, AddIfVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

// True once neither the window nor any of its controls has anything left to paint. A window
// whose frame has painted may still have controls that have not (a button left black, a tab
// strip left empty), so each is looked at.
bool WindowAndControlsPainted(HWND window)
{
    if (!WindowThreadCaughtUp(window, 1)) return false;
    if (::GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND child : VisibleDescendants(window))
        if (::GetUpdateRect(child, nullptr, FALSE)) return false;
    return true;
}

// What a paint that never came leaves in a control's place: black (what the X server shows where
// nothing was drawn), or, for a control with a caption or a tab strip, no second colour at all.
std::string UnpaintedControls(HWND window, const Capture& capture)
{
    RECT frame;
    ::GetWindowRect(window, &frame);
    std::string unpainted;
    for (HWND child : VisibleDescendants(window)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        const int left = std::max<int>(rect.left - frame.left, 0), top = std::max<int>(rect.top - frame.top, 0);
        const int right = std::min<int>(rect.right - frame.left, capture.width);
        const int bottom = std::min<int>(rect.bottom - frame.top, capture.height);
        if (right - left < 4 || bottom - top < 4) continue;
        long black = 0;
        std::map<COLORREF, int> colours;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const COLORREF c = capture.At(x, y);
                black += c == RGB(0, 0, 0) ? 1 : 0;
                if (colours.size() < 2) ++colours[c];
            }
        const long area = static_cast<long>(right - left) * (bottom - top);
        const std::wstring text = TextOf(child);
        const bool shows = text.find_first_not_of(L" ") != std::wstring::npos || ClassOf(child) == L"SysTabControl32";
        if (black * 20 >= area * 19 || (shows && colours.size() < 2))
            unpainted += " " + U8(ClassOf(child)) + " " + Quote(text);
    }
    return unpainted;
}

} // namespace

Capture SettledCapture(HWND window, bool clientOnly)
{
    // A window that has just appeared may not have painted yet, and what it painted reaches
    // the screen a little later.
    Check(WaitUntil([&] { return WindowAndControlsPainted(window); }, 15000), __LINE__,
          "the window " + Quote(TextOf(window)) + " never finished painting");
    const auto take = [&] {
        RECT rect;
        if (clientOnly) {
            ::GetClientRect(window, &rect);
            ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        } else {
            ::GetWindowRect(window, &rect);
        }
        return CaptureScreen(rect);
    };
    Capture previous = take(), current;
    const bool settled = Eventually([&] {
        current = take();
        if (current.width == previous.width && current.height == previous.height && current.pixels == previous.pixels)
            return true;
        previous = std::move(current);
        return false;
    });
    Check(settled, __LINE__, "the picture of the window " + Quote(TextOf(window)) + " never stood still");
    return previous;
}

COLORREF MostCommonColour(HWND window)
{
    const Capture capture = SettledCapture(window, true);
    std::map<COLORREF, int> counts;
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x) ++counts[capture.At(x, y)];
    COLORREF best = 0;
    int most = -1;
    for (const auto& [colour, count] : counts)
        if (count > most) best = colour, most = count;
    return best;
}

bool Underlined(HWND label, const std::function<bool(COLORREF)>& inkColour)
{
    const Capture capture = CaptureWindow(label);
    int textLeft = capture.width, textRight = -1;
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x)
            if (inkColour(capture.At(x, y))) textLeft = std::min(textLeft, x), textRight = std::max(textRight, x);
    if (textRight < textLeft) return false;
    for (int y = 0; y < capture.height; ++y) {
        int run = 0;
        for (int x = textLeft; x <= textRight; ++x) run += inkColour(capture.At(x, y)) ? 1 : 0;
        if (run * 10 >= (textRight - textLeft + 1) * 9) return true;
    }
    return false;
}

namespace {

void WriteBitmap(const Capture& capture, const std::wstring& folder, const std::wstring& name)
{
    const int stride = (capture.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = capture.width;
    header.biHeight = capture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(stride * capture.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string data(reinterpret_cast<const char*>(&file), sizeof file);
    data.append(reinterpret_cast<const char*>(&header), sizeof header);
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int y = capture.height - 1; y >= 0; --y) {
        for (int x = 0; x < capture.width; ++x) {
            const COLORREF c = capture.At(x, y);
            row[x * 3] = static_cast<char>(GetBValue(c));
            row[x * 3 + 1] = static_cast<char>(GetGValue(c));
            row[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        data += row;
    }
    const std::wstring path = folder + L"\\" + name + L".bmp";
    UniqueFile out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(out.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
}

} // namespace

void SaveScreenArea(const RECT& area, const std::wstring& folder, const std::wstring& name)
{
    Capture previous = CaptureScreen(area), current;
    const bool settled = Eventually([&] {
        current = CaptureScreen(area);
        if (current.pixels == previous.pixels) return true;
        previous = std::move(current);
        return false;
    });
    Check(settled, __LINE__, U8(name) + ": the picture never stood still");
    WriteBitmap(previous, folder, name);
}

void SaveScreenshot(HWND window, const std::wstring& folder, const std::wstring& name)
{
    // Evidence only of what the window paints: it is asked to paint itself and every control
    // anew, and the shot is taken once all of that has reached the screen.
    // Under Wine a paint that has left the update region can reach the screen a little after
    // the picture first stands still (a button still blank), so the shot is taken again until
    // it shows every control, within a bound.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Capture capture;
    std::string unpainted;
    Eventually([&] {
        capture = SettledCapture(window);
        unpainted = UnpaintedControls(window, capture);
        return unpainted.empty();
    }, 10000);
    WriteBitmap(capture, folder, name);
    // Checked after the shot is written, so that a failure leaves its picture to look at.
    Check(unpainted.empty(), __LINE__, U8(name) + ": controls left unpainted:" + unpainted);
}

int ScreenDpi()
{
    const WindowDc screen(nullptr);
    return ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

} // namespace cornice::driving
