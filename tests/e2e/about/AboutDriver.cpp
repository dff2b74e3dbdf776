// Drives the add-in's About window under Wine and Xvfb through excel-host, the stand-in for
// Excel, as a user would: clicks the About entries of the Help menu and of its copy in the
// "All" menu, reads the window, moves the real mouse over it, follows the link (explorer.exe in
// this prefix's Windows folder is a stand-in that writes down how it was started), closes it
// with Esc, Enter and the "Ok" button, and saves screenshots.
//
//   about-driver --build DIR --installer DIR --shots DIR SCENARIO...
//
// DIR are Unix paths (Wine's Z: drive). The product goes into a program folder of the prefix
// and is registered there with regsvr32, as the settings program does. Exit code: the number
// of failed checks (0: all passed).
#include "AboutLayout.h"
#include "AboutWindow.h"
#include "CorbelText.h"
#include "CorniceVersion.h"
#include "LanguageChoice.h"
#include "LocalisedText.h"
#include "Twips.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowDpi.h"
#include "WindowDriving.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace cornice;
using namespace cornice::driving;

namespace {

constexpr const wchar_t* kProgramFolder = L"C:\\Program Files\\Cornice";
constexpr const wchar_t* kEvidenceFolder = L"C:\\evidence";
constexpr const wchar_t* kSettingsKey = L"Software\\VB and VBA Program Settings\\Quillmark\\Architrave";
constexpr const char* kExplorerCommand = "explorer \"http://www.quillmark.example/\"";
constexpr const char* kLabelsReport =
    "    labels: \"Architrave\", \"Version " CORNICE_VERSION_TEXT ".0\", \"Website: \", \"www.quillmark.example\"\n";

DriverArguments g_paths;

std::wstring Program(const wchar_t* name) { return std::wstring(kProgramFolder) + L"\\" + name; }
std::wstring Evidence(const wchar_t* name) { return std::wstring(kEvidenceFolder) + L"\\" + name; }

int Occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

// The lines of `text` that begin with `prefix`, in order.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

std::string Value(const std::string& report, const std::string& name)
{
    const std::vector<std::string> lines = LinesStartingWith(report, name + "=");
    return lines.empty() ? "(none)" : lines.front().substr(name.size() + 1);
}

void WriteSetting(const std::wstring& name, const std::wstring& value)
{
    UniqueHkey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr);
    ::RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteLogPixels(DWORD dpi)
{
    UniqueHkey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(),
                      nullptr);
    ::RegSetValueExW(key.Get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
}

// The optional files next to Corbel.dll: the hand pointer and the About window's style file.
void OptionalFiles(bool present)
{
    const std::wstring styleFolder = Program(L"Xtreme");
    if (present) {
        ::CreateDirectoryW(styleFolder.c_str(), nullptr);
        CopyInto(g_paths.installer + L"\\HAND-M.CUR", Program(L"HAND-M.CUR"));
        CopyInto(g_paths.installer + L"\\Xtreme\\Office2007.cjstyles", styleFolder + L"\\Office2007.cjstyles");
    } else {
        ::DeleteFileW(Program(L"HAND-M.CUR").c_str());
        ::DeleteFileW((styleFolder + L"\\Office2007.cjstyles").c_str());
        ::RemoveDirectoryW(styleFolder.c_str());
    }
}

// ---------------------------------------------------------------------------------------------
// excel-host, the stand-in for Excel

// Runs excel-host with `arguments`; its report goes to a file of the evidence folder. The
// environment is this driver's, less the variables named in `unset`.
class ExcelHost {
public:
    explicit ExcelHost(const std::wstring& arguments, const std::vector<std::wstring>& unset = {})
    {
        static int runs = 0;
        output_ = Evidence((L"excel-host-" + std::to_wstring(++runs) + L".txt").c_str());
        // The child inherits the environment as it stands at its start.
        std::vector<std::pair<std::wstring, std::wstring>> saved;
        for (const std::wstring& name : unset) {
            const std::wstring value = EnvironmentVariable(name.c_str());
            if (!value.empty()) saved.emplace_back(name, value);
            ::SetEnvironmentVariableW(name.c_str(), nullptr);
        }
        program_.emplace(L"\"" + g_paths.build + L"\\tools\\excel-host\\excel-host.exe\" " + arguments, output_);
        for (const auto& [name, value] : saved) ::SetEnvironmentVariableW(name.c_str(), value.c_str());
        CHECK(program_->Started(), "excel-host did not start");
        id_ = program_->Id();
    }
    ExcelHost(const ExcelHost&) = delete;
    ExcelHost& operator=(const ExcelHost&) = delete;
    ~ExcelHost() { CHECK(!program_->Running(), "excel-host was still running at the end of the scenario:\n" + Output()); }

