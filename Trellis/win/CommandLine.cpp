#include "CommandLine.h"

#include "AddInRegistration.h"
#include "Files.h"
#include "TabCheck.h"
#include "Utf8.h"
#include "WinHandles.h"

#include <windows.h>

#include <string>

namespace cornice {
namespace {

class Output {
public:
    Output()
    {
        const HANDLE given = ::GetStdHandle(STD_OUTPUT_HANDLE);
        const DWORD type = given && given != INVALID_HANDLE_VALUE ? ::GetFileType(given) : FILE_TYPE_UNKNOWN;
        if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
            handle_ = given;
        } else if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
            console_.Reset(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
            if (console_) handle_ = console_.Get();
            // The parent's prompt is already written: start on a line of our own.
            Line(L"");
        }
    }

    void Line(const std::wstring& text)
    {
        if (!handle_) return;
        const std::wstring line = text + L"\r\n";
        DWORD written = 0;
        if (console_) {
            ::WriteConsoleW(handle_, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
            return;
        }
        // Files and pipes get UTF-8, which keeps a path's letters whatever the code page.
        const std::string bytes = ToUtf8(line);
        ::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

private:
    HANDLE handle_ = nullptr;
    UniqueFile console_;
};

bool Is(std::wstring argument, const wchar_t* name)
{
    while (!argument.empty() && (argument.back() == L' ' || argument.back() == L'\t')) argument.pop_back();
    const std::size_t start = argument.find_first_not_of(L" \t");
    return start != std::wstring::npos && ::lstrcmpiW(argument.c_str() + start, name) == 0;
}

int Check(Output& out)
{
    const std::vector<Finding> findings = Diagnose(GatherCheckFacts(SystemRegistry(), LibraryPath(ProgramFolder())));
    for (const Finding& finding : findings) out.Line(FindingLine(finding));
    if (findings.empty()) out.Line(NothingFoundText(false));
    return findings.empty() ? 0 : 1;
}

int Repair(Output& out)
{
    const std::wstring beside = LibraryPath(ProgramFolder());
    const CheckFacts facts = GatherCheckFacts(SystemRegistry(), beside);
    for (const RepairStep& step : RepairForUser(SystemRegistry(), facts, Diagnose(facts)))
        out.Line(std::wstring(step.done ? L"Repaired " : L"Not repaired ") + CauseName(step.cause) + L": " + step.text);
    // What remains is what the check now finds, whatever the steps believed.
    const std::vector<Finding> remaining = Diagnose(GatherCheckFacts(SystemRegistry(), beside));
    for (const Finding& finding : remaining) out.Line(L"Remains " + FindingLine(finding));
    if (remaining.empty()) out.Line(NothingFoundText(false));
    return remaining.empty() ? 0 : 1;
}

} // namespace

std::optional<int> RunCommand(const wchar_t* commandLine)
{
    const std::wstring argument = commandLine ? commandLine : L"";
    const bool check = Is(argument, L"/check"), repair = Is(argument, L"/repair");
    if (!check && !repair) return std::nullopt;
    Output out;
    try {
        return check ? Check(out) : Repair(out);
    } catch (const std::exception& error) {
        out.Line(L"Trellis could not check the add-in: " + FromUtf8(error.what()).value_or(L"unknown error."));
    } catch (...) {
        out.Line(L"Trellis could not check the add-in.");
    }
    return 2;
}

} // namespace cornice
