// What the installer's tests need from inside Windows, where Wine's own tools fall short:
//
//   installer-test-tool run               runs the command line in CORNICE_COMMAND_LINE exactly
//                                         as written, waits, and exits with its exit code
//   installer-test-tool value KEY NAME [32|64]
//                                         prints a registry value as UTF-8 (text as it is, a
//                                         number in decimal, other types in hex); NAME "" is
//                                         the default value. Exit 1: no such value
//   installer-test-tool wait-gone IMAGE   waits until no process runs IMAGE (e.g. Un.exe),
//                                         at most a minute. Exit 1: still running
//
// Wine builds a Windows command line from Unix arguments by quoting every argument with a
// blank, but an NSIS installer wants /D=C:\a folder\b last and unquoted, as a deployment script
// on Windows writes it; and `reg query` prints through the console's code page, which loses
// letters outside it. Exit 2: bad arguments; 255: the command could not start.
#include "Utf8.h"
#include "WinHandles.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace cornice;

namespace {

int Run()
{
    const DWORD length = ::GetEnvironmentVariableW(L"CORNICE_COMMAND_LINE", nullptr, 0);
    if (length == 0) return 2;
    std::vector<wchar_t> commandLine(length);
    ::GetEnvironmentVariableW(L"CORNICE_COMMAND_LINE", commandLine.data(), length);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::fprintf(stderr, "installer-test-tool: CreateProcess failed with %lu\n", ::GetLastError());
        return 255;
    }
    UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 255;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return static_cast<int>(exitCode);
}

int Value(const std::wstring& path, const std::wstring& name, const std::wstring& view)
{
    const std::size_t separator = path.find(L'\\');
    const std::wstring rootName = path.substr(0, separator);
    const HKEY root = rootName == L"HKCU" ? HKEY_CURRENT_USER : rootName == L"HKLM" ? HKEY_LOCAL_MACHINE : nullptr;
    if (!root || separator == std::wstring::npos) return 2;
    REGSAM access = KEY_QUERY_VALUE;
    if (view == L"32") access |= KEY_WOW64_32KEY;
    if (view == L"64") access |= KEY_WOW64_64KEY;
    UniqueHkey key;
    if (::RegOpenKeyExW(root, path.substr(separator + 1).c_str(), 0, access, key.Put()) != ERROR_SUCCESS) return 1;
    DWORD type = 0, size = 0;
    const wchar_t* valueName = name.empty() ? nullptr : name.c_str();
    if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return 1;
    std::vector<unsigned char> data(size + sizeof(wchar_t));
    if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return 1;
    std::string out;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        out = ToUtf8(text);
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        out = std::to_string(number);
    } else {
        char hex[3];
        for (DWORD i = 0; i < size; ++i) {
            std::snprintf(hex, sizeof hex, "%02x", data[i]);
            out += hex;
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}

bool Running(const std::wstring& image)
{
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, image.c_str()) == 0) return true;
    return false;
}

int WaitGone(const std::wstring& image)
{
    for (int i = 0; i < 600; ++i) {
        if (!Running(image)) return 0;
        ::Sleep(100);
    }
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"run" && argc == 2) return Run();
    if (command == L"value" && (argc == 4 || argc == 5)) return Value(argv[2], argv[3], argc == 5 ? argv[4] : L"");
    if (command == L"wait-gone" && argc == 3) return WaitGone(argv[2]);
    std::fprintf(stderr, "usage: installer-test-tool run | value KEY NAME [32|64] | wait-gone IMAGE\n");
    return 2;
}
