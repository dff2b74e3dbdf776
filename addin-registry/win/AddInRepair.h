// Registering the add-in again is how a user turns it back on after Excel disabled it: every
// way of switching it on (the installer, the settings program's "OK", regsvr32 by hand) runs
// the library's registration, which removes Excel's records of having disabled it. Excel's
// other way of switching an add-in off, LoadBehavior 2 in its add-in entry, needs nothing
// here: registration writes the entry afresh, with LoadBehavior 3.
#pragma once

#include "Registry.h"

namespace cornice {

// Deletes the values below each Excel version's DisabledItems key (DisabledItems.h) that name
// Corbel.dll, and nothing else; a missing key, or one that cannot be read, is fine. Returns the
// first failure to delete such a record (the add-in stays disabled then), or ERROR_SUCCESS.
LSTATUS ForgetDisabledAddIn(Registry& registry);

// Excel's other way of switching the add-in off, LoadBehavior 2 in the user's add-in entry
// (HKEY_CURRENT_USER), mended without registering again: LoadBehavior 3 there, or, where Excel
// has an entry for all users (`machineEntry`), the user's deleted, since it only stands in the
// machine's way. A missing entry is not made.
LSTATUS LoadAddInAtStartup(Registry& registry, bool machineEntry);

// Whether one of those keys (an entry of kDisabledItemsKeys) holds a record of Corbel.dll; a key
// that is missing or cannot be read holds none that anyone can tell.
bool HoldsDisabledAddIn(Registry& registry, const wchar_t* disabledItemsKey);

} // namespace cornice
