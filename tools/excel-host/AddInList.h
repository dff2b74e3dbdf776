// Excel's lists of COM add-ins, the user's and the machine's, read as Excel reads them at
// start-up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cornice::host {

struct AddInEntry {
    std::wstring progId;                     // the key's name
    bool machineWide = false;                // from HKEY_LOCAL_MACHINE
    std::wstring friendlyName;               // may be empty
    std::wstring description;                // may be empty
    std::optional<std::uint32_t> loadBehavior; // absent or not a REG_DWORD: nothing
    // Office loads at start-up what has both the start-up bit (2) and the connected bit (1), and
    // once what is marked "connect first time" (16). 2 alone is what Excel writes when the user
    // clears the add-in in the COM Add-ins box or Excel disables it after a failure, and Excel
    // then leaves it unloaded ("If the value is 2, the add-in is disconnected or disabled. If the
    // value is 3, the add-in is enabled": Microsoft's reference of
    // GenerateOfficeAddInManifest.LoadBehavior).
    bool LoadsAtStartup() const { return loadBehavior && ((*loadBehavior & 3) == 3 || *loadBehavior == 16); }
};

// The entries below HKEY_CURRENT_USER\Software\Microsoft\Office\Excel\Addins, then those below
// the same key of HKEY_LOCAL_MACHINE (an installation for all users; in the registry view of
// this program's bitness, as Excel of that bitness reads it) whose ProgID the user's list does
// not hold: Office takes a user's entry, LoadBehavior included, over the machine's entry of the
// same add-in. Each list in the registry's order; none when neither key exists.
std::vector<AddInEntry> ReadExcelAddIns();

// "LoadBehavior 3", or "no LoadBehavior".
std::wstring LoadBehaviorText(const AddInEntry& entry);

// The in-process server of a class, as COM would find it.
std::wstring ServerPath(const CLSID& clsid);

} // namespace cornice::host
