// Hands a document, an address or a program name to the Windows shell.
#pragma once

#include <windows.h>

#include <string>

namespace cornice {

// Opens `target` with its default action, no parameters, the program's folder as working
// folder and a normal window, without waiting. Nothing is reported either way: a target the
// shell cannot open simply has no effect (the shell may show its own message, owned by
// `owner`). A bare program name such as "Excel" is found as the shell finds it: Windows
// through "App Paths", Wine through "App Paths" or the search path.
void ShellOpen(HWND owner, const std::wstring& target) noexcept;

// Starts "explorer" with the quoted address, minimised with focus, without waiting; nothing is
// reported either way.
void StartExplorer(const std::wstring& address);

} // namespace cornice
