// The About window in process, as Excel holds it: Corbel.dll loaded from a program folder of
// the test's own (with or without the hand pointer and the style file), ShowAbout0 called by
// name through IDispatch as Office calls ribbon callbacks, and the window looked at from
// inside: places, fonts, colours, captions, pointer, keys, module references and unloading.
// Runs under a display of its own (fresh-prefix.sh).
//
//   about-window-tests --corbel PATH --installer DIR
#include "AboutLayout.h"
#include "AboutWindow.h"
#include "Automation.h"
#include "AutomationObjects.h"
#include "CorbelInProcess.h"
#include "Twips.h"
#include "Utf8.h"
#include "Waiting.h"
#include "WinHandles.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cornice {
namespace {

std::wstring g_corbelPath;
std::wstring g_installerFolder;

// ---------------------------------------------------------------------------------------------
// Program folders and the library

enum class Folder { Plain, Styled, BrokenPointer };

// C:\about-tests\plain holds Corbel.dll alone; ...\styled also the hand pointer and the
// About window's style file, as the installer puts them.
std::wstring MakeProgramFolder(Folder kind)
{
    const wchar_t* name = kind == Folder::Plain ? L"plain" : kind == Folder::Styled ? L"styled" : L"broken-pointer";
    const std::wstring folder = std::wstring(L"C:\\about-tests\\") + name;
    ::CreateDirectoryW(L"C:\\about-tests", nullptr);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CopyFileW(g_corbelPath.c_str(), (folder + L"\\Corbel.dll").c_str(), FALSE);
    if (kind == Folder::Styled) {
        ::CreateDirectoryW((folder + L"\\Xtreme").c_str(), nullptr);
        ::CopyFileW((g_installerFolder + L"\\HAND-M.CUR").c_str(), (folder + L"\\HAND-M.CUR").c_str(), FALSE);
        ::CopyFileW((g_installerFolder + L"\\Xtreme\\Office2007.cjstyles").c_str(),
                    (folder + L"\\Xtreme\\Office2007.cjstyles").c_str(), FALSE);
    }
    if (kind == Folder::BrokenPointer) {
        // A HAND-M.CUR that is no cursor at all.
        UniqueFile file(::CreateFileW((folder + L"\\HAND-M.CUR").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        const char text[] = "not a cursor";
        DWORD written = 0;
        ::WriteFile(file.Get(), text, sizeof text - 1, &written, nullptr);
    }
    return folder;
}

struct CallResult {
    HRESULT hr = E_FAIL;
    HRESULT code = S_OK; // the exception's code when hr is DISP_E_EXCEPTION
    std::wstring description;
};

// Corbel.dll loaded by path, as COM loads an in-process server, and a Connect made by its
// class factory. Unloads the library at the end unless told otherwise.
class Library {
public:
    explicit Library(const std::wstring& path) : library_(std::make_unique<test::CorbelLibrary>(path)) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { Free(); }

    bool Loaded() const { return library_ && library_->Loaded(); }
    HMODULE Module() const { return library_ ? library_->Module() : nullptr; }
    HRESULT CanUnloadNow() const { return library_->CanUnloadNow(); }

    void Free()
    {
        connect_.Reset();
        library_.reset();
    }

    // What Office does for the About entry: ShowAbout0 by name, with the clicked control.
    CallResult ShowAbout()
    {
        CallResult result;
        if (!connect_) {
            const ComPtr<_Connect> connect = library_->NewConnect();
            if (!connect || FAILED(connect.As(connect_, IID_IDispatch))) return result;
        }
        DISPID id = DISPID_UNKNOWN;
        result.hr = IdOfName(*connect_.Get(), L"ShowAbout0", id);
        if (FAILED(result.hr)) return result;
        const ComPtr<IRibbonControl> control = host::MakeRibbonControl(L"d242242", L"", nullptr);
        DispatchOutcome outcome;
        InvokeInto(outcome, *connect_.Get(), id, DISPATCH_METHOD, {ObjectArgument(control.Get())});
        result.hr = outcome.hr;
        if (outcome.hr == DISP_E_EXCEPTION) {
            result.code = outcome.exception.Code();
            result.description = outcome.exception.Description();
        }
        return result;
    }

    // Excel lets go of the add-in; the library stays loaded.
    void ReleaseConnect() { connect_.Reset(); }

    // What Excel tells the add-in before it lets go of it.
    enum class Farewell { BeginShutdown, HostShutdown, UserClosed };
    HRESULT Tell(Farewell farewell)
    {
        ComPtr<_IDTExtensibility2> connection;
        if (!connect_ || FAILED(connect_.As(connection, IID__IDTExtensibility2))) return E_NOINTERFACE;
        SAFEARRAY* custom = nullptr;
        if (farewell == Farewell::BeginShutdown) return connection->OnBeginShutdown(&custom);
        return connection->OnDisconnection(farewell == Farewell::HostShutdown ? ext_dm_HostShutdown : ext_dm_UserClosed,
                                           &custom);
    }

private:
    std::unique_ptr<test::CorbelLibrary> library_;
    ComPtr<IDispatch> connect_;
};

// ---------------------------------------------------------------------------------------------
// Messages, windows, pixels

// Excel's loop as far as the add-in can tell (no IsDialogMessage anywhere), until every
// message, input and repaint that is due has been handled.
void Pump()
{
    EXPECT_TRUE(WaitUntil([] { return HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0; }, 10000, Pumping::Messages))
        << "this thread's messages never ran out";
}

BOOL CALLBACK CollectAboutWindow(HWND window, LPARAM found)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == kAboutWindowClassName) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> AboutWindows()
{
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectAboutWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND TheAboutWindow()
{
    const std::vector<HWND> windows = AboutWindows();
    return windows.size() == 1 ? windows[0] : nullptr;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

LOGFONTW FontOf(HWND control)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

RECT ClientRectOf(HWND control, HWND window)
{
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int DpiOfScreen()
{
    const WindowDc screen(nullptr);
    return ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

// The window's client area as it stands on the screen, 0x00RRGGBB per pixel.
class ClientPixels {
public:
    explicit ClientPixels(HWND window)
    {
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        // What was painted reaches the screen a little later: the picture that stays.
        std::vector<std::uint32_t> previous;
        EXPECT_TRUE(WaitUntil(
            [&] {
                Pump();
                previous = std::exchange(pixels_, Take(window));
                return pixels_ == previous;
            },
            10000))
            << "the window's picture never stood still";
    }

    COLORREF At(int x, int y) const
    {
        const std::uint32_t p = pixels_.at(static_cast<std::size_t>(y) * width_ + x);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    // How many pixels of `rect` have exactly this colour.
    int Count(const RECT& rect, COLORREF color) const
    {
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x) count += At(x, y) == color ? 1 : 0;
        return count;
    }

private:
    std::vector<std::uint32_t> Take(HWND window)
    {
        RECT client;
        ::GetClientRect(window, &client);
        POINT origin{0, 0};
        ::ClientToScreen(window, &origin);
        width_ = client.right;
        height_ = client.bottom;
        const WindowDc screen(nullptr);
        UniqueHdc memory(::CreateCompatibleDC(screen.Get()));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        UniqueHbitmap bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        {
            ScopedSelectObject select(memory.Get(), bitmap.Get());
            ::BitBlt(memory.Get(), 0, 0, width_, height_, screen.Get(), origin.x, origin.y, SRCCOPY);
        }
        ::GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        return std::vector<std::uint32_t>(source, source + static_cast<std::size_t>(width_) * height_);
    }

    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

std::string Hex(COLORREF color)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// ---------------------------------------------------------------------------------------------
// Tests

class AboutWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Whatever a test left open goes with its library; nothing leaks into the next test.
        for (HWND window : AboutWindows()) ::DestroyWindow(window);
        Pump();
    }

    // Opens the window of a library from `kind`'s folder and checks that it came up.
    HWND Open(Library& library)
    {
        const CallResult result = library.ShowAbout();
        EXPECT_EQ(result.hr, S_OK) << Hex(result.hr) << " " << ToUtf8(result.description);
        Pump();
        return TheAboutWindow();
    }
};

TEST_F(AboutWindowTest, OneModelessWindowWithoutOwnerFromTheLibrarysOwnModule)
{
    Library library(MakeProgramFolder(Folder::Plain) + L"\\Corbel.dll");
    ASSERT_TRUE(library.Loaded());
    const HWND window = Open(library);
    ASSERT_NE(window, nullptr) << AboutWindows().size() << " About windows";

    // A second click while it is open shows the same window, in front of Excel's that had the
    // click; there is never a second one.
    const HWND excel = ::CreateWindowExW(0, L"STATIC", L"Excel", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                         nullptr, nullptr, nullptr);
    ::SetForegroundWindow(excel);
    Pump();
    ASSERT_EQ(::GetForegroundWindow(), excel);
    EXPECT_EQ(library.ShowAbout().hr, S_OK);
    Pump();
    ASSERT_EQ(AboutWindows().size(), 1u);
    EXPECT_EQ(TheAboutWindow(), window);
    EXPECT_EQ(::GetForegroundWindow(), window);
    ::DestroyWindow(excel);

    // ShowAbout0 came back with the window open: modeless, and nobody's child or property.
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(::GetAncestor(window, GA_PARENT), ::GetDesktopWindow());
    EXPECT_EQ(reinterpret_cast<HMODULE>(::GetClassLongPtrW(window, GCLP_HMODULE)), library.Module())
        << "the window class belongs to the DLL, not to the program that loaded it";
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE)), library.Module());

    // A fixed dialog frame: caption and close button, nothing to minimise, maximise or size.
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0);
    EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0);
}

