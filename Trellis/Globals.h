// The program's names and addresses, shown in its window and its messages.
#pragma once

namespace cornice {

inline constexpr const wchar_t* C_AppName = L"Trellis";
inline constexpr const wchar_t* C_Version = L"7.0";

// The maker's addresses live under a reserved example domain (RFC 2606) until the product has
// a home of its own; the label shows the short form and opens the full one.
inline constexpr const wchar_t* kMakerWebsiteText = L"www.quillmark.example";
inline constexpr const wchar_t* kMakerWebsiteAddress = L"http://www.quillmark.example/";
inline constexpr const wchar_t* kSupportEmail = L"support@quillmark.example";

} // namespace cornice
