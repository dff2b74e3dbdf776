#include "NumberedSteps.h"

#include "ExceptionTranslation.h"
#include "ProgramName.h"
#include "NumberConversion.h"
#include "NumberText.h"
#include "OwnTexts.h"
#include "TrellisText.h"

#include <new>

namespace cornice {

std::wstring ApplicationErrorText(std::wstring_view description, std::wstring_view location,
                                  int line)
{
    return OwnText(IDS_APPLICATION_ERROR, L"%1\r\n%2at line %3\r\rPlease email screenshot of this message to %4",
                   {description, location, DecimalText(line), kSupportEmail});
}

std::wstring DescribeCurrentException()
{
    try {
        throw;
    } catch (const SettingValueError& error) {
        return error.Why() == SettingValueError::Reason::NotANumber
                   ? OwnText(IDS_SETTING_NOT_A_NUMBER, L"The setting \"%1\" holds \"%2\", which is not a number.",
                             {error.Key(), ShownInMessage(error.Text())})
                   : OwnText(IDS_SETTING_OUT_OF_RANGE, L"The setting \"%1\" holds \"%2\", which is out of range.",
                             {error.Key(), ShownInMessage(error.Text())});
    } catch (const std::bad_alloc&) {
        return OwnText(IDS_OUT_OF_MEMORY, L"Out of memory.");
    } catch (...) {
    }
    const CaughtException caught = TranslateCaughtException(Wording::ForeignAsLatin1);
    return caught.text ? *caught.text : OwnText(IDS_UNKNOWN_ERROR, L"Unknown error.");
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
            description = OwnText(IDS_UNKNOWN_ERROR, L"Unknown error.");
        }
        reporter_.ShowApplicationError(ApplicationErrorText(description, location_, line));
        return false;
    }
}

} // namespace cornice
