// Drives excel-host's window (--show) with the keyboard alone, as a user of the command search
// would: Alt and a letter that no keytip has, then Alt and the edit box's keytip, the words,
// Enter, Tab to the results, Enter, Down to the expected result, Enter; checks what excel-host reports at each step
// and saves screenshots of the keytips and of the results open.
//
//   search-driver OUTPUT SHOTS NAME WORDS KEYTIP POSITION IDMSO EXCEL-HOST ARGUMENTS...
//
// OUTPUT is the file for excel-host's report, SHOTS the folder for the pictures (NAME-keytips,
// NAME-results), WORDS what is typed (letters and spaces), KEYTIP the edit box's, POSITION the
// place among the results (1: the first) of IDMSO, the built-in control that choosing it runs.
// Exit code: the number of failed checks.
#include "WindowDriving.h"

#include <cstdio>
#include <cwchar>
#include <string>

using namespace cornice;
using namespace cornice::driving;

namespace {

constexpr int kStatusId = 900; // the window's status line

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void Type(const std::wstring& words)
{
    for (const wchar_t c : words) Keys({c == L' ' ? static_cast<WORD>(VK_SPACE) : KeysNamed(std::wstring(1, c)).at(0)});
}

int Drive(const std::wstring& output, const std::wstring& shots, const std::wstring& name, const std::wstring& words,
          const std::wstring& keytip, int position, const std::wstring& idMso, const std::wstring& commandLine)
{
    g_scenario = U8(name);
    StartedProgram host(commandLine + L" --show", output);
    const auto report = [&] { return ReadFileText(output); };
    const auto reported = [&](const std::string& text) {
        return Eventually([&] { return report().find(text) != std::string::npos; }, 20000);
    };
    const HWND window = WaitForWindow(host.Id(), L"ExcelHostRibbon", nullptr, 60000, [&] { return !host.Running(); });
    if (!window) {
        CHECK(false, "no excel-host window:\n" + report());
        return g_failures;
    }
    BringToFront(window);
    const HWND status = ::GetDlgItem(window, kStatusId);
    const auto statusIs = [&](const std::wstring& start) {
        return Eventually([&] { return TextOf(status).rfind(start, 0) == 0; });
    };

    // Alt alone shows the keytips; a letter that none of them starts with leaves them.
    Keys({VK_MENU});
    CHECK(statusIs(L"Keytips: "), "Alt alone showed no keytips: " + Quote(TextOf(status)));
    SaveScreenshot(window, shots, name + L"-keytips");
    Keys({'Q'});
    CHECK(statusIs(L"No keytip Q"), "Q did not leave the keytips: " + Quote(TextOf(status)));

    // The edit box's keytip gives it the focus; the words and Enter go to onChange.
    Keys({VK_MENU});
    CHECK(statusIs(L"Keytips: "), "Alt alone showed no keytips the second time");
    for (const wchar_t letter : keytip) Keys({static_cast<WORD>(letter)});
    CHECK(Eventually([&] { return ClassOf(FocusOf(window)) == L"Edit"; }), "the keytip did not focus the edit box");
    const HWND edit = FocusOf(window);
    Type(words);
    Keys({VK_RETURN});
    CHECK(reported("show: onChange of "), "Enter called no onChange:\n" + report());
    // The add-in invalidated the box: its getText shows the words again.
    CHECK(Eventually([&] { return TextOf(edit) == words; }), "the edit box reads " + Quote(TextOf(edit)));

    // Tab to the results, Enter opens them: a popup menu with the add-in's entries.
    Keys({VK_TAB});
    CHECK(Eventually([&] { return ClassOf(FocusOf(window)) == L"Button"; }), "Tab did not reach the results");
    Keys({VK_RETURN});
    CHECK(reported(" opens with "), "the results did not open:\n" + report());
    HWND menu = nullptr;
    CHECK(Eventually([&] { return (menu = ::FindWindowW(L"#32768", nullptr)) && ::IsWindowVisible(menu); }),
          "no popup menu");
    if (menu) {
        RECT area, menuRect;
        ::GetWindowRect(window, &area);
        ::GetWindowRect(menu, &menuRect);
        ::UnionRect(&area, &area, &menuRect);
        SaveScreenArea(area, shots, name + L"-results");
    }
    for (int down = 0; down < position; ++down) Keys({VK_DOWN});
    Keys({VK_RETURN});
    CHECK(reported("show: built-in control " + U8(idMso) + " ran"),
          "choosing result " + std::to_string(position) + " did not run " + U8(idMso) + ":\n" + report());

    AskToClose(window);
    CHECK(host.Ended(60000), "excel-host did not end:\n" + report());
    CHECK(host.ExitCode() == 0, "excel-host exit code " + std::to_string(host.ExitCode()) + ":\n" + report());
    std::printf("%s %s\n", g_failures ? "FAIL" : "ok  ", g_scenario.c_str());
    return g_failures;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int position = argc >= 9 ? std::wcstol(argv[6], nullptr, 10) : 0;
    if (position < 1) {
        std::printf("usage: search-driver OUTPUT SHOTS NAME WORDS KEYTIP POSITION IDMSO EXCEL-HOST ARGUMENTS...\n");
        return 100;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[8]) + L"\"";
    for (int i = 9; i < argc; ++i) commandLine += L" \"" + std::wstring(argv[i]) + L"\"";
    return Drive(argv[1], argv[2], argv[3], argv[4], argv[5], position, argv[7], commandLine);
}
