// excel-host's command line: its options, and the exit codes that tell how a run went.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cornice::host {

// Exit codes; when several things fail, the first in this list that happened wins.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,       // excel-host itself could not work (COM, output file)
    kExitBadArguments = 2,
    kExitNoAddIn = 3,       // no add-in is listed to load at start-up
    kExitLoadFailed = 4,    // an add-in could not be created or connected
    kExitRibbonFailed = 5,  // GetCustomUI failed
    kExitBadDocument = 6,   // the ribbon document is not well-formed XML
    kExitClickFailed = 7,   // no such control, no onAction, or the callback failed
};

struct Options {
    std::wstring hostName = L"Microsoft Excel";
    int release = 14;
    long build = 0; // Application.Build; 0: the release's usual one
    std::optional<std::wstring> controlList;
    std::optional<std::wstring> ribbonOut;
    bool printRibbon = false;
    bool outline = false;
    bool wait = false;
    bool keepOpen = false;
    bool showText = false;
    bool show = false;
    std::vector<std::wstring> clicks;
    int measureRounds = 0;
    int uiLanguage = 0;
    std::optional<std::wstring> excelWords;
    std::vector<std::wstring> searches;
};

// Reads the arguments into `options`. Answers the exit code to end with at once: after --help
// (its text printed) or arguments that are wrong (the reason and the usage on stderr).
std::optional<int> ReadCommandLine(int argc, wchar_t** argv, Options& options);

} // namespace cornice::host
