// The file and skin helpers of common/ against the real Windows API under Wine: FileExists,
// the listing that decides whether a window is skinned, ApplySkin's order of calls, and the
// skin component restyling real windows (so this program needs a display).
#include "Automation.h"
#include "Files.h"
#include "Skin.h"
#include "SkinComponent.h"
#include "Waiting.h"
#include "WinHandles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <commctrl.h>

#include <string>
#include <vector>

namespace cornice {
namespace {

// A folder of its own next to this program, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() : name_(L"\\skin-test-" + std::to_wstring(::GetCurrentProcessId()))
    {
        ::CreateDirectoryW(Path().c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        for (const std::wstring& file : files_) {
            ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(file.c_str());
            ::RemoveDirectoryW(file.c_str());
        }
        ::RemoveDirectoryW(Path().c_str());
    }
    // Relative to the program folder, beginning with a backslash, as the skin file names are.
    const std::wstring& Name() const { return name_; }
    std::wstring Path() const { return ProgramFolder() + name_; }

    std::wstring Write(const std::wstring& file, const std::string& text, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        const std::wstring path = Path() + L"\\" + file;
        UniqueFile handle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ::WriteFile(handle.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        handle.Reset();
        ::SetFileAttributesW(path.c_str(), attributes);
        files_.push_back(path);
        return path;
    }
    std::wstring Folder(const std::wstring& name)
    {
        const std::wstring path = Path() + L"\\" + name;
        ::CreateDirectoryW(path.c_str(), nullptr);
        files_.push_back(path);
        return path;
    }

private:
    std::wstring name_;
    std::vector<std::wstring> files_;
};

TEST(FileExists, TrueForFilesAndFoldersThatAreThereAndFalseForEverythingElse)
{
    ScratchFolder scratch;
    EXPECT_TRUE(FileExists(scratch.Write(L"HAND-M.CUR", "x")));
    EXPECT_TRUE(FileExists(scratch.Write(L"hidden.cur", "x", FILE_ATTRIBUTE_HIDDEN)));
    EXPECT_TRUE(FileExists(scratch.Path()));
    EXPECT_FALSE(FileExists(scratch.Path() + L"\\missing.cur"));
    EXPECT_FALSE(FileExists(scratch.Path() + L"\\no folder\\missing.cur"));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FileExists(scratch.Path() + L"\\*.cur"));
    EXPECT_FALSE(FileExists(std::wstring(L"Q:\\", 3) + L"\\nothing"));
    // An embedded NUL would otherwise test the path in front of it.
    EXPECT_FALSE(FileExists(scratch.Path() + std::wstring(L"\0tail", 5)));
}

TEST(NormalFileListed, OnlyNormalFilesCount)
{
    ScratchFolder scratch;
    EXPECT_TRUE(NormalFileListed(scratch.Write(L"o.cjs", "x")));
    EXPECT_TRUE(NormalFileListed(scratch.Write(L"read-only.cjs", "x", FILE_ATTRIBUTE_READONLY)));
    EXPECT_TRUE(NormalFileListed(scratch.Write(L"archive.cjs", "x", FILE_ATTRIBUTE_ARCHIVE)));
    EXPECT_FALSE(NormalFileListed(scratch.Write(L"hidden.cjs", "x", FILE_ATTRIBUTE_HIDDEN)));
    EXPECT_FALSE(NormalFileListed(scratch.Write(L"system.cjs", "x", FILE_ATTRIBUTE_SYSTEM)));
    EXPECT_FALSE(NormalFileListed(scratch.Folder(L"folder.cjs")));
    EXPECT_FALSE(NormalFileListed(scratch.Path() + L"\\missing.cjs"));
    EXPECT_FALSE(NormalFileListed(L""));
}

TEST(ProgramFolder, IsThisProgramsFolderWithoutATrailingSeparator)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring expected = path;
    expected.resize(expected.find_last_of(L'\\'));
    EXPECT_EQ(ProgramFolder(), expected);
}

// ---------------------------------------------------------------------------------------------
// ApplySkin against a recording component and a window that only keeps its colours

class RecordingComponent final : public DispatchObject<RecordingComponent, IDispatch> {
public:
    static const InterfaceEntry kInterfaces[];
    std::vector<std::wstring> calls;
    LONG options = 0x14;
    DISPID failing = DISPID_UNKNOWN;

