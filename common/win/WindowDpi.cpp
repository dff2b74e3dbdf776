#include "WindowDpi.h"

namespace cornice {
namespace {

// GetProcAddress hands out a generic pointer; going through void (*)() is the form that GCC
// accepts for any function type (-Wcast-function-type).
template <typename Function>
Function LaterWindowsFunction(const char* name)
{
    const FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

} // namespace

int DpiOfWindow(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = LaterWindowsFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    const WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

RECT WindowRectForClient(int width, int height, DWORD style, DWORD exStyle, int dpi)
{
    RECT rect{0, 0, width, height};
    using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = LaterWindowsFunction<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
}

int SystemMetricForDpi(int index, int dpi)
{
    using MetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi = LaterWindowsFunction<MetricsForDpiFunction>("GetSystemMetricsForDpi");
    return metricsForDpi ? metricsForDpi(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

UniqueHfont MakeFont(const FontDesign& design, int dpi, bool underline)
{
    LOGFONTW font{};
    font.lfHeight = FontHeight(design.hundredthsOfPoint, dpi);
    font.lfWeight = design.bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = static_cast<BYTE>(design.charset);
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    // Where Arial is missing, a proportional sans-serif font stands in rather than a serif one.
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    ::lstrcpynW(font.lfFaceName, design.face, LF_FACESIZE);
    return UniqueHfont(::CreateFontIndirectW(&font));
}

void PlaceControl(HWND control, const TwipRect& place, int dpi)
{
    const PixelRect pixels = ToPixels(place, dpi);
    ::SetWindowPos(control, nullptr, pixels.left, pixels.top, pixels.width, pixels.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetControlFont(HWND control, const UniqueHfont& font)
{
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
}

} // namespace cornice
