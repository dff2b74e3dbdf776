// excel-host: a stand-in for Excel's add-in loader, so that COM add-ins can be run and tested
// without Excel. It loads the add-ins listed for Excel as Excel does at start-up, asks each for
// its ribbon, clicks ribbon controls on request and reports everything the add-ins show.
#include "CommandLine.h"
#include "Console.h"
#include "FailureText.h"
#include "Run.h"
#include "Utf8.h"
#include "WinHandles.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

using namespace cornice;
using namespace cornice::host;

int wmain(int argc, wchar_t** argv)
{
    // Lines end in "\n" alone, as Linux tools and the tests read them.
    _setmode(_fileno(stdout), _O_BINARY);
    Options options;
    if (const std::optional<int> exitCode = ReadCommandLine(argc, argv, options)) return *exitCode;

    const ScopedCoInitialize com;
    if (FAILED(com.Result())) {
        Say(L"excel-host: COM cannot start: " + Hex(com.Result()));
        return kExitFailure;
    }
    try {
        return Run(std::move(options)).Execute();
    } catch (const std::exception& error) {
        Say(L"excel-host: " + FromUtf8(error.what()).value_or(L"unexpected failure"));
        return kExitFailure;
    }
}
