#include "CommandSearch.h"

#include "ClassicMenus.h"
#include "ClassicToolbars.h"
#include "CommandTables.h"
#include "LanguageChoice.h"
#include "RibbonDocument.h"
#include "Trace.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace cornice {
namespace {

struct LanguageTexts {
    int languageId;
    SearchTexts texts;
};

// Keytips in the letters of each language's own keytips: Latin for Japanese and Chinese, whose
// Office gives Latin keytips, Cyrillic for Russian.
constexpr LanguageTexts kTexts[] = {
    {0x0409, {L"Find a command", L"Results", L"No command found", L"FC", L"FR", L"Type words, then press Enter"}},
    {0x0407,
     {L"Befehl suchen", L"Ergebnisse", L"Kein Befehl gefunden", L"BS", L"EG",
      L"W\u00F6rter eingeben, dann die Eingabetaste dr\u00FCcken"}},
    {0x040C,
     {L"Rechercher une commande", L"R\u00E9sultats", L"Aucune commande trouv\u00E9e", L"RC", L"RS",
      L"Tapez des mots, puis appuyez sur Entr\u00E9e"}},
    {0x0C0A,
     {L"Buscar un comando", L"Resultados", L"No se encontr\u00F3 ning\u00FAn comando", L"BC", L"RS",
      L"Escriba palabras y presione Entrar"}},
    {0x0410,
     {L"Trova un comando", L"Risultati", L"Nessun comando trovato", L"TC", L"RS", L"Digitare parole, quindi premere Invio"}},
    {0x0416,
     {L"Localizar um comando", L"Resultados", L"Nenhum comando encontrado", L"LC", L"RS",
      L"Digite palavras e pressione Enter"}},
    {0x0419,
     {L"\u041D\u0430\u0439\u0442\u0438 \u043A\u043E\u043C\u0430\u043D\u0434\u0443",
      L"\u0420\u0435\u0437\u0443\u043B\u044C\u0442\u0430\u0442\u044B",
      L"\u041A\u043E\u043C\u0430\u043D\u0434\u0430 \u043D\u0435 \u043D\u0430\u0439\u0434\u0435\u043D\u0430",
      L"\u041D\u041A", L"\u0420\u0417",
      L"\u0412\u0432\u0435\u0434\u0438\u0442\u0435 \u0441\u043B\u043E\u0432\u0430 \u0438 \u043D\u0430\u0436\u043C\u0438\u0442\u0435 "
      L"\u043A\u043B\u0430\u0432\u0438\u0448\u0443 \u0412\u0412\u041E\u0414"}},
    {0x0411,
     {L"\u30B3\u30DE\u30F3\u30C9\u306E\u691C\u7D22", L"\u691C\u7D22\u7D50\u679C",
      L"\u30B3\u30DE\u30F3\u30C9\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093", L"FC", L"FR",
      L"\u8A9E\u53E5\u3092\u5165\u529B\u3057\u3066 Enter \u30AD\u30FC\u3092\u62BC\u3057\u3066\u304F\u3060\u3055\u3044"}},
    {0x0804,
     {L"\u67E5\u627E\u547D\u4EE4", L"\u7ED3\u679C", L"\u672A\u627E\u5230\u547D\u4EE4", L"FC", L"FR",
      L"\u952E\u5165\u5B57\u8BCD\uFF0C\u7136\u540E\u6309 Enter"}},
};
static_assert(std::size(kTexts) == kTextLanguages.size(), "one row per language of the product's texts");

constexpr std::wstring_view kPathSeparator = L" > ";
// A search's score keeps the entry's number in its lowest bits.
constexpr std::uint64_t kEntryBits = (std::uint64_t{1} << 38) - 1;

// Words an idMso carries that say nothing of the command; a search need not name them.
bool IsFiller(std::wstring_view folded)
{
    constexpr std::wstring_view kFillers[] = {L"dialog", L"classic", L"excel", L"menu", L"gallery"};
    return std::find(std::begin(kFillers), std::end(kFillers), folded) != std::end(kFillers);
}

// The base letters of Latin Extended-A (U+0100 to U+017F), small; the ligatures apart.
constexpr std::wstring_view kLatinExtendedA =
    L"aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii__jjkkkllllllllllnnnnnnnnnoooooo__rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(kLatinExtendedA.size() == 0x80);
// Latin-1's letters (U+00C0 to U+00FF) the same way; '_' for the ligatures and signs.
constexpr std::wstring_view kLatin1 = L"aaaaaa_ceeeeiiiidnooooo_ouuuuy__aaaaaa_ceeeeiiiidnooooo_ouuuuy_y";
static_assert(kLatin1.size() == 0x40);

bool Separates(wchar_t c)
{
    if (c <= 0x20 || (c >= 0x7F && c <= 0xBF) || c == 0xD7 || c == 0xF7) return true;
    if (c < 0x7F) return !((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'));
    return (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) || c == 0x30FB || (c >= 0xFF01 && c <= 0xFF0F) ||
           (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65);
}

// One character small and without its accent, appended.
void AppendFolded(std::wstring& folded, wchar_t c)
{
    if (c >= L'A' && c <= L'Z') {
        folded += static_cast<wchar_t>(c + 0x20);
    } else if (c < 0x80) {
        folded += c;
    } else if (c >= 0xC0 && c <= 0xFF) {
        const wchar_t base = kLatin1[c - 0xC0];
        if (base != L'_') folded += base;
        else if (c == 0xC6 || c == 0xE6) folded += L"ae";
        else if (c == 0xDE || c == 0xFE) folded += L"th";
        else if (c == 0xDF) folded += L"ss";
        else folded += c;
    } else if (c >= 0x100 && c <= 0x17F) {
        const wchar_t base = kLatinExtendedA[c - 0x100];
        if (base != L'_') folded += base;
        else folded += (c == 0x132 || c == 0x133) ? L"ij" : L"oe";
    } else if (c >= 0x391 && c <= 0x3A9) {
        folded += static_cast<wchar_t>(c + 0x20); // Greek capitals
    } else if (c == 0x401 || c == 0x451) {
        folded += wchar_t{0x435}; // Cyrillic yo as ye, as Russian is mostly written
    } else if (c >= 0x400 && c <= 0x40F) {
        folded += static_cast<wchar_t>(c + 0x50);
    } else if (c >= 0x410 && c <= 0x42F) {
        folded += static_cast<wchar_t>(c + 0x20);
    } else if (c >= 0xFF10 && c <= 0xFF19) {
        folded += static_cast<wchar_t>(c - 0xFF10 + L'0'); // full-width digits and letters
    } else if (c >= 0xFF21 && c <= 0xFF3A) {
        folded += static_cast<wchar_t>(c - 0xFF21 + L'a');
    } else if (c >= 0xFF41 && c <= 0xFF5A) {
        folded += static_cast<wchar_t>(c - 0xFF41 + L'a');
    } else {
        folded += c;
    }
}

std::wstring Folded(std::wstring_view word)
{
    std::wstring folded;
    for (const wchar_t c : word) AppendFolded(folded, c);
    return folded;
}

// Calls `word` with each word of `text`, folded.
template <typename Word>
void ForEachFoldedWord(std::wstring_view text, Word&& word)
{
    std::wstring folded;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || Separates(text[i])) {
            if (!folded.empty()) word(std::wstring_view(folded));
            folded.clear();
        } else {
            AppendFolded(folded, text[i]);
        }
    }
}

// Scripts written without spaces between words: a word of theirs matches anywhere in a word.
bool WithoutSpaces(std::wstring_view word)
{
    return std::any_of(word.begin(), word.end(), [](wchar_t c) {
        return (c >= 0x3040 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF);
    });
}

std::wstring Unescaped(std::wstring_view escaped)
{
    constexpr struct {
        std::wstring_view entity;
        wchar_t character;
    } kEntities[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}};
    std::wstring text;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const auto entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                         [&](const auto& e) { return escaped.substr(i, e.entity.size()) == e.entity; });
        if (entity == std::end(kEntities)) {
            text += escaped[i];
        } else {
            text += entity->character;
            i += entity->entity.size() - 1;
        }
    }
    return text;
}

