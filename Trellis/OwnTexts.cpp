#include "OwnTexts.h"

#include "LanguageChoice.h"

namespace cornice {
namespace {

std::map<unsigned, std::wstring>& Texts()
{
    static std::map<unsigned, std::wstring> texts;
    return texts;
}

} // namespace

std::wstring OwnText(unsigned id, std::wstring_view english)
{
    const auto found = Texts().find(id);
    return found != Texts().end() && !found->second.empty() ? found->second : std::wstring(english);
}

std::wstring OwnText(unsigned id, std::wstring_view english, std::initializer_list<std::wstring_view> places)
{
    return FillIn(OwnText(id, english), places);
}

void UseOwnTexts(std::map<unsigned, std::wstring> texts) { Texts() = std::move(texts); }

} // namespace cornice
