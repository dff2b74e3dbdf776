// The settings window's larger procedures number their statements (100, 102, 104, ...). When
// a statement fails, the window shows one "Application Error" report naming the procedure and
// the statement, and then goes on with the next statement: one unreadable setting must not
// keep the others from being restored or saved.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace cornice {

inline constexpr const wchar_t* kApplicationErrorTitle = L"Application Error";

// Shows a report to the user; a message box with an exclamation icon and one "OK" button on
// Windows, a recorder in tests.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void ShowApplicationError(const std::wstring& text) = 0;
};

// The report's text: the description, CR LF, the location, "at line " and the number, CR CR,
// and the request for a screenshot. `location` carries its own trailing blank.
std::wstring ApplicationErrorText(std::wstring_view description, std::wstring_view location,
                                  int line);

// For use inside a catch block: what went wrong, in words for the report.
std::wstring DescribeCurrentException();

class NumberedProcedure {
public:
    NumberedProcedure(std::wstring location, ErrorReporter& reporter)
        : location_(std::move(location)), reporter_(reporter)
    {
    }

    // Runs one numbered statement. A failure is reported and swallowed; the result says
    // whether the statement completed.
    bool Run(int line, const std::function<void()>& statement);

private:
    std::wstring location_;
    ErrorReporter& reporter_;
};

} // namespace cornice
