#include "RibbonDocument.h"

#include "ControlTips.h"

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

std::int32_t& RibbonDocument::CounterFor(RibbonTemplate::Counter counter)
{
    switch (counter) {
    case RibbonTemplate::Counter::ButtonGroup: return ButtonGroupCount;
    case RibbonTemplate::Counter::LabelSeparator: return LabelSeparatorCount;
    case RibbonTemplate::Counter::MenuSeparator: break;
    }
    return MenuSeparatorCount;
}

void RibbonDocument::AppendNext(RibbonTemplate::Counter counter)
{
    if (recording_)
        recording_->holes_.push_back({RibbonXml.size(), counter});
    else
        AppendNumber(NextElementNumber(CounterFor(counter)));
}

void RibbonDocument::AppendTemplate(const RibbonTemplate& recorded)
{
    std::size_t from = 0;
    for (const RibbonTemplate::Hole& hole : recorded.holes_) {
        RibbonXml.append(recorded.text_, from, hole.at - from);
        AppendNext(hole.counter);
        from = hole.at;
    }
    RibbonXml.append(recorded.text_, from, std::wstring::npos);
}

void RibbonDocument::AppendControl(std::wstring_view idMso, std::wstring_view attribute,
                                   std::wstring_view text, std::wstring_view ending)
{
    RibbonXml += L"<control idMso=\"";
    RibbonXml += idMso;
    RibbonXml += L'"';
    // A text of one blank counts as present; only an empty one leaves the attribute out.
    if (!text.empty()) {
        RibbonXml += attribute;
        RibbonXml += text;
        RibbonXml += L'"';
    }
    AppendSupertip(idMso);
    RibbonXml += ending;
}

void RibbonDocument::AppendSupertip(std::wstring_view idMso)
{
    if (!tips_) return;
    const std::wstring_view tip = tips_->Of(idMso);
    if (tip.empty()) return;
    RibbonXml += L" supertip=\"";
    RibbonXml += tip;
    RibbonXml += L'"';
}

void RibbonDocument::AddControl(std::wstring_view idMso, std::wstring_view label)
{
    AppendControl(idMso, L" label=\"", label, L"/>");
}

void RibbonDocument::AddControlNoLabel(std::wstring_view idMso, std::wstring_view screentip)
{
    AppendControl(idMso, L" screentip=\"", screentip, L" showLabel=\"false\"/>");
}

void RibbonDocument::AddComboBox(std::wstring_view idMso)
{
    RibbonXml += L"<comboBox idMso=\"";
    RibbonXml += idMso;
    RibbonXml += L'"';
    AppendSupertip(idMso);
    RibbonXml += L"/>";
}

void RibbonDocument::OpenButtonGroup()
{
    RibbonXml += L"<buttonGroup id=\"btnGr00";
    AppendNext(RibbonTemplate::Counter::ButtonGroup);
    RibbonXml += L"\">";
}

void RibbonDocument::CloseButtonGroup() { RibbonXml += L"</buttonGroup>"; }

void RibbonDocument::AddLabelSeparator(std::wstring_view label)
{
    RibbonXml += L"<button id=\"sep00";
    AppendNext(RibbonTemplate::Counter::LabelSeparator);
    RibbonXml += L"\" label=\"";
    RibbonXml += label;
    RibbonXml += L"\" enabled=\"false\"/>";
}

void RibbonDocument::AddMenuSeparator()
{
    RibbonXml += L"<menuSeparator id=\"msep00";
    AppendNext(RibbonTemplate::Counter::MenuSeparator);
    RibbonXml += L"d\"/>";
}

void RibbonDocument::CloseMenu() { RibbonXml += L"</menu>"; }

} // namespace cornice
