// The Excel release that excel-host plays: 2007 (12), 2010 (14), 2013 (15) or 16, the version
// of 2016, 2019, 2021 and Microsoft 365. A release shows in Application.Version, in the records
// of disabled add-ins that Excel honours (below its own version key), and in the built-in
// controls it knows: an idMso that the release does not know is skipped by Excel, and reported
// when "Show add-in user interface errors" is on.
#pragma once

#include "Markup.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace cornice::host {

// 12, 14, 15 or 16 from "12" or "12.0" and so on; nothing for any other text.
std::optional<int> ParseRelease(std::wstring_view text);

// Application.Version: "14.0".
std::wstring ReleaseVersion(int release);
// Application.Build of a usual installation of the release: 16 plays Microsoft 365.
long ReleaseBuild(int release);

// True when the release's Resiliency\DisabledItems, below HKEY_CURRENT_USER, holds Excel's
// record of having disabled the add-in library at `libraryPath` (compared without regard to
// case, as Windows compares paths); Excel then does not load it.
bool DisabledByExcel(int release, const std::wstring& libraryPath);

// The names of a control list: one idMso per line, the control type after a tab; lines starting
// with "#" are comments. Nothing, and `error` set, when the file cannot be read or is no UTF-8.
std::optional<std::set<std::wstring>> ReadControlList(const std::wstring& path, std::wstring& error);

// The built-in controls the document names (idMso, insertBeforeMso, insertAfterMso) that are
// not in `known`, each once, in document order.
std::vector<std::wstring> UnknownControls(const markup::Element& root, const std::set<std::wstring>& known);

} // namespace cornice::host