    void Destroy() noexcept {} // on the test's stack
    DispatchTable Names() const noexcept { return {}; }
    HRESULT Call(DISPID member, WORD flags, const DispatchArguments& arguments, VARIANT* result, EXCEPINFO*)
    {
        const DISPPARAMS* parameters = &arguments.Parameters();
        std::wstring call = flags == DISPATCH_PROPERTYGET   ? L"get "
                            : flags == DISPATCH_PROPERTYPUT ? L"put "
                            : flags == DISPATCH_METHOD      ? L"call "
                                                            : L"flags " + std::to_wstring(flags) + L" ";
        call += std::to_wstring(member);
        // Arguments arrive last first; written here first first.
        for (UINT i = parameters->cArgs; i-- > 0;) {
            const VARIANT& argument = parameters->rgvarg[i];
            call += L" ";
            if (argument.vt == VT_BSTR) call += L"\"" + std::wstring(argument.bstrVal ? argument.bstrVal : L"") + L"\"";
            else if (argument.vt == VT_I4) call += L"i4:" + std::to_wstring(argument.lVal);
            else if (argument.vt == VT_BOOL) call += argument.boolVal == VARIANT_TRUE ? L"true" : L"bool?";
            else call += L"vt" + std::to_wstring(argument.vt);
        }
        if (parameters->cNamedArgs) call += L" (named " + std::to_wstring(parameters->rgdispidNamedArgs[0]) + L")";
        calls.push_back(call);
        if (member == failing) return DISP_E_MEMBERNOTFOUND;
        if (member == 1 && flags == DISPATCH_PROPERTYGET) return ReturnLong(result, options);
        return S_OK;
    }
};

const InterfaceEntry RecordingComponent::kInterfaces[] = {CORNICE_INTERFACE(RecordingComponent, IDispatch), {}};

class FakeWindow final : public SkinnableWindow {
public:
    explicit FakeWindow(IDispatch* component) : component_(component) {}
    std::vector<ControlKind> kinds{ControlKind::TabControl, ControlKind::Page,      ControlKind::CheckBox,
                                   ControlKind::Rectangle,      ControlKind::Label,      ControlKind::Line,
                                   ControlKind::OptionButton, ControlKind::PushButton, ControlKind::SkinComponent};
    std::vector<OleColor> colours = std::vector<OleColor>(9, 0x00FFFFFF);
    OleColor back = 0x00FFFFFF;

    HWND Handle() const override { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x1234)); }
    void SetBackColor(OleColor colour) override { back = colour; }
    int ControlCount() const override { return static_cast<int>(kinds.size()); }
    ControlKind KindOfControl(int index) const override { return kinds.at(index); }
    void SetControlBackColor(int index, OleColor colour) override { colours.at(index) = colour; }
    IDispatch* SkinComponent() const override { return component_; }

private:
    IDispatch* component_;
};