// An idMso as a label when Excel gives none: its words without the filler ("Sort Dialog
// Classic" is "Sort"), unless nothing else is left.
std::wstring IdMsoLabel(std::wstring_view idMso)
{
    std::wstring label, all;
    for (const std::wstring_view word : IdMsoWords(idMso)) {
        if (!IsFiller(Folded(word))) (label += label.empty() ? L"" : L" ") += word;
        (all += all.empty() ? L"" : L" ") += word;
    }
    return label.empty() ? all : label;
}

// Excel's label of a control, plain; empty when it has no usable one.
std::wstring ExcelLabel(ExcelWords& excel, std::wstring_view idMso) noexcept
{
    try {
        const std::optional<std::wstring> label = excel.LabelIfAny(idMso);
        return label ? Unescaped(LabelFromExcel(*label, ExcelText::Label)) : std::wstring();
    } catch (...) {
        TraceCaughtException("Excel's label");
        return {};
    }
}

// An entry of the results menu; without a label (empty) it shows Excel's own.
void AppendMenuEntry(std::wstring& menu, std::wstring_view element, std::wstring_view attributes,
                     std::wstring_view label)
{
    ((((menu += L'<') += element) += L' ') += attributes);
    const std::wstring escaped = EscapeXml(label);
    // Too long for customUI: the control shows Excel's own label.
    if (!escaped.empty() && escaped.size() <= kMaxLabelLength) ((menu += L" label=\"") += escaped) += L'"';
    menu += L"/>";
}

