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

// The generator's id_mso_hash: FNV-1a, 32 bits, over the name's characters.
std::uint32_t IdMsoHash(std::wstring_view idMso)
{
    std::uint32_t hash = 0x811C9DC5u;
    for (const wchar_t c : idMso) hash = (hash ^ static_cast<std::uint32_t>(c)) * 0x01000193u;
    return hash;
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
    const std::uint32_t hash = IdMsoHash(idMso);
    const auto found = std::lower_bound(std::begin(places::kControlHash), std::end(places::kControlHash), hash);
    if (found == std::end(places::kControlHash) || *found != hash) return std::nullopt;
    const std::uint8_t row = places::kPlaceOf[static_cast<int>(list)][found - std::begin(places::kControlHash)];
    if (row == 0) return std::nullopt;
    const places::PlaceRow& place = places::kPlaceRows[row - 1];
    return ControlPlace{place.kind, NameNumbered(place.tabSet), NameNumbered(place.tab), NameNumbered(place.group)};
}

std::size_t KnownControlCount(PlaceList list)
{
    const auto& places = places::kPlaceOf[static_cast<int>(list)];
    return static_cast<std::size_t>(std::count_if(std::begin(places), std::end(places), [](std::uint8_t row) { return row != 0; }));
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
