#include "NumberedSteps.h"

#include "ExceptionTranslation.h"
#include "Globals.h"
#include "NumberText.h"

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
    const CaughtException caught = TranslateCaughtException(Wording::ForeignAsLatin1);
    return caught.text ? *caught.text : L"Unknown error.";
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
