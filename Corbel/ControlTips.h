// "Where did it go?": with the setting "Tips" on, each of Excel's controls on the Classic tab
// carries a supertip with Excel's own description of the command and one line saying where the
// running Excel keeps it now (ExcelPlaces.h), in Excel's words where it gives them.
#pragma once

#include "ExcelPlaces.h"
#include "RibbonLabels.h"

#include <string>
#include <string_view>
#include <vector>

namespace cornice {

// The line of a place, escaped, in the product's words for the language (TextLanguageFor) with
// the tab and group names given (already escaped), e.g. "Now on the ribbon: Data &gt; Forecast".
std::wstring PlaceLine(const ControlPlace& place, int languageId, std::wstring_view tabSet, std::wstring_view tab,
                       std::wstring_view group);

// A description of Excel's (GetSupertipMso) as supertip text, escaped, its line breaks kept as
// character references; empty when it is no usable text (empty, other control characters).
std::wstring SupertipFromExcel(std::wstring_view text);

// The tips of one connection's Excel, each made when the document first wants it.
class ControlTips {
public:
    // For an Excel in `languageId` whose places `list` gives. `excel` (may be null, else it
    // must outlive this) is asked for a control's description and its tab's and group's labels
    // the first time its tip is wanted.
    ControlTips(PlaceList list, int languageId, ExcelWords* excel);

    // The supertip of one of the Classic tab's controls, escaped; empty when the list does not
    // know it. Never throws because of Excel: a question that fails leaves the description out,
    // or takes the tab's or group's name from the product's table.
    std::wstring_view Of(std::wstring_view idMso);

private:
    std::wstring Make(std::wstring_view idMso, const ControlPlace& place);
    std::wstring NameOf(std::uint8_t number);

    PlaceList list_;
    int language_;
    ExcelWords* excel_;
    // By number; made once. A tip or name is never empty once made.
    std::vector<std::wstring> names_;
    std::vector<std::wstring> tips_;
};

} // namespace cornice
