// The product's own translations of the Classic tab's labels, for Excels that do not give their
// own word (see RibbonLabels.cpp). A word that names one of Excel's things is only here when
// Microsoft's documentation in that language was found to use it; the source follows each one.
// A word that could not be confirmed is left out, and the label stays English.
#include "RibbonLabels.h"

#include "LanguageChoice.h"

namespace cornice {
namespace {

struct Translation {
    LabelId id;
    std::wstring_view text;
};

// For the language of the product's other texts (TextLanguageFor): every country's German,
// French ..., Portuguese only Brazil's, Chinese only the Simplified.
struct TranslationTable {
    int languageId;
    const Translation* rows;
    std::size_t count;
    const LabelId* leftEnglish;
    std::size_t leftEnglishCount;
};

// "Classic", "Tools panel" and "All" are the product's own words. The other labels name Excel's
// things and follow Microsoft's terminology in each language; only those confirmed in Microsoft's
// own localised pages are here, with the page. For the menus Excel's own captions usually answer
// first (see RibbonLabels.cpp), so these rows matter where its command bars do not.

// German (1031, and the German of Austria, Switzerland ...).
const Translation kGerman[] = {
    {LabelId::ClassicTab, L"Klassisch"},
    {LabelId::ToolsPanel, L"Werkzeugbereich"},
    {LabelId::AllMenus, L"Alle"},
    // "klicken Sie auf die Registerkarte Datei": support.microsoft.com/de-de/office/
    // ergänzung-zu-den-datenschutzbestimmungen-für-excel-37a6e7ef-ed51-4de5-8b93-f82a82ff02c4
    {LabelId::MenuFile, L"Datei"},
    // The same word as English: office.microsoft.com/de-at/mac-excel-help/schutzen-eines-blatts-
    // HA102927960.aspx ("Klicken Sie im Menü Format auf Zellen", Excel for Mac's menu bar).
    {LabelId::MenuFormat, L"Format"},
};

// French (1036, and every French).
const Translation kFrench[] = {
    {LabelId::ClassicTab, L"Classique"},
    {LabelId::ToolsPanel, L"Panneau d’outils"},
    {LabelId::AllMenus, L"Tous"},
    // "Fichier" (the File tab, the same in every Office program): Excel's privacy statement
    // supplement, support.office.com/fr-fr/article/supplément-à-la-déclaration-de-confidentialité-d-
    // excel-37a6e7ef-ed51-4de5-8b93-f82a82ff02c4 ("cliquez sur l'onglet fichier, puis sur nouveau").
    {LabelId::MenuFile, L"Fichier"},
    // The Help menu: learn.microsoft.com/fr-fr/previous-versions/visualstudio/visual-studio-2008/0batekf4(v=vs.90)
    // ("placé à gauche du menu ? (Aide)", of Excel 2003's menu bar: the menu's title is "?").
    {LabelId::MenuHelp, L"?"},
};

// Spanish (3082 modern sort, 1034 traditional, and Latin America).
const Translation kSpanish[] = {
    {LabelId::ClassicTab, L"Clásico"},
    {LabelId::ToolsPanel, L"Panel de herramientas"},
    {LabelId::AllMenus, L"Todos"},
    // "Archivo" (the File tab): Excel's privacy statement addendum, support.microsoft.com/es-es/
    // office/anexo-a-la-declaración-de-privacidad-de-excel-37a6e7ef-ed51-4de5-8b93-f82a82ff02c4 ("haga
    // clic en la pestaña Archivo y, a continuación, haga clic en Nuevo").
    {LabelId::MenuFile, L"Archivo"},
};

// Italian (1040, and Switzerland's).
const Translation kItalian[] = {
    {LabelId::ClassicTab, L"Classico"},
    {LabelId::ToolsPanel, L"Pannello strumenti"},
    {LabelId::AllMenus, L"Tutti"},
    // "File", as in English: support.microsoft.com/it-it/office/proteggere-un-file-di-excel-7359d4ae-
    // 7213-4ac2-b058-f75e9311b599 ("Selezionare File > Informazioni").
    {LabelId::MenuFile, L"File"},
    // office.microsoft.com/it-it/mac-excel-help/proteggere-un-foglio-HA102927960.aspx ("Scegliere
    // Celle dal menu Formato", Excel for Mac's menu bar).
    {LabelId::MenuFormat, L"Formato"},
};

// Brazilian Portuguese (1046 only: Portugal's Excel uses other words).
const Translation kBrazilianPortuguese[] = {
    {LabelId::ClassicTab, L"Clássico"},
    {LabelId::ToolsPanel, L"Painel de ferramentas"},
    {LabelId::AllMenus, L"Todos"},
    // "Arquivo" (the File tab): Excel's privacy supplement, support.microsoft.com/pt-br/office/
    // suplemento-de-privacidade-do-excel-37a6e7ef-ed51-4de5-8b93-f82a82ff02c4 ("clique na guia Arquivo
    // e clique em Novo").
    {LabelId::MenuFile, L"Arquivo"},
    // Excel 2003's help: office.microsoft.com/pt-br/excel-help/proteger-uma-planilha-ou-pasta-de-
    // trabalho-por-senha-HP005201059.aspx ("clique em Ir para no menu Editar", "clique em Células no
    // menu Formatar", "No menu Ferramentas, aponte para Proteger e clique em Proteger planilha").
    {LabelId::MenuEdit, L"Editar"},
    {LabelId::MenuFormat, L"Formatar"},
    {LabelId::MenuTools, L"Ferramentas"},
};

// Russian (1049).
const Translation kRussian[] = {
    {LabelId::ClassicTab, L"Классическая"},
    {LabelId::ToolsPanel, L"Панель инструментов"},
    {LabelId::AllMenus, L"Все"},
    // "Файл" (the File tab): support.microsoft.com/ru-ru/office/e1192344-5e56-4d45-931b-e5fd9bea2d45
    // ("На вкладке "Файл" ...").
    {LabelId::MenuFile, L"Файл"},
};

// Japanese (1041).
const Translation kJapanese[] = {
    {LabelId::ClassicTab, L"クラシック"},
    {LabelId::ToolsPanel, L"ツール パネル"},
    {LabelId::AllMenus, L"すべて"},
    // "ファイル" (the File tab): support.office.com/ja-jp/article/Excel-ファイルを保護する-7359d4ae-
    // 7213-4ac2-b058-f75e9311b599 ("[ファイル]、[情報]").
    {LabelId::MenuFile, L"ファイル"},
    // The Help menu: learn.microsoft.com/ja-jp/previous-versions/visualstudio/visual-studio-2008/0batekf4(v=vs.90)
    // ("[ヘルプ] メニューの前に配置されます", of Excel 2003's menu bar).
    {LabelId::MenuHelp, L"ヘルプ"},
};

// Simplified Chinese (2052, and Singapore's 4100).
const Translation kSimplifiedChinese[] = {
    {LabelId::ClassicTab, L"经典"},
    {LabelId::ToolsPanel, L"工具面板"},
    {LabelId::AllMenus, L"全部"},
    // "文件" (the File tab): learn.microsoft.com/zh-cn/office/vba/outlook/how-to/
    // using-visual-basic-to-customize-outlook-forms/run-in-developer-mode-in-outlook ("单击 "文件" 选项卡").
    {LabelId::MenuFile, L"文件"},
    // The Help menu: learn.microsoft.com/zh-cn/previous-versions/visualstudio/visual-studio-2008/0batekf4(v=vs.90)
    // ("位于“帮助”菜单的前面", of Excel 2003's menu bar).
    {LabelId::MenuHelp, L"帮助"},
};

// The labels naming Excel's things that each table leaves English: no Microsoft page for users in
// that language was found to confirm Excel's word, and a guess would be worse than English beside
// Excel's own words. Where Excel answers (its menu captions, GetLabelMso), its word is shown all
// the same; these matter only where it does not. One list, so that what is missing is seen at a
// glance and a translation found later comes off it (the tables' test keeps the two apart).
constexpr LabelId kGermanLeftEnglish[] = {
    LabelId::MenuEdit, LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuTools,
    LabelId::MenuData, LabelId::MenuWindow, LabelId::MenuHelp, LabelId::RestrictPermission,
    LabelId::FunctionLibrary, LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column,
    LabelId::Sheet, LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter,
    LabelId::Calculation, LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections,
    LabelId::List, LabelId::Xml, LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings,
    LabelId::NewComment, LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment,
    LabelId::ShowOrHideComment, LabelId::ShowAllComments, LabelId::ShowInk,
};
constexpr LabelId kFrenchLeftEnglish[] = {
    LabelId::MenuEdit, LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuFormat,
    LabelId::MenuTools, LabelId::MenuData, LabelId::MenuWindow, LabelId::RestrictPermission,
    LabelId::FunctionLibrary, LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column,
    LabelId::Sheet, LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter,
    LabelId::Calculation, LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections,
    LabelId::List, LabelId::Xml, LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings,
    LabelId::NewComment, LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment,
    LabelId::ShowOrHideComment, LabelId::ShowAllComments, LabelId::ShowInk,
};
constexpr LabelId kSpanishLeftEnglish[] = {
    LabelId::MenuEdit, LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuFormat, LabelId::MenuTools,
    LabelId::MenuData, LabelId::MenuWindow, LabelId::MenuHelp, LabelId::RestrictPermission,
    LabelId::FunctionLibrary, LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column,
    LabelId::Sheet, LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter,
    LabelId::Calculation, LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections,
    LabelId::List, LabelId::Xml, LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings,
    LabelId::NewComment, LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment,
    LabelId::ShowOrHideComment, LabelId::ShowAllComments, LabelId::ShowInk,
};
constexpr LabelId kItalianLeftEnglish[] = {
    LabelId::MenuEdit, LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuTools,
    LabelId::MenuData, LabelId::MenuWindow, LabelId::MenuHelp, LabelId::RestrictPermission,
    LabelId::FunctionLibrary, LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column,
    LabelId::Sheet, LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter,
    LabelId::Calculation, LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections,
    LabelId::List, LabelId::Xml, LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings,
    LabelId::NewComment, LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment,
    LabelId::ShowOrHideComment, LabelId::ShowAllComments, LabelId::ShowInk,
};
constexpr LabelId kBrazilianPortugueseLeftEnglish[] = {
    LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuData, LabelId::MenuWindow,
    LabelId::MenuHelp, LabelId::RestrictPermission,
    LabelId::FunctionLibrary, LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column,
    LabelId::Sheet, LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter,
    LabelId::Calculation, LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections,
    LabelId::List, LabelId::Xml, LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings,
    LabelId::NewComment, LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment,
    LabelId::ShowOrHideComment, LabelId::ShowAllComments, LabelId::ShowInk,
};
constexpr LabelId kRussianLeftEnglish[] = {
    LabelId::MenuEdit, LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuFormat, LabelId::MenuTools,
    LabelId::MenuData, LabelId::MenuWindow, LabelId::MenuHelp, LabelId::RestrictPermission,
    LabelId::FunctionLibrary, LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column,
    LabelId::Sheet, LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter,
    LabelId::Calculation, LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections,
    LabelId::List, LabelId::Xml, LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings,
    LabelId::NewComment, LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment,
    LabelId::ShowOrHideComment, LabelId::ShowAllComments, LabelId::ShowInk,
};
constexpr LabelId kJapaneseLeftEnglish[] = {
    LabelId::MenuEdit, LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuFormat,
    LabelId::MenuTools, LabelId::MenuData, LabelId::MenuWindow, LabelId::RestrictPermission,
    LabelId::FunctionLibrary, LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column,
    LabelId::Sheet, LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter,
    LabelId::Calculation, LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections,
    LabelId::List, LabelId::Xml, LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings,
    LabelId::NewComment, LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment,
    LabelId::ShowOrHideComment, LabelId::ShowAllComments, LabelId::ShowInk,
};
constexpr LabelId kSimplifiedChineseLeftEnglish[] = {
    LabelId::MenuEdit, LabelId::MenuView, LabelId::MenuInsert, LabelId::MenuFormat, LabelId::MenuTools,
    LabelId::MenuData, LabelId::MenuWindow, LabelId::RestrictPermission, LabelId::FunctionLibrary,
    LabelId::Name, LabelId::Comments, LabelId::Picture, LabelId::Row, LabelId::Column, LabelId::Sheet,
    LabelId::Arrange, LabelId::Proofing, LabelId::FormulaAuditing, LabelId::Filter, LabelId::Calculation,
    LabelId::GroupAndOutline, LabelId::ImportExternalData, LabelId::Connections, LabelId::List, LabelId::Xml,
    LabelId::SaveAsExcel97_2003, LabelId::ViewGridlines, LabelId::ViewHeadings, LabelId::NewComment,
    LabelId::DeleteComment, LabelId::PreviousComment, LabelId::NextComment, LabelId::ShowOrHideComment,
    LabelId::ShowAllComments, LabelId::ShowInk,
};

template <std::size_t N, std::size_t M>
constexpr TranslationTable Table(int languageId, const Translation (&rows)[N], const LabelId (&leftEnglish)[M])
{
    return {languageId, rows, N, leftEnglish, M};
}

const TranslationTable kTables[] = {
    Table(1031, kGerman, kGermanLeftEnglish),
    Table(1036, kFrench, kFrenchLeftEnglish),
    Table(3082, kSpanish, kSpanishLeftEnglish),
    Table(1040, kItalian, kItalianLeftEnglish),
    Table(1046, kBrazilianPortuguese, kBrazilianPortugueseLeftEnglish),
    Table(1049, kRussian, kRussianLeftEnglish),
    Table(1041, kJapanese, kJapaneseLeftEnglish),
    Table(2052, kSimplifiedChinese, kSimplifiedChineseLeftEnglish),
};

const TranslationTable* TableFor(int languageId)
{
    const int language = TextLanguageFor(languageId);
    for (const TranslationTable& table : kTables)
        if (table.languageId == language) return &table;
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

std::vector<LabelId> LabelsLeftEnglish(int languageId)
{
    const TranslationTable* table = TableFor(languageId);
    if (!table) return {};
    return std::vector<LabelId>(table->leftEnglish, table->leftEnglish + table->leftEnglishCount);
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
