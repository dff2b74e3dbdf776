// The Classic tab's own labels (menu titles, submenus, the tab and its group), in the language of
// the user's Excel: Excel's own words where it has them, else the product's translation, else
// English. English is the document as it has always been.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cornice {

enum class LabelId : std::size_t {
    None, // a control that keeps Excel's own label
    MenuFile,
    MenuEdit,
    MenuView,
    MenuInsert,
    MenuFormat,
    MenuTools,
    MenuData,
    MenuWindow,
    MenuHelp,
    ClassicTab,
    ToolsPanel,
    AllMenus,
    RestrictPermission,
    FunctionLibrary,
    Name,
    Comments,
    Picture,
    Row,
    Column,
    Sheet,
    Arrange,
    Proofing,
    FormulaAuditing,
    Filter,
    Calculation,
    GroupAndOutline,
    ImportExternalData,
    Connections,
    List,
    Xml,
    SaveAsExcel97_2003,
    ViewGridlines,
    ViewHeadings,
    NewComment,
    DeleteComment,
    PreviousComment,
    NextComment,
    ShowOrHideComment,
    ShowAllComments,
    ShowInk,
    Count
};

inline constexpr std::size_t kLabelCount = static_cast<std::size_t>(LabelId::Count);

// customUI's limit for a label or screen tip (ST_String), counted in the escaped text.
inline constexpr std::size_t kMaxLabelLength = 1024;

// Excel's UI languages (msoLanguageIDUI) that count as English: every primary language English.
bool IsEnglishLanguage(int languageId);

// Where Excel keeps its own word for a label: the caption of a control of its old worksheet
// menu bar (0: none), or the label of a built-in ribbon control (empty: none).
struct ExcelWordFor {
    int menuControlId;
    std::wstring_view idMso;
};
ExcelWordFor ExcelWordOf(LabelId id);

std::wstring_view EnglishLabel(LabelId id);

// The product's own translation for a language, or empty when it has none for this label.
std::wstring_view TranslatedLabel(int languageId, LabelId id);
// The languages the product translates the labels into, one language id each.
std::vector<int> TranslatedLanguages();
// The labels a language's table leaves English, listed as such (none may be both).
std::vector<LabelId> LabelsLeftEnglish(int languageId);
// Every row of a language's table, as written there.
std::vector<std::pair<LabelId, std::wstring_view>> TranslationRows(int languageId);

// What Excel answers; either may throw, or answer nonsense, and the caller falls back.
class ExcelWords {
public:
    virtual ~ExcelWords() = default;
    // Caption of the built-in menu bar control with this id, as Excel shows it ("&Datei").
    virtual std::wstring MenuCaption(int controlId) = 0;
    // CommandBars.GetLabelMso(idMso).
    virtual std::wstring LabelOf(std::wstring_view idMso) = 0;
    // CommandBars.GetSupertipMso(idMso): Excel's description of a built-in control.
    virtual std::wstring SupertipOf(std::wstring_view idMso) = 0;

    // The same questions for callers that go on without the word: Excel's failure or silence
    // is nothing, never an exception. A record of earlier answers overrides them, so that a
    // word remembered as missing costs no throw (thrown exceptions are slow, under Wine most).
    virtual std::optional<std::wstring> MenuCaptionIfAny(int controlId) noexcept;
    virtual std::optional<std::wstring> LabelIfAny(std::wstring_view idMso) noexcept;
    virtual std::optional<std::wstring> SupertipIfAny(std::wstring_view idMso) noexcept;
};

// `text` with &, <, > and " written as entities.
std::wstring EscapeXml(std::wstring_view text);

// A text of Excel's as a label, escaped; empty when it is no usable label (empty, control
// characters, too long). A menu caption's accelerator is dropped ("&File", "ファイル(&F)", with
// "&&" one "&"); GetLabelMso's labels have none, and their "&" is one ("Sort & Filter").
enum class ExcelText { MenuCaption, Label };
std::wstring LabelFromExcel(std::wstring_view text, ExcelText kind);

// The labels of one language, escaped and ready to be written into the document.
class RibbonLabels {
public:
    RibbonLabels(); // English

    // Chooses every label for Excel's UI language; never throws because of Excel (`excel` may
    // be null). Asks Excel nothing when the language is English.
    static RibbonLabels For(int languageId, ExcelWords* excel);

    std::wstring_view Text(LabelId id) const { return texts_[static_cast<std::size_t>(id)]; }
    bool IsEnglish() const noexcept { return english_; }

private:
    std::array<std::wstring, kLabelCount> texts_;
    bool english_ = true;
};

} // namespace cornice
