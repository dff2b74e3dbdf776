// The registry store against Wine's real registry. Every test works under an application key
// of its own and deletes it afterwards, so tests share a prefix without seeing each other.
#include "RegistryPolicySource.h"
#include "RegistrySettingsStore.h"
#include "SettingKeys.h"
#include "Utf8.h"
#include "WinHandles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace cornice {
namespace {

class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        application_ = L"Cornice test " + std::to_wstring(::GetCurrentProcessId()) + L" " +
                       std::wstring(info->name(), info->name() + std::strlen(info->name()));
        DeleteApplication();
    }
    void TearDown() override { DeleteApplication(); }

    std::wstring ApplicationPath() const { return std::wstring(RegistrySettingsStore::kRoot) + L"\\" + application_; }
    std::wstring SectionPath() const { return ApplicationPath() + L"\\" + kSettingsSection; }

    void DeleteApplication()
    {
        const LSTATUS status = ::RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationPath().c_str());
        ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << "status " << status;
    }

    // Writes a value the way another tool (regedit, reg.exe) could have left it.
    void WriteRaw(const std::wstring& name, DWORD type, const void* data, DWORD size)
    {
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    DWORD TypeOf(const std::wstring& name)
    {
        DWORD type = REG_NONE;
        EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, SectionPath().c_str(), name.c_str(), RRF_RT_ANY, &type,
                                 nullptr, nullptr),
                  ERROR_SUCCESS);
        return type;
    }

    std::wstring Read(const std::wstring& key, int defaultValue = 7)
    {
        return store_.ReadSetting(application_, kSettingsSection, key, defaultValue);
    }
    void Save(const std::wstring& key, const std::wstring& value)
    {
        store_.SaveSetting(application_, kSettingsSection, key, value);
    }

    RegistrySettingsStore store_;
    std::wstring application_;
};

TEST_F(RegistrySettingsStoreTest, AbsentApplicationSectionOrValueReadsAsTheDefault)
{
    EXPECT_EQ(Read(L"Classic", 1), L"1");  // no application key at all
    Save(L"Left", L"0");
    EXPECT_EQ(store_.ReadSetting(application_, L"Other section", L"Left", -3), L"-3");
    EXPECT_EQ(Read(L"Classic", 0), L"0");  // section exists, value does not
    EXPECT_EQ(Read(L"Left", 1), L"0");
}

TEST_F(RegistrySettingsStoreTest, SaveCreatesTheKeysAndWritesRegSz)
{
    Save(kHideBuiltInTabsKey, L"1");
    EXPECT_EQ(TypeOf(kHideBuiltInTabsKey), static_cast<DWORD>(REG_SZ));
    wchar_t text[8] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, SectionPath().c_str(), L"Hide built-in Tabs", RRF_RT_REG_SZ,
                             nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, L"1");
    EXPECT_EQ(size, 2 * sizeof(wchar_t)) << "the text and its terminator, nothing more";
}

TEST_F(RegistrySettingsStoreTest, NamesIgnoreCaseAndSavesReplace)
{
    Save(L"hide BUILT-IN tabs", L"1");
    EXPECT_EQ(store_.ReadSetting(application_, L"ARCHITRAVE", L"Hide built-in Tabs", 0), L"1");
    Save(L"Hide built-in Tabs", L"0");
    EXPECT_EQ(Read(L"HIDE BUILT-IN TABS", 1), L"0");
}

TEST_F(RegistrySettingsStoreTest, TextComesBackWholeAndUnchanged)
{
    const std::wstring cases[] = {
        L"",
        L"  1.5e0\t",
        L"\u00e9\u4e2d\U0001F600",                   // beyond Latin-1 and beyond the BMP
        std::wstring(100000, L'7'),                  // far beyond any first buffer guess
        std::wstring(63, L'x'), std::wstring(64, L'x'), std::wstring(65, L'x'),
    };
    for (const std::wstring& value : cases) {
        Save(L"Home", value);
        EXPECT_EQ(Read(L"Home"), value) << "length " << value.size();
    }
}

TEST_F(RegistrySettingsStoreTest, UnterminatedOrNulContainingRegSzReadsUpToItsEnd)
{
    const wchar_t unterminated[] = {L'1', L'2'};
    WriteRaw(L"Data", REG_SZ, unterminated, sizeof unterminated);
    EXPECT_EQ(Read(L"Data"), L"12");

    const wchar_t embedded[] = L"1\0" L"99";
    WriteRaw(L"View", REG_SZ, embedded, sizeof embedded);
    EXPECT_EQ(Read(L"View"), L"1");

    WriteRaw(L"Review", REG_SZ, L"5", 3);  // a stray odd byte after the text
    EXPECT_EQ(Read(L"Review"), L"5");

    WriteRaw(L"Insert", REG_EXPAND_SZ, L"%HOME%", sizeof L"%HOME%");
    EXPECT_EQ(Read(L"Insert"), L"%HOME%") << "expandable text is text, read unexpanded";
}

