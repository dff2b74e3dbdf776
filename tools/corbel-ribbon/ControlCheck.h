// Which of Excel's built-in controls the add-in's documents name, and which of them a release of
// Excel does not know. Office skips an unknown idMso without a word (unless "Show add-in user
// interface errors" is on), so a misspelt or retired name is an entry the user silently misses.
#pragma once

#include <istream>
#include <set>
#include <string>

namespace cornice {

// Every idMso of every document the settings can give ("Left", "All", "Hide built-in Tabs" and
// the eight tabs, on and off).
std::set<std::wstring> IdMsoOfEveryDocument();

// A release's list as tests/data/office holds it: "name<TAB>type" lines, '#' lines are comments.
std::set<std::wstring> ReadControlList(std::istream& list);

// Names the add-in writes knowing that Excel 2010 does not have them, or that a later release
// dropped them. The control check accepts these and nothing else outside Excel 2010's list.
struct KnownSkippedControl {
    const wchar_t* name;
    const char* why;
};
inline constexpr KnownSkippedControl kKnownSkippedControls[] = {
    {L"FormulaAuditingMenu", "the Formula Auditing menu as the menus were designed; no release has a control of that name"},
    {L"ResearchPane", "the Research pane, gone from Office 2016 on"},
    {L"ReviewShowInk", "Show Ink, gone from the Microsoft 365 lists of 2023 on"},
};

} // namespace cornice
