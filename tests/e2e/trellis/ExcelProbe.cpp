// "Excel" in the test prefix: the settings program starts Excel by its bare name through the
// shell, and the prefix's App Paths entry leads here. The probe writes down how it was started
// (command line, working folder) and runs excel-host, the stand-in for Excel's add-in loader,
// so that the test sees whether the add-in that the settings program registered really loads.
//
// Environment (inherited from the driver through the settings program):
//   CORNICE_TEST_EVIDENCE   folder for excel.txt and ribbon.xml
//   CORNICE_TEST_EXCEL_HOST excel-host.exe
#include "Utf8.h"
#include "WinHandles.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring Environment(const wchar_t* name)
{
    std::vector<wchar_t> value(32768);
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return length && length < value.size() ? std::wstring(value.data(), length) : std::wstring();
}

void Append(std::string& report, const std::wstring& name, const std::wstring& value)
{
    report += cornice::ToUtf8(name) + "=" + cornice::ToUtf8(value) + "\n";
}

// Writes `report` to `name` in the evidence folder, whole: the driver never reads half of it.
void Publish(const std::wstring& evidence, const std::wstring& name, const std::string& report)
{
    const std::wstring finished = evidence + L"\\" + name;
    const std::wstring partial = finished + L".part";
    cornice::UniqueFile file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    file.Reset();
    ::MoveFileExW(partial.c_str(), finished.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace

// Started with an argument, the probe stands for the web browser (the prefix hands http
// addresses to it): it only writes down what it was asked to open.
int wmain(int argc, wchar_t**)
{
    const std::wstring evidence = Environment(L"CORNICE_TEST_EVIDENCE");
    const std::wstring host = Environment(L"CORNICE_TEST_EXCEL_HOST");
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
    const std::wstring output = evidence + L"\\excel-host.txt";
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    cornice::UniqueFile outputFile(::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring commandLine = L"\"" + host + L"\" --ribbon-out \"" + evidence + L"\\ribbon.xml\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputFile.Get();
    startup.hStdError = outputFile.Get();
    PROCESS_INFORMATION process{};
    DWORD exitCode = 9999;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        cornice::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
        if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &exitCode);
    }
    Append(report, L"excel-host-exit", std::to_wstring(exitCode));
    Publish(evidence, L"excel.txt", report);
    return 0;
}
