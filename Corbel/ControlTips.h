// "Where did it go?": with the setting "Tips" on, each of Excel's controls on the Classic tab
// carries a supertip with Excel's own description of the command and one line saying where the
// running Excel keeps it now (ExcelPlaces.h), in Excel's words where it gives them.
#pragma once

#include "ExcelPlaces.h"
#include "RibbonLabels.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cornice {

// The line of a place, escaped, in the product's words for the language (TextLanguageFor) with
// the tab and group names given (already escaped), e.g. "Now on the ribbon: Data &gt; Forecast".
std::wstring PlaceLine(const ControlPlace& place, int languageId, std::wstring_view tabSet, std::wstring_view tab,
                       std::wstring_view group);

// A description of Excel's (GetSupertipMso) as supertip text, escaped, its line breaks kept as
// character references; empty when it is no usable text (empty, other control characters).
std::wstring SupertipFromExcel(std::wstring_view text);

class ControlTips {
public:
    ControlTips() = default; // no tips

    // The tips of every control the list places, for an Excel in `languageId`. Asks `excel`
    // (may be null) for each control's description and each named tab's and group's label;
    // never throws because of Excel: a question that fails leaves the description out, or
    // takes the tab's or group's name from the product's table.
    static ControlTips For(PlaceList list, int languageId, ExcelWords* excel);

    // The supertip of a control, escaped; empty when it has none.
    std::wstring_view Of(std::wstring_view idMso) const;

private:
    std::vector<std::pair<std::wstring, std::wstring>> tips_; // in idMso order
};

} // namespace cornice
