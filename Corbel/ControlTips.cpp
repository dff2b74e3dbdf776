#include "ControlTips.h"

#include "ExcelTabWords.h"
#include "LanguageChoice.h"
#include "Utf8.h"

#include <iterator>

namespace cornice {
namespace {

// The product's own words for the line, one row per language of its texts. Excel's terms
// ("Commands Not in the Ribbon", the File tab, the Quick Access Toolbar) as Excel names them
// in that language. UTF-8: in Corbel.dll most of them take half the room of UTF-16.
struct PlaceWords {
    int languageId;
    const char8_t* onRibbon; // %1: tab > group, or tab set > tab > group
    const char8_t* fileTab;
    const char8_t* quickAccess;
    const char8_t* notOnRibbon;
};

constexpr PlaceWords kPlaceWords[] = {
    {0x0409, u8"Now on the ribbon: %1", u8"Now on the File tab", u8"Now on the Quick Access Toolbar",
     u8"Not on the ribbon: only here, or in 'Commands Not in the Ribbon' when customising the ribbon"},
    {0x0407, u8"Jetzt im Menüband: %1", u8"Jetzt auf der Registerkarte „Datei“",
     u8"Jetzt auf der Symbolleiste für den Schnellzugriff",
     u8"Nicht im Menüband: nur hier, oder beim Anpassen des Menübands unter „Nicht im Menüband enthaltene Befehle“"},
    {0x040C, u8"Désormais dans le ruban\u00A0: %1", u8"Désormais dans l’onglet Fichier",
     u8"Désormais dans la barre d’outils Accès rapide",
     u8"Absent du ruban\u00A0: seulement ici, ou dans «\u00A0Commandes non présentes sur le ruban\u00A0» en "
     u8"personnalisant le ruban"},
    {0x0C0A, u8"Ahora en la cinta de opciones: %1", u8"Ahora en la pestaña Archivo",
     u8"Ahora en la barra de herramientas de acceso rápido",
     u8"No está en la cinta de opciones: solo aquí, o en «Comandos que no están en la cinta de opciones» al "
     u8"personalizar la cinta"},
    {0x0410, u8"Ora sulla barra multifunzione: %1", u8"Ora nella scheda File", u8"Ora sulla barra di accesso rapido",
     u8"Non sulla barra multifunzione: solo qui, o in «Comandi non presenti sulla barra multifunzione» quando si "
     u8"personalizza la barra multifunzione"},
    {0x0416, u8"Agora na faixa de opções: %1", u8"Agora na guia Arquivo", u8"Agora na Barra de Ferramentas de Acesso Rápido",
     u8"Fora da faixa de opções: só aqui, ou em “Comandos Fora da Faixa de Opções” ao personalizar a faixa de opções"},
    {0x0419, u8"Теперь на ленте: %1", u8"Теперь на вкладке «Файл»", u8"Теперь на панели быстрого доступа",
     u8"Нет на ленте: только здесь или в списке «Команды не на ленте» при настройке ленты"},
    {0x0411, u8"現在のリボンの場所: %1", u8"現在の場所: [ファイル] タブ", u8"現在の場所: クイック アクセス ツール バー",
     u8"リボンにはありません: ここ、またはリボンのユーザー設定の [リボンにないコマンド] にのみあります"},
    {0x0804, u8"现位于功能区：%1", u8"现位于“文件”选项卡", u8"现位于快速访问工具栏",
     u8"不在功能区中：仅在此处，或在自定义功能区时的“不在功能区中的命令”中"},
};
static_assert(std::size(kPlaceWords) == kTextLanguages.size(), "one row per language of the product's texts");

const PlaceWords& WordsFor(int languageId)
{
    const int language = TextLanguageFor(languageId);
    for (const PlaceWords& words : kPlaceWords)
        if (words.languageId == language) return words;
    return kPlaceWords[0];
}

// A line break inside an attribute: a literal one would be read as a blank. Excel's description
// and the line are parted by an empty line.
constexpr std::wstring_view kLineBreak = L"&#13;";
constexpr std::wstring_view kPathSeparator = L" &gt; ";

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The words are the product's own, known to be UTF-8.
std::wstring Words(const char8_t* utf8) { return FromUtf8(reinterpret_cast<const char*>(utf8)).value_or(std::wstring()); }

template <typename Ask>
std::wstring AskExcel(Ask&& ask) noexcept
{
    try {
        return ask();
    } catch (...) {
        return {};
    }
}

} // namespace

std::wstring PlaceLine(const ControlPlace& place, int languageId, std::wstring_view tabSet, std::wstring_view tab,
                       std::wstring_view group)
{
    const PlaceWords& words = WordsFor(languageId);
    switch (place.kind) {
    case PlaceKind::CoreTab:
    case PlaceKind::ContextualTab: {
        std::wstring path;
        if (place.kind == PlaceKind::ContextualTab) (path = tabSet) += kPathSeparator;
        ((path += tab) += kPathSeparator) += group;
        return FillIn(EscapeXml(Words(words.onRibbon)), {path});
    }
    case PlaceKind::FileTab: return EscapeXml(Words(words.fileTab));
    case PlaceKind::QuickAccessToolbar: return EscapeXml(Words(words.quickAccess));
    case PlaceKind::NotOnRibbon: break;
    }
    return EscapeXml(Words(words.notOnRibbon));
}

std::wstring SupertipFromExcel(std::wstring_view text)
{
    std::wstring plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            plain += L'\r';
            continue;
        }
        if (c < 0x20 || c == 0x7F || c == 0xFFFE || c == 0xFFFF) return {};
        plain += c;
    }
    if (plain.find_first_not_of(L" \r") == std::wstring::npos) return {};
    std::wstring escaped;
    for (const wchar_t c : EscapeXml(plain)) {
        if (c == L'\r')
            escaped += kLineBreak;
        else
            escaped += c;
    }
    return escaped;
}

