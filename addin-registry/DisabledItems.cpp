#include "DisabledItems.h"

namespace cornice {
namespace {

std::uint32_t ReadUInt32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// A UTF-16LE string whose size includes its terminating NUL; a missing NUL is tolerated.
std::wstring ReadText(const unsigned char* bytes, std::size_t size)
{
    std::wstring text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Windows compares file names by upper-casing them; for an ASCII name such as "Corbel.dll", no
// letter outside ASCII upper-cases into it, so ASCII case folding gives the same answer.
bool SameFileName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

} // namespace

std::optional<DisabledItem> ParseDisabledItem(const unsigned char* data, std::size_t size)
{
    constexpr std::size_t header = 12;
    if (!data || size < header) return std::nullopt;
    const std::uint64_t pathBytes = ReadUInt32(data + 4);
    const std::uint64_t nameBytes = ReadUInt32(data + 8);
    // 64-bit sums: two sizes near 4 GiB must not wrap round to something that fits.
    if (pathBytes % 2 != 0 || nameBytes % 2 != 0 || header + pathBytes + nameBytes > size) return std::nullopt;
    DisabledItem item;
    item.kind = ReadUInt32(data);
    item.path = ReadText(data + header, static_cast<std::size_t>(pathBytes));
    item.name = ReadText(data + header + pathBytes, static_cast<std::size_t>(nameBytes));
    return item;
}

bool IsDisabledLibrary(const unsigned char* data, std::size_t size, std::wstring_view libraryFileName)
{
    const std::optional<DisabledItem> item = ParseDisabledItem(data, size);
    if (!item || item->kind != kDisabledAddIn) return false;
    const std::wstring_view path = item->path;
    const std::size_t separator = path.find_last_of(L"\\/");
    const std::wstring_view fileName = separator == std::wstring_view::npos ? path : path.substr(separator + 1);
    return SameFileName(fileName, libraryFileName);
}

} // namespace cornice
