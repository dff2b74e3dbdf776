// Corbel.dll's own registration: the COM class, its type library and dispatch interface, and
// Excel's add-in entry, all per user, so that no administrator rights are needed; for the copy a
// package installed for all users, the package's rows for the machine (Registration.cpp).
#pragma once

#include "Registry.h"

#include <string>

namespace cornice {

// Writes the registration for the library at `modulePath`, after clearing what an earlier one
// left, and turns a disabled add-in back on (AddInRepair.h).
HRESULT Register(Registry& registry, const std::wstring& modulePath);

// Removes what Register wrote for the library at `modulePath`; what is already gone counts as
// removed. For a package's copy only what the user has of it goes: the package's rows stay.
HRESULT Unregister(Registry& registry, const std::wstring& modulePath);

} // namespace cornice
