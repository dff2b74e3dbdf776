// Cornice installed for all users of the machine (the Windows Installer packages): the class
// and Excel's add-in entry live below HKEY_LOCAL_MACHINE, where a standard user can change
// nothing. Trellis then never registers or unregisters the add-in; what it can still do for
// the user is to take away what keeps Excel from loading it for that user alone.
#pragma once

#include <windows.h>

#include <string>

namespace cornice {

// True when the class registered below HKEY_LOCAL_MACHINE (in this program's registry view,
// the one its Excel reads) is served by `libraryPath`, the Corbel.dll beside this program, or
// the package names that library as its own (kPackageKey), and Excel's add-in entry for all
// users exists.
bool InstalledForAllUsers(const std::wstring& libraryPath);

// OK with the first box ticked on such a machine: deletes Excel's records of having disabled
// the add-in for this user and the user's own add-in entry, which would stand in for the
// machine's (with LoadBehavior 2 after the user or Excel switched it off). Then says
// "Installation complete." when Excel will load the add-in, and why not otherwise.
void RepairAddInForUser(HWND owner, const std::wstring& libraryPath);

} // namespace cornice