TEST_F(AboutWindowTest, CaptionsOverOpenCloseAndReopenAndTheLabelsEachTime)
{
    for (const Folder folder : {Folder::Plain, Folder::Styled}) {
        SCOPED_TRACE(folder == Folder::Plain ? "without pointer and style files" : "with pointer and style files");
        Library library(MakeProgramFolder(folder) + L"\\Corbel.dll");
        ASSERT_TRUE(library.Loaded());
        const std::vector<std::wstring> captions = {L"Architrave", L"About Architrave", L"About Architrave"};
        for (std::size_t opening = 0; opening < captions.size(); ++opening) {
            const HWND window = Open(library);
            ASSERT_NE(window, nullptr) << "opening " << opening;
            EXPECT_EQ(TextOf(window), captions[opening]) << "opening " << opening;
            EXPECT_EQ(TextOf(::GetDlgItem(window, kAboutTitleId)), L"Architrave");
            EXPECT_EQ(TextOf(::GetDlgItem(window, kAboutVersionId)), L"Version 7.0.0");
            EXPECT_EQ(TextOf(::GetDlgItem(window, kAboutWebsiteCaptionId)), L"Website: ");
            EXPECT_EQ(TextOf(::GetDlgItem(window, kAboutLinkId)), L"www.quillmark.example");
            EXPECT_EQ(TextOf(::GetDlgItem(window, IDOK)), L"Ok");
            // Closed by its button the first time, by the close box the second.
            if (opening == 0) ::SendMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
            else ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            Pump();
            EXPECT_FALSE(::IsWindow(window)) << "opening " << opening << " did not close";
        }
    }
}

