#include "RibbonDocument.h"

#include <limits>
#include <stdexcept>

namespace cornice {

std::int32_t NextElementNumber(std::int32_t& counter)
{
    if (counter == std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("ribbon element counter passed 2147483647");
    return ++counter;
}

void RibbonDocument::ResetCounters()
{
    ButtonGroupCount = 0;
    LabelSeparatorCount = 0;
    MenuSeparatorCount = 0;
}

void RibbonDocument::AppendNumber(std::int32_t n)
{
    wchar_t digits[12];
    wchar_t* p = digits + sizeof digits / sizeof *digits;
    do {
        *--p = static_cast<wchar_t>(L'0' + n % 10);
        n /= 10;
    } while (n > 0);
    RibbonXml.append(p, digits + sizeof digits / sizeof *digits);
}

void RibbonDocument::AddControl(std::wstring_view idMso, std::wstring_view label)
{
    RibbonXml += L"<control idMso=\"";
    RibbonXml += idMso;
    RibbonXml += L'"';
    if (!label.empty()) {
        RibbonXml += L" label=\"";
        RibbonXml += label;
        RibbonXml += L'"';
    }
    RibbonXml += L"/>";
}

void RibbonDocument::AddControlNoLabel(std::wstring_view idMso, std::wstring_view screentip)
{
    RibbonXml += L"<control idMso=\"";
    RibbonXml += idMso;
    RibbonXml += L'"';
    if (!screentip.empty()) {
        RibbonXml += L" screentip=\"";
        RibbonXml += screentip;
        RibbonXml += L'"';
    }
    RibbonXml += L" showLabel=\"false\"/>";
}

void RibbonDocument::AddComboBox(std::wstring_view idMso)
{
    RibbonXml += L"<comboBox idMso=\"";
    RibbonXml += idMso;
    RibbonXml += L"\"/>";
}

void RibbonDocument::OpenButtonGroup()
{
    const std::int32_t n = NextElementNumber(ButtonGroupCount);
    RibbonXml += L"<buttonGroup id=\"btnGr00";
    AppendNumber(n);
    RibbonXml += L"\">";
}

void RibbonDocument::CloseButtonGroup() { RibbonXml += L"</buttonGroup>"; }

void RibbonDocument::AddLabelSeparator(std::wstring_view label)
{
    const std::int32_t n = NextElementNumber(LabelSeparatorCount);
    RibbonXml += L"<button id=\"sep00";
    AppendNumber(n);
    RibbonXml += L"\" label=\"";
    RibbonXml += label;
    RibbonXml += L"\" enabled=\"false\"/>";
}

void RibbonDocument::AddMenuSeparator()
{
    const std::int32_t n = NextElementNumber(MenuSeparatorCount);
    RibbonXml += L"<menuSeparator id=\"msep00";
    AppendNumber(n);
    RibbonXml += L"d\"/>";
}

void RibbonDocument::CloseMenu() { RibbonXml += L"</menu>"; }

} // namespace cornice
