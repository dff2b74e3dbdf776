// The program the add-in runs in, as far as the ribbon document needs to know it.
#pragma once

#include "RibbonLabels.h"

#include <string>

namespace cornice {

class Host {
public:
    virtual ~Host() = default;
    // The host's name ("Microsoft Excel"); throws when the host cannot tell it.
    virtual std::wstring Name() = 0;
    // The language of the host's user interface (msoLanguageIDUI); throws when it cannot tell.
    virtual int UiLanguage() { return 1033; }
    // Where the host's own words for the labels come from; null: nowhere.
    virtual ExcelWords* Words() { return nullptr; }
    // The host's version ("16.0"), which its words are kept under, and its build (4266); throw when
    // the host cannot tell.
    virtual std::wstring Version() { return {}; }
    virtual long Build() { return 0; }
};

} // namespace cornice