TEST_F(RegistrySettingsStoreTest, ValueOfAnotherRegistryTypeIsACleanError)
{
    const DWORD one = 1;
    WriteRaw(L"Classic", REG_DWORD, &one, sizeof one);
    WriteRaw(L"Left", REG_BINARY, "1", 1);
    WriteRaw(L"All", REG_MULTI_SZ, L"1\0", sizeof L"1\0");
    for (const wchar_t* key : {L"Classic", L"Left", L"All"}) {
        try {
            Read(key);
            ADD_FAILURE() << "no error for a value that is not text";
        } catch (const SettingsStoreError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("not text"), std::string::npos) << message;
            EXPECT_NE(message.find(ToUtf8(key)), std::string::npos) << message;
        }
    }
}

TEST_F(RegistrySettingsStoreTest, SaveOfTextWithANulIsRefusedInsteadOfCut)
{
    EXPECT_THROW(Save(L"Home", std::wstring(L"1\0" L"2", 3)), SettingsStoreError);
    EXPECT_EQ(Read(L"Home", 4), L"4") << "nothing was written";
}

TEST_F(RegistrySettingsStoreTest, NamesThatWouldAddressAnotherKeyAreRefused)
{
    for (const std::wstring& bad : {std::wstring(), std::wstring(L"a\\b")}) {
        EXPECT_THROW(store_.SaveSetting(bad, kSettingsSection, L"Home", L"1"), SettingsStoreError);
        EXPECT_THROW(store_.SaveSetting(application_, bad, L"Home", L"1"), SettingsStoreError);
        EXPECT_THROW(store_.ReadSetting(bad, kSettingsSection, L"Home", 0), SettingsStoreError);
    }
}

// Wine enforces no registry permissions, so an unwritable store is made the way any system
// refuses a write: a lasting key below a volatile one (ERROR_CHILD_MUST_BE_VOLATILE), and a key
// name beyond the registry's 255 characters.
TEST_F(RegistrySettingsStoreTest, FailedSaveThrowsWithAShortMessageAndWritesNothing)
{
    UniqueHkey volatileApplication;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, ApplicationPath().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, volatileApplication.Put(), nullptr),
              ERROR_SUCCESS);
    try {
        Save(L"Home", L"1");
        ADD_FAILURE() << "a save below a volatile key succeeded";
    } catch (const SettingsStoreError& error) {
        EXPECT_NE(std::string(error.what()).find("Architrave"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("error 1021"), std::string::npos) << error.what();
    }
    EXPECT_EQ(Read(L"Home", 0), L"0");

    try {
        store_.SaveSetting(application_, std::wstring(3000, L's'), L"Home", L"1");
        ADD_FAILURE() << "a key name of 3000 characters was accepted";
    } catch (const SettingsStoreError& error) {
        EXPECT_LT(std::strlen(error.what()), 400u) << error.what();
    }
}

// Policies as the template writes them (REG_DWORD) and as `reg add` without /t writes them
// (REG_SZ); anything else is an error, never "not configured". The source reads below a key of
// the test's own, so no other program in the prefix meets these policies.
TEST_F(RegistrySettingsStoreTest, PoliciesAreNumbersOrZeroOrOneAsTextAndNothingElse)
{
    UniqueHkey root;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, ApplicationPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                root.Put(), nullptr),
              ERROR_SUCCESS);
    RegistryPolicySource source(root.Get());
    EXPECT_FALSE(source.PolicyValue(L"Classic").has_value()) << "no policy key";
    UniqueHkey policies;
    ASSERT_EQ(::RegCreateKeyExW(root.Get(), RegistryPolicySource::kPolicyKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                policies.Put(), nullptr),
              ERROR_SUCCESS);
    const auto put = [&](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExW(policies.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    };
    const auto text = [&](const wchar_t* name, const std::wstring& value) {
        put(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    const DWORD zero = 0, seven = 7;
    put(L"Classic", REG_DWORD, &zero, sizeof zero);
    put(L"Left", REG_DWORD, &seven, sizeof seven);
    text(L"All", L"1");
    text(L"Home", L" 0\t");
    EXPECT_EQ(source.PolicyValue(L"Classic"), std::optional<std::uint32_t>(0));
    EXPECT_EQ(source.PolicyValue(L"Left"), std::optional<std::uint32_t>(7));
    EXPECT_EQ(source.PolicyValue(L"All"), std::optional<std::uint32_t>(1));
    EXPECT_EQ(source.PolicyValue(L"home"), std::optional<std::uint32_t>(0));
    EXPECT_FALSE(source.PolicyValue(L"View").has_value());

    const std::uint64_t wide = 1;
    text(L"Insert", L"2");
    text(L"Formulas", L"");
    text(L"Data", std::wstring(200, L' ') + L"1");
    put(L"Review", REG_BINARY, "\1\0\0\0", 4);
    put(L"Developer", REG_QWORD, &wide, sizeof wide);
    put(L"Page Layout", REG_EXPAND_SZ, L"1", sizeof L"1");
    for (const wchar_t* name : {L"Insert", L"Formulas", L"Data", L"Review", L"Developer", L"Page Layout"}) {
        try {
            source.PolicyValue(name);
            ADD_FAILURE() << ToUtf8(name) << ": no error";
        } catch (const PolicyUnreadableError& error) {
            EXPECT_NE(std::string(error.what()).find("\"" + ToUtf8(name) + "\" in HKEY_CURRENT_USER\\Software\\Policies"),
                      std::string::npos)
                << error.what();
        }
    }
}

} // namespace
} // namespace cornice
