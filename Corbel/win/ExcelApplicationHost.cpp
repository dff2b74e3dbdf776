#include "ExcelApplicationHost.h"

#include "Automation.h"

#include <cwchar>

namespace cornice {
namespace {

// Excel's IDispatch is asked in US English: with another locale Excel can fail late-bound calls
// with "Old format or invalid type library" (0x80028018) unless that language's user interface
// pack is installed (Microsoft KB 320369).
const LCID kExcelLocale = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

UniqueVariant Ask(IDispatch* object, const wchar_t* member, std::initializer_list<VARIANT> arguments = {})
{
    return CallByName(object, member, arguments, kExcelLocale);
}

} // namespace

IDispatch* ExcelApplicationHost::CommandBars()
{
    if (!commandBars_) commandBars_ = ObjectOf(*Ask(application_.Get(), L"CommandBars").Get(), "CommandBars");
    return commandBars_.Get();
}

std::wstring ExcelApplicationHost::Version()
{
    return TextOf(*Ask(application_.Get(), L"Version").Get(), "Version");
}

long ExcelApplicationHost::Build()
{
    return NumberOf(*Ask(application_.Get(), L"Build").Get(), "Build");
}

std::wstring ExcelApplicationHost::Name()
{
    if (!application_)
        throw WindowsError(E_UNEXPECTED, "Corbel is not connected to Excel: no OnConnection has handed it "
                                         "Excel's Application object.");
    try {
        return TextOf(*Ask(application_.Get(), L"Name").Get(), "Name");
    } catch (const WindowsError& error) {
        throw WindowsError(error.Code(), std::string("Excel could not tell its name: ") + error.what());
    }
}

int ExcelApplicationHost::UiLanguage()
{
    constexpr LONG kMsoLanguageIdUi = 2;
    const ComPtr<IDispatch> settings = ObjectOf(*Ask(application_.Get(), L"LanguageSettings").Get(), "LanguageSettings");
    return NumberOf(*Ask(settings.Get(), L"LanguageID", {LongArgument(kMsoLanguageIdUi)}).Get(), "LanguageID");
}

std::wstring ExcelApplicationHost::MenuCaption(int controlId)
{
    const UniqueVariant control =
        Ask(CommandBars(), L"FindControl", {MissingArgument(), LongArgument(controlId)});
    return TextOf(*Ask(ObjectOf(*control.Get(), "FindControl").Get(), L"Caption").Get(), "Caption");
}

// CommandBars.GetLabelMso(idMso) and its kin.
std::wstring ExcelApplicationHost::MsoText(const wchar_t* member, std::wstring_view idMso)
{
    const UniqueBstr name = UniqueBstr::FromText(idMso);
    const std::string what(member, member + std::wcslen(member));
    return TextOf(*Ask(CommandBars(), member, {TextArgument(name.Get())}).Get(), what.c_str());
}

std::wstring ExcelApplicationHost::LabelOf(std::wstring_view idMso) { return MsoText(L"GetLabelMso", idMso); }

std::wstring ExcelApplicationHost::SupertipOf(std::wstring_view idMso) { return MsoText(L"GetSupertipMso", idMso); }

} // namespace cornice
