#include "ExcelPlaces.h"

#include "ExcelPlacesData.h"

#include <algorithm>
#include <iterator>

namespace cornice {
namespace {

std::string_view TextAt(std::uint16_t at) { return places::kText + at; }

// The English name follows its idMso.
std::string_view EnglishAt(std::uint16_t at)
{
    const std::string_view idMso = TextAt(at);
    return TextAt(static_cast<std::uint16_t>(at + idMso.size() + 1));
}

std::string_view NameNumbered(std::uint8_t number) { return number ? TextAt(places::kNameAt[number - 1]) : std::string_view(); }

// Narrow idMso against wide: both are ASCII.
bool Less(std::string_view narrow, std::wstring_view wide)
{
    return std::lexicographical_compare(narrow.begin(), narrow.end(), wide.begin(), wide.end(),
                                        [](char a, wchar_t b) { return static_cast<wchar_t>(a) < b; });
}

bool Same(std::string_view narrow, std::wstring_view wide)
{
    return std::equal(narrow.begin(), narrow.end(), wide.begin(), wide.end(),
                      [](char a, wchar_t b) { return static_cast<wchar_t>(a) == b; });
}

ControlPlace PlaceAt(PlaceList list, std::size_t control)
{
    const std::uint8_t row = places::kPlaceOf[static_cast<int>(list)][control];
    const places::PlaceRow& place = places::kPlaceRows[row - 1];
    return {TextAt(places::kControlAt[control]), place.kind, NameNumbered(place.tabSet), NameNumbered(place.tab),
            NameNumbered(place.group)};
}

} // namespace

std::wstring_view PlaceListName(PlaceList list)
{
    switch (list) {
    case PlaceList::Excel2013: return L"2013";
    case PlaceList::Excel2016: return L"2016";
    case PlaceList::Excel2019: return L"2019";
    case PlaceList::Excel365: break;
    }
    return L"365";
}

PlaceList PlaceListFor(std::wstring_view version, long build)
{
    constexpr long kFirstClickToRunBuild = 6000;
    constexpr long kOffice2019VolumeBuild = 10827;
    if (version == L"12.0" || version == L"14.0" || version == L"15.0") return PlaceList::Excel2013;
    if (version == L"16.0") {
        if (build > 0 && build < kFirstClickToRunBuild) return PlaceList::Excel2016;
        if (build == kOffice2019VolumeBuild) return PlaceList::Excel2019;
    }
    return PlaceList::Excel365;
}

std::optional<ControlPlace> PlaceOf(PlaceList list, std::wstring_view idMso)
{
    const auto found = std::lower_bound(std::begin(places::kControlAt), std::end(places::kControlAt), idMso,
                                        [](std::uint16_t at, std::wstring_view id) { return Less(TextAt(at), id); });
    if (found == std::end(places::kControlAt) || !Same(TextAt(*found), idMso)) return std::nullopt;
    const std::size_t control = static_cast<std::size_t>(found - std::begin(places::kControlAt));
    if (places::kPlaceOf[static_cast<int>(list)][control] == 0) return std::nullopt;
    return PlaceAt(list, control);
}

std::vector<ControlPlace> PlacesOf(PlaceList list)
{
    std::vector<ControlPlace> known;
    for (std::size_t control = 0; control < std::size(places::kControlAt); ++control)
        if (places::kPlaceOf[static_cast<int>(list)][control] != 0) known.push_back(PlaceAt(list, control));
    return known;
}

std::vector<std::string_view> PlaceNames()
{
    std::vector<std::string_view> names;
    for (const std::uint16_t at : places::kNameAt) names.push_back(TextAt(at));
    return names;
}

std::string_view EnglishPlaceName(std::string_view idMso)
{
    const auto found = std::lower_bound(std::begin(places::kNameAt), std::end(places::kNameAt), idMso,
                                        [](std::uint16_t at, std::string_view id) { return TextAt(at) < id; });
    return found != std::end(places::kNameAt) && TextAt(*found) == idMso ? EnglishAt(*found) : std::string_view();
}

} // namespace cornice
