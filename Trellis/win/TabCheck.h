// The check of ClassicTabCheck.h on this machine: the facts read through the registry seam and
// from the files the registration names, and the repair of what belongs to the user. Excel's
// registry view (32-bit Excel on 64-bit Windows reads Wow6432Node below HKEY_LOCAL_MACHINE and
// the user's classes) follows the bitness of the Excel found, as the installer finds it.
#pragma once

#include "ClassicTabCheck.h"
#include "Registry.h"

#include <string>
#include <vector>

namespace cornice {

// Everything the check reads; `besideLibrary` is the Corbel.dll in Trellis's folder.
CheckFacts GatherCheckFacts(Registry& registry, const std::wstring& besideLibrary);

// What one repair did, in English for the command line ("Removed ..."), or why it failed.
struct RepairStep {
    Cause cause;
    bool done = false;
    std::wstring text;
};

// Mends every finding the user may mend, each action once, and never anything else. `owner`,
// when given, takes no input while regsvr32 runs.
std::vector<RepairStep> RepairForUser(Registry& registry, const CheckFacts& facts, const std::vector<Finding>& findings,
                                      HWND owner = nullptr);

} // namespace cornice
