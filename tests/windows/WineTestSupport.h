// What the tests that run under Wine share: paths handed over from the Linux side, child
// processes with their output, the settings of the product, and snapshots of the registry.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
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

// Values below HKEY_CURRENT_USER or another root: nothing when the value is missing or of
// another type; written keys are created as needed.
std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& key, const std::wstring& name);
std::optional<DWORD> ReadRegistryDword(HKEY root, const std::wstring& key, const std::wstring& name);
bool RegistryKeyExists(HKEY root, const std::wstring& key);
void WriteRegistryString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value);
void WriteRegistryDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value);

// Every value of the product's settings section, as stored: "(not REG_SZ)" for a value of
// another type.
std::map<std::wstring, std::wstring> ReadSettings();

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

// For messages: "0x80004005", and a colour as "#RRGGBB".
std::string Hex(HRESULT hr);
std::string Hex(COLORREF colour);

} // namespace cornice::test
