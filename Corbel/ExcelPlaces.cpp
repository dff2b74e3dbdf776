#include "ExcelPlaces.h"

#include "ExcelPlacesData.h"

#include <algorithm>
#include <iterator>

namespace cornice {
namespace {

// The generator's id_mso_hash: FNV-1a from the seed over the name's characters, folded to 16 bits.
std::uint16_t IdMsoHash(std::wstring_view idMso)
{
    std::uint32_t hash = places::kHashSeed;
    for (const wchar_t c : idMso) hash = (hash ^ static_cast<std::uint32_t>(c)) * 0x01000193u;
    return static_cast<std::uint16_t>(hash ^ (hash >> 16));
}

std::uint8_t RowOf(PlaceList list, std::size_t control)
{
    for (const places::Difference& difference : places::kDifferences)
        if (difference.list == static_cast<int>(list) && difference.control == control) return difference.row;
    return places::kPlaceOf365[control];
}

} // namespace

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

std::optional<std::size_t> ControlNumber(std::wstring_view idMso)
{
    const std::uint16_t hash = IdMsoHash(idMso);
    const auto found = std::lower_bound(std::begin(places::kControlHash), std::end(places::kControlHash), hash);
    if (found == std::end(places::kControlHash) || *found != hash) return std::nullopt;
    return static_cast<std::size_t>(found - std::begin(places::kControlHash));
}

std::size_t ControlCount() { return std::size(places::kControlHash); }

std::optional<ControlPlace> PlaceAt(PlaceList list, std::size_t control)
{
    const std::uint8_t row = control < ControlCount() ? RowOf(list, control) : 0;
    if (row == 0) return std::nullopt;
    const places::PlaceRow& place = places::kPlaceRows[row - 1];
    return ControlPlace{place.kind, place.tabSet, place.tab, place.group};
}

std::size_t PlaceNameCount() { return std::size(places::kNameAt); }

std::string_view PlaceNameId(std::uint8_t number)
{
    return number == 0 || number > PlaceNameCount() ? std::string_view() : places::kText + places::kNameAt[number - 1];
}

// The English name follows its idMso.
std::string_view EnglishPlaceName(std::uint8_t number)
{
    const std::string_view idMso = PlaceNameId(number);
    return idMso.empty() ? idMso : std::string_view(idMso.data() + idMso.size() + 1);
}

} // namespace cornice
