#include "ExceptionTranslation.h"
#include "NumberConversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

namespace cornice {
namespace {

constexpr long Code(std::uint32_t hresult) { return static_cast<std::int32_t>(hresult); }

template <typename Thrown>
CaughtException Translated(const Thrown& thrown, Wording wording = Wording::ForeignAsAscii)
{
    try {
        throw thrown;
    } catch (...) {
        return TranslateCaughtException(wording);
    }
}

// What a COM caller and a person get from each kind of failure, wherever it surfaces.
TEST(ExceptionTranslation, EachKindHasItsCodeAndWords)
{
    const SettingValueError notANumber(L"Left", L"abc", SettingValueError::Reason::NotANumber);
    const SettingValueError tooLarge(L"Home", L"1e400", SettingValueError::Reason::OutOfRange);
    EXPECT_EQ(Translated(notANumber).code, Code(0x80020005)); // DISP_E_TYPEMISMATCH
    EXPECT_EQ(Translated(notANumber).text, notANumber.Describe());
    EXPECT_EQ(Translated(tooLarge).code, Code(0x8002000A)); // DISP_E_OVERFLOW
    EXPECT_EQ(Translated(tooLarge, Wording::ForeignAsLatin1).text, tooLarge.Describe());

    const CaughtException windows = Translated(WindowsError(Code(0x80070005), "RegOpenKeyEx failed"));
    EXPECT_EQ(windows.code, Code(0x80070005));
    EXPECT_EQ(windows.text, L"RegOpenKeyEx failed");

    EXPECT_EQ(Translated(std::bad_alloc()).code, Code(0x8007000E)); // E_OUTOFMEMORY
    EXPECT_EQ(Translated(std::bad_alloc()).text, L"Out of memory.");
    EXPECT_EQ(Translated(std::runtime_error("no skin")).code, Code(0x80004005)); // E_FAIL
    EXPECT_EQ(Translated(std::runtime_error("no skin")).text, L"no skin");
    EXPECT_EQ(Translated(42).code, Code(0x80004005));
    EXPECT_EQ(Translated(42).text, std::nullopt);

    // A boundary that only answers a code gets the same code and no words.
    EXPECT_EQ(Translated(tooLarge, Wording::CodeOnly).code, Code(0x8002000A));
    EXPECT_EQ(Translated(tooLarge, Wording::CodeOnly).text, std::nullopt);
    EXPECT_EQ(Translated(std::bad_alloc(), Wording::CodeOnly).text, std::nullopt);
}

TEST(ExceptionTranslation, WordsThatAreNotUtf8AreShownAsAsciiOrLatin1)
{
    const std::runtime_error foreign("caf\xE9");
    EXPECT_EQ(Translated(foreign, Wording::ForeignAsAscii).text, L"caf?");
    EXPECT_EQ(Translated(foreign, Wording::ForeignAsLatin1).text, L"caf\u00E9");
    const std::runtime_error ours("caf\xC3\xA9");
    EXPECT_EQ(Translated(ours, Wording::ForeignAsAscii).text, L"caf\u00E9");
    EXPECT_EQ(Translated(ours, Wording::ForeignAsLatin1).text, L"caf\u00E9");
}

} // namespace
} // namespace cornice
