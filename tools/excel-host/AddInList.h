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
    // Office loads at start-up what has the start-up bit (2) set, and once what is marked
    // "connect first time" (16); the connected bit (1) alone only records a state.
    bool LoadsAtStartup() const { return loadBehavior && ((*loadBehavior & 2) != 0 || *loadBehavior == 16); }
};

// The entries below HKEY_CURRENT_USER\Software\Microsoft\Office\Excel\Addins, in the registry's
// order; none when the key is absent.
std::vector<AddInEntry> ReadExcelAddIns();

} // namespace cornice::host
