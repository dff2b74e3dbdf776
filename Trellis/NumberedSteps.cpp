#include "NumberedSteps.h"

#include "Globals.h"
#include "NumberConversion.h"
#include "NumberText.h"
#include "Utf8.h"

#include <exception>
#include <new>

namespace cornice {

std::wstring ApplicationErrorText(std::wstring_view description, std::wstring_view location,
                                  int line)
{
    std::wstring text(description);
    text += L"\r\n";
    text += location;
    text += L"at line ";
    text += DecimalText(line);
    text += L"\r\r";
    text += L"Please email screenshot of this message to ";
    text += kSupportEmail;
    return text;
}

std::wstring DescribeCurrentException()
{
    try {
        throw;
    } catch (const SettingValueError& error) {
        return error.Describe();
    } catch (const std::bad_alloc&) {
        return L"Out of memory.";
    } catch (const std::exception& error) {
        // Our own exceptions carry UTF-8; anything else is shown byte by byte rather than lost.
        const std::string_view what = error.what();
        if (auto text = FromUtf8(what)) return *text;
        std::wstring latin1;
        for (const char c : what) latin1 += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return latin1;
    } catch (...) {
        return L"Unknown error.";
    }
}

bool NumberedProcedure::Run(int line, const std::function<void()>& statement)
{
    try {
        statement();
        return true;
    } catch (...) {
        std::wstring description;
        try {
            description = DescribeCurrentException();
        } catch (...) {
            description = L"Unknown error.";
        }
        reporter_.ShowApplicationError(ApplicationErrorText(description, location_, line));
        return false;
    }
}

} // namespace cornice
