// The settings window: two pages ("Excel" with the twelve boxes, "About"), "OK" and "Cancel",
// designed in SettingsLayout.h. It only mirrors the portable model: the box rules
// (CheckBoxRules), the numbered procedures of opening, "OK" and "Cancel" (SettingsProcedures)
// and the pointer effects (PointerEffects).
#pragma once

#include "SettingsLayout.h"

#include <windows.h>

namespace cornice {

// Opens the window, runs it until it closes and returns the program's exit code.
int RunSettingsWindow(HINSTANCE instance, int showCommand);

} // namespace cornice
