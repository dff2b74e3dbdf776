// How Excel and COM know the add-in: its ProgID and the texts of Excel's add-in entry.
#pragma once

#include <cstdint>

namespace cornice {

inline constexpr const wchar_t* kProgId = L"Corbel.Connect";
// The long descriptive name: Excel's list of COM add-ins shows it, and the uninstall message
// box carries it as its caption.
inline constexpr const wchar_t* kAddInFriendlyName = L"Architrave";
inline constexpr const wchar_t* kAddInDescription = L"Add-In Project Template";
// Office's load behaviour 3: connected, and loaded at every start of Excel.
inline constexpr std::uint32_t kAddInLoadBehavior = 3;

// Excel's per-user list of COM add-ins, below HKEY_CURRENT_USER.
inline constexpr const wchar_t* kExcelAddInsKey = L"Software\\Microsoft\\Office\\Excel\\Addins";

} // namespace cornice
