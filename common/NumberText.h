// Numbers as text, for messages. Written by hand because std::to_wstring and the printf family
// bring the C library's whole formatter (some 30 KB) into each binary for a few integers.
#pragma once

#include <string>

namespace cornice {

// "-42": the decimal digits, a minus sign before a negative number.
template <typename Char = wchar_t>
std::basic_string<Char> DecimalText(long long value)
{
    // Counted in the unsigned type, so that the most negative value has a magnitude too.
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    Char digits[24];
    Char* first = digits + sizeof digits / sizeof digits[0];
    do {
        *--first = static_cast<Char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--first = static_cast<Char>('-');
    return std::basic_string<Char>(first, digits + sizeof digits / sizeof digits[0]);
}

// "0x8007000E": an HRESULT or other 32-bit code as eight upper-case hexadecimal digits.
template <typename Char = wchar_t>
std::basic_string<Char> HexCodeText(unsigned long code)
{
    std::basic_string<Char> text{static_cast<Char>('0'), static_cast<Char>('x')};
    for (int shift = 28; shift >= 0; shift -= 4)
        text += static_cast<Char>("0123456789ABCDEF"[(code >> shift) & 0xF]);
    return text;
}

} // namespace cornice
