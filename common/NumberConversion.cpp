#include "NumberConversion.h"

#include "NumberText.h"
#include "Utf8.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace cornice {
namespace {

constexpr std::size_t kLongestTextInMessage = 64;

std::wstring Description(const std::wstring& key, const std::wstring& text,
                         SettingValueError::Reason reason)
{
    const std::wstring shown = ShownInMessage(text);
    return L"The setting \"" + key + L"\" holds \"" + shown + L"\", which is " +
           (reason == SettingValueError::Reason::NotANumber ? L"not a number." : L"out of range.");
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The grammar of the header, checked by hand so that the result never depends on a locale.
// On success `ascii` holds the number as strtod reads it in every locale: sign, significant
// digits without a decimal point, and the exponent that puts the point back ("-1.250" is
// "-125e-2"); see SignificantDigits for why it is kept short,
// `allZero` says whether every digit before the exponent is 0, and `magnitude` is the decimal
// exponent of the first non-zero digit (saturated), which tells overflow from underflow.
struct ScannedNumber {
    std::string ascii;
    bool allZero = true;
    long long magnitude = 0;
};

// At most this many significant digits reach strtod, then one more that stands for the rest.
// mingw's strtod caps exponents at 19999, so a megabyte of digits must not move the point by a
// megabyte; and no double's rounding turns on digits past the 767th, so a final 1 in place of
// the dropped (non-zero) tail rounds exactly as the whole text would.
constexpr std::size_t kSignificantDigits = 800;

// Appends `digits` (all the mantissa's digits, not all zero) to `ascii` without leading and
// trailing zeros, cut to kSignificantDigits; returns what that adds to the exponent.
long long AppendSignificantDigits(const std::string& digits, std::string& ascii)
{
    const std::size_t first = digits.find_first_not_of('0');
    const std::size_t last = digits.find_last_not_of('0');
    long long shift = static_cast<long long>(digits.size() - 1 - last);
    std::size_t count = last - first + 1;
    if (count > kSignificantDigits) {
        shift += static_cast<long long>(count - kSignificantDigits) - 1;
        count = kSignificantDigits;
    }
    ascii.append(digits, first, count);
    if (count < last - first + 1) ascii += '1';
    return shift;
}

bool Scan(std::wstring_view text, ScannedNumber& out)
{
    std::size_t i = 0, end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;

    if (i < end && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') out.ascii += '-';
        ++i;
    }
    std::string digits;
    long long significantIntegerDigits = 0, leadingFractionZeros = 0, fractionDigits = 0;
    bool inFraction = false;
    for (; i < end; ++i) {
        const wchar_t c = text[i];
        if (c == L'.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (!IsDigit(c)) break;
        digits += static_cast<char>(c);
        if (c != L'0') out.allZero = false;
        if (!inFraction && !out.allZero) ++significantIntegerDigits;
        if (inFraction && out.allZero) ++leadingFractionZeros;
        if (inFraction) ++fractionDigits;
    }
    if (digits.empty()) return false;

    long long exponent = 0;
    if (i < end && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        bool negative = false;
        if (i < end && (text[i] == L'+' || text[i] == L'-')) {
            negative = text[i] == L'-';
            ++i;
        }
        std::size_t exponentDigits = 0;
        for (; i < end && IsDigit(text[i]); ++i, ++exponentDigits) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - L'0');
        }
        if (exponentDigits == 0) return false;
        if (negative) exponent = -exponent;
    }
    if (i != end) return false;
    if (!out.allZero) {
        const long long shift = AppendSignificantDigits(digits, out.ascii);
        out.ascii += 'e';
        out.ascii += DecimalText<char>(exponent - fractionDigits + shift);
    }

    out.magnitude = (significantIntegerDigits > 0 ? significantIntegerDigits - 1
                                                  : -(leadingFractionZeros + 1)) + exponent;
    return true;
}

double Parse(std::wstring_view key, std::wstring_view text)
{
    ScannedNumber scanned;
    if (!Scan(text, scanned))
        throw SettingValueError(std::wstring(key), std::wstring(text),
                                SettingValueError::Reason::NotANumber);
    if (scanned.allZero) return 0.0; // also "-0", "0e99999"

    // strtod rather than from_chars: both round correctly, and strtod is already in the C
    // library, where from_chars for double would add 40 KB to each binary.
    char* last = nullptr;
    const double value = std::strtod(scanned.ascii.c_str(), &last);
    if (value == 0.0 && scanned.magnitude < 0) return 0.0; // underflow
    if (last != scanned.ascii.c_str() + scanned.ascii.size() || !std::isfinite(value))
        throw SettingValueError(std::wstring(key), std::wstring(text),
                                SettingValueError::Reason::OutOfRange);
    return value;
}

double RoundHalfToEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5) return floor;
    if (fraction > 0.5) return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

template <typename Integer>
Integer RoundToInteger(double value, std::wstring_view key, std::wstring_view text)
{
    const double rounded = RoundHalfToEven(value);
    // Compared as doubles before any cast: casting an out-of-range double is undefined.
    if (!(rounded >= static_cast<double>(std::numeric_limits<Integer>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Integer>::max())))
        throw SettingValueError(std::wstring(key), std::wstring(text),
                                SettingValueError::Reason::OutOfRange);
    return static_cast<Integer>(rounded);
}

} // namespace

// A value of a megabyte must not make a message box of a megabyte.
std::wstring ShownInMessage(const std::wstring& text)
{
    return text.size() <= kLongestTextInMessage ? text : text.substr(0, kLongestTextInMessage) + L"\u2026";
}

SettingValueError::SettingValueError(std::wstring key, std::wstring text, Reason reason)
    : std::runtime_error(ToUtf8(Description(key, text, reason))),
      key_(std::move(key)), text_(std::move(text)), reason_(reason)
{
}

std::wstring SettingValueError::Describe() const { return Description(key_, text_, reason_); }

double ToNumber(std::wstring_view key, std::wstring_view text) { return Parse(key, text); }

std::int32_t ToWholeNumber(std::wstring_view key, std::wstring_view text)
{
    return RoundToInteger<std::int32_t>(Parse(key, text), key, text);
}

std::int16_t ToInteger16(std::wstring_view key, std::wstring_view text)
{
    return RoundToInteger<std::int16_t>(Parse(key, text), key, text);
}

std::int32_t AddToRunningSum(std::int32_t sum, double value, std::wstring_view key,
                             std::wstring_view text)
{
    return RoundToInteger<std::int32_t>(static_cast<double>(sum) + value, key, text);
}

} // namespace cornice
