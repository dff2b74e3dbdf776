#include "AboutOpening.h"

#include "AddInIdentity.h"
#include "LanguageChoice.h"
#include "NumberText.h"

#include <exception>
#include <utility>

namespace cornice::about {
std::wstring VersionLine(const VersionNumbers& version, std::wstring_view pattern)
{
    return FillIn(pattern, {DecimalText(version.major) + L"." + DecimalText(version.minor) + L"." +
                            DecimalText(version.revision)});
}

AboutOpening::AboutOpening(AboutWindowActions& window, std::wstring descriptiveName, VersionNumbers version)
    : window_(window), descriptiveName_(std::move(descriptiveName)), title_(ApplicationTitle(descriptiveName_)),
      version_(version)
{
}

void AboutOpening::Show()
{
    if (!openedBefore_) OpenFirstTime();
    else BuildIfClosed();
    window_.Show();
}

// The first opening. The window is built by the first step that changes it, so the filling
// runs before the pointer is set, and the caption it sets gives way to the descriptive name
// whether or not the pointer file is there.
void AboutOpening::OpenFirstTime()
{
    const bool handPointer = window_.FileExists(window_.ProgramFolder() + kHandPointerFile);
    BuildIfClosed();
    try {
        if (handPointer) {
            try {
                window_.LoadCustomPointer(window_.ProgramFolder() + kHandPointerFile);
            } catch (const std::exception&) {
                // A pointer file that is there but is no cursor is as good as none: the window
                // keeps the arrow rather than failing to open over an ornament.
            }
        }
        window_.SetCaption(descriptiveName_);
    } catch (...) {
        window_.Unload();
        throw;
    }
    openedBefore_ = true;
}

void AboutOpening::BuildIfClosed()
{
    if (window_.IsLoaded()) return;
    try {
        window_.Build();
        FillWindow();
    } catch (...) {
        // Nothing half-built stays on screen; the next opening builds it afresh.
        window_.Unload();
        throw;
    }
}

// Each time the on-screen window is built.
void AboutOpening::FillWindow()
{
    window_.ApplySkin();
    window_.SetCaption(FillIn(texts_.caption, {title_}));
    window_.SetVersionLabel(VersionLine(version_, texts_.versionLine));
    window_.SetTitleLabel(title_);
}

} // namespace cornice::about