TEST_F(AboutWindowTest, TheVersionLineComesFromTheLibrarysVersionResource)
{
    const std::wstring path = MakeProgramFolder(Folder::Plain) + L"\\Corbel.dll";
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::wstring expected = L"Version " + std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                  std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                  std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(expected, L"Version 7.0.0") << "the product's version changed: update the About texts' tests";

    Library library(path);
    const HWND window = Open(library);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(::GetDlgItem(window, kAboutVersionId)), expected);
}

TEST_F(AboutWindowTest, PlacesAndFontsFollowTheDesignAtTheWindowsDpi)
{
    Library library(MakeProgramFolder(Folder::Plain) + L"\\Corbel.dll");
    const HWND window = Open(library);
    ASSERT_NE(window, nullptr);
    const int dpi = DpiOfScreen();

    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, TwipsToPixels(about::kClientWidth, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(about::kClientHeight, dpi));

    const struct {
        int id;
        TwipRect place;
        FontDesign font;
        const char* name;
    } controls[] = {
        {kAboutTitleId, about::kTitle.place, about::kTitle.font, "title"},
        {kAboutVersionId, about::kVersion.place, about::kVersion.font, "version"},
        {kAboutWebsiteCaptionId, about::kWebsiteCaption.place, about::kWebsiteCaption.font, "website caption"},
        {kAboutLinkId, about::kLink.place, about::kLink.font, "link"},
        {IDOK, about::kOkButton, about::kOkFont, "Ok"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        const HWND control = ::GetDlgItem(window, c.id);
        ASSERT_NE(control, nullptr);
        const RECT rect = ClientRectOf(control, window);
        const PixelRect expected = ToPixels(c.place, dpi);
        EXPECT_EQ(rect.left, expected.left);
        EXPECT_EQ(rect.top, expected.top);
        EXPECT_EQ(rect.right, expected.Right());
        EXPECT_EQ(rect.bottom, expected.Bottom());
        const LOGFONTW font = FontOf(control);
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfHeight, FontHeight(c.font.hundredthsOfPoint, dpi));
        EXPECT_EQ(font.lfWeight >= FW_BOLD, c.font.bold);
        EXPECT_EQ(font.lfUnderline != 0, c.font.underline);
    }
    // Only the button takes the keyboard, and it is the default one.
    const HWND ok = ::GetDlgItem(window, IDOK);
    EXPECT_EQ(::GetFocus(), ok);
    EXPECT_EQ(::GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(AboutWindowTest, ColoursWithoutAndWithTheStyleFile)
{
    for (const Folder folder : {Folder::Plain, Folder::Styled}) {
        const bool styled = folder == Folder::Styled;
        SCOPED_TRACE(styled ? "styled" : "plain");
        Library library(MakeProgramFolder(folder) + L"\\Corbel.dll");
        const HWND window = Open(library);
        ASSERT_NE(window, nullptr);
        const int dpi = DpiOfScreen();
        const ClientPixels pixels(window);

        // The background: white by design; the style's window colour when it is there.
        const COLORREF back = styled ? RGB(0xDF, 0xE9, 0xF5) : RGB(255, 255, 255);
        EXPECT_EQ(pixels.At(TwipsToPixels(300, dpi), TwipsToPixels(300, dpi)), back) << Hex(pixels.At(20, 20));
        // Labels sit on the same background, with their own text colours.
        const auto inside = [&](const TwipRect& place) {
            const PixelRect r = ToPixels(place, dpi);
            return RECT{r.left, r.top, r.Right(), r.Bottom()};
        };
        const RECT title = inside(about::kTitle.place);
        EXPECT_EQ(pixels.At(title.right - 2, title.bottom - 2), back) << "the title's background";
        EXPECT_GT(pixels.Count(title, RGB(0, 128, 0)), 20) << "the title is green";
        EXPECT_GT(pixels.Count(inside(about::kLink.place), RGB(0, 0, 255)), 40) << "the link is blue";
        EXPECT_GT(pixels.Count(inside(about::kVersion.place), RGB(0, 0, 0)), 20) << "the version line is black";

        // The etched line: grey, and white one pixel below it.
        const int x = TwipsToPixels(2000, dpi);
        EXPECT_EQ(pixels.At(x, TwipsToPixels(about::kSeparator.place.top, dpi)), RGB(128, 128, 128));
        EXPECT_EQ(pixels.At(x, TwipsToPixels(about::kSeparatorHighlight.place.top, dpi)), RGB(255, 255, 255));
        EXPECT_EQ(pixels.At(x, TwipsToPixels(about::kSeparatorHighlight.place.top, dpi) + 1), back);

        // Closed and opened again, the window is styled again.
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        Pump();
        const HWND reopened = Open(library);
        ASSERT_NE(reopened, nullptr);
        const ClientPixels again(reopened);
        EXPECT_EQ(again.At(TwipsToPixels(300, dpi), TwipsToPixels(300, dpi)), back) << "after reopening";
        EXPECT_EQ(again.At(title.right - 2, title.bottom - 2), back) << "the title's background after reopening";
    }
}

TEST_F(AboutWindowTest, PointerAndUnderlineFollowTheMouse)
{
    for (const Folder folder : {Folder::Plain, Folder::Styled}) {
        const bool hand = folder == Folder::Styled;
        SCOPED_TRACE(hand ? "with HAND-M.CUR" : "without HAND-M.CUR");
        Library library(MakeProgramFolder(folder) + L"\\Corbel.dll");
        const HWND window = Open(library);
        ASSERT_NE(window, nullptr);
        const HWND link = ::GetDlgItem(window, kAboutLinkId);
        const HWND ok = ::GetDlgItem(window, IDOK);
        const HWND title = ::GetDlgItem(window, kAboutTitleId);
        const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
        // What Windows sends the window as the mouse moves over `under`.
        const auto over = [&](HWND under) {
            ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            return ::GetCursor();
        };
        const auto underlined = [&] { return FontOf(link).lfUnderline != 0; };
        const auto isHand = [&](HCURSOR cursor) { return cursor && cursor != arrow; };

        EXPECT_TRUE(underlined()) << "the link is underlined by its design";
        EXPECT_EQ(over(title), arrow);
        EXPECT_TRUE(underlined()) << "the title leaves the underline alone";
        EXPECT_EQ(over(window), arrow);
        EXPECT_FALSE(underlined()) << "the free area takes the underline away";
        const HCURSOR overLink = over(link);
        EXPECT_TRUE(underlined());
        EXPECT_EQ(isHand(overLink), hand);
        EXPECT_EQ(over(title), overLink) << "the title keeps whatever pointer there was";
        EXPECT_EQ(over(window), arrow);
        EXPECT_EQ(isHand(over(ok)), hand);
        EXPECT_FALSE(underlined()) << "the button leaves the underline alone";
        if (hand) {
            EXPECT_NE(overLink, ::LoadCursorW(nullptr, IDC_HAND)) << "the hand is the library's own HAND-M.CUR";
            // The window keeps its hand over a close and a reopening.
            ::SendMessageW(ok, BM_CLICK, 0, 0);
            Pump();
            const HWND again = Open(library);
            ASSERT_NE(again, nullptr);
            ::SendMessageW(again, WM_SETCURSOR, reinterpret_cast<WPARAM>(::GetDlgItem(again, kAboutLinkId)),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(::GetCursor(), overLink);
        }
    }
}

TEST_F(AboutWindowTest, APointerFileThatIsNoCursorLeavesTheArrowAndTheWindowOpens)
{
    Library library(MakeProgramFolder(Folder::BrokenPointer) + L"\\Corbel.dll");
    const HWND window = Open(library);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(window), L"Architrave");
    ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(::GetDlgItem(window, kAboutLinkId)),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(AboutWindowTest, EscAndEnterCloseItInALoopWithoutIsDialogMessage)
{
    Library library(MakeProgramFolder(Folder::Plain) + L"\\Corbel.dll");
    for (const WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_ESCAPE ? "Esc" : "Enter");
        const HWND window = Open(library);
        ASSERT_NE(window, nullptr);
        const HWND focus = ::GetFocus();
        ASSERT_TRUE(focus == window || ::IsChild(window, focus)) << "the window does not have the keyboard";
        const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        ::PostMessageW(focus, WM_KEYDOWN, key, 1 | (scan << 16));
        ::PostMessageW(focus, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
        Pump();
        EXPECT_FALSE(::IsWindow(window));
    }
    // Other keys do nothing.
    const HWND window = Open(library);
    ASSERT_NE(window, nullptr);
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, 'A', 1);
    ::PostMessageW(::GetFocus(), WM_CHAR, 'a', 1);
    Pump();
    EXPECT_TRUE(::IsWindow(window));
}

TEST_F(AboutWindowTest, VisualStylesThroughTheLibrarysManifest)
{
    Library library(MakeProgramFolder(Folder::Plain) + L"\\Corbel.dll");
    const HWND window = Open(library);
    ASSERT_NE(window, nullptr);
    // The button class of common controls 6 lives in comctl32; the plain one in user32. The
    // class's own procedure, not the window's (the skin may subclass the window).
    const auto procedure = ::GetClassLongPtrW(::GetDlgItem(window, IDOK), GCLP_WNDPROC);
    HMODULE owner = nullptr;
    ASSERT_TRUE(::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     reinterpret_cast<LPCWSTR>(procedure), &owner));
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(owner, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    EXPECT_EQ(::CompareStringOrdinal(name.c_str(), -1, L"comctl32.dll", -1, TRUE), CSTR_EQUAL) << ToUtf8(path);
}

bool ClassRegistered(HMODULE module)
{
    WNDCLASSEXW unused{};
    unused.cbSize = sizeof unused;
    return ::GetClassInfoExW(module, kAboutWindowClassName, &unused) != FALSE;
}

// Excel may unload the library soon after it has let go of the add-in, and DllMain must not
// call user32: so each way of letting go takes the window, its hook and its class along.
TEST_F(AboutWindowTest, ExcelLettingGoOfTheAddInClosesTheWindow)
{
    Library library(MakeProgramFolder(Folder::Plain) + L"\\Corbel.dll");
    using Farewell = std::optional<Library::Farewell>;
    for (const Farewell farewell : {Farewell(Library::Farewell::BeginShutdown), Farewell(Library::Farewell::HostShutdown),
                                    Farewell(Library::Farewell::UserClosed), Farewell()}) {
        SCOPED_TRACE(farewell ? static_cast<int>(*farewell) : -1);
        const HWND window = Open(library);
        ASSERT_NE(window, nullptr);
        if (farewell) EXPECT_EQ(library.Tell(*farewell), S_OK);
        else library.ReleaseConnect(); // released without a word
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_FALSE(ClassRegistered(library.Module())) << "the class outlived the add-in";
        library.ReleaseConnect();
        EXPECT_EQ(library.CanUnloadNow(), S_OK);
    }
}

TEST_F(AboutWindowTest, TheLibraryUnloadedAfterTheDisconnectionLeavesNothingBehind)
{
    const std::wstring path = MakeProgramFolder(Folder::Styled) + L"\\Corbel.dll";
    for (int load = 0; load < 2; ++load) {
        SCOPED_TRACE("load " + std::to_string(load));
        Library library(path);
        ASSERT_TRUE(library.Loaded());
        const HWND window = Open(library);
        ASSERT_NE(window, nullptr);
        // A new library, a new window object: a first opening again.
        EXPECT_EQ(TextOf(window), L"Architrave");
        EXPECT_EQ(library.Tell(Library::Farewell::HostShutdown), S_OK);
        // As COM's CoUninitialize does.
        library.Free();
        EXPECT_FALSE(::IsWindow(window));
        // Keys and messages go on flowing through this thread's loop; a hook or a window
        // procedure left behind would crash here.
        const HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                             nullptr, nullptr);
        ::PostMessageW(other, WM_KEYDOWN, VK_ESCAPE, 1);
        Pump();
        ::DestroyWindow(other);
    }
}

// A CBT hook of the test's that refuses to let one class of window come into being.
HHOOK g_refusal = nullptr;
std::wstring g_refusedClass;

LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        wchar_t name[64] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
        if (::CompareStringOrdinal(name, -1, g_refusedClass.c_str(), -1, TRUE) == CSTR_EQUAL) return 1;
    }
    return ::CallNextHookEx(g_refusal, code, wParam, lParam);
}

