// Drives the real settings window under Wine and Xvfb, as a user would: starts Trellis.exe,
// finds its window, clicks boxes and reads their states, presses "OK" and "Cancel", closes
// the window, answers the message boxes, and checks what reached the registry, whether
// regsvr32 really registered the add-in, and whether "Excel" (the probe in this prefix, which
// runs excel-host) was started and loaded it. Screenshots go to the folder given.
//
//   trellis-driver --build DIR --installer DIR --shots DIR SCENARIO...
//
// DIR are Unix paths (Wine's Z: drive). The program folder is made inside the prefix, under a
// name with blanks and letters outside any ANSI code page, and the product is copied there.
// Exit code: the number of failed checks (0: all passed).
#include "CorniceVersion.h"
#include "ExcelWordsRegistry.h"
#include "LanguageChoice.h"
#include "LocalisedText.h"
#include "SettingsLayout.h"
#include "TrellisText.h"
#include "Utf8.h"
#include "Waiting.h"
#include "WineTestSupport.h"
#include "WinHandles.h"
#include "WindowDriving.h"
#include "WindowDpi.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace cornice;
using namespace cornice::driving;

namespace {

// ---------------------------------------------------------------------------------------------
// Checks (CHECK, Quote and the rest come from WindowDriving.h)

template <typename A, typename B>
std::string Expected(const A& actual, const B& expected)
{
    return "got " + actual + ", expected " + expected;
}

// ---------------------------------------------------------------------------------------------
// Places

constexpr const wchar_t* kPolicyKey = L"Software\\Policies\\Quillmark\\Cornice";
constexpr const wchar_t* kAddInKey = L"Software\\Microsoft\\Office\\Excel\\AddIns\\Corbel.Connect";
constexpr const wchar_t* kEvidenceFolder = L"C:\\evidence";
constexpr const wchar_t* kToolsFolder = L"C:\\test-tools";
// Blanks, Cyrillic and a CJK character: none of them survive a trip through an ANSI code page.
// A Wine in a locale the system has no files for names files in ASCII only: the scenario
// "language" runs in such a Wine, with a plain folder.
const wchar_t* kProgramFolder = L"C:\\Program Files\\Cornice \u0422\u0435\u0441\u0442 \u8868";
constexpr const wchar_t* kAsciiProgramFolder = L"C:\\Program Files\\Cornice";

constexpr const wchar_t* kWindowClass = L"TrellisForm1";
constexpr int kTabId = 200;

DriverArguments g_paths; // build: the preset's build folder; installer: that of the sources

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string EvidenceLine(const std::string& report, const std::string& name)
{
    const std::string key = name + "=";
    for (std::size_t at = 0; at < report.size();) {
        const std::size_t end = report.find('\n', at);
        const std::string line = report.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return "(none)";
}

void ClearEvidence()
{
    for (const wchar_t* name : {L"excel.txt", L"excel-host.txt", L"ribbon.xml", L"opened.txt"})
        ::DeleteFileW((std::wstring(kEvidenceFolder) + L"\\" + name).c_str());
}

// ---------------------------------------------------------------------------------------------
// Registry

// The shared helpers (WineTestSupport.h), for the current user unless told otherwise.
using Settings = std::map<std::wstring, std::wstring>;
using test::ReadSettings;

std::optional<std::wstring> ReadString(const std::wstring& key, const std::wstring& name)
{
    return test::ReadRegistryString(HKEY_CURRENT_USER, key, name);
}

std::optional<DWORD> ReadDword(const std::wstring& key, const std::wstring& name)
{
    return test::ReadRegistryDword(HKEY_CURRENT_USER, key, name);
}

constexpr auto KeyExists = test::RegistryKeyExists;
constexpr auto WriteString = test::WriteRegistryString;
constexpr auto WriteDword = test::WriteRegistryDword;

void ReplaceSettings(const Settings& settings) { test::ReplaceSettings({settings.begin(), settings.end()}); }

std::string Show(const Settings& settings)
{
    std::string text = "{";
    for (const auto& [name, value] : settings) text += " " + U8(name) + "=" + U8(value);
    return text + " }";
}

// What a save of these states writes, under the boxes' keys, with "Tips" as given and "Search" off.
using States = std::array<int, 12>;

Settings SavedAs(const States& states, const wchar_t* tips = L"0")
{
    Settings settings;
    for (int box = 0; box < 12; ++box) settings[cornice::settings::kBoxes[box].key] = std::to_wstring(states[box]);
    settings[cornice::kTipsKey] = tips;
    settings[cornice::kSearchKey] = L"0";
    return settings;
}

States Ticked(std::initializer_list<int> boxes)
{
    States states{};
    for (int box : boxes) states[box] = 1;
    return states;
}

std::string Show(const States& states)
{
    std::string text;
    for (int state : states) text += std::to_string(state);
    return text;
}

// ---------------------------------------------------------------------------------------------
// The running program

class Trellis {
public:
    // Started from another folder: the program must find its own folder by itself.
    Trellis() : program_(L"\"" + std::wstring(kProgramFolder) + L"\\Trellis.exe\"", {}, L"C:\\")
    {
        if (!program_.Started()) std::printf("Trellis.exe could not be started (error %lu)\n", ::GetLastError());
    }

    HWND Find(const wchar_t* className, const wchar_t* caption, int milliseconds) const
    {
        if (!program_.Started()) return nullptr;
        return WaitForWindow(program_.Id(), className, caption, milliseconds, [&] { return !Running(); });
    }
    HWND Window(int milliseconds = 15000) const { return Find(kWindowClass, nullptr, milliseconds); }
    HWND MessageBox(const wchar_t* caption, int milliseconds = 15000) const
    {
        return Find(L"#32770", caption, milliseconds);
    }

    bool Running() const { return program_.Running(); }
    bool Ended(int milliseconds = 15000) const { return program_.Ended(static_cast<DWORD>(milliseconds)); }

private:
    StartedProgram program_;
};

HWND Page(HWND trellisWindow, int id) { return ::GetDlgItem(trellisWindow, id); }
HWND Box(HWND trellisWindow, int index) { return ::GetDlgItem(Page(trellisWindow, kExcelPageId), kFirstBoxId + index); }
HWND TipsBox(HWND trellisWindow) { return ::GetDlgItem(Page(trellisWindow, kHelpPageId), kTipsBoxId); }
HWND SearchBox(HWND trellisWindow) { return ::GetDlgItem(Page(trellisWindow, kHelpPageId), kSearchBoxId); }

States ReadStates(HWND trellisWindow)
{
    States states{};
    for (int box = 0; box < 12; ++box)
        states[box] = static_cast<int>(::SendMessageW(Box(trellisWindow, box), BM_GETCHECK, 0, 0));
    return states;
}

// As a click: the button runs its own click handling and tells its parent.
void ClickBox(HWND trellisWindow, int index) { ::SendMessageW(Box(trellisWindow, index), BM_CLICK, 0, 0); }

BOOL CALLBACK FindIcon(HWND child, LPARAM context)
{
    // Windows gives the icon the id 0x14, Wine 0x440 (stc1); either way a visible SS_ICON static.
    if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ::IsWindowVisible(child) &&
        ::SendMessageW(child, STM_GETICON, 0, 0) != 0)
        *reinterpret_cast<bool*>(context) = true;
    return TRUE;
}

bool MessageHasIcon(HWND box)
{
    bool found = false;
    ::EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The control with the keyboard focus in another program's window.
HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Ctrl+Tab until the page shows; the pages go round, Excel, About, Help. A page is named by its
// id, never by the true or false of the two pages there were.
void ShowPage(HWND trellisWindow, bool) = delete;
void ShowPage(HWND trellisWindow, int page)
{
    BringToFront(trellisWindow);
    for (int step = 0; step < 3 && !::IsWindowVisible(Page(trellisWindow, page)); ++step) {
        const HWND shown = ::IsWindowVisible(Page(trellisWindow, kExcelPageId)) ? Page(trellisWindow, kExcelPageId)
                           : ::IsWindowVisible(Page(trellisWindow, kAboutPageId)) ? Page(trellisWindow, kAboutPageId)
                                                                                   : Page(trellisWindow, kHelpPageId);
        Keys({VK_CONTROL, VK_TAB});
        CHECK(Eventually([&] { return !::IsWindowVisible(shown); }), "Ctrl+Tab changed no page");
    }
    CHECK(::IsWindowVisible(Page(trellisWindow, page)), "the page " + std::to_string(page) + " never showed");
    CHECK(WaitUntilPainted(trellisWindow), "the window never finished painting the page");
}

std::string Show(HCURSOR cursor)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(cursor));
    return text;
}

