// Conversion of stored setting texts to numbers.
//
// What counts as a number, the same for every conversion:
//   [blanks] [+|-] digits [. digits] [(e|E) [+|-] digits] [blanks]
// where blanks are spaces and tabs, at least one digit stands before or after the decimal
// point (".5" and "5." are numbers), and the decimal point is always "." whatever the user's
// locale. Nothing else is a number: no empty text, no thousands separators, no hexadecimal,
// no "Inf" or "NaN", no currency signs. A value too small to represent (1e-400) reads as 0;
// one too large for a double (1e400) is out of range.
//
// A whole number goes through the double and is then rounded to the nearest integer, a value
// exactly halfway between two integers going to the even one ("2.5" is 2, "3.5" is 4), as the
// settings have always been read. Every failure raises SettingValueError; there is no silent
// default for a value that is present but bad.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cornice {

// A setting's text as a message shows it: cut, with an ellipsis, when very long.
std::wstring ShownInMessage(const std::wstring& text);

class SettingValueError : public std::runtime_error {
public:
    enum class Reason { NotANumber, OutOfRange };

    SettingValueError(std::wstring key, std::wstring text, Reason reason);

    const std::wstring& Key() const noexcept { return key_; }
    const std::wstring& Text() const noexcept { return text_; }
    Reason Why() const noexcept { return reason_; }
    // One line for people: names the key and the text (a very long text is cut).
    std::wstring Describe() const;

private:
    std::wstring key_;
    std::wstring text_;
    Reason reason_;
};

// The text as a double. `key` only names the setting in the error.
double ToNumber(std::wstring_view key, std::wstring_view text);

// The text as a 32-bit integer, halfway values rounded to even.
std::int32_t ToWholeNumber(std::wstring_view key, std::wstring_view text);

// The text as a 16-bit integer, halfway values rounded to even.
std::int16_t ToInteger16(std::wstring_view key, std::wstring_view text);

// One step of a running sum that is kept as a 32-bit integer: sum + value, rounded like a
// whole number. The key and text of the value just added name the setting in the error.
std::int32_t AddToRunningSum(std::int32_t sum, double value, std::wstring_view key,
                             std::wstring_view text);

} // namespace cornice