// A dynamic menu's content is a document of its own, a menu of the customUI namespace.
std::wstring MenuStart() { return L"<menu xmlns=\"" + std::wstring(kCustomUiNamespace) + L"\">"; }

std::wstring OneEntryMenu(std::wstring_view id, std::wstring_view label)
{
    std::wstring menu = MenuStart();
    AppendMenuEntry(menu, L"button", std::wstring(L"id=\"") + std::wstring(id) + L"\" enabled=\"false\"", label);
    return menu + L"</menu>";
}

} // namespace

SearchTexts SearchTextsFor(int languageId)
{
    const int language = TextLanguageFor(languageId);
    for (const LanguageTexts& texts : kTexts)
        if (texts.languageId == language) return texts.texts;
    return kTexts[0].texts;
}

SearchScope SearchScopeFor(std::wstring_view excelVersion)
{
    if (excelVersion == L"12.0") return SearchScope::ClassicTabOnly;
    if (excelVersion == L"14.0") return SearchScope::KnownToExcel2010;
    return SearchScope::WholeList;
}

CommandSearch::CommandSearch(PlaceList list, int languageId, const RibbonLabels& labels, ExcelWords* excel,
                             SearchScope scope)
    : list_(list), scope_(scope), english_(IsEnglishLanguage(languageId)), labels_(labels), excel_(excel)
{
}

void CommandSearch::Prepare()
{
    // Afresh, should an earlier attempt have run out of memory halfway.
    commands_.clear();
    entries_.clear();
    texts_.clear();
    words_.clear();
    pool_.clear();
    // Excel 2007 is asked for the labels of the Classic tab's entries alone.
    std::vector<std::wstring_view> classicOnly;
    if (scope_ == SearchScope::ClassicTabOnly) {
        const auto collect = [&](const RibbonEntry& control, std::span<const LabelId>) { classicOnly.push_back(control.text); };
        VisitMenuControls(collect);
        VisitToolbarControls(collect);
        std::sort(classicOnly.begin(), classicOnly.end());
    }
    for (Command& command : CommandsOf(list_, scope_ == SearchScope::KnownToExcel2010)) {
        if (scope_ == SearchScope::ClassicTabOnly &&
            !std::binary_search(classicOnly.begin(), classicOnly.end(), std::wstring_view(command.idMso)))
            continue;
        Known known{std::move(command.idMso), ElementOf(command.type), {}};
        if (excel_) known.excelLabel = ExcelLabel(*excel_, known.idMso);
        commands_.push_back(std::move(known));
    }
    const auto commandOf = [&](std::wstring_view idMso) -> const Known* {
        const auto found = std::lower_bound(commands_.begin(), commands_.end(), idMso,
                                            [](const Known& command, std::wstring_view id) { return command.idMso < id; });
        return found != commands_.end() && found->idMso == idMso ? &*found : nullptr;
    };

    // The menus' entries first, then the toolbars' that no menu holds, then every command.
    std::vector<bool> inMenus(commands_.size());
    const auto addClassic = [&](bool menuBar) {
        return [&, menuBar](const RibbonEntry& control, std::span<const LabelId> menus) {
            const Known* command = commandOf(control.text);
            if (!command) return;
            const auto number = static_cast<std::uint32_t>(command - commands_.data());
            if (!menuBar && inMenus[number]) return;
            inMenus[number] = true;
            AddClassicEntry(number, menus, control.label);
        };
    };
    VisitMenuControls(addClassic(true));
    VisitToolbarControls(addClassic(false));
    if (scope_ != SearchScope::ClassicTabOnly)
        for (std::uint32_t number = 0; number < commands_.size(); ++number) AddCommandEntry(number);
    prepared_ = true;
}

