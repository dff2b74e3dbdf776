// Values that no settings window writes but another tool, an old version or a damaged profile
// can leave in the store: each gives its defined result or a clean error that names the key.
#include "InMemorySettingsStore.h"
#include "NumberConversion.h"
#include "RibbonBuilder.h"
#include "RibbonTestSupport.h"
#include "SettingKeys.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace cornice {
namespace {

using test::BuildDocument;
using test::CountOf;
using test::Settings;

constexpr std::size_t kMegabyte = 1 << 20;

// Stored texts of a megabyte, as a registry value can hold, that still read as the number.
TEST(HugeValues, AMegabyteThatIsANumberReadsAsThatNumber)
{
    const std::wstring blanks(kMegabyte, L' ');
    const std::wstring zeros(kMegabyte, L'0');
    EXPECT_EQ(ToWholeNumber(L"Classic", blanks + L"1" + blanks), 1);
    EXPECT_EQ(ToWholeNumber(L"Classic", zeros + L"1"), 1);
    EXPECT_EQ(ToNumber(L"Home", L"1." + zeros), 1.0);
    EXPECT_EQ(ToNumber(L"Home", L"0.5" + zeros), 0.5);
    EXPECT_EQ(ToNumber(L"Home", L"-0." + zeros), 0.0);
    // A megabyte of leading fraction zeros balanced by the exponent is exactly 1.
    EXPECT_EQ(ToNumber(L"Home", L"0." + std::wstring(kMegabyte - 1, L'0') + L"1e" + std::to_wstring(kMegabyte)), 1.0);
}

TEST(HugeValues, AMegabyteThatIsNotANumberFailsWithAShortMessage)
{
    struct Case {
        std::wstring text;
        SettingValueError::Reason reason;
    };
    const Case cases[] = {
        {std::wstring(kMegabyte, L'x'), SettingValueError::Reason::NotANumber},
        {std::wstring(kMegabyte, L' '), SettingValueError::Reason::NotANumber},
        {L"1" + std::wstring(kMegabyte, L' ') + L"1", SettingValueError::Reason::NotANumber},
        {std::wstring(kMegabyte, L'9'), SettingValueError::Reason::OutOfRange},
        {L"1e" + std::wstring(kMegabyte, L'9'), SettingValueError::Reason::OutOfRange},
    };
    for (const Case& c : cases) {
        try {
            ToNumber(L"Review", c.text);
            ADD_FAILURE() << "accepted a megabyte beginning " << std::string(c.text.begin(), c.text.begin() + 8);
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Why(), c.reason);
            EXPECT_EQ(error.Text(), c.text);
            EXPECT_LT(std::string(error.what()).size(), 200u);
        }
    }
    // A tiny value a megabyte long underflows to 0, as the short form does.
    EXPECT_EQ(ToNumber(L"Review", L"1e-" + std::wstring(kMegabyte, L'9')), 0.0);
}

TEST(HugeValues, TheMessageShowsSixtyFourCharactersWhole)
{
    const auto described = [](const std::wstring& text) {
        try {
            ToNumber(L"Home", text);
        } catch (const SettingValueError& error) {
            return error.Describe();
        }
        return std::wstring(L"accepted");
    };
    const std::wstring sixtyFour(64, L'x');
    EXPECT_EQ(described(sixtyFour), L"The setting \"Home\" holds \"" + sixtyFour + L"\", which is not a number.");
    EXPECT_EQ(described(sixtyFour + L"y"),
              L"The setting \"Home\" holds \"" + sixtyFour + L"\u2026\", which is not a number.");
}

TEST(HugeValues, TheDocumentIsTheSameAsForTheShortForm)
{
    const std::wstring pad(kMegabyte, L' ');
    Settings padded, plain;
    const Settings values = {{L"Classic", L"1"}, {L"Left", L"0"}, {L"All", L"0"}, {L"Hide built-in Tabs", L"1"},
                             {L"Home", L"1"},    {L"Data", L"1"}, {L"View", L"0"}};
    for (const auto& [key, value] : values) {
        padded.emplace_back(key, pad + value + pad);
        plain.emplace_back(key, value);
    }
    const std::wstring document = BuildDocument(plain);
    EXPECT_EQ(CountOf(document, L"visible=\"false\""), 2u);
    EXPECT_EQ(BuildDocument(padded), document);

    // A host name of a megabyte is searched like any other.
    EXPECT_EQ(BuildDocument({}, std::wstring(kMegabyte, L'x') + L"Excel"), BuildDocument());
    EXPECT_EQ(BuildDocument({}, std::wstring(kMegabyte, L'x') + L"Excek"), L"");
}

TEST(EmptyValues, AnEmptyStoredTextIsNotTheDefault)
{
    // Absent means the default; present and empty is a bad value, never silently 0 or 1.
    for (const wchar_t* key : {kClassicKey, kLeftKey, kAllKey, kHideBuiltInTabsKey}) {
        try {
            const std::wstring document = BuildDocument({{key, L""}});
            ADD_FAILURE() << "built " << document.size() << " characters with an empty value";
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Key(), key);
            EXPECT_EQ(error.Why(), SettingValueError::Reason::NotANumber);
        }
    }
    for (const wchar_t* key : kTabKeys)
        EXPECT_THROW(BuildDocument({{kHideBuiltInTabsKey, L"1"}, {key, L""}}), SettingValueError) << key;
}

