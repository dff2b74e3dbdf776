// Trellis.exe: the settings program. Its one window is the program; closing it ends the run.
#include "SettingsWindow.h"
#include "Globals.h"
#include "Utf8.h"
#include "WinHandles.h"

#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // The shell's ShellExecute may hand work to shell extensions, which need COM on the calling
    // thread ("ShellExecute", Remarks); the window's thread is the program's only one.
    cornice::ScopedCoInitialize com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    try {
        return cornice::RunSettingsWindow(instance, showCommand);
    } catch (const std::exception& error) {
        const auto text = cornice::FromUtf8(error.what());
        const std::wstring message = L"Trellis could not open its window.\r\n\r\n" +
                                     (text ? *text : std::wstring(L"Unknown error."));
        ::MessageBoxW(nullptr, message.c_str(), cornice::C_AppName, MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBoxW(nullptr, L"Trellis could not open its window.", cornice::C_AppName, MB_OK | MB_ICONERROR);
    }
    return 1;
}