// ---------------------------------------------------------------------------------------------
// Pixels and screenshots

// The test's script turns them into PNG files. The pointer rests in the screen's corner, so that
// no control shows its hover state from where an earlier scenario left it.
void SaveScreenshot(HWND window, const std::wstring& name)
{
    MovePointer(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    driving::SaveScreenshot(window, g_paths.shots, name);
}

bool LinkUnderlined(HWND link)
{
    return Underlined(link, [](COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 120 && GetGValue(c) < 120; });
}

int Pixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// ---------------------------------------------------------------------------------------------
// Checks of the window the scenarios share

const std::wstring kExpectedCaptions[12] = {
    L"Show Classic Menu and Toolbars in Microsoft Excel", L"Show menu tabs on the left of home tab",
    L"Show all items in main menu", L"Home", L"Page Layout", L"Insert", L"Formulas", L"Data", L"Review", L" View",
    L"Developer", L"Hide built-in tabs",
};

std::wstring ApplicationError(const std::wstring& description, const std::wstring& procedure, int line)
{
    return description + L"\r\nin Lattice2021/01/22.Form1." + procedure + L" at line " + std::to_wstring(line) +
           L"\r\rPlease email screenshot of this message to support@quillmark.example";
}

// Wine answers WM_GETICON and GetClassLongPtr only inside the window's own process, so the
// icon is looked for where the user sees it: the green lattice of the program's icon at the
// left of the title bar (Wine draws the title bars here).
bool CaptionShowsProgramIconNow(HWND trellisWindow)
{
    RECT window;
    ::GetWindowRect(trellisWindow, &window);
    const int caption = ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYFRAME);
    const Capture capture = CaptureScreen({window.left, window.top, window.left + caption, window.top + caption});
    int green = 0;
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x) {
            const COLORREF c = capture.At(x, y);
            const bool lattice = GetGValue(c) > GetRValue(c) + 30 && GetGValue(c) > GetBValue(c) + 40 && GetGValue(c) < 160;
            green += lattice ? 1 : 0;
        }
    return green >= 8;
}

// A busy machine may paint the title bar a while after the window appears: look again for up to
// five seconds before calling the icon missing.
bool CaptionShowsProgramIcon(HWND trellisWindow)
{
    return Eventually([&] { return CaptionShowsProgramIconNow(trellisWindow); }, 5000);
}

// The file version and the product version text of a program's version resource.
std::string FileVersion(const std::wstring& path)
{
    DWORD ignored = 0;
    std::vector<char> data(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (data.empty() || !::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
        return "(none)";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    wchar_t* product = nullptr;
    UINT productLength = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        !::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                          reinterpret_cast<void**>(&product), &productLength))
        return "(incomplete)";
    char text[64];
    std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu ", static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(HIWORD(fixed->dwFileVersionLS)),
                  static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
    return text + U8(product);
}

void CheckGeometry(HWND trellisWindow, int dpi)
{
    RECT client;
    ::GetClientRect(trellisWindow, &client);
    CHECK(client.right == Pixels(6240, dpi) && client.bottom == Pixels(5100, dpi),
          "client area at " + std::to_string(dpi) + " dpi: " +
              Expected(std::to_string(client.right) + "x" + std::to_string(client.bottom),
                       std::to_string(Pixels(6240, dpi)) + "x" + std::to_string(Pixels(5100, dpi))));
    RECT box;
    ::GetWindowRect(Box(trellisWindow, 0), &box);
    ::MapWindowPoints(nullptr, Page(trellisWindow, kExcelPageId), reinterpret_cast<POINT*>(&box), 2);
    CHECK(box.left == Pixels(240, dpi) && box.top == Pixels(480, dpi) && box.right - box.left == Pixels(5535, dpi) - Pixels(240, dpi),
          "box 0 in its page at " + std::to_string(dpi) + " dpi: " + std::to_string(box.left) + "," + std::to_string(box.top));
    RECT ok;
    ::GetWindowRect(::GetDlgItem(trellisWindow, IDOK), &ok);
    ::MapWindowPoints(nullptr, trellisWindow, reinterpret_cast<POINT*>(&ok), 2);
    CHECK(ok.left == Pixels(1920, dpi) && ok.top == Pixels(4560, dpi) && ok.bottom == Pixels(4965, dpi),
          "OK button at " + std::to_string(dpi) + " dpi: " + std::to_string(ok.left) + "," + std::to_string(ok.top));
}

// ---------------------------------------------------------------------------------------------
// Scenarios: the window as the user meets it

