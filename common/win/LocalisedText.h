// The product's own texts from a module's string tables (RT_STRING), in one of the languages
// of LanguageChoice.h.
#pragma once

#include <windows.h>

#include <string>

namespace cornice {

// The table for the user's Windows display language (GetUserDefaultUILanguage): Trellis's
// and the installer's choice. The add-in goes by Excel's UI language instead.
int UserTextLanguage();

// String `id` of `module` in `language`'s table; where that table lacks it, English's, then the
// neutral table's; empty when no table has it. Never throws but for memory.
std::wstring LoadText(HMODULE module, unsigned id, int language);

} // namespace cornice
