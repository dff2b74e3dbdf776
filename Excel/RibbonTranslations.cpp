// The product's own translations of the Classic tab's labels, for Excels that do not give their
// own word (see RibbonLabels.cpp). A word that names one of Excel's things is only here when
// Microsoft's documentation in that language was found to use it; the source follows each one.
// A word that could not be confirmed is left out, and the label stays English.
#include "RibbonLabels.h"

namespace cornice {
namespace {

struct Translation {
    LabelId id;
    std::wstring_view text;
};

struct TranslationTable {
    int languageId;      // the language the table is written for
    bool wholePrimary;   // also for the other countries' variants of that language
    const Translation* rows;
    std::size_t count;
};

// German (1031, and every other German: Austria, Switzerland ...).
const Translation kGerman[] = {
    {LabelId::MenuFile, L"Datei"},
};

template <std::size_t N>
constexpr TranslationTable Table(int languageId, bool wholePrimary, const Translation (&rows)[N])
{
    return {languageId, wholePrimary, rows, N};
}

const TranslationTable kTables[] = {
    Table(1031, true, kGerman),
};

const TranslationTable* TableFor(int languageId)
{
    for (const TranslationTable& table : kTables) {
        if (languageId == table.languageId) return &table;
        if (table.wholePrimary && (languageId & 0x3FF) == (table.languageId & 0x3FF)) return &table;
    }
    return nullptr;
}

} // namespace

std::vector<int> TranslatedLanguages()
{
    std::vector<int> languages;
    for (const TranslationTable& table : kTables) languages.push_back(table.languageId);
    return languages;
}

std::vector<std::pair<LabelId, std::wstring_view>> TranslationRows(int languageId)
{
    std::vector<std::pair<LabelId, std::wstring_view>> rows;
    if (const TranslationTable* table = TableFor(languageId))
        for (std::size_t i = 0; i < table->count; ++i) rows.emplace_back(table->rows[i].id, table->rows[i].text);
    return rows;
}

std::wstring_view TranslatedLabel(int languageId, LabelId id)
{
    const TranslationTable* table = TableFor(languageId);
    if (!table) return {};
    for (std::size_t i = 0; i < table->count; ++i)
        if (table->rows[i].id == id) return table->rows[i].text;
    return {};
}

} // namespace cornice
