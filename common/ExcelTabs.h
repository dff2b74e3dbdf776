// Excel's built-in tabs that the settings name: the idMso of the tab each tab key of
// SettingKeys.h hides, in kTabKeys' order. The add-in hides them and asks Excel for their labels;
// the settings program names its tab boxes by them.
#pragma once

#include "SettingKeys.h"

#include <array>

namespace cornice {

inline constexpr std::array<const wchar_t*, kTabKeys.size()> kTabIdMso = {
    L"TabHome", L"TabPageLayoutExcel", L"TabInsert", L"TabFormulas",
    L"TabData", L"TabReview", L"TabView", L"TabDeveloper",
};

} // namespace cornice
