#include "ExceptionTranslation.h"

#include "NumberConversion.h"
#include "Utf8.h"

#include <cstdint>
#include <new>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace cornice {
namespace {

// The HRESULTs by value, so that the portable tests see the codes Windows does.
constexpr long kFail = static_cast<std::int32_t>(0x80004005u);
constexpr long kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
constexpr long kTypeMismatch = static_cast<std::int32_t>(0x80020005u);
constexpr long kOverflow = static_cast<std::int32_t>(0x8002000Au);
#ifdef _WIN32
static_assert(kFail == E_FAIL && kOutOfMemory == E_OUTOFMEMORY && kTypeMismatch == DISP_E_TYPEMISMATCH &&
              kOverflow == DISP_E_OVERFLOW);
#endif

std::optional<std::wstring> Words(std::string_view what, Wording wording)
{
    if (wording == Wording::CodeOnly) return std::nullopt;
    if (auto text = FromUtf8(what)) return text;
    std::wstring shown;
    for (const char c : what) {
        const auto byte = static_cast<unsigned char>(c);
        shown += wording == Wording::ForeignAsLatin1 || byte < 0x80 ? static_cast<wchar_t>(byte) : L'?';
    }
    return shown;
}

} // namespace

CaughtException TranslateCaughtException(Wording wording)
{
    const bool words = wording != Wording::CodeOnly;
    try {
        throw;
    } catch (const SettingValueError& error) {
        const long code = error.Why() == SettingValueError::Reason::NotANumber ? kTypeMismatch : kOverflow;
        return {code, words ? std::optional<std::wstring>(error.Describe()) : std::nullopt};
    } catch (const WindowsError& error) {
        return {error.Code(), Words(error.what(), wording)};
    } catch (const std::bad_alloc&) {
        return {kOutOfMemory, words ? std::optional<std::wstring>(L"Out of memory.") : std::nullopt};
    } catch (const std::exception& error) {
        return {kFail, Words(error.what(), wording)};
    } catch (...) {
        return {kFail, std::nullopt};
    }
}

} // namespace cornice
