// Switching the add-in on and off for Excel: registering Corbel.dll with regsvr32 and creating
// or deleting Excel's per-user add-in key. The user's settings are never touched here, so a
// later installation finds the last choices.
#pragma once

#include "AddInRegistration.h"
#include "WinHandles.h"

#include <string>

namespace cornice {

// Creates or opens `subKey` below `root` with all access; an empty owner when that fails.
UniqueHkey CreateRegistryKey(const std::wstring& subKey, HKEY root);

// Runs a regsvr32 command line in a minimised, activated window and waits for it, at most
// kRegistrationTimeoutMilliseconds. `owner` is disabled meanwhile but keeps painting.
RegistrationRun RunRegistrationTool(const std::wstring& commandLine, HWND owner);

// regsvr32 /s on Corbel.dll in the program's folder; when that worked, Excel's add-in key and
// "Installation complete.", otherwise what went wrong (and no key).
void InstallAddIn(HWND owner);

// regsvr32 /u /s on Corbel.dll, then Excel's add-in key deleted where Excel's add-in list
// exists. Silent when it worked, and
// when there was nothing to remove; otherwise it says what went wrong.
void UninstallAddIn(HWND owner);

} // namespace cornice
