#include "ExcelTabNames.h"

#include "ExcelTabs.h"
#include "TrellisText.h"

namespace cornice {
namespace {

static_assert(IDS_BOX_DEVELOPER - IDS_BOX_HOME + 1 == kTabIdMso.size(), "one box text per tab, in kTabIdMso's order");

// Excel's label as a check box's caption: "&" is a label's own character, not a mnemonic.
std::wstring AsCaption(const std::wstring& label)
{
    constexpr std::size_t kLongest = 64;
    if (label.size() > kLongest || label.find_first_not_of(L' ') == std::wstring::npos) return {};
    std::wstring caption;
    for (const wchar_t c : label) {
        if (c < 0x20 || c == 0x7F) return {};
        if (c == L'&') caption += L'&';
        caption += c;
    }
    return caption;
}

std::wstring TextOf(const std::map<unsigned, std::wstring>& texts, unsigned id, const wchar_t* english)
{
    const auto found = texts.find(id);
    return found == texts.end() ? english : found->second;
}

} // namespace

void NameTabsAsExcelDoes(std::map<unsigned, std::wstring>& texts, const ExcelWordsRecord& record)
{
    for (std::size_t i = 0; i < kTabIdMso.size(); ++i) {
        const std::optional<std::wstring>* label = record.Find(WordKind::Label, kTabIdMso[i]);
        if (!label || !*label) continue;
        std::wstring caption = AsCaption(**label);
        if (caption.empty()) continue;
        const unsigned id = IDS_BOX_HOME + static_cast<unsigned>(i);
        if (id == IDS_BOX_HOME) {
            const std::wstring tableWord = TextOf(texts, IDS_BOX_HOME, L"Home");
            std::wstring left = TextOf(texts, IDS_BOX_LEFT, L"");
            if (const std::size_t at = left.find(tableWord); at != std::wstring::npos) {
                left.replace(at, tableWord.size(), caption);
                texts[IDS_BOX_LEFT] = left;
            }
        }
        texts[id] = std::move(caption);
    }
}

} // namespace cornice
