// Where each release of Excel keeps the built-in controls of the Classic tab now. The tables come
// from Microsoft's published lists of control identifiers (tests/data/office/excel*-locations.tsv),
// trimmed to the Classic tab's controls at build time by Corbel/generate-places.py.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace cornice {

enum class PlaceKind : unsigned char {
    CoreTab,            // a tab Excel always shows: tab > group
    ContextualTab,      // a tab shown for a selected object (a table ...): tab set > tab > group
    FileTab,            // Backstage
    QuickAccessToolbar, // no tab; Excel puts it on the Quick Access Toolbar
    NotOnRibbon,        // only in "Commands Not in the Ribbon" when customising (or a shortcut menu)
};
inline constexpr std::size_t kPlaceKindCount = 5;

// The tabs and groups that places name are numbered (PlaceNameId): the tables are part of
// Corbel.dll's size.
struct ControlPlace {
    PlaceKind kind;
    std::uint8_t tabSet; // the tab set; ContextualTab only; 0: none
    std::uint8_t tab;    // CoreTab and ContextualTab only
    std::uint8_t group;  // CoreTab and ContextualTab only
};

// Microsoft's lists, one per release it published.
enum class PlaceList { Excel2013, Excel2016, Excel2019, Excel365 };
inline constexpr std::array<PlaceList, 4> kPlaceLists = {PlaceList::Excel2013, PlaceList::Excel2016,
                                                         PlaceList::Excel2019, PlaceList::Excel365};

// "2013", "2016", "2019" or "365" (inline: Corbel.dll does not need it).
inline std::wstring_view PlaceListName(PlaceList list)
{
    constexpr std::wstring_view kNames[] = {L"2013", L"2016", L"2019", L"365"};
    return kNames[static_cast<int>(list)];
}

// The list that describes a running Excel, from Application.Version ("16.0") and
// Application.Build (the middle number of 16.0.4266.1001; 0 when unknown).
//  - 12.0 and 14.0 have no list of their own (2010's names no places); their ribbon is 2013's
//    without what 2013 added, so 2013's list is the closest: 12.0, 14.0 and 15.0 read 2013's.
//  - 16.0 is every Excel since 2016, told apart only by the build. Click-to-Run builds began at
//    6001 (version 1509), so a build below 6000 is Excel 2016 installed from MSI: 2016's list.
//    Office 2019's volume channel stays on build 10827 (version 1808): 2019's list. Any other
//    16.0 build, or none, is a Click-to-Run Excel that follows Microsoft 365 (2019 and 2021
//    retail, LTSC 2021 and 2024, 365 itself): 365's list, the closest to every one of them.
//  - Anything else (a later version) reads 365's list.
PlaceList PlaceListFor(std::wstring_view version, long build);

// The number of one of the Classic tab's controls in the tables, below ControlCount(); nothing
// for a control no list knows. The tables know controls by a hash of their idMso: ask only
// for the Classic tab's.
std::optional<std::size_t> ControlNumber(std::wstring_view idMso);
std::size_t ControlCount();

// Where the list places that control: the first place of the best kind, in the order of the
// kinds above and then of the list. Nothing when the list does not know the control.
std::optional<ControlPlace> PlaceAt(PlaceList list, std::size_t control);
inline std::optional<ControlPlace> PlaceOf(PlaceList list, std::wstring_view idMso)
{
    const std::optional<std::size_t> control = ControlNumber(idMso);
    return control ? PlaceAt(list, *control) : std::nullopt;
}

// How many of the Classic tab's controls the list knows (inline: Corbel.dll does not need it).
inline std::size_t KnownControlCount(PlaceList list)
{
    std::size_t known = 0;
    for (std::size_t control = 0; control < ControlCount(); ++control) known += PlaceAt(list, control).has_value();
    return known;
}

// The tabs, tab sets and groups that places name, numbered from 1 to PlaceNameCount(): their
// idMso and their English names.
std::size_t PlaceNameCount();
std::string_view PlaceNameId(std::uint8_t number);
std::string_view EnglishPlaceName(std::uint8_t number);

} // namespace cornice