TEST(ApplySkin, WithoutTheStyleFileNothingChangesAndTheComponentIsNotCalled)
{
    ScratchFolder scratch;
    RecordingComponent component;
    FakeWindow window(&component);
    ApplySkin(window, (scratch.Name() + L"\\o.cjs").c_str());
    EXPECT_TRUE(component.calls.empty());
    EXPECT_EQ(window.back, 0x00FFFFFFu);
    EXPECT_EQ(window.colours, std::vector<OleColor>(9, 0x00FFFFFF));

    // Hidden, the file counts as absent, though FileExists sees it.
    const std::wstring hidden = scratch.Write(L"o.cjs", "[Colors]\n", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(FileExists(hidden));
    ApplySkin(window, (scratch.Name() + L"\\o.cjs").c_str());
    EXPECT_TRUE(component.calls.empty());
    EXPECT_EQ(window.back, 0x00FFFFFFu);
}

TEST(ApplySkin, RecoloursThePlainControlsThenCallsTheComponentInOrder)
{
    ScratchFolder scratch;
    const std::wstring style = scratch.Write(L"o.cjs", "not even a style file");
    RecordingComponent component;
    FakeWindow window(&component);
    ApplySkin(window, (scratch.Name() + L"\\o.cjs").c_str());

    EXPECT_EQ(window.back, 0x8000000Fu);
    const OleColor white = 0x00FFFFFF, face = 0x8000000F;
    EXPECT_EQ(window.colours, (std::vector<OleColor>{white, face, face, white, face, white, face, white, white}));
    EXPECT_EQ(component.calls, (std::vector<std::wstring>{
                                   L"call 2 \"" + style + L"\" \"\"",
                                   L"get 1",
                                   L"put 1 i4:21 (named -3)", // 0x14 | 1
                                   L"put 5 true (named -3)",
                                   L"put 10 true (named -3)",
                                   L"call 3 i4:4660", // the window handle, 0x1234
                               }));

    // Bit 0 already set: written back unchanged.
    RecordingComponent already;
    already.options = 0x15;
    FakeWindow again(&already);
    ApplySkin(again, (scratch.Name() + L"\\o.cjs").c_str());
    ASSERT_EQ(already.calls.size(), 6u);
    EXPECT_EQ(already.calls[2], L"put 1 i4:21 (named -3)");
}

TEST(ApplySkin, AFailingMemberEndsItThereWithAnErrorForTheCaller)
{
    ScratchFolder scratch;
    scratch.Write(L"o.cjs", "[Colors]\n");
    RecordingComponent component;
    component.failing = 5;
    FakeWindow window(&component);
    try {
        ApplySkin(window, (scratch.Name() + L"\\o.cjs").c_str());
        FAIL() << "no error";
    } catch (const WindowsError& error) {
        EXPECT_EQ(error.Code(), DISP_E_MEMBERNOTFOUND);
        EXPECT_STREQ(error.what(), "The skin component failed to switch on a setting (0x80020003).");
    }
    ASSERT_EQ(component.calls.size(), 4u);
    EXPECT_EQ(component.calls.back(), L"put 5 true (named -3)");
    // The recolouring came first and stays.
    EXPECT_EQ(window.back, 0x8000000Fu);
}

// ---------------------------------------------------------------------------------------------
// The skin component on real windows

HRESULT Call(IDispatch& component, DISPID member, WORD flags, std::initializer_list<VARIANT> arguments,
             UniqueVariant* result)
{
    DispatchOutcome outcome;
    InvokeInto(outcome, component, member, flags, arguments);
    if (result) *result = std::move(outcome.result);
    return outcome.hr;
}




constexpr COLORREF kOwnText = RGB(200, 0, 0);

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC) {
        // The window's own choice: red text on white.
        ::SetTextColor(reinterpret_cast<HDC>(wParam), kOwnText);
        ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct TestWindow {
    UniqueHwnd top;
    HWND page, check, label, button;
    UniqueHfont arial;

    TestWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = ContainerProc;
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"SkinTestContainer";
            return ::RegisterClassW(&windowClass);
        }();
        EXPECT_NE(atom, 0);
        top.Reset(::CreateWindowExW(0, L"SkinTestContainer", L"skin test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                    nullptr, nullptr, nullptr));
        page = ::CreateWindowExW(0, L"SkinTestContainer", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 150, top.Get(), nullptr,
                                 nullptr, nullptr);
        check = ::CreateWindowExW(0, WC_BUTTONW, L"Home", WS_CHILD | WS_VISIBLE | BS_3STATE, 5, 5, 100, 20, page, nullptr,
                                  nullptr, nullptr);
        label = ::CreateWindowExW(0, WC_STATICW, L"Trellis", WS_CHILD | WS_VISIBLE, 5, 40, 100, 20, page, nullptr, nullptr,
                                  nullptr);
        button = ::CreateWindowExW(0, WC_BUTTONW, L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 155, 80, 25, top.Get(),
                                   nullptr, nullptr, nullptr);
        LOGFONTW font{};
        font.lfHeight = -12;
        font.lfWeight = FW_BOLD;
        font.lfCharSet = 204;
        ::lstrcpyW(font.lfFaceName, L"Arial");
        arial.Reset(::CreateFontIndirectW(&font));
        for (HWND control : {check, label, button})
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(arial.Get()), FALSE);
    }

    // What the window's parent answers a control's WM_CTLCOLORSTATIC with.
    struct Colours {
        COLORREF brush, text, back;
    };
    Colours AskColours(HWND control) const
    {
        const WindowDc screen(nullptr);
        UniqueHdc dc(::CreateCompatibleDC(screen.Get()));
        const auto brush = reinterpret_cast<HBRUSH>(
            ::SendMessageW(::GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(control)));
        LOGBRUSH description{};
        ::GetObjectW(brush, sizeof description, &description);
        return {description.lbColor, ::GetTextColor(dc.Get()), ::GetBkColor(dc.Get())};
    }

    static LOGFONTW FontOf(HWND control)
    {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font;
    }
};