TEST_F(AboutWindowTest, AFailedLoadReachesTheCallerAndTheNextClickStartsAfresh)
{
    // The window itself, then a control inside it.
    for (const wchar_t* refused : {kAboutWindowClassName, L"Button"}) {
        SCOPED_TRACE(ToUtf8(refused));
        Library library(MakeProgramFolder(Folder::Plain) + L"\\Corbel.dll");
        g_refusedClass = refused;
        g_refusal = ::SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(g_refusal, nullptr);
        const CallResult failed = library.ShowAbout();
        ::UnhookWindowsHookEx(g_refusal);
        Pump();
        EXPECT_EQ(failed.hr, DISP_E_EXCEPTION) << Hex(failed.hr);
        EXPECT_TRUE(FAILED(failed.code)) << Hex(failed.code);
        EXPECT_NE(failed.description.find(L"About window"), std::wstring::npos) << ToUtf8(failed.description);
        EXPECT_TRUE(AboutWindows().empty()) << "a half-made window stayed";
        library.ReleaseConnect();
        EXPECT_EQ(library.CanUnloadNow(), S_OK) << "a failed opening kept a module reference";

        // The next click is a first opening, as if the failed one had never been.
        const HWND window = Open(library);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(TextOf(window), L"Architrave");
        EXPECT_EQ(TextOf(::GetDlgItem(window, kAboutVersionId)), L"Version 7.0.0");

        // A reopening that fails is tried again as a reopening.
        ::DestroyWindow(window);
        g_refusal = ::SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, ::GetCurrentThreadId());
        EXPECT_EQ(library.ShowAbout().hr, DISP_E_EXCEPTION);
        ::UnhookWindowsHookEx(g_refusal);
        const HWND reopened = Open(library);
        ASSERT_NE(reopened, nullptr);
        EXPECT_EQ(TextOf(reopened), L"About Architrave");
    }
}

} // namespace
} // namespace cornice

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--corbel") cornice::g_corbelPath = cornice::test::WindowsPathOf(argv[i + 1]);
        if (std::string(argv[i]) == "--installer") cornice::g_installerFolder = cornice::test::WindowsPathOf(argv[i + 1]);
    }
    if (cornice::g_corbelPath.empty() || cornice::g_installerFolder.empty()) {
        std::fprintf(stderr, "usage: about-window-tests --corbel PATH --installer DIR\n");
        return 2;
    }
    const cornice::ScopedCoInitialize com;
    return RUN_ALL_TESTS();
}
