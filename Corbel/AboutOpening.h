// The About window's life as the user meets it: one window object per Excel run, opened by
// the ribbon's About entry. The first opening sets the hand pointer and the caption
// "Architrave", building the window on its way; every later opening of a closed window only
// builds and fills it, which captions it "About " plus the title. The Windows window only carries
// the steps out (AboutWindowActions).
#pragma once

#include "WindowActions.h"

#include <string>
#include <string_view>
#include <utility>

namespace cornice::about {

// The library's version as its version resource carries it.
struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;
};

// The texts the window is filled with, in the language of the user's Excel; %1 of the caption is
// the application's title, %1 of the version line the numbers. English as it has always been
// unless told otherwise.
struct AboutTexts {
    std::wstring caption = L"About %1";
    std::wstring versionLine = L"Version %1";
};

// "Version 7.0.0": the numbers as plain decimals, in `pattern`'s place.
std::wstring VersionLine(const VersionNumbers& version, std::wstring_view pattern = L"Version %1");

// The window as the opening steps see it. Any step may throw; the opening then ends there.
class AboutWindowActions : public virtual WindowActions {
public:
    // Whether the on-screen window exists.
    virtual bool IsLoaded() const = 0;
    // Creates the on-screen window with its controls, not yet shown.
    virtual void Build() = 0;
    // Destroys whatever Build made.
    virtual void Unload() noexcept = 0;
    // Shows the window, or brings the open one to the front.
    virtual void Show() = 0;
};

class AboutOpening {
public:
    AboutOpening(AboutWindowActions& window, std::wstring descriptiveName, VersionNumbers version);

    // What the About entry does. When a step fails, the window goes again, the failure goes to
    // the caller, and the next call starts where this one started (a failed first opening
    // leaves the next one a first opening).
    void Show();
    // The texts of the next filling; a window on screen keeps the ones it was built with.
    void SetTexts(AboutTexts texts) { texts_ = std::move(texts); }

    bool OpenedBefore() const noexcept { return openedBefore_; }

private:
    void OpenFirstTime();
    void BuildIfClosed();
    void FillWindow();

    AboutWindowActions& window_;
    std::wstring descriptiveName_;
    std::wstring title_;
    VersionNumbers version_;
    AboutTexts texts_;
    bool openedBefore_ = false;
};

} // namespace cornice::about
