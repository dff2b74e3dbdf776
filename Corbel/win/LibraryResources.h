// What Corbel.dll's windows take from the library's own resources.
#pragma once

#include "AboutOpening.h"
#include "WinHandles.h"

namespace cornice {

// The library's own version, from its version resource; throws when it has none.
about::VersionNumbers LibraryVersion();

// An activation context made from the library's manifest, for the creation of its windows;
// empty when Windows could not make one.
UniqueActCtx LibraryActivationContext();

} // namespace cornice
