// Every command of each release's list that a menu can hold as a clone of Excel's own control,
// from Microsoft's published lists (tests/data/office/excel*-locations.tsv), made into compact
// tables at build time by Corbel/generate-commands.py: they are part of Corbel.dll's size.
#pragma once

#include "ExcelPlaces.h"

#include <string>
#include <string_view>
#include <vector>

namespace cornice {

// The element that clones the control (a dialog box launcher's button is a button).
enum class CommandType : unsigned char { Button, ToggleButton, CheckBox, SplitButton, Gallery, Menu, Control };
std::wstring_view ElementOf(CommandType type);

struct Command {
    std::wstring idMso;
    CommandType type;
};

// The commands the list knows, in the order of their idMso (ordinal); with knownTo2010Only, only
// those Excel 2010's list of identifiers knows too.
std::vector<Command> CommandsOf(PlaceList list, bool knownTo2010Only = false);

// The words of an idMso: "ApplicationOptionsDialog" gives Application, Options, Dialog;
// "FileSaveAsExcel97_2003" File, Save, As, Excel, 97, 2003.
std::vector<std::wstring_view> IdMsoWords(std::wstring_view idMso);

} // namespace cornice