class SkinComponentTest : public ::testing::Test {
protected:
    void Apply(const std::string& style, HRESULT applied = S_OK)
    {
        const std::wstring path = scratch.Write(L"style.cjs", style);
        UniqueBstr text = UniqueBstr::FromText(path), empty = UniqueBstr::FromText(L"");
        UniqueVariant loaded;
        ASSERT_EQ(Call(*component.Get(), 2, DISPATCH_METHOD, {TextArgument(text.Get()), TextArgument(empty.Get())}, &loaded), S_OK);
        this->loaded = loaded.Get()->vt == VT_BOOL && loaded.Get()->boolVal == VARIANT_TRUE;
        ASSERT_EQ(Call(*component.Get(), 1, DISPATCH_PROPERTYPUT, {LongArgument(1)}, nullptr), S_OK);
        ASSERT_EQ(Call(*component.Get(), 5, DISPATCH_PROPERTYPUT, {BoolArgument(true)}, nullptr), S_OK);
        ASSERT_EQ(Call(*component.Get(), 10, DISPATCH_PROPERTYPUT, {BoolArgument(true)}, nullptr), S_OK);
        ASSERT_EQ(Call(*component.Get(), 3, DISPATCH_METHOD,
                       {LongArgument(static_cast<LONG>(reinterpret_cast<LONG_PTR>(window.top.Get())))}, nullptr),
                  applied);
    }

    ScratchFolder scratch;
    ComPtr<IDispatch> component = CreateSkinComponent();
    TestWindow window;
    bool loaded = false;
};

TEST_F(SkinComponentTest, AnswersItsMembersByNumberAndByName)
{
    const wchar_t* names[] = {L"LoadSkin", L"options", L"ApplyWindow", L"UseStyleFont", L"PaintButtons"};
    const DISPID expected[] = {2, 1, 3, 5, 10};
    for (int i = 0; i < 5; ++i) {
        DISPID id = 0;
        EXPECT_EQ(IdOfName(*component.Get(), names[i], id), S_OK) << i;
        EXPECT_EQ(id, expected[i]) << i;
    }
    DISPID id = 0;
    EXPECT_EQ(IdOfName(*component.Get(), L"Skin", id), DISP_E_UNKNOWNNAME);

    // The option bits come back as written, all of them.
    ASSERT_EQ(Call(*component.Get(), 1, DISPATCH_PROPERTYPUT, {LongArgument(0x12345679)}, nullptr), S_OK);
    UniqueVariant options;
    ASSERT_EQ(Call(*component.Get(), 1, DISPATCH_PROPERTYGET, {}, &options), S_OK);
    EXPECT_EQ(options.Get()->vt, VT_I4);
    EXPECT_EQ(options.Get()->lVal, 0x12345679);
    EXPECT_EQ(Call(*component.Get(), 7, DISPATCH_METHOD, {}, nullptr), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(*component.Get(), 3, DISPATCH_METHOD, {}, nullptr), DISP_E_PARAMNOTFOUND);
    // A number that is no window is refused, whatever is loaded.
    EXPECT_EQ(Call(*component.Get(), 3, DISPATCH_METHOD, {LongArgument(0x7FFFFFF0)}, nullptr), E_INVALIDARG);
}