    // The About windows of this Excel, as a user sees them.
    std::vector<HWND> AboutWindows() const
    {
        return id_ ? WindowsOfProcess(id_, kAboutWindowClassName) : std::vector<HWND>();
    }

    HWND WaitForAboutWindow()
    {
        const HWND found = id_ ? WaitForWindow(id_, kAboutWindowClassName, nullptr, 20000) : nullptr;
        CHECK(found != nullptr, "no About window appeared:\n" + Output());
        return found;
    }

    std::string Output() const { return ReadFileText(output_); }
    DWORD Id() const { return id_; }

    // Runs to the end (a minute at most) and hands back the exit code.
    DWORD Finish()
    {
        CHECK(program_->Ended(60000), "excel-host did not end:\n" + Output());
        return program_->ExitCode();
    }

private:
    std::wstring output_;
    std::optional<StartedProgram> program_;
    DWORD id_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Looking at the window

HWND Item(HWND window, int id) { return ::GetDlgItem(window, id); }

std::string Handle(const void* handle)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", handle);
    return text;
}

bool Blue(COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 120 && GetGValue(c) < 120; }
bool LinkUnderlined(HWND window) { return Underlined(Item(window, kAboutLinkId), Blue); }

void CheckTexts(HWND window, const std::wstring& caption)
{
    CHECK(TextOf(window) == caption, "caption " + Quote(TextOf(window)) + ", expected " + Quote(caption));
    const struct {
        int id;
        const wchar_t* text;
    } labels[] = {
        {kAboutTitleId, L"Architrave"},
        {kAboutVersionId, L"Version " CORNICE_VERSION_WIDE_TEXT L".0"},
        {kAboutWebsiteCaptionId, L"Website: "},
        {kAboutLinkId, L"www.quillmark.example"},
        {IDOK, L"Ok"},
    };
    for (const auto& label : labels)
        CHECK(TextOf(Item(window, label.id)) == label.text,
              "control " + std::to_string(label.id) + " reads " + Quote(TextOf(Item(window, label.id))));
}

void CheckGeometry(HWND window, int dpi)
{
    RECT client;
    ::GetClientRect(window, &client);
    const std::string at = " at " + std::to_string(dpi) + " dpi";
    CHECK(client.right == TwipsToPixels(about::kClientWidth, dpi) && client.bottom == TwipsToPixels(about::kClientHeight, dpi),
          "client area " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + at);
    const struct {
        int id;
        TwipRect place;
    } controls[] = {
        {kAboutTitleId, about::kTitle.place},
        {kAboutVersionId, about::kVersion.place},
        {kAboutWebsiteCaptionId, about::kWebsiteCaption.place},
        {kAboutLinkId, about::kLink.place},
        {IDOK, about::kOkButton},
    };
    for (const auto& control : controls) {
        const RECT rect = RectIn(Item(window, control.id), window);
        const PixelRect expected = ToPixels(control.place, dpi);
        CHECK(rect.left == expected.left && rect.top == expected.top && rect.right == expected.Right() &&
                  rect.bottom == expected.Bottom(),
              "control " + std::to_string(control.id) + " at " + std::to_string(rect.left) + "," +
                  std::to_string(rect.top) + "-" + std::to_string(rect.right) + "," + std::to_string(rect.bottom) + at);
    }
    // Centred on the screen (Xvfb has no task bar, so the work area is the screen).
    RECT frame;
    ::GetWindowRect(window, &frame);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    CHECK(std::abs((frame.left + frame.right) - screenWidth) <= 2 && std::abs((frame.top + frame.bottom) - screenHeight) <= 2,
          "the window is not centred: " + std::to_string(frame.left) + "," + std::to_string(frame.top));
}

// A point of the window's free area: left of the title, above the line.
void MoveOverFreeArea(HWND window, int dpi)
{
    POINT point{TwipsToPixels(400, dpi), TwipsToPixels(1800, dpi)};
    ::ClientToScreen(window, &point);
    MovePointer(point.x, point.y);
}

void MoveOver(HWND control)
{
    RECT rect;
    ::GetWindowRect(control, &rect);
    MovePointer((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// ---------------------------------------------------------------------------------------------
// Scenarios

// Open, close, reopen through both Help menus, with excel-host closing each window: the
// captions in order, the labels each time, and the library free to go at the end.
void Captions()
{
    OptionalFiles(false);
    ExcelHost host(L"--click d242242 --click Alld242242 --click d242242");
    const DWORD exitCode = host.Finish();
    const std::string output = host.Output();
    CHECK(exitCode == 0, "excel-host exit code " + std::to_string(exitCode) + ":\n" + output);
    const std::vector<std::string> expected = {
        "  window shown: window \"Architrave\" (class CorbelAboutForm1)",
        "  window shown: window \"About Architrave\" (class CorbelAboutForm1)",
        "  window shown: window \"About Architrave\" (class CorbelAboutForm1)",
    };
    CHECK(LinesStartingWith(output, "  window shown:") == expected, "windows shown, in order:\n" + output);
    CHECK(Occurrences(output, kLabelsReport) == 3, "the labels, each time:\n" + output);
    CHECK(Occurrences(output, "    buttons: \"Ok\"; icon: none\n") == 3, "the button, each time:\n" + output);
    CHECK(Occurrences(output, "  ShowAbout0 returned\n") == 3, "ShowAbout0 did not return three times:\n" + output);
    CHECK(Occurrences(output, "DllCanUnloadNow: S_OK") == 1, "the library must be free to go at the end:\n" + output);
}

// Excel closes with the window open: the add-in closes it when it is disconnected (Excel may
// unload the library right after), and the library is free to go.
void ShutDownWithWindowOpen()
{
    OptionalFiles(true);
    ExcelHost host(L"--keep-open --click d242242");
    const DWORD exitCode = host.Finish();
    const std::string output = host.Output();
    CHECK(exitCode == 0, "excel-host exit code " + std::to_string(exitCode) + ":\n" + output);
    CHECK(Occurrences(output, "  window shown: window \"Architrave\" (class CorbelAboutForm1)") == 1,
          "the window did not open:\n" + output);
    CHECK(Occurrences(output, "windows open after OnDisconnection: 0\n") == 1,
          "the window outlived the disconnection:\n" + output);
    CHECK(Occurrences(output, "DllCanUnloadNow: S_OK") == 1, "the library must be free to go:\n" + output);
}

// Two clicks with the window left open: one window. Its texts, places and colours, the
// pointer and underline under the real mouse, the link, and Esc.
void OpenWindow(bool optionalFiles)
{
    OptionalFiles(optionalFiles);
    ExcelHost host(L"--wait --click d242242 --click Alld242242");
    const HWND window = host.WaitForAboutWindow();
    if (!window) return;
    CHECK(Eventually([&] { return Occurrences(host.Output(), "ShowAbout0 returned") == 2; }, 10000),
          "the second click did not return:\n" + host.Output());
    CHECK(host.AboutWindows().size() == 1, std::to_string(host.AboutWindows().size()) + " About windows after two clicks");
    CheckTexts(window, L"Architrave");
    const int dpi = ScreenDpi();
    CheckGeometry(window, dpi);
    const COLORREF background = MostCommonColour(window);
    const COLORREF expected = optionalFiles ? RGB(0xDF, 0xE9, 0xF5) : RGB(255, 255, 255);
    CHECK(background == expected, "background " + Hex(background) + ", expected " + Hex(expected));
    SaveScreenshot(window, g_paths.shots, optionalFiles ? L"about-styled" : L"about-plain");

    // The pointer and the underline follow the real mouse.
    BringToFront(window);
    // Wine gives each process a handle of its own for the arrow: excel-host's is the one it
    // shows over the About window's title bar, which the system handles.
    MovePointerInto(window, 60, ::GetSystemMetrics(SM_CYCAPTION) / 2 + 2);
    const HCURSOR arrow = Pointer();
    const HWND link = Item(window, kAboutLinkId);
    const HWND ok = Item(window, IDOK);
    CHECK(LinkUnderlined(window), "the link is not underlined when the window opens");
    MoveOver(link);
    // A loaded machine may show the arrow a moment longer before the window sets the hand.
    CHECK(Eventually([&] {
              const HCURSOR shown = Pointer();
              return shown != nullptr && (!optionalFiles || shown != arrow);
          }),
          "no pointer over the link");
    const HCURSOR overLink = Pointer();
    CHECK(optionalFiles ? overLink != arrow : overLink == arrow,
          (optionalFiles ? "over the link the pointer is not the hand: " : "without HAND-M.CUR the pointer must stay the arrow: ") +
              Handle(overLink) + ", the arrow is " + Handle(arrow));
    MoveOverFreeArea(window, dpi);
    CHECK(Eventually([&] { return !LinkUnderlined(window); }), "the free area did not take the underline away");
    CHECK(Eventually([&] { return Pointer() == arrow; }),
          "over the free area the pointer is not the arrow: " + Handle(Pointer()) + ", the arrow is " + Handle(arrow));
    MoveOver(ok);
    CHECK(Eventually([&] { return Pointer() == overLink; }), "over the button the pointer is not the link's");
    CHECK(!LinkUnderlined(window), "the button must leave the underline alone");
    MoveOver(link);
    CHECK(Eventually([&] { return LinkUnderlined(window); }), "the link is not underlined under the pointer");

    // The link starts explorer with the address and does not wait for it.
    ::DeleteFileW(Evidence(L"explorer.txt").c_str());
    ClickWithMouse(link, 10, TwipsToPixels(about::kLink.place.height, dpi) / 2);
    std::string report;
    CHECK(Eventually([&] { return !(report = ReadFileText(Evidence(L"explorer.txt"))).empty(); }, 15000),
          "the link did not start explorer");
    CHECK(Value(report, "command") == kExplorerCommand, "explorer's command line: " + Value(report, "command"));
    CHECK(Value(report, "show") == std::to_string(SW_SHOWMINIMIZED), "explorer's window style: " + Value(report, "show"));
    if (!report.empty()) {
        const UniqueHandle explorer(::OpenProcess(SYNCHRONIZE, FALSE, std::stoul(Value(report, "process"))));
        DWORD_PTR answer = 0;
        CHECK(explorer && ::WaitForSingleObject(explorer.Get(), 0) == WAIT_TIMEOUT &&
                  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer),
              "the add-in must not wait for explorer: its window answers while explorer still runs");
    }
    CHECK(::IsWindow(window) && host.AboutWindows().size() == 1, "the link closed the window");
    ::DeleteFileW(Evidence(L"explorer.txt").c_str()); // the stand-in may end now

    // Esc closes it, although excel-host's loop, like Excel's, calls no IsDialogMessage.
    BringToFront(window);
    Keys({VK_ESCAPE});
    CHECK(Eventually([&] { return !::IsWindow(window); }), "Esc did not close the window");
    const DWORD exitCode = host.Finish();
    const std::string output = host.Output();
    CHECK(exitCode == 0, "excel-host exit code " + std::to_string(exitCode) + ":\n" + output);
    CHECK(Occurrences(output, "window shown") == 1, "more than one window was shown:\n" + output);
    CHECK(Occurrences(output, "DllCanUnloadNow: S_OK") == 1, "the library must be free to go:\n" + output);
}

// Enter closes it; and so does a click on "Ok" with the real mouse.
void EnterAndOk()
{
    OptionalFiles(false);
    {
        ExcelHost host(L"--wait --click d242242");
        const HWND window = host.WaitForAboutWindow();
        if (!window) return;
        BringToFront(window);
        Keys({VK_RETURN});
        CHECK(Eventually([&] { return !::IsWindow(window); }), "Enter did not close the window");
        CHECK(host.Finish() == 0, "excel-host failed:\n" + host.Output());
    }
    {
        ExcelHost host(L"--wait --click Alld242242");
        const HWND window = host.WaitForAboutWindow();
        if (!window) return;
        BringToFront(window);
        ClickWithMouse(Item(window, IDOK), 20, 10);
        CHECK(Eventually([&] { return !::IsWindow(window); }), "the Ok button did not close the window");
        CHECK(host.Finish() == 0, "excel-host failed:\n" + host.Output());
    }
}

// The window at the DPI of the prefix's display setting, styled.
void Dpi(int dpi)
{
    OptionalFiles(true);
    WriteLogPixels(static_cast<DWORD>(dpi));
    {
        ExcelHost host(L"--wait --click d242242");
        const HWND window = host.WaitForAboutWindow();
        if (window) {
            CheckGeometry(window, dpi);
            CheckTexts(window, L"Architrave");
            SaveScreenshot(window, g_paths.shots, L"about-" + std::to_wstring(dpi) + L"dpi");
            AskToClose(window);
            CHECK(host.Finish() == 0, "excel-host failed:\n" + host.Output());
        }
    }
    WriteLogPixels(96);
}

// The window and the uninstall message in one language of Excel's, each as the user meets it
// and as excel-host reports it, with texts from the product's own table for that language.
struct Language {
    int id;
    const wchar_t* name;
};

// Text `id` of the registered library's table for `language`.
std::wstring ProductText(unsigned id, int language)
{
    const UniqueHmodule library(::LoadLibraryExW(Program(L"Corbel.dll").c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    return library ? LoadText(library.Get(), id, language) : L"(Corbel.dll not loaded)";
}

// Each text in its control's designed font at the window's DPI fits the control: on one line
// within a label, within a button's face (less its edges and focus rectangle). Arial has no
// Japanese or Chinese glyphs; Windows draws those in a linked font, a full em wide each, which is
// what they count for here.
void CheckTextsFit(HWND window, int dpi, const std::string& language)
{
    const struct {
        int id;
        const ControlDesign* design;
        int margin;
    } controls[] = {{kAboutVersionId, &about::kVersion, 0}, {kAboutWebsiteCaptionId, &about::kWebsiteCaption, 0},
                    {IDOK, &about::kOk, 8}};
    const UniqueHdc dc(::CreateCompatibleDC(nullptr));
    for (const auto& control : controls) {
        const UniqueHfont font = MakeFont(control.design->font, dpi, false);
        const HGDIOBJ old = ::SelectObject(dc.Get(), font.Get());
        const std::wstring text = TextOf(Item(window, control.id));
        std::wstring latin;
        int wide = 0;
        for (const wchar_t c : text) {
            if (c >= 0x2E80) ++wide;
            else latin += c;
        }
        SIZE extent{};
        ::GetTextExtentPoint32W(dc.Get(), latin.c_str(), static_cast<int>(latin.size()), &extent);
        LOGFONTW design{};
        ::GetObjectW(font.Get(), sizeof design, &design);
        extent.cx += wide * std::abs(design.lfHeight);
        ::SelectObject(dc.Get(), old);
        RECT client;
        ::GetClientRect(Item(window, control.id), &client);
        CHECK(extent.cx <= client.right - control.margin && extent.cy <= client.bottom,
              language + ": " + Quote(text) + " is " + std::to_string(extent.cx) + "x" + std::to_string(extent.cy) +
                  " pixels, its control " + std::to_string(client.right) + "x" + std::to_string(client.bottom));
    }
}

void InLanguage(const Language& language)
{
    OptionalFiles(true);
    const std::string name = U8(language.name);
    const std::wstring option = L"--ui-language " + std::to_wstring(language.id);
    const int table = TextLanguageFor(language.id);
    const auto text = [&](unsigned id) { return ProductText(id, table); };
    const std::wstring version = FillIn(text(IDS_ABOUT_VERSION), {CORNICE_VERSION_WIDE_TEXT L".0"});
    MovePointer(0, 0); // no button lit up under the pointer in the screenshots
    {
        ExcelHost host(option + L" --wait --click d242242");
        const HWND window = host.WaitForAboutWindow();
        if (!window) return;
        const struct {
            int id;
            std::wstring text;
        } labels[] = {{kAboutVersionId, version}, {kAboutWebsiteCaptionId, text(IDS_ABOUT_WEBSITE_LABEL)},
                      {IDOK, text(IDS_ABOUT_OK)}};
        for (const auto& label : labels)
            CHECK(TextOf(Item(window, label.id)) == label.text, name + ": control " + std::to_string(label.id) +
                                                                    " reads " + Quote(TextOf(Item(window, label.id))) +
                                                                    ", expected " + Quote(label.text));
        if (language.id == 1031)
            CHECK(TextOf(Item(window, IDOK)) == L"OK" && TextOf(Item(window, kAboutWebsiteCaptionId)) == L"Website: ",
                  "the German window reads " + Quote(TextOf(Item(window, IDOK))));
        const int dpi = ScreenDpi();
        CheckGeometry(window, dpi);
        CheckTextsFit(window, dpi, name);
        SaveScreenshot(window, g_paths.shots, std::wstring(L"about-") + language.name);
        BringToFront(window);
        ClickWithMouse(Item(window, IDOK), 20, 10);
        CHECK(Eventually([&] { return !::IsWindow(window); }), name + ": the button did not close the window");
        CHECK(host.Finish() == 0, name + ": excel-host failed:\n" + host.Output());
    }
    {
        ExcelHost host(option + L" --wait --click d24224025");
        const HWND box = host.Id() ? WaitForWindow(host.Id(), L"#32770", nullptr, 20000) : nullptr;
        CHECK(box != nullptr, name + ": no uninstall message appeared:\n" + host.Output());
        if (!box) return;
        CHECK(MessageText(box) == text(IDS_UNINSTALL_INSTRUCTIONS), name + ": the message reads " + Quote(MessageText(box)));
        SaveScreenshot(box, g_paths.shots, std::wstring(L"uninstall-") + language.name);
        AnswerOk(box);
        CHECK(host.Finish() == 0, name + ": excel-host failed:\n" + host.Output());
    }
    // Reopened after excel-host closed it: the caption that only a reopening shows.
    ExcelHost host(option + L" --click d242242 --click d242242");
    const DWORD exitCode = host.Finish();
    const std::string output = host.Output();
    CHECK(exitCode == 0, name + ": excel-host exit code " + std::to_string(exitCode) + ":\n" + output);
    const std::string reopened =
        "  window shown: window " + Quote(FillIn(text(IDS_ABOUT_CAPTION), {L"Architrave"})) + " (class CorbelAboutForm1)";
    CHECK(Occurrences(output, reopened + "\n") == 1, name + ": no " + reopened + " in:\n" + output);
}

// Excel in each language of the product: Latin and Cyrillic ones, or (in a prefix with fonts
// for them) Japanese or Chinese, one a run, for about-e2e.sh runs each in a Windows of its own
// locale. German is checked in words as well: the driver reads the tables with the code that the
// add-in uses.
void Languages(const std::vector<Language>& languages)
{
    for (const Language& language : languages) InLanguage(language);
}

// ---------------------------------------------------------------------------------------------
// The prefix: the product registered in its program folder, settings with the "All" menu.

bool Prepare()
{
    ::CreateDirectoryW(L"C:\\Program Files", nullptr);
    ::CreateDirectoryW(kProgramFolder, nullptr);
    ::CreateDirectoryW(kEvidenceFolder, nullptr);
    if (!CopyInto(g_paths.build + L"\\Corbel\\Corbel.dll", Program(L"Corbel.dll"))) return false;
    const std::optional<DWORD> exitCode = RunToEnd(L"regsvr32 /s \"" + Program(L"Corbel.dll") + L"\"", 60000);
    if (exitCode != 0u) {
        std::printf("regsvr32 failed with %lu\n", static_cast<unsigned long>(exitCode.value_or(1)));
        return false;
    }
    WriteSetting(L"All", L"1");
    ::SetEnvironmentVariableW(L"CORNICE_TEST_EVIDENCE", kEvidenceFolder);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    ::SetProcessDPIAware();
    if (!ReadDriverArguments(argc, argv, "about-driver", g_paths)) return 100;
    if (!Prepare()) {
        std::printf("FAIL: the product could not be put into the prefix\n");
        return 100;
    }
    return RunScenarios(g_paths.scenarios, {
                                               {L"captions", Captions},
                                               {L"shut-down-open", ShutDownWithWindowOpen},
                                               {L"plain", [] { OpenWindow(false); }},
                                               {L"styled", [] { OpenWindow(true); }},
                                               {L"enter-and-ok", EnterAndOk},
                                               {L"dpi-120", [] { Dpi(120); }},
                                               {L"dpi-144", [] { Dpi(144); }},
                                               {L"languages",
                                                [] {
                                                    Languages({{1033, L"en"}, {1031, L"de"}, {1036, L"fr"},
                                                               {3082, L"es"}, {1040, L"it"}, {1046, L"pt-BR"},
                                                               {1049, L"ru"}});
                                                }},
                                               {L"languages-ja", [] { Languages({{1041, L"ja"}}); }},
                                               {L"languages-zh-CN", [] { Languages({{2052, L"zh-CN"}}); }},
                                           });
}
