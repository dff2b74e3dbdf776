// Where the shared settings live and what their keys are called; the settings program writes
// them, the add-in reads them. The spellings are part of every stored user profile: the
// blanks and the capital T of "Hide built-in Tabs" included.
#pragma once

#include <array>

namespace cornice {

inline constexpr const wchar_t* kSettingsApplication = L"Quillmark";
inline constexpr const wchar_t* kSettingsSection = L"Architrave";

inline constexpr const wchar_t* kClassicKey = L"Classic";
inline constexpr const wchar_t* kLeftKey = L"Left";
inline constexpr const wchar_t* kAllKey = L"All";
inline constexpr const wchar_t* kHideBuiltInTabsKey = L"Hide built-in Tabs";
// The supertips that say where the running Excel keeps each command now; off unless "1".
inline constexpr const wchar_t* kTipsKey = L"Tips";
// The Classic tab's command search ("Find a command"); off unless "1".
inline constexpr const wchar_t* kSearchKey = L"Search";

// Excel's built-in tabs that can be hidden, in the order in which they are read and written.
inline constexpr std::array<const wchar_t*, 8> kTabKeys = {
    L"Home", L"Page Layout", L"Insert", L"Formulas", L"Data", L"Review", L"View", L"Developer",
};

} // namespace cornice
