#include "WindowsErrorText.h"

#include "NumberText.h"
#include "WinHandles.h"

namespace cornice {

std::wstring WindowsErrorText(DWORD code)
{
    UniqueHlocal buffer;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<LPWSTR>(buffer.Put()), 0, nullptr);
    std::wstring text(length ? static_cast<const wchar_t*>(buffer.Get()) : L"", length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();

    // Win32 error codes are small and known by their decimal number; HRESULTs by their hex form.
    const std::wstring number = code <= 0xFFFF ? L"error " + DecimalText(code) : HexCodeText(code);
    return text.empty() ? std::wstring(number) : text + L" (" + number + L")";
}

} // namespace cornice
