// Output of the stand-in: whole lines of UTF-8 on stdout, safe to write from the window
// watcher's thread and the main thread at once.
#pragma once

#include <string>
#include <string_view>

namespace cornice::host {

void Say(const std::wstring& line);

// "text" with \r, \n, \t, \\ and \" written as escapes and other control characters as \uXXXX,
// so that a message's exact characters can be read and compared.
std::wstring Quoted(std::wstring_view text);

} // namespace cornice::host
