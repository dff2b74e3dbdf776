// The ribbon document under construction and the emitters that append its recurring elements.
// Texts are inserted unchanged: callers pass fixed texts without quotes, ampersands or angle
// brackets, or labels that RibbonLabels has already escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cornice {

// The namespace of ribbon documents Office 2007 and later read, and of a dynamic menu's content.
inline constexpr std::wstring_view kCustomUiNamespace = L"http://schemas.microsoft.com/office/2006/01/customui";

class ControlTips;

// Adds 1 to an element counter and returns the new value; throws std::overflow_error
// rather than wrap past 2147483647, which would repeat ids.
std::int32_t NextElementNumber(std::int32_t& counter);

// Document text with holes where element numbers go. The menus and toolbars are fixed apart
// from those numbers, so each is recorded once and replayed with live counters: a document then
// costs a few hundred large appends instead of thousands of small ones.
class RibbonTemplate {
    friend class RibbonDocument;
    enum class Counter { ButtonGroup, LabelSeparator, MenuSeparator };
    struct Hole {
        std::size_t at;
        Counter counter;
    };
    std::wstring text_;
    std::vector<Hole> holes_;
};

class RibbonDocument {
public:
    // Runs `build` on an empty document that records the numbered elements as holes; Excel's
    // controls get their supertips from `tips` when given.
    template <typename Build>
    static RibbonTemplate Record(Build&& build, ControlTips* tips = nullptr)
    {
        RibbonDocument recorder;
        RibbonTemplate recorded;
        recorder.recording_ = &recorded;
        recorder.tips_ = tips;
        std::forward<Build>(build)(recorder);
        recorded.text_ = std::move(recorder.RibbonXml);
        return recorded;
    }

    // Appends the recorded text, numbering its elements from this document's counters exactly
    // as the emitters would have.
    void AppendTemplate(const RibbonTemplate& recorded);

    // Counters back to 0: every document numbers its elements from 1.
    void ResetCounters();
    void Clear() { RibbonXml.clear(); }
    void Append(std::wstring_view text) { RibbonXml += text; }
    const std::wstring& Text() const noexcept { return RibbonXml; }

    // <control idMso="ID" label="LABEL"/>, without the label when it is empty.
    void AddControl(std::wstring_view idMso, std::wstring_view label);
    // <control idMso="ID" screentip="TIP" showLabel="false"/>, without the tip when it is empty.
    void AddControlNoLabel(std::wstring_view idMso, std::wstring_view screentip);
    void AddComboBox(std::wstring_view idMso);
    void OpenButtonGroup();
    void CloseButtonGroup();
    // A disabled button that holds groups or menus apart; the label is always written.
    void AddLabelSeparator(std::wstring_view label);
    void AddMenuSeparator();
    void CloseMenu();

private:
    void AppendNumber(std::int32_t n);
    void AppendControl(std::wstring_view idMso, std::wstring_view attribute, std::wstring_view text,
                       std::wstring_view ending);
    void AppendSupertip(std::wstring_view idMso);
    void AppendNext(RibbonTemplate::Counter counter);
    std::int32_t& CounterFor(RibbonTemplate::Counter counter);

    RibbonTemplate* recording_ = nullptr;
    ControlTips* tips_ = nullptr;

    std::wstring RibbonXml;
    std::int32_t ButtonGroupCount = 0;
    std::int32_t LabelSeparatorCount = 0;
    std::int32_t MenuSeparatorCount = 0;
};

} // namespace cornice
