// What the installer's tests and the demo need from inside Windows, where Wine's own tools fall
// short:
//
//   installer-test-tool run               runs the command line in CORNICE_COMMAND_LINE exactly
//                                         as written, waits, and exits with its exit code
//   installer-test-tool value KEY NAME [32|64]
//                                         prints a registry value as UTF-8 (text as it is, a
//                                         number in decimal, other types in hex); NAME "" is
//                                         the default value. Exit 1: no such value
//   installer-test-tool wait-gone IMAGE   waits until no process runs IMAGE (e.g. Un.exe),
//                                         at most a minute. Exit 1: still running
//   installer-test-tool hold FILE FLAG    opens FILE without sharing it, then creates FLAG,
//                                         and keeps FILE so until FLAG is deleted, at most five
//                                         minutes. Windows keeps a loaded DLL from being
//                                         written; Wine does not, but it honours share modes.
//                                         Exit 1: FILE cannot be opened or FLAG made; 3: FLAG
//                                         was never deleted
//
// and, to drive a program's windows from a script (the demo, under Xvfb), waiting at most
// 30 seconds for the window; exit 1 when it does not come:
//   window CLASS                          prints "X Y WIDTH HEIGHT" of the visible top-level
//                                         window of that class, with the popup menus and
//                                         message boxes of its program that stand beside it
//   message CAPTION                       the same for a message box; then its text
//   keys CLASS KEY...                     brings the window forward and types the keys: a
//                                         letter or digit, tab, enter, escape, alt, down, right,
//                                         or two joined by "+" (ctrl+tab)
//   press CLASS ID                        presses the window's button with that control id
//   answer CAPTION                        presses OK in the message box of that caption
//   close CLASS                           asks the window to close
//   hover CLASS TEXT                      rests the pointer on the window's control that reads
//                                         TEXT until its program shows a tooltip; then prints
//                                         the bounds of both, as "window" does. Exit 1: none came
//   wait-text CAPTION TEXT                waits up to a minute until a visible control of the
//                                         dialog whose caption begins so reads TEXT (an installer's
//                                         page). Exit 1, listing the texts it shows: never
//   wait-text-gone CAPTION TEXT           waits up to a minute until none does (the page left)
//   uncheck CAPTION TEXT                  clears the check box that reads TEXT in that dialog
//   shot CAPTION FOLDER NAME              moves the pointer out of the way and saves the dialog
//                                         as FOLDER\NAME.bmp
//
// Wine builds a Windows command line from Unix arguments by quoting every argument with a
// blank, but an NSIS installer wants /D=C:\a folder\b last and unquoted, as a deployment script
// on Windows writes it; and `reg query` prints through the console's code page, which loses
// letters outside it. Exit 2: bad arguments; 255: the command could not start.
#include "Utf8.h"
#include "Waiting.h"
#include "WinHandles.h"
#include "WindowDriving.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <string>
#include <vector>

using namespace cornice;
using namespace cornice::driving;

namespace {

int Run()
{
    const std::wstring commandLine = EnvironmentVariable(L"CORNICE_COMMAND_LINE");
    if (commandLine.empty()) return 2;
    const std::optional<DWORD> exitCode = RunToEnd(commandLine);
    if (exitCode) return static_cast<int>(*exitCode);
    std::fprintf(stderr, "installer-test-tool: CreateProcess failed with %lu\n", ::GetLastError());
    return 255;
}

int Value(const std::wstring& path, const std::wstring& name, const std::wstring& view)
{
    const std::size_t separator = path.find(L'\\');
    const std::wstring rootName = path.substr(0, separator);
    const HKEY root = rootName == L"HKCU" ? HKEY_CURRENT_USER : rootName == L"HKLM" ? HKEY_LOCAL_MACHINE : nullptr;
    if (!root || separator == std::wstring::npos) return 2;
    REGSAM access = KEY_QUERY_VALUE;
    if (view == L"32") access |= KEY_WOW64_32KEY;
    if (view == L"64") access |= KEY_WOW64_64KEY;
    UniqueHkey key;
    if (::RegOpenKeyExW(root, path.substr(separator + 1).c_str(), 0, access, key.Put()) != ERROR_SUCCESS) return 1;
    DWORD type = 0, size = 0;
    const wchar_t* valueName = name.empty() ? nullptr : name.c_str();
    if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return 1;
    std::vector<unsigned char> data(size + sizeof(wchar_t));
    if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return 1;
    std::string out;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        out = ToUtf8(text);
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        out = std::to_string(number);
    } else {
        char hex[3];
        for (DWORD i = 0; i < size; ++i) {
            std::snprintf(hex, sizeof hex, "%02x", data[i]);
            out += hex;
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}

int Hold(const std::wstring& path, const std::wstring& flag)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        std::fprintf(stderr, "installer-test-tool: cannot open %s, error %lu\n", ToUtf8(path).c_str(), ::GetLastError());
        return 1;
    }
    UniqueFile made(::CreateFileW(flag.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!made) return 1;
    made.Reset();
    if (Eventually([&] { return ::GetFileAttributesW(flag.c_str()) == INVALID_FILE_ATTRIBUTES; }, 300000)) return 0;
    std::fprintf(stderr, "installer-test-tool: %s was never deleted\n", ToUtf8(flag).c_str());
    return 3;
}

bool Running(const std::wstring& image)
{
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, image.c_str()) == 0) return true;
    return false;
}

