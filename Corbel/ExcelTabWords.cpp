#include "ExcelTabWords.h"

#include "LanguageChoice.h"

namespace cornice {
namespace {

struct TabWord {
    int languageId; // a language of the product's texts
    std::string_view tabIdMso;
    std::wstring_view word;
};

// The words of the settings program's tab boxes, each with the Microsoft page that confirms it in
// Trellis/win/TrellisText.rc; a tab no page named in a language is not here.
constexpr TabWord kTabWords[] = {
    {1031, "TabInsert", L"Einfügen"},     {1031, "TabFormulas", L"Formeln"},
    {1031, "TabReview", L"Überprüfen"},   {1031, "TabDeveloper", L"Entwicklertools"},
    {1036, "TabInsert", L"Insertion"},    {1036, "TabReview", L"Révision"},
    {1036, "TabDeveloper", L"Développeur"},
    {3082, "TabInsert", L"Insertar"},     {3082, "TabReview", L"Revisar"},
    {3082, "TabDeveloper", L"Programador"},
    {1040, "TabHome", L"Home"},           {1040, "TabInsert", L"Inserisci"},
    {1040, "TabFormulas", L"Formule"},    {1040, "TabReview", L"Revisione"},
    {1046, "TabReview", L"Revisão"},      {1046, "TabDeveloper", L"Desenvolvedor"},
    {1049, "TabDeveloper", L"Разработчик"},
    {1041, "TabHome", L"ホーム"},         {1041, "TabInsert", L"挿入"},
    {1041, "TabReview", L"校閲"},         {1041, "TabDeveloper", L"開発"},
    {2052, "TabDeveloper", L"开发工具"},
};

} // namespace

std::wstring_view ExcelTabWord(int languageId, std::string_view tabIdMso)
{
    const int language = TextLanguageFor(languageId);
    for (const TabWord& row : kTabWords)
        if (row.languageId == language && row.tabIdMso == tabIdMso) return row.word;
    return {};
}

} // namespace cornice