// First start: defaults, captions, tab order, About texts, centring, screenshots.
void FirstStart()
{
    ReplaceSettings({});
    Trellis trellis;
    const HWND trellisWindow = trellis.Window();
    CHECK(trellisWindow != nullptr, "the window did not appear");
    if (!trellisWindow) return;
    CHECK(TextOf(trellisWindow) == L"Trellis", "caption " + Quote(TextOf(trellisWindow)));
    CHECK(CaptionShowsProgramIcon(trellisWindow), "the title bar does not show the program's icon");
    CHECK(FileVersion(std::wstring(kProgramFolder) + L"\\Trellis.exe") == CORNICE_VERSION_TEXT ".0.0 " CORNICE_VERSION_TEXT,
          "version resource " + FileVersion(std::wstring(kProgramFolder) + L"\\Trellis.exe"));
    CHECK(ReadStates(trellisWindow) == Ticked({0, 1, 2}), "states " + Show(ReadStates(trellisWindow)));
    CHECK(!::IsWindowVisible(::GetDlgItem(Page(trellisWindow, kExcelPageId), kPolicyNoteId)), "the policy note shows without policies");
    for (int box = 0; box < 12; ++box)
        CHECK(::IsWindowEnabled(Box(trellisWindow, box)), "without policies box " + std::to_string(box) + " is disabled");
    for (int box = 0; box < 12; ++box)
        CHECK(TextOf(Box(trellisWindow, box)) == kExpectedCaptions[box], "caption of box " + std::to_string(box) + ": " + Quote(TextOf(Box(trellisWindow, box))));
    CHECK(::IsWindowVisible(Page(trellisWindow, kExcelPageId)) && !::IsWindowVisible(Page(trellisWindow, kAboutPageId)),
          "the Excel page must show first");
    CheckGeometry(trellisWindow, ScreenDpi());

    // The window is centred on the work area, give or take a pixel of rounding.
    RECT window, area;
    ::GetWindowRect(trellisWindow, &window);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int dx = (window.left - area.left) - (area.right - window.right);
    const int dy = (window.top - area.top) - (area.bottom - window.bottom);
    CHECK(std::abs(dx) <= 1 && std::abs(dy) <= 1, "not centred: " + std::to_string(dx) + "," + std::to_string(dy));

    // Keyboard order: the boxes by index, then OK and Cancel.
    HWND focus = Box(trellisWindow, 0);
    std::string order;
    for (int step = 0; step < 14; ++step) {
        order += std::to_string(::GetDlgCtrlID(focus)) + " ";
        focus = ::GetNextDlgTabItem(trellisWindow, focus, FALSE);
    }
    CHECK(order == "100 101 102 103 104 105 106 107 108 109 110 111 1 2 ", "tab order " + order);

    const HWND about = Page(trellisWindow, kAboutPageId);
    CHECK(TextOf(::GetDlgItem(about, 300)) == L"Trellis", "title " + Quote(TextOf(::GetDlgItem(about, 300))));
    CHECK(TextOf(::GetDlgItem(about, 301)) == L"Version:   " CORNICE_VERSION_WIDE_TEXT, "version " + Quote(TextOf(::GetDlgItem(about, 301))));
    CHECK(TextOf(::GetDlgItem(about, 302)) == L"Website: ", "website label " + Quote(TextOf(::GetDlgItem(about, 302))));
    CHECK(TextOf(::GetDlgItem(about, kWebsiteId)) == L"www.quillmark.example", "website");
    CHECK(MostCommonColour(Page(trellisWindow, kExcelPageId)) == RGB(255, 255, 255),
          "the Excel page without a style is " + Hex(MostCommonColour(Page(trellisWindow, kExcelPageId))));

    ::SetForegroundWindow(trellisWindow);
    CHECK(Eventually([&] { return FocusOf(trellisWindow) == Box(trellisWindow, 0); }), "the first box does not have the focus");
    SaveScreenshot(trellisWindow, L"excel-page");
    ShowPage(trellisWindow, kAboutPageId);
    CHECK(Eventually([&] { return ::IsWindowVisible(about) != FALSE; }), "Ctrl+Tab did not show the About page");
    CHECK(FocusOf(trellisWindow) == ::GetDlgItem(trellisWindow, kTabId), "the focus did not move from the hidden box to the tabs");
    SaveScreenshot(trellisWindow, L"about-page");
    ShowPage(trellisWindow, kExcelPageId);
    CHECK(Eventually([&] { return ::IsWindowVisible(Page(trellisWindow, kExcelPageId)) != FALSE; }),
          "Ctrl+Tab did not come back to the Excel page");

    ::PostMessageW(trellisWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(trellis.Ended(), "the close button did not end the program");
    CHECK(ReadSettings().empty(), "closing saved " + Show(ReadSettings()));
}

// The box rules run in the real window, and the pointer effects follow the mouse.
void BoxesAndPointer()
{
    ReplaceSettings({{L"Home", L"1"}});
    Trellis trellis;
    const HWND trellisWindow = trellis.Window();
    CHECK(trellisWindow != nullptr, "the window did not appear");
    if (!trellisWindow) return;
    CHECK(ReadStates(trellisWindow) == Ticked({0, 2, 3}), "Home alone opens as " + Show(ReadStates(trellisWindow)));
    ClickBox(trellisWindow, 1); // Left clears Home
    CHECK(ReadStates(trellisWindow) == Ticked({0, 1, 2}), "after Left " + Show(ReadStates(trellisWindow)));
    ClickBox(trellisWindow, 11); // all eight tabs, Left cleared
    CHECK(ReadStates(trellisWindow) == Ticked({0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), "after box 11 " + Show(ReadStates(trellisWindow)));
    ClickBox(trellisWindow, 11);
    CHECK(ReadStates(trellisWindow) == Ticked({0, 2}), "after clearing box 11 " + Show(ReadStates(trellisWindow)));
    ClickBox(trellisWindow, 0);
    CHECK(ReadStates(trellisWindow) == States{}, "after clearing box 0 " + Show(ReadStates(trellisWindow)));
    ClickBox(trellisWindow, 0);
    CHECK(ReadStates(trellisWindow) == Ticked({0, 1, 2}), "after ticking box 0 " + Show(ReadStates(trellisWindow)));
    // The mouse and the keyboard, as a user works them: a click on Data, then Space on it.
    BringToFront(trellisWindow);
    ClickWithMouse(Box(trellisWindow, 7), 6, 10);
    CHECK(Eventually([&] { return ReadStates(trellisWindow) == Ticked({0, 1, 2, 7, 11}); }),
          "after a click on Data " + Show(ReadStates(trellisWindow)));
    Keys({VK_SPACE});
    CHECK(Eventually([&] { return ReadStates(trellisWindow) == Ticked({0, 1, 2, 11}); }),
          "after Space on Data " + Show(ReadStates(trellisWindow)));

    // The hand over boxes, buttons and the address; the arrow over the pages and the window.
    MovePointerInto(Page(trellisWindow, kExcelPageId), 20, Pixels(3800, ScreenDpi()));
    const HCURSOR arrow = Pointer();
    MovePointerInto(Box(trellisWindow, 4), 8, 8);
    CHECK(Eventually([&] { return Pointer() != arrow; }),
          "over a box the pointer is the same as over the page: " + Show(Pointer()));
    const HCURSOR hand = Pointer();
    MovePointerInto(::GetDlgItem(trellisWindow, IDOK), 10, 10);
    CHECK(Eventually([&] { return Pointer() == hand; }),
          "over OK the pointer is " + Show(Pointer()) + ", not the hand " + Show(hand));
    MovePointerInto(Page(trellisWindow, kExcelPageId), 20, Pixels(3800, ScreenDpi()));
    CHECK(Eventually([&] { return Pointer() == arrow; }), "back over the page the pointer is " + Show(Pointer()));

    ShowPage(trellisWindow, kAboutPageId);
    const HWND link = ::GetDlgItem(Page(trellisWindow, kAboutPageId), kWebsiteId);
    // The Excel page was visited above, which takes the underline away; the link brings it back.
    CHECK(!LinkUnderlined(link), "the address is underlined after the pointer crossed the Excel page");
    MovePointerInto(link, 10, 6);
    CHECK(Eventually([&] { return LinkUnderlined(link); }), "the address is not underlined under the pointer");
    CHECK(Eventually([&] { return Pointer() == hand; }), "over the address the pointer is not the hand");
    MovePointerInto(Page(trellisWindow, kAboutPageId), 10, 10);
    CHECK(Eventually([&] { return Pointer() == arrow; }), "over the About page the pointer is not the arrow");
    CHECK(LinkUnderlined(link), "the About page must leave the underline alone");
    MovePointerInto(trellisWindow, 5, ::GetSystemMetrics(SM_CYCAPTION) + Pixels(4700, ScreenDpi()));
    CHECK(Eventually([&] { return !LinkUnderlined(link); }), "the window's background must take the underline away");

    // The address opens through the shell (this prefix hands http to the probe).
    ClearEvidence();
    ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    std::string opened;
    Eventually([&] { return !(opened = ReadFileText(std::wstring(kEvidenceFolder) + L"\\opened.txt")).empty(); }, 15000);
    CHECK(opened.find("http://www.quillmark.example/") != std::string::npos, "the address was not opened: " + opened);

    PressButton(trellisWindow, IDCANCEL);
    CHECK(trellis.Ended(), "Cancel did not end the program");
    CHECK((ReadSettings() == Settings{{L"Home", L"1"}}), "Cancel saved " + Show(ReadSettings()));
}

// Without HAND-M.CUR the custom pointer has no image: the arrow shows everywhere, and nothing
// is reported.
void NoHandPointer()
{
    const std::wstring cursor = std::wstring(kProgramFolder) + L"\\HAND-M.CUR";
    const std::wstring aside = std::wstring(kToolsFolder) + L"\\HAND-M.CUR.aside";
    ::MoveFileExW(cursor.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    {
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        CHECK(trellisWindow != nullptr, "the window did not appear");
        if (trellisWindow) {
            CHECK(trellis.MessageBox(L"Application Error", 0) == nullptr, "a missing pointer file was reported");
            BringToFront(trellisWindow);
            // Right after the window opens, the pointer can still be the one that the window
            // under it before had set; a first round over the page and a box lets Trellis set it.
            MovePointerInto(Page(trellisWindow, kExcelPageId), 20, Pixels(3800, ScreenDpi()));
            MovePointerInto(Box(trellisWindow, 4), 8, 8);
            MovePointerInto(Page(trellisWindow, kExcelPageId), 20, Pixels(3800, ScreenDpi()));
            const HCURSOR arrow = Pointer();
            MovePointerInto(Box(trellisWindow, 4), 8, 8);
            CHECK(Pointer() == arrow, "without HAND-M.CUR the pointer over a box is " + Show(Pointer()) +
                                          ", over the page " + Show(arrow));
            PressButton(trellisWindow, IDCANCEL);
            CHECK(trellis.Ended(), "Cancel did not end the program");
        }
    }
    ::MoveFileExW(aside.c_str(), cursor.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// With the style file: the skin component restyles the window; screenshots of both pages.
void Styled()
{
    const std::wstring styleFolder = std::wstring(kProgramFolder) + L"\\x";
    ::CreateDirectoryW(styleFolder.c_str(), nullptr);
    CopyInto(g_paths.installer + L"\\x\\o.cjs", styleFolder + L"\\o.cjs");
    ReplaceSettings({{L"Insert", L"1"}});
    {
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        CHECK(trellisWindow != nullptr, "the window did not appear");
        if (trellisWindow) {
            const COLORREF page = MostCommonColour(Page(trellisWindow, kExcelPageId));
            CHECK(page == RGB(0xDF, 0xE9, 0xF5), "the styled Excel page is " + Hex(page));
            SaveScreenshot(trellisWindow, L"excel-page-styled");
            ShowPage(trellisWindow, kAboutPageId);
            SaveScreenshot(trellisWindow, L"about-page-styled");
            PressButton(trellisWindow, IDCANCEL);
            CHECK(trellis.Ended(), "Cancel did not end the program");
        }
    }
    // Hidden, the style file counts as absent.
    const std::wstring style = styleFolder + L"\\o.cjs";
    ::SetFileAttributesW(style.c_str(), FILE_ATTRIBUTE_HIDDEN);
    {
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        if (trellisWindow) {
            const COLORREF page = MostCommonColour(Page(trellisWindow, kExcelPageId));
            CHECK(page == RGB(255, 255, 255), "with a hidden style file the page is " + Hex(page));
            PressButton(trellisWindow, IDCANCEL);
            trellis.Ended();
        }
    }
    ::SetFileAttributesW(style.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(style.c_str());
    ::RemoveDirectoryW(styleFolder.c_str());
}

// The window at the DPI of the prefix's display setting.
void Dpi(int dpi)
{
    WriteDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", static_cast<DWORD>(dpi));
    ReplaceSettings({});
    {
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        CHECK(trellisWindow != nullptr, "the window did not appear");
        if (trellisWindow) {
            CheckGeometry(trellisWindow, dpi);
            SaveScreenshot(trellisWindow, L"excel-page-" + std::to_wstring(dpi) + L"dpi");
            ShowPage(trellisWindow, kAboutPageId);
            SaveScreenshot(trellisWindow, L"about-page-" + std::to_wstring(dpi) + L"dpi");
            PressButton(trellisWindow, IDCANCEL);
            CHECK(trellis.Ended(), "Cancel did not end the program");
        }
    }
    WriteDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", 96);
}

// ---------------------------------------------------------------------------------------------
// Scenarios: OK, Cancel and the add-in

std::string WaitForExcel()
{
    std::string report;
    Eventually([&] { return !(report = ReadFileText(std::wstring(kEvidenceFolder) + L"\\excel.txt")).empty(); }, 60000);
    return report;
}

// The registry's values apart from the settings that Trellis saves and Wine's own, which it
// changes by itself. Keys that hold no value are left out: registration makes the containers it
// writes into (Software\Classes\CLSID, Excel's Addins), which Windows and Excel keep anyway.
test::RegistrySnapshot RegistryButSettings()
{
    test::RegistrySnapshot snapshot = test::SnapshotRegistry({{HKEY_CURRENT_USER, L"Software"}, {HKEY_LOCAL_MACHINE, L"Software"}});
    const std::wstring skipped[] = {test::FoldNames(L"HKCU\\Software\\VB and VBA Program Settings\\Quillmark"),
                                    test::FoldNames(L"HKCU\\Software\\Wine\\")};
    for (auto entry = snapshot.begin(); entry != snapshot.end();) {
        const bool skip = std::any_of(std::begin(skipped), std::end(skipped), [&](const std::wstring& top) {
            return entry->compare(0, top.size(), top) == 0;
        });
        entry = skip || entry->find(L" [") == std::wstring::npos ? snapshot.erase(entry) : std::next(entry);
    }
    return snapshot;
}
// Before the first installation, for the removals to compare with: what Trellis registers for
// the user, it takes away again, and it touches nothing else.
std::optional<test::RegistrySnapshot> g_beforeInstalling;

// OK with box 0 ticked: saved values, regsvr32's registration, the message, Excel started.
void OkInstalls()
{
    if (!g_beforeInstalling) g_beforeInstalling = RegistryButSettings();
    ReplaceSettings({{L"All", L"0"}, {L"Review", L"1"}});
    ClearEvidence();
    Trellis trellis;
    const HWND trellisWindow = trellis.Window();
    CHECK(trellisWindow != nullptr, "the window did not appear");
    if (!trellisWindow) return;
    CHECK(ReadStates(trellisWindow) == Ticked({0, 1, 8, 11}), "opened as " + Show(ReadStates(trellisWindow)));
    ClickBox(trellisWindow, 9); // View
    ::SendMessageW(TipsBox(trellisWindow), BM_CLICK, 0, 0);
    CHECK(::SendMessageW(TipsBox(trellisWindow), BM_GETCHECK, 0, 0) == BST_CHECKED, "a click did not tick Tips");
    ::SendMessageW(SearchBox(trellisWindow), BM_CLICK, 0, 0);
    CHECK(::SendMessageW(SearchBox(trellisWindow), BM_GETCHECK, 0, 0) == BST_CHECKED, "a click did not tick Search");
    PressButton(trellisWindow, IDOK);

    const HWND box = trellis.MessageBox(L"Trellis", 45000);
    CHECK(box != nullptr, "no message after OK");
    if (box) {
        CHECK(MessageText(box) == L"Installation complete.", "message " + Quote(MessageText(box)));
        CHECK(!MessageHasIcon(box), "the message must have no icon");
        // regsvr32 has finished before the message shows: its values are there already.
        CHECK(ReadDword(kAddInKey, L"LoadBehavior") == std::optional<DWORD>(3), "LoadBehavior is not 3: regsvr32 did not register");
        CHECK(ReadString(kAddInKey, L"FriendlyName").has_value(), "no FriendlyName: regsvr32 did not register");
        CHECK(KeyExists(HKEY_CLASSES_ROOT, L"Corbel.Connect\\CLSID"), "the ProgID is not registered");
        CHECK(ReadFileText(std::wstring(kEvidenceFolder) + L"\\excel.txt").empty(), "Excel started before the message was answered");
        SaveScreenshot(box, L"installation-complete");
        AnswerOk(box);
    }
    const std::string report = WaitForExcel();
    CHECK(!report.empty(), "Excel was not started");
    CHECK(EvidenceLine(report, "folder") == U8(kProgramFolder), "Excel's working folder: " + EvidenceLine(report, "folder"));
    CHECK(EvidenceLine(report, "command").find("\\root\\Office16\\EXCEL.EXE") != std::string::npos,
          "not the Click-to-Run Excel was started: " + EvidenceLine(report, "command"));
    CHECK(EvidenceLine(report, "excel-host-exit") == "0",
          "excel-host did not load the add-in: exit " + EvidenceLine(report, "excel-host-exit") + "\n" +
              ReadFileText(std::wstring(kEvidenceFolder) + L"\\excel-host.txt"));
    const std::string ribbon = ReadFileText(std::wstring(kEvidenceFolder) + L"\\ribbon.xml");
    CHECK(ribbon.find("TabReview") != std::string::npos && ribbon.find("TabView") != std::string::npos,
          "the add-in's ribbon does not hide Review and View: " + ribbon.substr(0, 300));
    CHECK(trellis.Ended(), "OK did not end the program");
    Settings saved = SavedAs(Ticked({0, 1, 8, 9, 11}), L"1");
    saved[cornice::kSearchKey] = L"1";
    CHECK(ReadSettings() == saved, "saved " + Show(ReadSettings()));
}

// Cancel and the close button save nothing, install nothing, start nothing.
void CancelAndCloseSaveNothing()
{
    const Settings before = {{L"Classic", L"1"}, {L"Left", L"0"}, {L"Formulas", L"1"}};
    for (const bool useCloseButton : {false, true}) {
        ReplaceSettings(before);
        ClearEvidence();
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        CHECK(trellisWindow != nullptr, "the window did not appear");
        if (!trellisWindow) return;
        ClickBox(trellisWindow, 0);
        ClickBox(trellisWindow, 3);
        if (useCloseButton)
            ::PostMessageW(trellisWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PressButton(trellisWindow, IDCANCEL);
        CHECK(trellis.Ended(), useCloseButton ? "the close button did not end the program" : "Cancel did not end the program");
        CHECK(ReadSettings() == before, (useCloseButton ? "the close button saved " : "Cancel saved ") + Show(ReadSettings()));
        CHECK(!Exists(std::wstring(kEvidenceFolder) + L"\\excel.txt"), "Excel was started");
    }
}

// OK with box 0 clear: twelve zeros, unregistered silently, Excel started.
void OkUninstalls()
{
    ReplaceSettings({});
    ClearEvidence();
    Trellis trellis;
    const HWND trellisWindow = trellis.Window();
    CHECK(trellisWindow != nullptr, "the window did not appear");
    if (!trellisWindow) return;
    ClickBox(trellisWindow, 0);
    CHECK(ReadStates(trellisWindow) == States{}, "after clearing box 0 " + Show(ReadStates(trellisWindow)));
    PressButton(trellisWindow, IDOK);
    const std::string report = WaitForExcel();
    CHECK(!report.empty(), "Excel was not started after removal");
    CHECK(trellis.MessageBox(L"Trellis", 0) == nullptr, "removal must be silent");
    CHECK(trellis.Ended(), "OK did not end the program");
    CHECK(!KeyExists(HKEY_CURRENT_USER, kAddInKey), "Excel's add-in entry is still there");
    CHECK(!KeyExists(HKEY_CLASSES_ROOT, L"Corbel.Connect"), "the ProgID is still registered");
    CHECK(ReadSettings() == SavedAs(States{}), "saved " + Show(ReadSettings()));
    CHECK(EvidenceLine(report, "excel-host-exit") == "3", "excel-host found an add-in to load: exit " + EvidenceLine(report, "excel-host-exit"));
    if (g_beforeInstalling) {
        const test::RegistrySnapshot now = RegistryButSettings();
        CHECK(now == *g_beforeInstalling, "after removal the registry lacks\n" + test::Difference(*g_beforeInstalling, now) +
                                              "and has besides\n" + test::Difference(now, *g_beforeInstalling));
    }
}

// Without Corbel.dll, installing says so instead of "Installation complete." and leaves Excel
// no add-in entry (one without LoadBehavior shows in Excel as a broken add-in); removing then
// is silent and does not make Excel an add-in list.
void MissingLibrary()
{
    const std::wstring library = std::wstring(kProgramFolder) + L"\\Corbel.dll";
    const std::wstring aside = std::wstring(kToolsFolder) + L"\\Corbel.dll.aside";
    const std::wstring addIns = L"Software\\Microsoft\\Office\\Excel\\AddIns";
    ::MoveFileExW(library.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, addIns.c_str());
    ReplaceSettings({});
    ClearEvidence();
    {
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        CHECK(trellisWindow != nullptr, "the window did not appear");
        if (trellisWindow) {
            PressButton(trellisWindow, IDOK);
            const HWND box = trellis.MessageBox(L"Trellis", 45000);
            CHECK(box != nullptr, "no message after OK");
            if (box) {
                const std::wstring text = MessageText(box);
                CHECK(text.find(L"Installation complete.") == std::wstring::npos, "claimed success: " + Quote(text));
                CHECK(text.find(L"The add-in could not be installed") == 0, "message " + Quote(text));
                CHECK(text.find(library) != std::wstring::npos, "the message does not name the library: " + Quote(text));
                CHECK(text.find(L"The file does not exist.") != std::wstring::npos, "the message does not say why: " + Quote(text));
                CHECK(MessageHasIcon(box), "the failure must show an icon");
                SaveScreenshot(box, L"installation-failed");
                AnswerOk(box);
            }
            CHECK(!WaitForExcel().empty(), "Excel was not started after the failure");
            CHECK(trellis.Ended(), "OK did not end the program");
            CHECK(ReadSettings() == SavedAs(Ticked({0, 1, 2})), "saved " + Show(ReadSettings()));
            CHECK(!KeyExists(HKEY_CURRENT_USER, kAddInKey), "a failed installation left Excel's add-in entry");
        }
    }
    ClearEvidence();
    {
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        CHECK(trellisWindow != nullptr, "the window did not appear for removal");
        if (trellisWindow) {
            ClickBox(trellisWindow, 0);
            PressButton(trellisWindow, IDOK);
            CHECK(!WaitForExcel().empty(), "Excel was not started after removal");
            CHECK(trellis.MessageBox(L"Trellis", 0) == nullptr, "removing what was never installed must be silent");
            CHECK(trellis.Ended(), "OK did not end the program");
            CHECK(!KeyExists(HKEY_CURRENT_USER, addIns), "removal created Excel's add-in list");
        }
    }
    ::MoveFileExW(aside.c_str(), library.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// ---------------------------------------------------------------------------------------------
// Scenarios: what is stored and what policies set

// A stored "abc" is reported with its place and line; the other boxes still restore.
void BadStoredValues()
{
    ReplaceSettings({{L"Classic", L"abc"}, {L"View", L"7"}, {L"Developer", L"1"}, {L"All", L"0"}});
    Trellis trellis;
    const std::pair<std::wstring, int> expected[] = {
        {L"The setting \"Classic\" holds \"abc\", which is not a number.", 104},
        {L"A check box can only be 0 (clear), 1 (ticked) or 2 (greyed), not 7.", 112},
    };
    for (const auto& [description, line] : expected) {
        const HWND box = trellis.MessageBox(L"Application Error");
        CHECK(box != nullptr, "no Application Error for line " + std::to_string(line));
        if (!box) return;
        CHECK(MessageText(box) == ApplicationError(description, L"Form_Initialize", line), "report " + Quote(MessageText(box)));
        CHECK(MessageHasIcon(box), "the report must show the exclamation icon");
        if (line == 104) SaveScreenshot(box, L"application-error");
        AnswerOk(box);
        CHECK(Eventually([&] { return !::IsWindow(box); }), "the report for line " + std::to_string(line) + " did not close");
    }
    const HWND trellisWindow = trellis.Window();
    CHECK(trellisWindow != nullptr, "the window did not appear after the reports");
    if (!trellisWindow) return;
    // Box 0 came from the rules of Left and Developer; All is clear; Developer ticked box 11.
    CHECK(ReadStates(trellisWindow) == Ticked({0, 1, 10, 11}), "restored " + Show(ReadStates(trellisWindow)));
    PressButton(trellisWindow, IDCANCEL);
    CHECK(trellis.Ended(), "Cancel did not end the program");
}

// "Classic" 0 by computer policy, "Left" 1 by user policy, over a user who chose the opposite:
// both boxes show the policy, disabled, with the note; the others work; OK leaves the user's
// own values of the two as they were.
void Policies()
{
    ReplaceSettings({{L"Classic", L"1"}, {L"Left", L"0"}, {L"Review", L"1"}});
    UniqueHkey machine;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, machine.Put(), nullptr);
    const DWORD off = 0, on = 1;
    ::RegSetValueExW(machine.Get(), L"Classic", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
    WriteDword(HKEY_CURRENT_USER, kPolicyKey, L"Left", on);
    WriteDword(HKEY_CURRENT_USER, kPolicyKey, L"Tips", on);
    ClearEvidence();
    {
        Trellis trellis;
        const HWND trellisWindow = trellis.Window();
        CHECK(trellisWindow != nullptr, "the window did not appear");
        if (trellisWindow) {
            CHECK(ReadStates(trellisWindow) == Ticked({1, 2, 8, 11}), "opened as " + Show(ReadStates(trellisWindow)));
            for (int box = 0; box < 12; ++box)
                CHECK((::IsWindowEnabled(Box(trellisWindow, box)) != FALSE) == (box > 1),
                      "box " + std::to_string(box) + (box > 1 ? " is disabled" : " is enabled"));
            const HWND note = ::GetDlgItem(Page(trellisWindow, kExcelPageId), kPolicyNoteId);
            CHECK(::IsWindowVisible(note) && TextOf(note) == L"Dimmed boxes are set by your administrator.",
                  "the note " + Quote(TextOf(note)));
            SaveScreenshot(trellisWindow, L"excel-page-policy");
            const HWND tips = TipsBox(trellisWindow);
            CHECK(!::IsWindowEnabled(tips) && ::SendMessageW(tips, BM_GETCHECK, 0, 0) == BST_CHECKED,
                  "the policy's Tips is not shown ticked and dimmed");
            ClickBox(trellisWindow, 3); // Home would clear Left
            ClickBox(trellisWindow, 0); // disabled: nothing
            CHECK(ReadStates(trellisWindow) == Ticked({1, 2, 3, 8, 11}), "after clicks " + Show(ReadStates(trellisWindow)));
            PressButton(trellisWindow, IDOK);
            CHECK(!WaitForExcel().empty(), "Excel was not started");
            CHECK(trellis.Ended(), "OK did not end the program");
            Settings expected = SavedAs(Ticked({2, 3, 8, 11}));
            expected[L"Classic"] = L"1";
            expected[L"Left"] = L"0";
            expected.erase(L"Tips");
            CHECK(ReadSettings() == expected, "saved " + Show(ReadSettings()));
        }
    }
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, KEY_WOW64_64KEY, 0);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kPolicyKey);
}

// ---------------------------------------------------------------------------------------------
// In the user's language

// The screenshots' suffix for each table.
const std::map<int, std::wstring> kLanguageNames = {
    {0x0409, L"en"}, {0x0407, L"de"}, {0x040C, L"fr"}, {0x0C0A, L"es"},   {0x0410, L"it"},
    {0x0416, L"pt-BR"}, {0x0419, L"ru"}, {0x0411, L"ja"}, {0x0804, L"zh-CN"},
};

// The size of a text in the control's design font at 96 dpi, measured here with the same fonts;
// wrapped at `width` unless that is 0.
SIZE TextSize(const std::wstring& text, const FontDesign& design, int width)
{
    const UniqueHfont font = MakeFont(design, USER_DEFAULT_SCREEN_DPI, false);
    const HDC dc = ::GetDC(nullptr);
    RECT r{0, 0, width, 0};
    {
        ScopedSelectObject selected(dc, font.Get());
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CALCRECT | DT_NOPREFIX | (width ? DT_WORDBREAK : DT_SINGLELINE));
    }
    ::ReleaseDC(nullptr, dc);
    return {r.right, r.bottom};
}

// Every text of the window has room in its control: a check box's beside its 13-pixel mark and
// the gap after it, on as many lines as its height holds; a push button's within its edges.
// The tabs size themselves to their text.
void CheckRoomForTexts(HWND trellisWindow, const std::wstring& language)
{
    for (const ControlDesign& design : settings::kControls) {
        const bool box = design.kind == ControlKind::CheckBox;
        if (!design.text || (!box && design.kind != ControlKind::Label && design.kind != ControlKind::PushButton))
            continue;
        const HWND container = design.container == kInWindow ? trellisWindow : Page(trellisWindow, design.container);
        const HWND control = ::GetDlgItem(container, design.id);
        const std::wstring text = TextOf(control);
        RECT r{};
        ::GetClientRect(control, &r);
        const int room = r.right - (box ? 17 : design.kind == ControlKind::PushButton ? 8 : 0);
        const SIZE line = TextSize(text, design.font, 0);
        const SIZE lines = TextSize(text, design.font, room);
        const bool fits = line.cx <= room || (box && lines.cx <= room && lines.cy <= r.bottom);
        CHECK(fits, U8(language) + ": " + Quote(text) + " is " + std::to_string(line.cx) + " pixels wide in " +
                        std::to_string(room) + ", or " + std::to_string(lines.cy) + " high in " + std::to_string(r.bottom));
    }
}

// Excel's words as the add-in records them for one Excel (16.0) in `language`: tab labels by idMso.
void KeepExcelWords(int language, const std::vector<std::pair<std::wstring, std::wstring>>& labels)
{
    ExcelWordsRecord record;
    record.excelVersion = L"16.0";
    record.language = language;
    for (const auto& [idMso, label] : labels) record.words[{WordKind::Label, idMso}] = label;
    RegistryExcelWordsMemory().Keep(record.excelVersion, language, SerialiseWordsRecord(record));
}

void ForgetExcelWords() { ::RegDeleteTreeW(HKEY_CURRENT_USER, RegistryExcelWordsMemory::kKey); }

// A German Excel whose words the add-in recorded, in words no table of the product holds: the
// boxes name its tabs so, the "Left" box its Home tab; a tab it had no word for keeps the table's.
void InGermanExcelsWords(const std::wstring& tableLeft, const std::wstring& tableHome)
{
    KeepExcelWords(3079, {{L"TabHome", L"Anfang"}, {L"TabReview", L"Pr\u00FCfen & Teilen"}, {L"TabView", L""}});
    Trellis trellis;
    const HWND form = trellis.Window();
    CHECK(form != nullptr, "de, Excel's words: the window did not appear");
    if (!form) return;
    std::wstring left = tableLeft;
    left.replace(left.find(tableHome), tableHome.size(), L"Anfang");
    CHECK(TextOf(Box(form, 3)) == L"Anfang", "de, Excel's words: Home box " + Quote(TextOf(Box(form, 3))));
    CHECK(TextOf(Box(form, 1)) == left, "de, Excel's words: Left box " + Quote(TextOf(Box(form, 1))));
    CHECK(TextOf(Box(form, 8)) == L"Pr\u00FCfen && Teilen", "de, Excel's words: Review box " + Quote(TextOf(Box(form, 8))));
    CHECK(TextOf(Box(form, 9)) != L"", "de, Excel's words: an empty label must leave the table's word");
    CheckRoomForTexts(form, L"de, Excel's words");
    ShowPage(form, kExcelPageId);
    SaveScreenshot(form, L"excel-page-de-excels-words");
    PressButton(form, IDCANCEL);
    CHECK(trellis.Ended(), "de, Excel's words: Cancel did not end the program");
}

// The Help page's check in this prefix: nothing registered yet (Repair registers the library
// beside Trellis), the setting that is no number, and an administrator's list of managed add-ins;
// each in the table's words. In English, Repair mends the user's two and leaves the
// administrator's; the registration then goes again, for the next language.
void CheckOnHelpPage(HWND trellisWindow, const std::wstring& name, const std::function<std::wstring(unsigned)>& text)
{
    const std::wstring managed = L"Software\\Policies\\Microsoft\\Office\\16.0\\Excel\\Resiliency\\AddinList";
    WriteString(HKEY_CURRENT_USER, managed, L"Corbel.Connect", L"0");
    ShowPage(trellisWindow, kHelpPageId);
    const HWND help = Page(trellisWindow, kHelpPageId);
    const HWND findings = ::GetDlgItem(help, kFindingsId), repair = ::GetDlgItem(help, kRepairButtonId);
    CHECK(TextOf(findings) == text(IDS_CHECK_INTRO) && !::IsWindowEnabled(repair),
          U8(name) + ": before Check " + Quote(TextOf(findings)));
    PressButton(help, kCheckButtonId);
    CHECK(Eventually([&] { return TextOf(findings) != text(IDS_CHECK_INTRO); }), U8(name) + ": Check found nothing");
    const std::wstring found = TextOf(findings);
    for (const std::wstring& sentence : {text(IDS_CHECK_NOT_REGISTERED), text(IDS_CHECK_CLASSIC_OFF),
                                         FillIn(text(IDS_CHECK_POLICY_ADDIN_LIST), {L"16.0"}), text(IDS_MEND_ADMINISTRATOR)})
        CHECK(found.find(sentence) != std::wstring::npos, U8(name) + ": no " + Quote(sentence) + " in " + Quote(found));
    CHECK(::IsWindowEnabled(repair), U8(name) + ": Repair is disabled");
    CHECK(WaitUntilPainted(trellisWindow), "the window never finished painting the findings");
    SaveScreenshot(trellisWindow, L"help-page-" + name);
    if (name == L"en") {
        PressButton(help, kRepairButtonId);
        CHECK(Eventually([&] { return TextOf(findings).find(text(IDS_CHECK_NOT_REGISTERED)) == std::wstring::npos; }),
              "Repair did not register: " + Quote(TextOf(findings)));
        CHECK(TextOf(findings) == FillIn(text(IDS_CHECK_POLICY_ADDIN_LIST), {L"16.0"}) + L" " + text(IDS_MEND_ADMINISTRATOR),
              "after Repair " + Quote(TextOf(findings)));
        CHECK(!::IsWindowEnabled(repair), "Repair is enabled with only the administrator's finding left");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kAddInKey);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Office");
}

// Trellis in the language of this Wine (the script sets its locale): the table's texts in the
// window and the Application Error report, room for each, and screenshots of both pages and the
// report.
void InLanguage()
{
    const int table = TextLanguageFor(::GetUserDefaultUILanguage());
    const auto known = kLanguageNames.find(table);
    CHECK(known != kLanguageNames.end(), "no table for language " + std::to_string(::GetUserDefaultUILanguage()));
    if (known == kLanguageNames.end()) return;
    const std::wstring& name = known->second;
    const UniqueHmodule trellisTexts(
        ::LoadLibraryExW((std::wstring(kProgramFolder) + L"\\Trellis.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    CHECK(trellisTexts.Get() != nullptr, "Trellis.exe's texts could not be read");
    if (!trellisTexts) return;
    const auto text = [&](unsigned id) { return LoadText(trellisTexts.Get(), id, table); };

    // Excel's words recorded for an Excel in another language than Trellis's change nothing.
    KeepExcelWords(table == 0x040C ? 1031 : 1036, {{L"TabHome", L"Anfang"}});
    ReplaceSettings({{L"Classic", L"abc"}});
    Trellis trellis;
    const std::wstring errorTitle = text(IDS_APPLICATION_ERROR_TITLE);
    const HWND report = trellis.MessageBox(errorTitle.c_str());
    CHECK(report != nullptr, U8(name) + ": no report titled " + Quote(errorTitle));
    if (!report) return;
    CHECK(MessageText(report).find(L"in Lattice2021/01/22.Form1.Form_Initialize ") != std::wstring::npos,
          U8(name) + ": the location must stay as it is: " + Quote(MessageText(report)));
    SaveScreenshot(report, L"application-error-" + name);
    AnswerOk(report);
    const HWND trellisWindow = trellis.Window();
    CHECK(trellisWindow != nullptr, U8(name) + ": the window did not appear");
    if (!trellisWindow) return;
    for (int box = 0; box < 12; ++box)
        CHECK(TextOf(Box(trellisWindow, box)) == text(IDS_BOX_CLASSIC + box),
              U8(name) + ": box " + std::to_string(box) + " " + Quote(TextOf(Box(trellisWindow, box))));
    CHECK(TextOf(::GetDlgItem(trellisWindow, IDCANCEL)) == text(IDS_CANCEL),
          U8(name) + ": Cancel " + Quote(TextOf(::GetDlgItem(trellisWindow, IDCANCEL))));
    CHECK(TextOf(::GetDlgItem(Page(trellisWindow, kAboutPageId), kWebsiteCaptionId)) == text(IDS_WEBSITE_LABEL),
          U8(name) + ": website label");
    if (name == L"de")
        CHECK(TextOf(::GetDlgItem(trellisWindow, IDCANCEL)) == L"Abbrechen" &&
                  TextOf(Box(trellisWindow, 11)) == L"Integrierte Registerkarten ausblenden",
              "German: " + Quote(TextOf(::GetDlgItem(trellisWindow, IDCANCEL))) + " " + Quote(TextOf(Box(trellisWindow, 11))));
    CheckRoomForTexts(trellisWindow, name);
    ShowPage(trellisWindow, kExcelPageId);
    SaveScreenshot(trellisWindow, L"excel-page-" + name);
    ShowPage(trellisWindow, kAboutPageId);
    SaveScreenshot(trellisWindow, L"about-page-" + name);
    CheckOnHelpPage(trellisWindow, name, text);
    PressButton(trellisWindow, IDCANCEL);
    CHECK(trellis.Ended(), U8(name) + ": Cancel did not end the program");
    ReplaceSettings({});
    if (name == L"de") InGermanExcelsWords(text(IDS_BOX_LEFT), text(IDS_BOX_HOME));
    ForgetExcelWords();
}

// ---------------------------------------------------------------------------------------------
// The prefix: the product in its program folder, "Excel" and http leading to the probe.

void Prepare()
{
    ::CreateDirectoryW(L"C:\\Program Files", nullptr);
    ::CreateDirectoryW(kProgramFolder, nullptr);
    ::CreateDirectoryW(kEvidenceFolder, nullptr);
    ::CreateDirectoryW(kToolsFolder, nullptr);
    CopyInto(g_paths.build + L"\\Trellis\\Trellis.exe", std::wstring(kProgramFolder) + L"\\Trellis.exe");
    CopyInto(g_paths.build + L"\\Corbel\\Corbel.dll", std::wstring(kProgramFolder) + L"\\Corbel.dll");
    CopyInto(g_paths.installer + L"\\HAND-M.CUR", std::wstring(kProgramFolder) + L"\\HAND-M.CUR");
    const std::wstring probe = std::wstring(kToolsFolder) + L"\\ExcelProbe.exe";
    CopyInto(g_paths.build + L"\\tests\\e2e\\trellis\\trellis-excel-probe.exe", probe);
    // "Excel" where Click-to-Run Office 2016 to 365 puts it, of the settings program's bitness.
    const std::wstring office = L"C:\\Program Files\\Microsoft Office";
    for (const wchar_t* folder : {L"", L"\\root", L"\\root\\Office16"})
        ::CreateDirectoryW((office + folder).c_str(), nullptr);
    const std::wstring excel = office + L"\\root\\Office16\\EXCEL.EXE";
    CopyInto(probe, excel);

    // Windows finds Excel through App Paths\excel.exe; Wine 8 looks up the name as given.
    for (const wchar_t* name : {L"Excel", L"excel.exe"})
        WriteString(HKEY_LOCAL_MACHINE, std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + name, L"", excel);
    WriteString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\http\\shell\\open\\command", L"", L"\"" + probe + L"\" \"%1\"");
    ::SetEnvironmentVariableW(L"CORNICE_TEST_EVIDENCE", kEvidenceFolder);
    ::SetEnvironmentVariableW(L"CORNICE_TEST_EXCEL_HOST", (g_paths.build + L"\\tools\\excel-host\\excel-host.exe").c_str());
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    ::SetProcessDPIAware();
    if (!ReadDriverArguments(argc, argv, "trellis-driver", g_paths)) return 100;
    if (g_paths.scenarios == std::vector<std::wstring>{L"language"}) kProgramFolder = kAsciiProgramFolder;
    Prepare();
    return RunScenarios(g_paths.scenarios, {
                                               // The window as the user meets it
                                               {L"first-start", FirstStart},
                                               {L"boxes-and-pointer", BoxesAndPointer},
                                               {L"no-hand-pointer", NoHandPointer},
                                               {L"styled", Styled},
                                               {L"dpi-120", [] { Dpi(120); }},
                                               {L"dpi-144", [] { Dpi(144); }},
                                               {L"language", InLanguage},
                                               // OK, Cancel and the add-in
                                               {L"ok-installs", OkInstalls},
                                               {L"cancel-and-close", CancelAndCloseSaveNothing},
                                               {L"ok-uninstalls", OkUninstalls},
                                               {L"missing-library", MissingLibrary},
                                               // What is stored and what policies set
                                               {L"bad-values", BadStoredValues},
                                               {L"policies", Policies},
                                           });
}
