// Excel's words at the cost of one round of questions per Excel version and UI language: the
// answers of the first start are kept (ExcelWordsRecord.h), and later starts read them instead
// of asking Excel, whose command-bar object model is slow and whose slow add-ins it disables.
#pragma once

#include "ExcelWordsRecord.h"
#include "RibbonLabels.h"

#include <string>
#include <string_view>

namespace cornice {

// Excel's words through a record of its earlier answers. A question the record holds costs
// nothing (a failure it holds raises again); any other goes to Excel, and its answer or its
// failure joins the record, whatever the question (every label or caption the add-in will ever
// ask for is covered without a change here).
class RememberingWords final : public ExcelWords {
public:
    RememberingWords(ExcelWords& excel, ExcelWordsRecord record) : excel_(excel), record_(std::move(record)) {}

    std::wstring MenuCaption(int controlId) override;
    std::wstring LabelOf(std::wstring_view idMso) override;
    std::wstring SupertipOf(std::wstring_view idMso) override;
    std::optional<std::wstring> MenuCaptionIfAny(int controlId) noexcept override;
    std::optional<std::wstring> LabelIfAny(std::wstring_view idMso) noexcept override;
    std::optional<std::wstring> SupertipIfAny(std::wstring_view idMso) noexcept override;

    const ExcelWordsRecord& Record() const noexcept { return record_; }
    // The record gained a question since it was handed in.
    bool Learnt() const noexcept { return learnt_; }

private:
    template <typename Ask>
    std::optional<std::wstring> Remembered(WordKind kind, std::wstring key, Ask&& ask) noexcept;

    ExcelWords& excel_;
    ExcelWordsRecord record_;
    bool learnt_ = false;
};

// The record kept for this Excel version and language, or an empty one of them.
ExcelWordsRecord RecalledOrNewRecord(ExcelWordsMemory& memory, const std::wstring& excelVersion, int language);
// Keeps the record for the next start, unless it holds no answer at all: an Excel whose command
// bars were not ready would be remembered as wordless.
void KeepUnlessWordless(ExcelWordsMemory& memory, const ExcelWordsRecord& record);

// Runs `use` with Excel's words through the record kept in `memory` for this version and
// language, and keeps afterwards what it asked anew; without a version (empty) or a memory, with
// Excel's words as they are. `use` takes an ExcelWords* (null when `excel` is).
template <typename Use>
auto ThroughRecord(ExcelWords* excel, ExcelWordsMemory* memory, const std::wstring& excelVersion, int language, Use&& use)
{
    if (!excel || !memory || excelVersion.empty()) return use(excel);
    RememberingWords remembering(*excel, RecalledOrNewRecord(*memory, excelVersion, language));
    auto result = use(static_cast<ExcelWords*>(&remembering));
    if (remembering.Learnt()) KeepUnlessWordless(*memory, remembering.Record());
    return result;
}

// The labels for Excel's UI language, through the record kept in `memory` for this version and
// language; the labels of the built-in tabs the settings program names are asked too, so that
// the record holds them. What Excel was asked is kept for the next start, unless the record
// holds no answer at all (an Excel whose command bars were not ready would be remembered as wordless).
// Without a version (empty) or a memory, Excel is asked as it always was.
RibbonLabels RememberedLabels(int language, ExcelWords* excel, const std::wstring& excelVersion,
                              ExcelWordsMemory* memory);

} // namespace cornice
