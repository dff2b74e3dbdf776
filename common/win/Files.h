// The program folder and the tests for optional files next to the program (the hand cursor,
// the skin style files).
#pragma once

#include <string>

namespace cornice {

// The folder of the module this code is linked into: Trellis.exe's folder in the settings
// program, Corbel.dll's (not Excel's) inside Excel. Asked afresh each time; no trailing
// separator except at a drive's root (see ModuleFolder.h). Throws WindowsError on failure.
std::wstring ProgramFolder();

// True when the file system can report the last-change time of `path`: an existing file or
// folder. Never fails: a missing file or folder, an empty or invalid path, or a drive that is
// not ready all give false, without the system's "insert a disk" box.
bool FileExists(const std::wstring& path) noexcept;

// True when listing exactly `path` finds a normal file: hidden files, system files and
// folders of that name do not count (the check that decides whether a window is skinned).
bool NormalFileListed(const std::wstring& path) noexcept;

} // namespace cornice