int WaitGone(const std::wstring& image)
{
    if (Eventually([&] { return !Running(image); }, 60000)) return 0;
    std::fprintf(stderr, "installer-test-tool: %s was still running after a minute\n", ToUtf8(image).c_str());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Windows of other programs

HWND FindVisible(const wchar_t* className, const wchar_t* caption)
{
    if (const HWND window = WaitForWindow(0, className, caption, 30000)) return window;
    std::fprintf(stderr, "installer-test-tool: no window %s%s%s\n", ToUtf8(className).c_str(), caption ? " " : "",
                 caption ? ToUtf8(caption).c_str() : "");
    return nullptr;
}

// An installer's pages after the first add a subtitle to its caption, "Setup " + "".
HWND FindDialogTitled(const std::wstring& caption)
{
    HWND found = nullptr;
    Eventually(
        [&] {
            for (const HWND window : WindowsOfProcess(0, L"#32770"))
                if (TextOf(window).rfind(caption, 0) == 0) found = window;
            return found != nullptr;
        },
        30000);
    if (!found) std::fprintf(stderr, "installer-test-tool: no dialog titled %s\n", ToUtf8(caption).c_str());
    return found;
}

struct Bounds {
    DWORD process = 0;
    RECT rect{};
};

// Popup menus (class #32768) and message boxes of the same program widen the picture.
BOOL CALLBACK Widen(HWND window, LPARAM data)
{
    auto& bounds = *reinterpret_cast<Bounds*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    const std::wstring className = ClassOf(window);
    const bool beside = className == L"#32768" || className == L"#32770" || className == TOOLTIPS_CLASSW;
    if (process != bounds.process || !beside || !::IsWindowVisible(window)) return TRUE;
    RECT rect;
    ::GetWindowRect(window, &rect);
    ::UnionRect(&bounds.rect, &bounds.rect, &rect);
    return TRUE;
}

void PrintBounds(HWND window)
{
    // The caller takes a picture next.
    if (!WaitUntilPainted(window)) std::fprintf(stderr, "installer-test-tool: the window never finished painting\n");
    Bounds bounds;
    ::GetWindowThreadProcessId(window, &bounds.process);
    ::GetWindowRect(window, &bounds.rect);
    ::EnumWindows(Widen, reinterpret_cast<LPARAM>(&bounds));
    const RECT& r = bounds.rect;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

struct Controls {
    std::vector<HWND> visible;
};

BOOL CALLBACK Collect(HWND control, LPARAM data)
{
    if (::IsWindowVisible(control)) reinterpret_cast<Controls*>(data)->visible.push_back(control);
    return TRUE;
}

// The dialog's visible control (of its pages too) that reads `text`; null when none.
HWND ControlReading(HWND dialog, const std::wstring& text)
{
    Controls controls;
    ::EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&controls));
    for (const HWND control : controls.visible)
        if (TextOf(control) == text) return control;
    return nullptr;
}

int WaitText(HWND dialog, const std::wstring& text)
{
    if (Eventually([&] { return ControlReading(dialog, text) != nullptr; }, 60000)) return 0;
    std::fprintf(stderr, "installer-test-tool: no control read \"%s\"; the dialog showed:\n", ToUtf8(text).c_str());
    Controls controls;
    ::EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&controls));
    for (const HWND control : controls.visible) {
        const std::wstring shown = TextOf(control);
        if (!shown.empty()) std::fprintf(stderr, "  %s\n", Quote(shown).c_str());
    }
    return 1;
}

