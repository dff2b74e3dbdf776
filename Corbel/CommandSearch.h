// Finding a command by the words a user remembers: the Classic tab's entries by their old path
// ("Tools > Options") in the user's language and in English, and every command of the running
// Excel's list by Excel's label and by the words of its idMso. The results are clones of Excel's
// own controls, handed to the Classic tab's results menu (a dynamicMenu) as its content.
#pragma once

#include "ExcelPlaces.h"
#include "RibbonLabels.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cornice {

// The product's own words for the search, in the language of its texts (TextLanguageFor).
struct SearchTexts {
    std::wstring_view findCommand; // the group and the edit box
    std::wstring_view results;     // the results menu
    std::wstring_view noMatch;     // the one entry when nothing matches
    std::wstring_view editKeytip;
    std::wstring_view resultsKeytip;
    std::wstring_view typeWords;   // the one entry before any search
};
SearchTexts SearchTextsFor(int languageId);

struct SearchHit {
    std::wstring idMso;
    std::wstring element; // the element that clones it: button, toggleButton, gallery ...
    std::wstring label;   // the old path ("Tools > Options"), or Excel's label; not escaped
};

// Which commands an Excel is offered. The lists begin with 2013, whose list 2007 and 2010 are
// placed by (PlaceListFor); but a command 2013 added is none of theirs. Excel 2010's published
// identifiers tell which of the list it knows; of 2007 none are published, so it is offered the
// Classic tab's own entries, which it shows anyway.
enum class SearchScope { WholeList, KnownToExcel2010, ClassicTabOnly };
SearchScope SearchScopeFor(std::wstring_view excelVersion);

class CommandSearch {
public:
    // `labels`: the Classic tab's labels in Excel's language (RibbonLabels.h). `excel` may be
    // null, else it outlives this; it is asked for its labels at the first Find, not before.
    CommandSearch(PlaceList list, int languageId, const RibbonLabels& labels, ExcelWords* excel,
                  SearchScope scope = SearchScope::WholeList);

    // The commands whose words hold every word given, by its beginning, in any order, ignoring
    // case and accents; the best first, each idMso once. Never throws because of Excel.
    std::vector<SearchHit> Find(std::wstring_view words, std::size_t limit = 20);

private:
    // A word of a menu's name need not be named; one of an entry's label must, for a match of
    // the whole label; filler ("Dialog" in an idMso) need not.
    enum class Role : unsigned char { Menu, Label, Filler };
    struct Word {
        std::uint32_t at; // in pool_
        std::uint16_t length;
        Role role;
    };
    struct Text {
        std::uint32_t firstWord;
        std::uint32_t wordCount;
    };
    struct Entry {
        std::uint32_t command; // in commands_
        bool classic;
        std::wstring label;
        std::uint32_t firstText;
        std::uint32_t textCount;
    };
    struct Known {
        std::wstring idMso;
        std::wstring_view element;
        std::wstring excelLabel; // empty: Excel gives none
    };

    void Prepare();
    void AddClassicEntry(std::uint32_t command, std::span<const LabelId> menus, LabelId label);
    void AddCommandEntry(std::uint32_t command);
    void BeginEntry(std::uint32_t command, bool classic, std::wstring label);
    void BeginText();
    void AddWords(std::wstring_view text, Role role);
    void AddIdMsoWords(std::wstring_view idMso);

    PlaceList list_;
    SearchScope scope_;
    bool english_;
    RibbonLabels labels_;
    ExcelWords* excel_;
    bool prepared_ = false;
    std::vector<Known> commands_;
    std::vector<Entry> entries_;
    std::vector<Text> texts_;
    std::vector<Word> words_;
    std::wstring pool_; // the words, folded
};

// The results menu's content (getContent): a menu element of the customUI namespace holding
// the hits, escaped (a split button with Excel's own label: customUI gives it none of ours);
// with none, one disabled entry that says nothing matched.
std::wstring ResultsMenu(const std::vector<SearchHit>& hits, int languageId);
// The content before any search: one disabled entry that says what to do.
std::wstring HintMenu(int languageId);

} // namespace cornice
