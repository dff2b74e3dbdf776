// "Excel" in the test prefix: the settings program starts Excel by its bare name through the
// shell, and the prefix's App Paths entry leads here. The probe writes down how it was started
// (command line, working folder) and runs excel-host, the stand-in for Excel's add-in loader,
// so that the test sees whether the add-in that the settings program registered really loads.
//
// Environment (inherited from the driver through the settings program):
//   CORNICE_TEST_EVIDENCE   folder for excel.txt and ribbon.xml
//   CORNICE_TEST_EXCEL_HOST excel-host.exe
#include "Utf8.h"
#include "WindowDriving.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

void Append(std::string& report, const std::wstring& name, const std::wstring& value)
{
    report += cornice::ToUtf8(name) + "=" + cornice::ToUtf8(value) + "\n";
}

// Whole: the driver never reads half of it.
void Publish(const std::wstring& evidence, const std::wstring& name, const std::string& report)
{
    cornice::driving::PublishWhole(evidence + L"\\" + name, report);
}

} // namespace

// Started with an argument, the probe stands for the web browser (the prefix hands http
// addresses to it): it only writes down what it was asked to open.
int wmain(int argc, wchar_t**)
{
    const std::wstring evidence = cornice::driving::EnvironmentVariable(L"CORNICE_TEST_EVIDENCE");
    const std::wstring host = cornice::driving::EnvironmentVariable(L"CORNICE_TEST_EXCEL_HOST");
    if (evidence.empty() || host.empty()) return 2;

    std::string report;
    Append(report, L"command", ::GetCommandLineW());
    wchar_t folder[32768];
    const DWORD folderLength = ::GetCurrentDirectoryW(32768, folder);
    Append(report, L"folder", std::wstring(folder, folderLength));
    if (argc > 1) {
        Publish(evidence, L"opened.txt", report);
        return 0;
    }

    // excel-host reports on its own output; it goes into the evidence as it is.
    const std::optional<DWORD> exitCode =
        cornice::driving::RunToEnd(L"\"" + host + L"\" --ribbon-out \"" + evidence + L"\\ribbon.xml\"", 60000,
                                   evidence + L"\\excel-host.txt");
    Append(report, L"excel-host-exit", std::to_wstring(exitCode.value_or(9999)));
    Publish(evidence, L"excel.txt", report);
    return 0;
}
