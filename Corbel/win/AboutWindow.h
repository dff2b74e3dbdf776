// The add-in's About window: one instance per Excel run, modeless, no owner. The portable
// AboutOpening decides what happens when; this is the Windows window, designed in AboutLayout.h.
#pragma once

#include "AboutLayout.h"

#include <windows.h>

namespace cornice {

// Shows the window, or brings the open one to the front; returns at once. Its texts are those of
// `language`'s table (LanguageChoice.h); a window on screen keeps the language it opened in. A failure comes
// back as an HRESULT with its description in IErrorInfo (for _Connect). While the on-screen
// window exists it holds a module reference (Module.h), so the DLL stays loaded under it.
HRESULT ShowAboutWindow(int language) noexcept;

// For Connect when Excel disconnects the add-in, begins to shut down or releases its last
// Connect: destroys the on-screen window, whose window procedure and message hook live in
// this library, and lets the window object and class go, so that nothing of the library is
// left for Windows to call once COM unloads it. DllMain must not do this (no user32 under the
// loader lock). A later opening starts afresh, as in a new Excel run.
void DiscardAboutWindow() noexcept;

} // namespace cornice