ControlTips::ControlTips(PlaceList list, int languageId, ExcelWords* excel)
    : list_(list), language_(languageId), excel_(excel), names_(PlaceNameCount() + 1), tips_(ControlCount())
{
}

std::wstring_view ControlTips::Of(std::wstring_view idMso)
{
    const std::optional<std::size_t> control = ControlNumber(idMso);
    if (!control) return {};
    const std::optional<ControlPlace> place = PlaceAt(list_, *control);
    if (!place) return {};
    std::wstring& tip = tips_[*control];
    if (tip.empty()) tip = Make(idMso, *place);
    return tip;
}

std::wstring ControlTips::NameOf(std::uint8_t number)
{
    if (number == 0) return {};
    std::wstring& name = names_[number];
    if (name.empty() && excel_)
        name = AskExcel([&] {
            const std::optional<std::wstring> label = excel_->LabelIfAny(Wide(PlaceNameId(number)));
            return label ? LabelFromExcel(*label, ExcelText::Label) : std::wstring();
        });
    // Else the product's word for a core tab in the user's language, else English.
    if (name.empty()) name = EscapeXml(std::wstring(ExcelTabWord(language_, PlaceNameId(number))));
    if (name.empty()) name = EscapeXml(Wide(EnglishPlaceName(number)));
    return name;
}

std::wstring ControlTips::Make(std::wstring_view idMso, const ControlPlace& place)
{
    std::wstring tip = PlaceLine(place, language_, NameOf(place.tabSet), NameOf(place.tab), NameOf(place.group));
    std::wstring description;
    if (excel_)
        description = AskExcel([&] {
            const std::optional<std::wstring> supertip = excel_->SupertipIfAny(idMso);
            return supertip ? SupertipFromExcel(*supertip) : std::wstring();
        });
    // Too long for customUI with Excel's description, the line alone still says where the
    // command went; with Excel's names too long, the table's say it.
    if (!description.empty() && description.size() + 2 * kLineBreak.size() + tip.size() <= kMaxLabelLength)
        tip.insert(0, description + std::wstring(kLineBreak) + std::wstring(kLineBreak));
    if (tip.size() > kMaxLabelLength) {
        const std::uint8_t numbers[] = {place.tabSet, place.tab, place.group};
        std::wstring table[3];
        for (int i = 0; i < 3; ++i) table[i] = EscapeXml(Wide(EnglishPlaceName(numbers[i])));
        tip = PlaceLine(place, language_, table[0], table[1], table[2]);
    }
    return tip;
}

} // namespace cornice
