// Stands in for explorer.exe in the test prefix's Windows folder, so that the About window's
// link can be followed without a browser: it writes down how it was started (its command line
// exactly, the window style it was asked for, its process id) and stays until the driver has
// read that (it deletes the report), so that the driver can see that the add-in did not wait
// for it; a minute at most.
//
// Environment: CORNICE_TEST_EVIDENCE, the folder for explorer.txt. Started without it (by
// anything else in the prefix) it does nothing.
#include "Utf8.h"
#include "WindowDriving.h"

#include <string>

int wmain()
{
    const std::wstring folder = cornice::driving::EnvironmentVariable(L"CORNICE_TEST_EVIDENCE");
    if (folder.empty()) return 0;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    std::string report = "command=" + cornice::ToUtf8(::GetCommandLineW()) + "\n";
    report += "show=" + std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) + "\n";
    report += "process=" + std::to_string(::GetCurrentProcessId()) + "\n";

    // Whole or not at all: the driver never reads half a report.
    const std::wstring finished = folder + L"\\explorer.txt";
    cornice::driving::PublishWhole(finished, report);
    cornice::driving::Eventually([&] { return ::GetFileAttributesW(finished.c_str()) == INVALID_FILE_ATTRIBUTES; },
                                 60000);
    return 0;
}
