// What the tests that run under Wine share: paths handed over from the Linux side, child
// processes with their output, the settings of the product, and snapshots of the registry.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace cornice::test {

// A Linux path ("/work/build/Corbel.dll") as Wine's Z: drive shows it; a Windows path as it is.
std::wstring WindowsPathOf(const std::string& path);

// The folder of this program, without a trailing backslash.
std::wstring ThisProgramsFolder();

struct ProcessResult {
    DWORD exitCode = 0;
    std::string output; // stdout and stderr together, as written
};

// Runs a command line to its end. Throws std::runtime_error when it cannot start.
ProcessResult RunProcess(const std::wstring& commandLine);

// Replaces every setting of the product (application "Quillmark") with exactly these values of
// the shared section; an empty list leaves no settings at all.
void ReplaceSettings(const std::vector<std::pair<std::wstring, std::wstring>>& values);

// Every key and value below the given roots, one line each: "HKCU\Software\X" for a key,
// "HKCU\Software\X [name] = REG_SZ:text" for a value ("[@]" for the key's default value).
// Key and value names are in upper case, because the registry compares them without regard to
// case (Wine's own hive spells "Typelib" where Windows writes "TypeLib"); data keeps its case.
using RegistrySnapshot = std::set<std::wstring>;

// An entry written by hand, made comparable with a snapshot's.
std::wstring FoldNames(std::wstring entry);
RegistrySnapshot SnapshotRegistry(const std::vector<std::pair<HKEY, std::wstring>>& roots);

// a - b, for the messages of failed comparisons: one entry a line.
std::string Difference(const RegistrySnapshot& a, const RegistrySnapshot& b);

} // namespace cornice::test
