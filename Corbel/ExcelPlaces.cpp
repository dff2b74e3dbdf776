#include "ExcelPlaces.h"

#include <algorithm>

namespace cornice {

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

const ControlPlace* PlaceOf(PlaceList list, std::wstring_view idMso)
{
    const Rows<ControlPlace> places = PlacesOf(list);
    const ControlPlace* found = std::lower_bound(
        places.begin(), places.end(), idMso, [](const ControlPlace& place, std::wstring_view id) { return place.idMso < id; });
    return found != places.end() && found->idMso == idMso ? found : nullptr;
}

std::wstring_view EnglishPlaceName(std::wstring_view idMso)
{
    const Rows<PlaceName> names = PlaceNames();
    const PlaceName* found = std::lower_bound(
        names.begin(), names.end(), idMso, [](const PlaceName& name, std::wstring_view id) { return name.idMso < id; });
    return found != names.end() && found->idMso == idMso ? found->english : std::wstring_view();
}

} // namespace cornice
