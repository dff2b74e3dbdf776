// Corbel.dll as a module: its own handle and path, and the count that keeps it loaded.
#pragma once

#include <windows.h>

#include <string>

namespace cornice {

// The DLL's own handle; GetModuleHandle(NULL) would be Excel's.
HMODULE ModuleHandle() noexcept;

// The full path of Corbel.dll, however long.
std::wstring ModulePath();

// Every live object, server lock and window of the DLL holds one reference; DllCanUnloadNow
// says yes only at zero. Something that outlives its COM object (a modeless window) takes a
// reference of its own.
void ModuleAddRef() noexcept;
void ModuleRelease() noexcept;

} // namespace cornice
