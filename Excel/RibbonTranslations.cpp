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
    int primaryLanguage; // the low ten bits of a language id
    int onlyLanguage;    // 0, or the one full language id the table is for
    const Translation* rows;
    std::size_t count;
};

// German (1031, and every other German: Austria, Switzerland ...).
const Translation kGerman[] = {
    {LabelId::MenuFile, L"Datei"},
};

template <std::size_t N>
constexpr TranslationTable Table(int primaryLanguage, int onlyLanguage, const Translation (&rows)[N])
{
    return {primaryLanguage, onlyLanguage, rows, N};
}

const TranslationTable kTables[] = {
    Table(0x07, 0, kGerman),
};

const TranslationTable* TableFor(int languageId)
{
    for (const TranslationTable& table : kTables) {
        if ((languageId & 0x3FF) != table.primaryLanguage) continue;
        if (table.onlyLanguage != 0 && languageId != table.onlyLanguage) continue;
        return &table;
    }
    return nullptr;
}

} // namespace

bool HasTranslationTable(int languageId) { return TableFor(languageId) != nullptr; }

std::wstring_view TranslatedLabel(int languageId, LabelId id)
{
    const TranslationTable* table = TableFor(languageId);
    if (!table) return {};
    for (std::size_t i = 0; i < table->count; ++i)
        if (table->rows[i].id == id) return table->rows[i].text;
    return {};
}

} // namespace cornice
