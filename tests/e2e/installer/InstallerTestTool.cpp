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
//
// Wine builds a Windows command line from Unix arguments by quoting every argument with a
// blank, but an NSIS installer wants /D=C:\a folder\b last and unquoted, as a deployment script
// on Windows writes it; and `reg query` prints through the console's code page, which loses
// letters outside it. Exit 2: bad arguments; 255: the command could not start.
#include "Utf8.h"
#include "Waiting.h"
#include "WinHandles.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <utility>
#include <string>
#include <vector>

using namespace cornice;

namespace {

int Run()
{
    const DWORD length = ::GetEnvironmentVariableW(L"CORNICE_COMMAND_LINE", nullptr, 0);
    if (length == 0) return 2;
    std::vector<wchar_t> commandLine(length);
    ::GetEnvironmentVariableW(L"CORNICE_COMMAND_LINE", commandLine.data(), length);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::fprintf(stderr, "installer-test-tool: CreateProcess failed with %lu\n", ::GetLastError());
        return 255;
    }
    UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 255;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return static_cast<int>(exitCode);
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
    if (WaitUntil([&] { return ::GetFileAttributesW(flag.c_str()) == INVALID_FILE_ATTRIBUTES; }, 300000, Pumping::None, 100))
        return 0;
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
    if (WaitUntil([&] { return !Running(image); }, 60000, Pumping::None, 100)) return 0;
    std::fprintf(stderr, "installer-test-tool: %s was still running after a minute\n", ToUtf8(image).c_str());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Windows of other programs

HWND FindVisible(const wchar_t* className, const wchar_t* caption)
{
    HWND window = nullptr;
    if (WaitUntil([&] { return (window = ::FindWindowW(className, caption)) && ::IsWindowVisible(window); }, 30000,
                  Pumping::None, 100))
        return window;
    std::fprintf(stderr, "installer-test-tool: no window %s%s%s\n", className ? ToUtf8(className).c_str() : "",
                 caption ? " " : "", caption ? ToUtf8(caption).c_str() : "");
    return nullptr;
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
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    const bool beside = ::lstrcmpW(className, L"#32768") == 0 || ::lstrcmpW(className, L"#32770") == 0;
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

WORD VirtualKey(const std::wstring& name)
{
    if (name.size() == 1 && std::iswalnum(name[0])) return static_cast<WORD>(std::towupper(name[0]));
    static const std::pair<const wchar_t*, WORD> keys[] = {
        {L"tab", VK_TAB}, {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}, {L"alt", VK_MENU},
        {L"ctrl", VK_CONTROL}, {L"shift", VK_SHIFT}, {L"down", VK_DOWN}, {L"up", VK_UP},
        {L"right", VK_RIGHT}, {L"left", VK_LEFT},
    };
    for (const auto& [keyName, key] : keys)
        if (name == keyName) return key;
    return 0;
}

// Keys pressed together ("ctrl+tab"): all down in order, then up in reverse.
bool Type(const std::wstring& chord)
{
    std::vector<WORD> keys;
    for (std::size_t start = 0;;) {
        const std::size_t plus = chord.find(L'+', start);
        const WORD key = VirtualKey(chord.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start));
        if (!key) return false;
        keys.push_back(key);
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
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
    const HWND target = ::GetForegroundWindow();
    if (target && !WindowThreadCaughtUp(target, static_cast<int>(inputs.size()))) {
        std::fprintf(stderr, "installer-test-tool: the window in front did not take the keys\n");
        return false;
    }
    return true;
}

int Window(int argc, wchar_t** argv)
{
    const std::wstring command = argv[1];
    const HWND window = command == L"message" || command == L"answer" ? FindVisible(L"#32770", argv[2])
                                                                      : FindVisible(argv[2], nullptr);
    if (!window) return 1;
    if (command == L"window") {
        PrintBounds(window);
    } else if (command == L"message") {
        PrintBounds(window);
        // Windows and Wine give the text of a message box the control id 0xFFFF.
        wchar_t text[4096] = {};
        ::GetDlgItemTextW(window, 0xFFFF, text, 4096);
        std::printf("%s\n", ToUtf8(text).c_str());
    } else if (command == L"keys") {
        ::SetForegroundWindow(window);
        if (!WaitUntil([&] { return ::GetForegroundWindow() == window; }, 10000)) {
            std::fprintf(stderr, "installer-test-tool: the window never came to the front\n");
            return 3;
        }
        for (int i = 3; i < argc; ++i)
            if (!Type(argv[i])) return 2;
    } else if (command == L"press") {
        // Posted: a button that opens a modal message box must not hold this program.
        ::PostMessageW(::GetDlgItem(window, std::wcstol(argv[3], nullptr, 10)), BM_CLICK, 0, 0);
    } else if (command == L"answer") {
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    } else if (command == L"close") {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
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
    if ((oneWindow && argc == 3) || (command == L"keys" && argc >= 4) || (command == L"press" && argc == 4))
        return Window(argc, argv);
    std::fprintf(stderr, "usage: installer-test-tool run | value KEY NAME [32|64] | wait-gone IMAGE | hold FILE FLAG |\n"
                         "       window CLASS |\n"
                         "       message CAPTION | keys CLASS KEY... | press CLASS ID | answer CAPTION | close CLASS\n");
    return 2;
}
