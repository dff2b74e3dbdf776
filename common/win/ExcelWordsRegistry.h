// Excel's words as the add-in recorded them (ExcelWordsRecord.h), in the current user's
// registry: one REG_SZ value per Excel version and UI language, named "16.0 1031", under
// HKEY_CURRENT_USER\Software\Quillmark\Cornice\ExcelWords, beside rather than among the
// settings: nothing here is a choice of the user's, and deleting it costs one round of questions.
#pragma once

#include "ExcelWordsRecord.h"

#include <string>
#include <vector>

namespace cornice {

class RegistryExcelWordsMemory final : public ExcelWordsMemory {
public:
    static constexpr const wchar_t* kKey = L"Software\\Quillmark\\Cornice\\ExcelWords";

    std::wstring Recall(const std::wstring& excelVersion, int language) noexcept override;
    void Keep(const std::wstring& excelVersion, int language, const std::wstring& text) noexcept override;

    // Every record's text, whichever Excel it is of; none when there are none or they cannot be
    // read.
    static std::vector<std::wstring> RecallAll() noexcept;
};

} // namespace cornice
