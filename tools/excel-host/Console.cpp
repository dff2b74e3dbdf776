#include "Console.h"

#include "Utf8.h"

#include <cstdio>
#include <mutex>

namespace cornice::host {

void Say(const std::wstring& line)
{
    static std::mutex mutex;
    const std::string bytes = ToUtf8(line) + "\n";
    const std::lock_guard<std::mutex> lock(mutex);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring Quoted(std::wstring_view text)
{
    std::wstring out = L"\"";
    for (const wchar_t c : text) {
        switch (c) {
        case L'\r': out += L"\\r"; break;
        case L'\n': out += L"\\n"; break;
        case L'\t': out += L"\\t"; break;
        case L'\\': out += L"\\\\"; break;
        case L'"': out += L"\\\""; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                wchar_t escape[8];
                std::swprintf(escape, 8, L"\\u%04X", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + L"\"";
}

} // namespace cornice::host
