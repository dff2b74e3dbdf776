// Excel's per-user list of COM add-ins, read as Excel reads it at start-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cornice::host {

struct AddInEntry {
    std::wstring progId;                     // the key's name
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

// The entries below HKEY_CURRENT_USER\Software\Microsoft\Office\Excel\Addins, in the registry's
// order; none when the key is absent.
std::vector<AddInEntry> ReadExcelAddIns();

} // namespace cornice::host
