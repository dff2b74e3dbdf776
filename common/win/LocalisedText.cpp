#include "LocalisedText.h"

#include "LanguageChoice.h"

#include <optional>

namespace cornice {
namespace {

// A string table resource is a block of sixteen strings, block n holding ids 16(n-1) to
// 16n-1, each a length in UTF-16 units followed by that many units, unterminated; an
// absent string has length 0.
std::optional<std::wstring> TextOfBlock(HMODULE module, unsigned id, WORD language)
{
    HRSRC found = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD bytes = ::SizeofResource(module, found);
    const auto* units = loaded ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
    if (!units) return std::nullopt;
    const WCHAR* const end = units + bytes / sizeof(WCHAR);
    const unsigned index = id % 16;
    for (unsigned i = 0; units < end; ++i) {
        const std::size_t length = *units++;
        if (length > static_cast<std::size_t>(end - units)) return std::nullopt; // a damaged block
        if (i == index) {
            if (length == 0) return std::nullopt;
            return std::wstring(units, length);
        }
        units += length;
    }
    return std::nullopt;
}

} // namespace

int UserTextLanguage() { return TextLanguageFor(::GetUserDefaultUILanguage()); }

std::wstring LoadText(HMODULE module, unsigned id, int language)
{
    const WORD tables[] = {static_cast<WORD>(language), static_cast<WORD>(kEnglishText),
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)};
    for (const WORD table : tables)
        if (auto text = TextOfBlock(module, id, table)) return *std::move(text);
    return {};
}

} // namespace cornice
