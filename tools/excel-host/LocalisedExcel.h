// An Excel in another language, played from test data: the language Application.LanguageSettings
// reports, and the words its CommandBars give (captions of the old menu bar's controls by id,
// GetLabelMso and GetSupertipMso by idMso).
#pragma once

#include "AutomationObjects.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cornice::host {

struct ExcelWordsFixture {
    std::map<int, std::wstring> captions;
    std::map<std::wstring, std::wstring> labels;
    std::map<std::wstring, std::wstring> supertips;
};

// Reads a fixture: UTF-8 lines "caption<TAB>30002<TAB>&Datei", "label<TAB>GroupXml<TAB>XML" or
// "supertip<TAB>Cut<TAB>text" (where \n stands for a line break); blank lines and lines
// starting with # are skipped. Empty with `error` set when it cannot.
std::optional<ExcelWordsFixture> ReadExcelWords(const std::wstring& path, std::wstring& error);

// The Application's LanguageSettings and CommandBars. Without words every question to
// CommandBars raises, as an Excel whose command bars are gone would.
std::vector<Property> LocalisedMembers(int uiLanguage, std::shared_ptr<const ExcelWordsFixture> words);

} // namespace cornice::host
