#include "RememberedWords.h"

#include "NumberText.h"
#include "ExcelTabs.h"
#include "Trace.h"

#include <algorithm>
#include <stdexcept>

namespace cornice {

// A question the record holds is answered from it; any other goes to Excel, and its answer or its
// silence joins the record. A record that cannot grow (no memory) still answers.
template <typename Ask>
std::optional<std::wstring> RememberingWords::Remembered(WordKind kind, std::wstring key, Ask&& ask) noexcept
{
    try {
        if (const std::optional<std::wstring>* answer = record_.Find(kind, key)) return *answer;
    } catch (...) {
        return std::nullopt; // no memory for the copy: as if Excel had no word
    }
    std::optional<std::wstring> answer = ask();
    try {
        record_.words[{kind, std::move(key)}] = answer;
        learnt_ = true;
    } catch (...) {
        TraceCaughtException("Excel's words");
    }
    return answer;
}

namespace {

std::wstring OrRaise(std::optional<std::wstring> answer)
{
    if (!answer) throw std::runtime_error("Excel has no answer to this");
    return std::move(*answer);
}

} // namespace

std::optional<std::wstring> RememberingWords::MenuCaptionIfAny(int controlId) noexcept
{
    std::wstring key;
    try {
        key = DecimalText(controlId);
    } catch (...) {
        return std::nullopt;
    }
    return Remembered(WordKind::MenuCaption, std::move(key), [&] { return excel_.MenuCaptionIfAny(controlId); });
}

std::optional<std::wstring> RememberingWords::LabelIfAny(std::wstring_view idMso) noexcept
{
    try {
        return Remembered(WordKind::Label, std::wstring(idMso), [&] { return excel_.LabelIfAny(idMso); });
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::wstring> RememberingWords::SupertipIfAny(std::wstring_view idMso) noexcept
{
    try {
        return Remembered(WordKind::Supertip, std::wstring(idMso), [&] { return excel_.SupertipIfAny(idMso); });
    } catch (...) {
        return std::nullopt;
    }
}

std::wstring RememberingWords::MenuCaption(int controlId) { return OrRaise(MenuCaptionIfAny(controlId)); }
std::wstring RememberingWords::LabelOf(std::wstring_view idMso) { return OrRaise(LabelIfAny(idMso)); }
std::wstring RememberingWords::SupertipOf(std::wstring_view idMso) { return OrRaise(SupertipIfAny(idMso)); }

RibbonLabels RememberedLabels(int language, ExcelWords* excel, const std::wstring& excelVersion,
                              ExcelWordsMemory* memory)
{
    if (!excel || !memory || excelVersion.empty() || IsEnglishLanguage(language))
        return RibbonLabels::For(language, excel);

    return ThroughRecord(excel, memory, excelVersion, language, [&](ExcelWords* words) {
        RibbonLabels labels = RibbonLabels::For(language, words);
        for (const wchar_t* tab : kTabIdMso) words->LabelIfAny(tab);
        return labels;
    });
}

ExcelWordsRecord RecalledOrNewRecord(ExcelWordsMemory& memory, const std::wstring& excelVersion, int language)
{
    if (std::optional<ExcelWordsRecord> kept = RecallRecord(memory, excelVersion, language)) return std::move(*kept);
    ExcelWordsRecord record;
    record.excelVersion = excelVersion;
    record.language = language;
    return record;
}

void KeepUnlessWordless(ExcelWordsMemory& memory, const ExcelWordsRecord& record)
{
    const auto& words = record.words;
    if (std::any_of(words.begin(), words.end(), [](const auto& word) { return word.second.has_value(); }))
        memory.Keep(record.excelVersion, record.language, SerialiseWordsRecord(record));
}

} // namespace cornice
