// The About window's life as the user meets it: one window object per Excel run, opened by
// the ribbon's About entry. The first opening runs the initialisation (hand pointer, caption
// "Architrave") with the load step inside it; every later opening of a closed window runs the
// load step alone, which captions it "About " plus the title. The Windows window only carries
// the steps out (AboutWindowActions).
#pragma once

#include "WindowActions.h"

#include <string>
#include <string_view>
#include <utility>

namespace cornice::about {

// The optional file next to the library that holds the hand pointer.
inline constexpr const wchar_t* kHandPointerFile = L"\\HAND-M.CUR";

// The library's version as its version resource carries it.
struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;
};

// The texts the load step composes, in the language of the user's Excel; %1 of the caption is
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

class AboutForm {
public:
    AboutForm(AboutWindowActions& window, std::wstring descriptiveName, VersionNumbers version);

    // What the About entry does. When a step fails, the window goes again, the failure goes to
    // the caller, and the next call starts where this one started (a failed first opening
    // leaves the next one a first opening).
    void Show();
    // The texts of the next load step; a window on screen keeps the ones it was built with.
    void SetTexts(AboutTexts texts) { texts_ = std::move(texts); }

    bool Initialized() const noexcept { return initialized_; }

private:
    void Initialize();
    void LoadIfNeeded();
    void Load();

    AboutWindowActions& window_;
    std::wstring descriptiveName_;
    std::wstring title_;
    VersionNumbers version_;
    AboutTexts texts_;
    bool initialized_ = false;
};

} // namespace cornice::about
