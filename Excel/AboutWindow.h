// The add-in's About window: one instance per Excel run, modeless, no owner.
#pragma once

#include <windows.h>

namespace cornice {

// Shows the window, or brings the open one to the front; returns at once. While the window
// exists it holds a module reference (Module.h), so the DLL stays loaded under it.
HRESULT ShowAboutWindow() noexcept;

} // namespace cornice
