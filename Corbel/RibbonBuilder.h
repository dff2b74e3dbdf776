// Builds the whole ribbon document from the user's settings, afresh on every request.
#pragma once

#include "ExcelWordsRecord.h"
#include "Host.h"
#include "RibbonDocument.h"
#include "RibbonLabels.h"

#include <memory>

#include <string>

namespace cornice {

class SettingsStore;

class RibbonBuilder {
public:
    // `memory`, when given, keeps Excel's words between starts (RememberedWords.h).
    RibbonBuilder(SettingsStore& store, Host& host, ExcelWordsMemory* memory = nullptr)
        : store_(store), host_(host), memory_(memory)
    {
    }

    // The document, or an empty text when the add-in contributes nothing (the host is not
    // Excel, or the Classic tab is switched off). Throws SettingValueError for a stored value
    // that is not a number, and whatever the host throws; no partial document escapes.
    std::wstring GetRibbonXML();

    // The labels of the documents, in Excel's language (msoLanguageIDUI, Language()): chosen at
    // the first request, or now.
    const RibbonLabels& Labels();
    int Language();

    // The next document asks the host for its language and words again (a new connection).
    void ForgetLabels() noexcept
    {
        labelsChosen_ = false;
        tipParts_.reset();
    }

    // The fixed parts of the document in one language: the menus are recorded once per
    // language, each then replayed on every request.
    struct Parts;

private:
    std::wstring Read(const wchar_t* key, int defaultValue);
    void ChooseLabels();
    void ChooseTips();
    void AddRibbonAndTabs();
    void AddSearchGroup();

    SettingsStore& store_;
    Host& host_;
    ExcelWordsMemory* memory_;
    RibbonDocument document_;
    bool labelsChosen_ = false;
    int language_ = 1033;
    std::shared_ptr<const Parts> parts_;
    // The same parts with the supertips of "Tips", made at the first request that wants them.
    std::shared_ptr<const Parts> tipParts_;
};

} // namespace cornice
