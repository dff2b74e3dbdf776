// The maker's addresses, shown by both programs' About texts and opened by their links.
#pragma once

namespace cornice {

// Under a reserved example domain (RFC 2606) until the product has a home of its own; labels
// show the short form and open the full one.
inline constexpr const wchar_t* kWebsiteText = L"www.quillmark.example";
inline constexpr const wchar_t* kWebsiteAddress = L"http://www.quillmark.example/";
inline constexpr const wchar_t* kSupportEmail = L"support@quillmark.example";

} // namespace cornice
