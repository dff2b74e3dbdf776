// UTF-8 at the edges (command lines, files, output); wide text everywhere else.
// Works for both sizes of wchar_t: UTF-16 on Windows, UTF-32 on Linux.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cornice {

// A lone surrogate, which UTF-8 cannot carry, becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

// Nothing when `bytes` is not valid UTF-8.
std::optional<std::wstring> FromUtf8(std::string_view bytes);

} // namespace cornice