TEST(NegativeZero, CountsAsZeroEverywhere)
{
    EXPECT_EQ(BuildDocument({{L"Left", L"-0"}, {L"All", L"-0"}}),
              BuildDocument({{L"Left", L"0"}, {L"All", L"0"}}));
    EXPECT_EQ(BuildDocument({{L"Hide built-in Tabs", L"-0"}, {L"Home", L"1"}}), BuildDocument());
    // -0 added into the running sum leaves it alone: seven ones and a -0 are not eight.
    Settings seven = {{L"Hide built-in Tabs", L"1"}};
    for (const wchar_t* key : kTabKeys) seven.emplace_back(key, key == kTabKeys[3] ? L"-0" : L"1");
    EXPECT_EQ(CountOf(BuildDocument(seven), L"visible=\"false\""), 7u);
}

TEST(StrangeCharacters, AreNotANumberAndAreQuotedSafely)
{
    std::wstring loneSurrogate = L"1";
    loneSurrogate += static_cast<wchar_t>(0xD800);
    const std::wstring texts[] = {
        std::wstring(L"1\0", 2),   // a value written with its terminating NUL counted in
        std::wstring(L"\0" L"1", 2),
        loneSurrogate,
        L"1\u0301",                // 1 with a combining accent
        L"\u200B1",                // zero-width space
        L"\uFEFF1",                // byte-order mark
    };
    for (const std::wstring& text : texts) {
        try {
            BuildDocument({{L"Classic", text}});
            ADD_FAILURE() << "accepted a text of " << text.size() << " characters";
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Text(), text);
            EXPECT_EQ(error.Why(), SettingValueError::Reason::NotANumber);
            EXPECT_NE(std::string(error.what()).find("\"Classic\""), std::string::npos);
        }
    }
}

TEST(OtherLetterCase, EveryKeyIsFoundWhateverItsCase)
{
    auto upper = [](std::wstring s) {
        for (wchar_t& c : s)
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        return s;
    };
    Settings exact = {{kHideBuiltInTabsKey, L"1"}, {kLeftKey, L"0"}, {kAllKey, L"0"}};
    for (const wchar_t* key : kTabKeys) exact.emplace_back(key, key == kTabKeys[1] ? L"0" : L"1");
    Settings shouting;
    for (const auto& [key, value] : exact) shouting.emplace_back(upper(key), value);
    const std::wstring document = BuildDocument(exact);
    EXPECT_EQ(CountOf(document, L"visible=\"false\""), 7u);
    EXPECT_EQ(BuildDocument(shouting), document);
    EXPECT_EQ(BuildDocument({{L"CLASSIC", L"0"}}), L"");
    // The last value written wins whatever case either write used, as with one registry value.
    EXPECT_EQ(BuildDocument({{L"classic", L"0"}, {L"Classic", L"1"}}), BuildDocument());
}

// The settings window saves while Excel asks (nothing is locked): a store whose values change
// from one set to another after a given number of reads.
class StoreSavedMeanwhile final : public SettingsStore {
public:
    StoreSavedMeanwhile(const Settings& before, const Settings& after, int readsBeforeTheSave)
        : readsLeft_(readsBeforeTheSave)
    {
        for (const auto& [key, value] : before) before_.SaveSetting(kSettingsApplication, kSettingsSection, key, value);
        for (const auto& [key, value] : after) after_.SaveSetting(kSettingsApplication, kSettingsSection, key, value);
    }
    std::wstring ReadSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                             int defaultValue) override
    {
        ++reads[key];
        return (readsLeft_-- > 0 ? before_ : after_).ReadSetting(application, section, key, defaultValue);
    }
    void SaveSetting(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&) override {}

    std::map<std::wstring, int> reads;

private:
    InMemorySettingsStore before_, after_;
    int readsLeft_;
};

TEST(SavedMeanwhile, EveryDocumentIsTheDocumentOfOneOfTheStates)
{
    // Before: seven tabs hidden one by one; after: all eight, which starts from scratch.
    Settings before = {{kHideBuiltInTabsKey, L"1"}}, after = {{kHideBuiltInTabsKey, L"1"}};
    for (const wchar_t* key : kTabKeys) {
        before.emplace_back(key, key == kTabKeys[0] ? L"0" : L"1");
        after.emplace_back(key, L"1");
    }
    const std::wstring documentBefore = BuildDocument(before), documentAfter = BuildDocument(after);
    ASSERT_NE(documentBefore, documentAfter);
    for (int readsBeforeTheSave = 0; readsBeforeTheSave <= 22; ++readsBeforeTheSave) {
        StoreSavedMeanwhile store(before, after, readsBeforeTheSave);
        test::TestHost host;
        const std::wstring document = RibbonBuilder(store, host).GetRibbonXML();
        EXPECT_TRUE(document == documentBefore || document == documentAfter)
            << "save after " << readsBeforeTheSave << " reads: " << test::CountOf(document, L"visible=\"false\"")
            << " tabs hidden one by one";
        for (const auto& [key, count] : store.reads) EXPECT_EQ(count, 1) << "read more than once in one request";
    }
}

} // namespace
} // namespace cornice