// Keys pressed together ("ctrl+tab").
bool Type(const std::wstring& chord)
{
    const std::vector<WORD> keys = KeysNamed(chord);
    if (keys.empty()) return false;
    if (SendKeys(keys)) return true;
    std::fprintf(stderr, "installer-test-tool: the window in front did not take the keys\n");
    return false;
}

int Window(int argc, wchar_t** argv)
{
    const std::wstring command = argv[1];
    const bool dialog = command == L"message" || command == L"answer" || command == L"wait-text" ||
                        command == L"wait-text-gone" || command == L"uncheck" || command == L"shot";
    const HWND window = command == L"message" || command == L"answer" ? FindVisible(L"#32770", argv[2])
                        : dialog ? FindDialogTitled(argv[2])
                                 : FindVisible(argv[2], nullptr);
    if (!window) return 1;
    if (command == L"window") {
        PrintBounds(window);
    } else if (command == L"message") {
        PrintBounds(window);
        std::printf("%s\n", ToUtf8(MessageText(window)).c_str());
    } else if (command == L"keys") {
        ::SetForegroundWindow(window);
        if (!Eventually([&] { return ::GetForegroundWindow() == window; }, 10000)) {
            std::fprintf(stderr, "installer-test-tool: the window never came to the front\n");
            return 3;
        }
        for (int i = 3; i < argc; ++i)
            if (!Type(argv[i])) return 2;
    } else if (command == L"press") {
        PressButton(window, std::wcstol(argv[3], nullptr, 10));
    } else if (command == L"answer") {
        AnswerOk(window);
    } else if (command == L"close") {
        AskToClose(window);
    } else if (command == L"wait-text") {
        return WaitText(window, argv[3]);
    } else if (command == L"wait-text-gone") {
        if (!Eventually([&] { return !ControlReading(window, argv[3]); }, 60000)) {
            std::fprintf(stderr, "installer-test-tool: \"%s\" still shows after a minute\n", ToUtf8(argv[3]).c_str());
            return 1;
        }
    } else if (command == L"uncheck") {
        const HWND box = ControlReading(window, argv[3]);
        if (!box) return WaitText(window, argv[3]);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(box, BM_SETCHECK, BST_UNCHECKED, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    } else if (command == L"hover") {
        const HWND control = ControlReading(window, argv[3]);
        if (!control) return WaitText(window, argv[3]);
        BringToFront(window);
        RECT rect;
        ::GetWindowRect(control, &rect);
        MovePointerInto(control, (rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        const auto tipShown = [process] {
            for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(tip, &owner);
                if (owner == process && ::IsWindowVisible(tip)) return true;
            }
            return false;
        };
        if (!Eventually(tipShown, 20000)) {
            std::fprintf(stderr, "installer-test-tool: no tooltip came for \"%s\"\n", ToUtf8(argv[3]).c_str());
            return 1;
        }
        PrintBounds(window);
    } else if (command == L"shot") {
        // A button lit up under the pointer would differ from one picture to the next.
        MovePointer(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        SaveScreenshot(window, argv[3], argv[4]);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"run" && argc == 2) return Run();
    if (command == L"value" && (argc == 4 || argc == 5)) return Value(argv[2], argv[3], argc == 5 ? argv[4] : L"");
    if (command == L"wait-gone" && argc == 3) return WaitGone(argv[2]);
    if (command == L"hold" && argc == 4) return Hold(argv[2], argv[3]);
    const bool oneWindow = command == L"window" || command == L"message" || command == L"answer" || command == L"close";
    const bool withText = command == L"press" || command == L"wait-text" || command == L"wait-text-gone" ||
                          command == L"uncheck" || command == L"hover";
    if ((oneWindow && argc == 3) || (command == L"keys" && argc >= 4) || (withText && argc == 4) ||
        (command == L"shot" && argc == 5))
        return Window(argc, argv);
    std::fprintf(stderr, "usage: installer-test-tool run | value KEY NAME [32|64] | wait-gone IMAGE | hold FILE FLAG |\n"
                         "       window CLASS |\n"
                         "       message CAPTION | keys CLASS KEY... | press CLASS ID | answer CAPTION | close CLASS |\n"
                         "       hover CLASS TEXT |\n"
                         "       wait-text CAPTION TEXT | wait-text-gone CAPTION TEXT | uncheck CAPTION TEXT |\n"
                         "       shot CAPTION FOLDER NAME\n");
    return 2;
}