TEST_F(SkinComponentTest, ABadStyleFileLoadsAsFalseAndTheWindowKeepsItsLook)
{
    Apply("[Colors]\nWindow = blue\n");
    EXPECT_FALSE(loaded);
    const auto colours = window.AskColours(window.check);
    EXPECT_EQ(colours.brush, RGB(255, 255, 255));
    EXPECT_EQ(colours.text, kOwnText);
    EXPECT_STREQ(TestWindow::FontOf(window.button).lfFaceName, L"Arial");
}

TEST_F(SkinComponentTest, RestylesBackgroundsCheckBoxTextAndFonts)
{
    Apply("[Colors]\nWindow = #DFE9F5\nText = #15428B\nButtonFace = #F8FBFF\n[Font]\nButtons = Tahoma\n");
    EXPECT_TRUE(loaded);
    const COLORREF window_ = RGB(0xDF, 0xE9, 0xF5);
    const auto check = window.AskColours(window.check);
    EXPECT_EQ(check.brush, window_);
    EXPECT_EQ(check.back, window_);
    EXPECT_EQ(check.text, RGB(0x15, 0x42, 0x8B));
    // A label keeps the text colour its window gave it.
    const auto label = window.AskColours(window.label);
    EXPECT_EQ(label.brush, window_);
    EXPECT_EQ(label.text, kOwnText);

    // Push buttons take the buttons' typeface; size, weight and character set stay.
    const LOGFONTW button = TestWindow::FontOf(window.button);
    EXPECT_STREQ(button.lfFaceName, L"Tahoma");
    EXPECT_EQ(button.lfHeight, -12);
    EXPECT_EQ(button.lfWeight, FW_BOLD);
    EXPECT_EQ(button.lfCharSet, 204);
    EXPECT_STREQ(TestWindow::FontOf(window.check).lfFaceName, L"Arial");
    // A font set later passes the skin on its way in.
    ::SendMessageW(window.button, WM_SETFONT, reinterpret_cast<WPARAM>(window.arial.Get()), FALSE);
    EXPECT_STREQ(TestWindow::FontOf(window.button).lfFaceName, L"Tahoma");
}

TEST_F(SkinComponentTest, FaceRestylesEveryControlAndWithoutSwitchFiveNoFontChanges)
{
    Apply("[Font]\nFace = Tahoma\n");
    EXPECT_STREQ(TestWindow::FontOf(window.check).lfFaceName, L"Tahoma");
    EXPECT_STREQ(TestWindow::FontOf(window.label).lfFaceName, L"Tahoma");
    EXPECT_STREQ(TestWindow::FontOf(window.button).lfFaceName, L"Tahoma");
    // Colours the style leaves out stay the window's own.
    EXPECT_EQ(window.AskColours(window.check).brush, RGB(255, 255, 255));

    TestWindow other;
    ComPtr<IDispatch> second = CreateSkinComponent();
    const std::wstring path = scratch.Write(L"font.cjs", "[Font]\nFace = Tahoma\n");
    UniqueBstr text = UniqueBstr::FromText(path);
    UniqueVariant ignored;
    ASSERT_EQ(Call(*second.Get(), 2, DISPATCH_METHOD, {TextArgument(text.Get())}, &ignored), S_OK);
    ASSERT_EQ(Call(*second.Get(), 1, DISPATCH_PROPERTYPUT, {LongArgument(1)}, nullptr), S_OK);
    ASSERT_EQ(Call(*second.Get(), 3, DISPATCH_METHOD, {LongArgument(static_cast<LONG>(reinterpret_cast<LONG_PTR>(other.top.Get())))}, nullptr), S_OK);
    EXPECT_STREQ(TestWindow::FontOf(other.check).lfFaceName, L"Arial");
}

