#include "Files.h"

#include "ModuleFolder.h"
#include "WinHandles.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace cornice {
namespace {

// A drive without a medium would otherwise make Windows ask the user to insert one
// (SetThreadErrorMode, "Remarks": SEM_FAILCRITICALERRORS).
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() noexcept { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;
    ~NoCriticalErrorBoxes() { ::SetThreadErrorMode(previous_, nullptr); }

private:
    DWORD previous_ = 0;
};

// An embedded NUL would silently cut the path short at the API.
bool Usable(const std::wstring& path) noexcept
{
    return !path.empty() && path.find(L'\0') == std::wstring::npos;
}

} // namespace

std::wstring ProgramFolder()
{
    // __ImageBase is the module this code is linked into, the DLL inside Excel included;
    // GetModuleHandle(nullptr) would be Excel.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase),
                                                  path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            throw WindowsError(HRESULT_FROM_WIN32(::GetLastError()),
                               "The program's folder could not be found.");
        // A full buffer means the path was cut (Windows 7 does not report the error).
        if (length < path.size()) {
            path.resize(length);
            return FolderOfModulePath(path);
        }
        if (path.size() >= 32768) throw WindowsError(E_FAIL, "The program's path is too long.");
        path.resize(path.size() * 2);
    }
}

bool FileExists(const std::wstring& path) noexcept
{
    if (!Usable(path)) return false;
    NoCriticalErrorBoxes quiet;
    WIN32_FILE_ATTRIBUTE_DATA data;
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

bool NormalFileListed(const std::wstring& path) noexcept
{
    if (!Usable(path)) return false;
    NoCriticalErrorBoxes quiet;
    WIN32_FIND_DATAW found;
    const UniqueFileSearch search(::FindFirstFileExW(path.c_str(), FindExInfoStandard, &found,
                                                     FindExSearchNameMatch, nullptr, 0));
    if (!search) return false;
    constexpr DWORD kNotNormal =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    bool listed = false;
    do {
        listed = (found.dwFileAttributes & kNotNormal) == 0;
    } while (!listed && ::FindNextFileW(search.Get(), &found));
    return listed;
}

} // namespace cornice