void CommandSearch::BeginEntry(std::uint32_t command, bool classic, std::wstring label)
{
    entries_.push_back({command, classic, std::move(label), static_cast<std::uint32_t>(texts_.size()), 0});
}

void CommandSearch::BeginText()
{
    texts_.push_back({static_cast<std::uint32_t>(words_.size()), 0});
    ++entries_.back().textCount;
}

void CommandSearch::AddWords(std::wstring_view text, Role role)
{
    ForEachFoldedWord(text, [&](std::wstring_view word) {
        words_.push_back({static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint16_t>(word.size()), role});
        pool_ += word;
        ++texts_.back().wordCount;
    });
}

void CommandSearch::AddIdMsoWords(std::wstring_view idMso)
{
    for (const std::wstring_view word : IdMsoWords(idMso)) AddWords(word, IsFiller(Folded(word)) ? Role::Filler : Role::Label);
}

void CommandSearch::AddClassicEntry(std::uint32_t number, std::span<const LabelId> menus, LabelId label)
{
    const Known& command = commands_[number];
    std::wstring path;
    for (const LabelId menu : menus) (path += Unescaped(labels_.Text(menu))) += kPathSeparator;
    const std::wstring own = label != LabelId::None ? Unescaped(labels_.Text(label)) : command.excelLabel;
    BeginEntry(number, true, path + (own.empty() ? IdMsoLabel(command.idMso) : own));

    // In the user's words: the menus, then the entry's label as the Classic tab shows it.
    BeginText();
    for (const LabelId menu : menus) AddWords(Unescaped(labels_.Text(menu)), Role::Menu);
    if (own.empty())
        AddIdMsoWords(command.idMso);
    else
        AddWords(own, Role::Label);
    // In English: an English Excel's words are not to be had from another, so the entry's own
    // English label or else the words of its idMso.
    if (english_ && (label != LabelId::None || own.empty())) return; // the same words again
    BeginText();
    for (const LabelId menu : menus) AddWords(EnglishLabel(menu), Role::Menu);
    if (label != LabelId::None)
        AddWords(EnglishLabel(label), Role::Label);
    else
        AddIdMsoWords(command.idMso);
}

void CommandSearch::AddCommandEntry(std::uint32_t number)
{
    const Known& command = commands_[number];
    BeginEntry(number, false, command.excelLabel.empty() ? IdMsoLabel(command.idMso) : command.excelLabel);
    if (!command.excelLabel.empty()) {
        BeginText();
        AddWords(command.excelLabel, Role::Label);
    }
    BeginText();
    AddIdMsoWords(command.idMso);
}

