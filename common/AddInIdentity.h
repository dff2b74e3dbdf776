// How Excel and COM know the add-in: its ProgID and the texts of Excel's add-in entry. Corbel.dll
// registers with these, Trellis.exe repairs and removes with them, and the installer and the
// packages for all users write them: installer/CMakeLists.txt reads the one-line constants of
// this file for their scripts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cornice {

inline constexpr const wchar_t* kProgId = L"Corbel.Connect";
// The long descriptive name: Excel's list of COM add-ins shows it, and the uninstall message
// box carries it as its caption.
inline constexpr const wchar_t* kAddInFriendlyName = L"Architrave";
inline constexpr const wchar_t* kAddInDescription = L"Add-In Project Template";

// The library's application title: the descriptive name cut to its first 39 characters, as the
// product's message boxes have always been captioned. The uninstall message's caption, and the
// About window's title and caption.
inline std::wstring ApplicationTitle(std::wstring_view descriptiveName = kAddInFriendlyName)
{
    return std::wstring(descriptiveName.substr(0, 39));
}
// Office's load behaviour 3: connected, and loaded at every start of Excel.
inline constexpr std::uint32_t kAddInLoadBehavior = 3;

// Excel's list of COM add-ins, below HKEY_CURRENT_USER (and HKEY_LOCAL_MACHINE for all users).
// Spelt as Excel itself creates it; Windows compares key names without regard to case.
inline constexpr const wchar_t* kExcelAddInsKey = L"Software\\Microsoft\\Office\\Excel\\Addins";

// The packages for all users (installer/Cornice.wxs) name the Corbel.dll they installed here,
// below HKEY_LOCAL_MACHINE in the registry view of its bitness. That copy's registration is the
// package's: its own registration repairs it, and neither registration nor unregistration of
// the library ever removes it.
inline constexpr const wchar_t* kPackageKey = L"Software\\Quillmark\\Cornice";
inline constexpr const wchar_t* kPackageLibraryValue = L"Library";

} // namespace cornice
