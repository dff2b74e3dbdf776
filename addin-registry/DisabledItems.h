// Excel's record of add-ins it has disabled. When an add-in crashes Excel, Excel offers to
// disable it and, if the user agrees, stops loading it ("hard-disabled"): it writes one
// REG_BINARY value, under a random name, below
//   HKEY_CURRENT_USER\Software\Microsoft\Office\<version>\Excel\Resiliency\DisabledItems
// and lists it under Disabled Items (Help in Excel 2007; File > Options > Add-Ins from 2010 on).
// Office does not document the value; Excel 2007 to 365 write it as
//   uint32 kind           1 for an add-in (2 a document, 3 a task pane)
//   uint32 pathBytes      size of the path in bytes, its terminating NUL included
//   uint32 nameBytes      size of the friendly name in bytes, its NUL included
//   UTF-16 path           the add-in's library, written in lower case
//   UTF-16 name           the add-in's friendly name
// all little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cornice {

// The Excel versions the add-in serves: 2007 (12.0), 2010 (14.0), 2013 (15.0), and 2016, 2019,
// 2021 and Microsoft 365, which all keep their settings under 16.0.
inline constexpr const wchar_t* kDisabledItemsKeys[] = {
    L"Software\\Microsoft\\Office\\12.0\\Excel\\Resiliency\\DisabledItems",
    L"Software\\Microsoft\\Office\\14.0\\Excel\\Resiliency\\DisabledItems",
    L"Software\\Microsoft\\Office\\15.0\\Excel\\Resiliency\\DisabledItems",
    L"Software\\Microsoft\\Office\\16.0\\Excel\\Resiliency\\DisabledItems",
};

inline constexpr std::uint32_t kDisabledAddIn = 1;

struct DisabledItem {
    std::uint32_t kind = 0;
    // UTF-16 code units as they stand (on Linux a pair of surrogates stays two wchar_t).
    std::wstring path;
    std::wstring name;
};

// The item a value's bytes describe; nothing when they do not have the layout above (too
// short, strings reaching past the end, odd sizes).
std::optional<DisabledItem> ParseDisabledItem(const unsigned char* data, std::size_t size);

// True when the bytes are Excel's record of having disabled an add-in whose library file is
// called `libraryFileName` (compared without regard to case, as Windows compares file names),
// wherever it was installed. Anything else, including every malformed value, is not ours.
bool IsDisabledLibrary(const unsigned char* data, std::size_t size, std::wstring_view libraryFileName);

} // namespace cornice
