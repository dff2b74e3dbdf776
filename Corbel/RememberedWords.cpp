#include "RememberedWords.h"

#include "NumberText.h"
#include "ExcelTabs.h"

#include <algorithm>
#include <stdexcept>

namespace cornice {

template <typename Ask>
std::wstring RememberingWords::Remembered(WordKind kind, std::wstring key, Ask&& ask)
{
    if (const std::optional<std::wstring>* answer = record_.Find(kind, key)) {
        if (!*answer) throw std::runtime_error("Excel had no answer to this when it was asked before");
        return **answer;
    }
    std::optional<std::wstring> answer;
    try {
        answer = ask();
    } catch (...) {
        record_.words[{kind, std::move(key)}] = std::nullopt;
        learnt_ = true;
        throw;
    }
    learnt_ = true;
    record_.words[{kind, std::move(key)}] = answer;
    return *answer;
}

std::wstring RememberingWords::MenuCaption(int controlId)
{
    return Remembered(WordKind::MenuCaption, DecimalText(controlId), [&] { return excel_.MenuCaption(controlId); });
}

std::wstring RememberingWords::LabelOf(std::wstring_view idMso)
{
    return Remembered(WordKind::Label, std::wstring(idMso), [&] { return excel_.LabelOf(idMso); });
}

std::wstring RememberingWords::SupertipOf(std::wstring_view idMso)
{
    return Remembered(WordKind::Supertip, std::wstring(idMso), [&] { return excel_.SupertipOf(idMso); });
}

RibbonLabels RememberedLabels(int language, ExcelWords* excel, const std::wstring& excelVersion,
                              ExcelWordsMemory* memory)
{
    if (!excel || !memory || excelVersion.empty() || IsEnglishLanguage(language))
        return RibbonLabels::For(language, excel);

    std::optional<ExcelWordsRecord> kept = RecallRecord(*memory, excelVersion, language);
    if (!kept) {
        kept.emplace();
        kept->excelVersion = excelVersion;
        kept->language = language;
    }
    RememberingWords remembering(*excel, std::move(*kept));
    RibbonLabels labels = RibbonLabels::For(language, &remembering);
    for (const wchar_t* tab : kTabIdMso) {
        try {
            remembering.LabelOf(tab);
        } catch (...) {
        }
    }
    const auto& words = remembering.Record().words;
    const bool anyAnswer = std::any_of(words.begin(), words.end(), [](const auto& word) { return word.second.has_value(); });
    if (remembering.Learnt() && anyAnswer)
        memory->Keep(excelVersion, language, SerialiseWordsRecord(remembering.Record()));
    return labels;
}

} // namespace cornice
