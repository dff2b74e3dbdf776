// The program the add-in runs in, as far as the ribbon document needs to know it.
#pragma once

#include "RibbonLabels.h"
#include "Trace.h"

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

// The host's Version and Build, as far as it can tell them: what it cannot tell stays empty or 0,
// and the release's tables then are the latest's.
struct HostRelease {
    std::wstring version;
    long build = 0;
};
inline HostRelease ReleaseOf(Host& host) noexcept
{
    HostRelease release;
    try {
        release.version = host.Version();
        release.build = host.Build();
    } catch (...) {
        TraceCaughtException("Excel's version");
    }
    return release;
}

} // namespace cornice