std::vector<SearchHit> CommandSearch::Find(std::wstring_view words, std::size_t limit)
{
    if (!prepared_) Prepare();
    std::vector<std::wstring> query;
    ForEachFoldedWord(words, [&](std::wstring_view word) { query.emplace_back(word); });
    if (query.empty() || limit == 0) return {};
    std::vector<bool> anywhere(query.size());
    for (std::size_t q = 0; q < query.size(); ++q) anywhere[q] = WithoutSpaces(query[q]);

    // Whether a query word matches a text word: 0 no, 1 its beginning (or inside it, for words
    // written without spaces), 2 the whole word.
    const auto match = [&](std::size_t q, const Word& word) -> int {
        const std::wstring_view text(pool_.data() + word.at, word.length);
        const std::wstring& asked = query[q];
        if (text.substr(0, asked.size()) == asked) return asked.size() == text.size() ? 2 : 1;
        return anywhere[q] && text.find(asked) != std::wstring_view::npos ? 1 : 0;
    };
    // Whether every query word matches one of the words [first, last); counts those named whole.
    const auto namesEvery = [&](const Word* first, const Word* last, std::uint64_t& exact) {
        for (std::size_t q = 0; q < query.size(); ++q) {
            int strongest = 0;
            for (const Word* word = first; word != last && strongest < 2; ++word)
                strongest = std::max(strongest, match(q, *word));
            if (strongest == 0) return false;
            exact += strongest == 2;
        }
        return true;
    };

    // A text's score, higher the better: a match that names the entry's whole label (its menus
    // need not be named, but each one named counts as a word named whole), a Classic entry,
    // words named whole, few words of the label left unnamed.
    // The entry's number in the lowest bits, so that among equals the Classic tab's order and
    // then the list's decide.
    std::vector<std::uint64_t> found;
    for (std::uint32_t e = 0; e < entries_.size(); ++e) {
        const Entry& entry = entries_[e];
        std::uint64_t best = 0;
        bool matched = false;
        // Pointers, not operator[]: an entry's end may be the vector's end.
        for (const Text* text = texts_.data() + entry.firstText; text != texts_.data() + entry.firstText + entry.textCount;
             ++text) {
            const Word* first = words_.data() + text->firstWord;
            const Word* last = first + text->wordCount;
            std::uint64_t exact = 0;
            if (!namesEvery(first, last, exact)) continue;
            std::uint64_t unnamed = 0;
            for (const Word* word = first; word != last; ++word) {
                if (word->role != Role::Label) continue;
                bool named = false;
                for (std::size_t q = 0; q < query.size() && !named; ++q) named = match(q, *word) > 0;
                unnamed += !named;
            }
            const std::uint64_t score = std::uint64_t{unnamed == 0} << 63 | std::uint64_t{entry.classic} << 62 |
                                        std::min<std::uint64_t>(exact, 0xFF) << 54 |
                                        (0xFFFF - std::min<std::uint64_t>(unnamed, 0xFFFF)) << 38;
            best = std::max(best, score);
            matched = true;
        }
        // Words of two languages ("Extras Options": the user's menu, English's command) may
        // still name one entry between its texts; such a match ranks below every other.
        if (!matched && entry.textCount > 1) {
            const Word* first = words_.data() + texts_[entry.firstText].firstWord;
            const Text& lastText = texts_[entry.firstText + entry.textCount - 1];
            const Word* last = words_.data() + lastText.firstWord + lastText.wordCount;
            std::uint64_t exact = 0;
            // Ranked by the words named whole, in the bits of the unnamed count, which no
            // one-text match comes down to.
            if (namesEvery(first, last, exact)) {
                best = std::min<std::uint64_t>(exact, 0xFF) << 38;
                matched = true;
            }
        }
        if (matched) found.push_back(best | (kEntryBits - e));
    }
    std::sort(found.begin(), found.end(), std::greater<>());

    std::vector<SearchHit> hits;
    std::vector<bool> offered(commands_.size());
    for (const std::uint64_t score : found) {
        const Entry& entry = entries_[kEntryBits - (score & kEntryBits)];
        if (offered[entry.command]) continue;
        offered[entry.command] = true;
        const Known& command = commands_[entry.command];
        hits.push_back({command.idMso, std::wstring(command.element), entry.label});
        if (hits.size() == limit) break;
    }
    return hits;
}

std::wstring ResultsMenu(const std::vector<SearchHit>& hits, int languageId)
{
    if (hits.empty()) return OneEntryMenu(L"SearchNoMatch", SearchTextsFor(languageId).noMatch);
    std::wstring menu = MenuStart();
    for (const SearchHit& hit : hits) {
        // customUI gives a split button no label of its own: it shows Excel's.
        const bool labelled = hit.element != L"splitButton";
        AppendMenuEntry(menu, hit.element, L"idMso=\"" + EscapeXml(hit.idMso) + L'"', labelled ? hit.label : L"");
    }
    return menu + L"</menu>";
}

std::wstring HintMenu(int languageId) { return OneEntryMenu(L"SearchHint", SearchTextsFor(languageId).typeWords); }

} // namespace cornice
