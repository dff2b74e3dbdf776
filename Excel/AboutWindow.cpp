#include "AboutWindow.h"

namespace cornice {

// The About window comes with its own change; until then the Help menu's About entry reports
// that it is not there rather than pretending to have shown something.
HRESULT ShowAboutWindow() noexcept { return E_NOTIMPL; }

} // namespace cornice
