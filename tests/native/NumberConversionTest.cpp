#include "NumberConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace cornice {
namespace {

using Reason = SettingValueError::Reason;

struct NumberCase {
    const wchar_t* text;
    double expected;
};

TEST(NumberConversion, AcceptsTheDocumentedForms)
{
    const NumberCase cases[] = {
        {L"0", 0},        {L"1", 1},         {L" 1 ", 1},         {L"\t1\t", 1},
        {L"+1", 1},       {L"-1", -1},       {L"1.5", 1.5},       {L".5", 0.5},
        {L"5.", 5},       {L"-.25", -0.25},  {L"1e3", 1000},      {L"1E+3", 1000},
        {L"2.5e-1", 0.25}, {L"00012", 12},   {L"-0", 0},          {L"0e99999999999", 0},
        {L"1e-400", 0},   {L"0.000000000000000000000000000000000000001e-400", 0},
        {L"1.7976931348623157e308", 1.7976931348623157e308},
    };
    for (const NumberCase& c : cases)
        EXPECT_EQ(ToNumber(L"Home", c.text), c.expected) << "text \"" << c.text << '"';
}

// 1 + 2^-53 lies halfway between 1 and the next double and goes to the even one, 1; any digit
// after it, however far, tips it up. A reader that keeps only the first digits loses that.
TEST(NumberConversion, ADigitFarPastTheHalfwayPointStillRoundsUp)
{
    const std::wstring halfway = L"1.00000000000000011102230246251565404236316680908203125";
    const double above = 1 + std::numeric_limits<double>::epsilon();
    EXPECT_EQ(ToNumber(L"Home", halfway), 1.0);
    EXPECT_EQ(ToNumber(L"Home", halfway + std::wstring(1000, L'0') + L"1"), above);
}

TEST(NumberConversion, RejectsEverythingElseAsNotANumber)
{
    const wchar_t* const texts[] = {
        L"", L" ", L"\t", L"abc", L"1a", L"a1", L"1 2", L"1,5", L"1,000", L"0x10", L"&H10",
        L"Inf", L"-Infinity", L"NaN", L"1e", L"1e+", L"1e1.5", L".", L"-", L"+-1", L"--1",
        L"1..2", L"1.2.3", L"\u0661", L"\uFF11", L"1\n", L"\n1", L"1\u00A0", L"$1", L"1%", L"(1)",
        L"1\u2026",
    };
    for (const wchar_t* text : texts) {
        try {
            ToNumber(L"Home", text);
            ADD_FAILURE() << "accepted \"" << text << '"';
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Why(), Reason::NotANumber) << "text \"" << text << '"';
            EXPECT_EQ(error.Key(), L"Home");
            EXPECT_EQ(error.Text(), text);
        }
    }
}

TEST(NumberConversion, ValuesBeyondADoubleAreOutOfRange)
{
    const std::wstring texts[] = {L"1e400", L"-1e400", L"1" + std::wstring(400, L'0'), L"1e99999999999999999999"};
    for (const std::wstring& text : texts) {
        try {
            ToNumber(L"Data", text);
            ADD_FAILURE() << "accepted " << text.size() << " characters";
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Why(), Reason::OutOfRange);
        }
    }
}

struct WholeCase {
    const wchar_t* text;
    std::int32_t expected;
};

TEST(WholeNumber, RoundsHalfwayValuesToEven)
{
    const WholeCase cases[] = {
        {L"0.5", 0},   {L"1.5", 2},   {L"2.5", 2},   {L"3.5", 4},   {L"-0.5", 0}, {L"-1.5", -2},
        {L"-2.5", -2}, {L"0.49", 0},  {L"0.51", 1},  {L"2.4999", 2}, {L"1", 1},   {L" 2 ", 2},
        {L"1e0", 1},   {L"25e-1", 2}, {L"-0", 0},
    };
    for (const WholeCase& c : cases)
        EXPECT_EQ(ToWholeNumber(L"Left", c.text), c.expected) << "text \"" << c.text << '"';
}

