// What one Excel said when the add-in asked it for its words (menu captions, control labels,
// supertips), kept per Excel version and UI language so that later starts need not ask again,
// and so that the settings program can name Excel's tabs as that Excel does.
//
// Kept as one text: a header naming the version and language, one line per question, and a
// checksum over everything before it. A record that is cut short, altered, of another format or
// of another Excel reads as none, and the add-in asks again and writes it anew.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cornice {

// What was asked: the caption of an old command-bar control (key: its id in decimal), or the
// label or the supertip of a built-in ribbon control (key: its idMso).
enum class WordKind { MenuCaption, Label, Supertip };

struct ExcelWordsRecord {
    std::wstring excelVersion; // Application.Version, "16.0"
    int language = 0;          // msoLanguageIDUI
    // Excel's answer as it gave it; none when Excel raised or had nothing to say.
    std::map<std::pair<WordKind, std::wstring>, std::optional<std::wstring>> words;

    // The answer to one question; null when the record does not hold the question.
    const std::optional<std::wstring>* Find(WordKind kind, std::wstring_view key) const;
};

std::wstring SerialiseWordsRecord(const ExcelWordsRecord& record);
// The record in `text`; none when the text is no whole, unaltered record of this format.
std::optional<ExcelWordsRecord> ParseWordsRecord(std::wstring_view text);

// Where records are kept: one per Excel version and UI language.
class ExcelWordsMemory {
public:
    virtual ~ExcelWordsMemory() = default;
    // The text kept for this Excel; empty when there is none or it cannot be read.
    virtual std::wstring Recall(const std::wstring& excelVersion, int language) noexcept = 0;
    // Keeps `text` in place of what was kept for this Excel. A failure is silent: it costs
    // nothing but the next start's questions.
    virtual void Keep(const std::wstring& excelVersion, int language, const std::wstring& text) noexcept = 0;
};

// The record kept for this Excel, when it is whole and is of this version and language.
std::optional<ExcelWordsRecord> RecallRecord(ExcelWordsMemory& memory, const std::wstring& excelVersion, int language);

// The record to name Excel's things by in a program whose texts are in `textLanguage`
// (TextLanguageFor): of the records in that language, the newest Excel's. None when no record
// is in that language.
std::optional<ExcelWordsRecord> RecordForTextLanguage(const std::vector<std::wstring>& texts, int textLanguage);

} // namespace cornice