COLORREF ErasedColour(HWND window)
{
    const WindowDc screen(nullptr);
    UniqueHdc dc(::CreateCompatibleDC(screen.Get()));
    UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen.Get(), 8, 8));
    ScopedSelectObject select(dc.Get(), bitmap.Get());
    const RECT all{0, 0, 8, 8};
    ::FillRect(dc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    return ::GetPixel(dc.Get(), 4, 4);
}

TEST_F(SkinComponentTest, WithoutOptionBitZeroOnlyTheWindowsOwnBackgroundChanges)
{
    const std::wstring path = scratch.Write(L"style.cjs", "[Colors]\nWindow = #DFE9F5\n");
    UniqueBstr text = UniqueBstr::FromText(path);
    UniqueVariant ignored;
    ASSERT_EQ(Call(*component.Get(), 2, DISPATCH_METHOD, {TextArgument(text.Get())}, &ignored), S_OK);
    ASSERT_EQ(Call(*component.Get(), 3, DISPATCH_METHOD, {LongArgument(static_cast<LONG>(reinterpret_cast<LONG_PTR>(window.top.Get())))}, nullptr), S_OK);
    EXPECT_EQ(ErasedColour(window.top.Get()), RGB(0xDF, 0xE9, 0xF5));
    EXPECT_EQ(ErasedColour(window.page), RGB(0, 0, 0)) << "the page is a control of the window";
    EXPECT_EQ(window.AskColours(window.check).brush, RGB(255, 255, 255));
    EXPECT_EQ(window.AskColours(window.button).brush, RGB(255, 255, 255));
}

TEST_F(SkinComponentTest, WithOptionBitZeroThePagesOfTheWindowAreRepaintedToo)
{
    Apply("[Colors]\nWindow = #DFE9F5\n");
    EXPECT_EQ(ErasedColour(window.top.Get()), RGB(0xDF, 0xE9, 0xF5));
    EXPECT_EQ(ErasedColour(window.page), RGB(0xDF, 0xE9, 0xF5));
    // A control's own background is not painted over by the skin: it asks its parent.
    EXPECT_NE(ErasedColour(window.check), RGB(0xDF, 0xE9, 0xF5));
}

// A control that the skin cannot take (one of another thread: comctl32 subclasses only the
// calling thread's windows) keeps its own look; the call says so, the rest is styled and the
// window opens.
TEST_F(SkinComponentTest, AControlTheSkinCannotTakeKeepsItsLookAndTheRestIsStyled)
{
    std::atomic<HWND> foreign{nullptr};
    std::atomic<bool> done{false};
    std::thread other([&] {
        // No WM_PARENTNOTIFY: it would be sent to this test's thread, which may be waiting.
        const HWND child = ::CreateWindowExW(WS_EX_NOPARENTNOTIFY, WC_STATICW, L"other", WS_CHILD | WS_VISIBLE, 5, 80,
                                             100, 20, window.page, nullptr, nullptr, nullptr);
        foreign = child;
        MSG message;
        while (child && ::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
        if (child) ::DestroyWindow(child);
        done = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return foreign.load() != nullptr || done; }, 10000, Pumping::Messages))
        << "the other thread's control never came";
    Apply("[Colors]\nWindow = #DFE9F5\nText = #15428B\n", S_FALSE);
    EXPECT_EQ(window.AskColours(window.check).brush, RGB(0xDF, 0xE9, 0xF5)) << "the rest was not styled";
    EXPECT_EQ(::GetPropW(foreign, L"Cornice.Skin"), nullptr) << "the other thread's control was subclassed";
    ::PostThreadMessageW(::GetWindowThreadProcessId(foreign, nullptr), WM_QUIT, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }, 10000, Pumping::Messages)) << "the other thread never ended";
    other.join();
}

} // namespace
} // namespace cornice