TEST(WholeNumber, HoldsTheWhole32BitRangeAndNoMore)
{
    EXPECT_EQ(ToWholeNumber(L"All", L"2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ToWholeNumber(L"All", L"2147483647.4"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ToWholeNumber(L"All", L"-2147483648"), std::numeric_limits<std::int32_t>::min());
    // Halfway at the bottom rounds to the even -2147483648, which still fits.
    EXPECT_EQ(ToWholeNumber(L"All", L"-2147483648.5"), std::numeric_limits<std::int32_t>::min());
    for (const wchar_t* text : {L"2147483647.5", L"2147483648", L"-2147483648.6", L"1e10", L"-1e300"}) {
        try {
            ToWholeNumber(L"All", text);
            ADD_FAILURE() << "accepted \"" << text << '"';
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Why(), Reason::OutOfRange) << text;
            EXPECT_EQ(error.Key(), L"All");
        }
    }
}

TEST(Integer16, HoldsThe16BitRangeAndNoMore)
{
    EXPECT_EQ(ToInteger16(L"Classic", L"2"), 2);
    EXPECT_EQ(ToInteger16(L"Classic", L"32767"), 32767);
    EXPECT_EQ(ToInteger16(L"Classic", L"-32768.5"), -32768);
    EXPECT_EQ(ToInteger16(L"Classic", L"1.5"), 2);
    EXPECT_THROW(ToInteger16(L"Classic", L"32767.5"), SettingValueError);
    EXPECT_THROW(ToInteger16(L"Classic", L"32768"), SettingValueError);
    EXPECT_THROW(ToInteger16(L"Classic", L"-32769"), SettingValueError);
    EXPECT_THROW(ToInteger16(L"Classic", L"one"), SettingValueError);
}

TEST(RunningSum, RoundsAfterEveryAddition)
{
    // 1.5 four times is 8, not 6: each partial sum rounds half to even (2, 4, 6, 8).
    std::int32_t sum = 0;
    for (int i = 0; i < 4; ++i) sum = AddToRunningSum(sum, 1.5, L"Home", L"1.5");
    EXPECT_EQ(sum, 8);
    // 0.5 never gets off the ground: 0 + 0.5 rounds back to 0.
    EXPECT_EQ(AddToRunningSum(AddToRunningSum(0, 0.5, L"Home", L"0.5"), 0.5, L"Insert", L"0.5"), 0);
    EXPECT_EQ(AddToRunningSum(9, -1, L"Insert", L"-1"), 8);
}

TEST(RunningSum, OverflowNamesTheValueThatCausedIt)
{
    try {
        AddToRunningSum(2'000'000'000, 2e9, L"Page Layout", L"2e9");
        ADD_FAILURE() << "no overflow";
    } catch (const SettingValueError& error) {
        EXPECT_EQ(error.Why(), Reason::OutOfRange);
        EXPECT_EQ(error.Key(), L"Page Layout");
        EXPECT_EQ(error.Text(), L"2e9");
    }
}

TEST(SettingValueErrorText, NamesKeyAndTextAndCutsHugeValues)
{
    const SettingValueError small(L"Home", L"abc", Reason::NotANumber);
    EXPECT_EQ(small.Describe(), L"The setting \"Home\" holds \"abc\", which is not a number.");
    EXPECT_STREQ(small.what(), "The setting \"Home\" holds \"abc\", which is not a number.");

    const std::wstring megabyte(1 << 20, L'7');
    try {
        ToWholeNumber(L"Classic", megabyte);
        ADD_FAILURE() << "a megabyte of sevens fits in 32 bits";
    } catch (const SettingValueError& error) {
        EXPECT_EQ(error.Text().size(), megabyte.size()); // the caller still has the whole value
        EXPECT_LT(error.Describe().size(), 200u);
        EXPECT_NE(error.Describe().find(L"\"Classic\""), std::wstring::npos);
    }
}

} // namespace
} // namespace cornice
