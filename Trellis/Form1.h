// The settings window: two pages ("Excel" with the twelve boxes, "About"), "OK" and "Cancel".
// It only mirrors the portable model: the box rules (CheckBoxRules), the numbered procedures
// of opening, "OK" and "Cancel" (Form1Procedures) and the pointer effects (PointerEffects).
#pragma once

#include <windows.h>

namespace cornice {

// The window's class, for people and programs that look for it.
inline constexpr const wchar_t* kForm1ClassName = L"TrellisForm1";

// Control identifiers: the boxes are kFirstBoxId + index; "OK" and "Cancel" are IDOK and
// IDCANCEL, which is also what Enter and Esc send.
inline constexpr int kFirstBoxId = 100;
inline constexpr int kTabControlId = 200;
inline constexpr int kTitleId = 300;
inline constexpr int kVersionId = 301;
inline constexpr int kWebsiteLabelId = 302;
inline constexpr int kWebsiteId = 303;
inline constexpr int kPolicyNoteId = 304;
inline constexpr int kExcelPageId = 400;
inline constexpr int kAboutPageId = 401;

// Opens the window, runs it until it closes and returns the program's exit code.
int RunForm1(HINSTANCE instance, int showCommand);

} // namespace cornice
