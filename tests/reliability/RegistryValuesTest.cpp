// The add-in's reading path (registry store and document builder) and the settings window's
// restore and save, against values that another tool, an old version or a damaged profile left
// in Wine's real registry: each gives its defined result or a clean error, and a save that fails
// leaves the old value whole.
#include "CheckBoxRules.h"
#include "SettingsLayout.h"
#include "SettingsProcedures.h"
#include "InMemorySettingsStore.h"
#include "NumberConversion.h"
#include "RegistrySettingsStore.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"
#include "WinHandles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace cornice {
namespace {

class ExcelHost final : public Host {
public:
    std::wstring Name() override { return L"Microsoft Excel"; }
};

// The registry store with the application's name replaced by one of the test's own, so that
// tests running side by side in one Wine prefix never read each other's values.
class PrivateRegistryStore final : public SettingsStore {
public:
    explicit PrivateRegistryStore(std::wstring application) : application_(std::move(application)) {}
    std::wstring ReadSetting(const std::wstring&, const std::wstring& section, const std::wstring& key,
                             int defaultValue) override
    {
        return registry_.ReadSetting(application_, section, key, defaultValue);
    }
    void SaveSetting(const std::wstring&, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override
    {
        registry_.SaveSetting(application_, section, key, value);
    }

private:
    RegistrySettingsStore registry_;
    std::wstring application_;
};

std::wstring ApplicationOfThisTest()
{
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return L"Cornice reliability " + std::to_wstring(::GetCurrentProcessId()) + L" " +
           std::wstring(name, name + std::strlen(name));
}

class RegistryValues : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationPath().c_str()); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationPath().c_str()); }

    std::wstring ApplicationPath() const { return std::wstring(RegistrySettingsStore::kRoot) + L"\\" + application_; }

    void WriteRaw(const std::wstring& name, DWORD type, const void* data, DWORD size)
    {
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (ApplicationPath() + L"\\" + kSettingsSection).c_str(), 0,
                                    nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void WriteText(const std::wstring& name, const std::wstring& text)
    {
        WriteRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    std::wstring Document()
    {
        RibbonBuilder builder(store_, host_);
        return builder.GetRibbonXML();
    }
    // The document for the same values held in memory: what the registry must not change.
    static std::wstring Expected(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> values)
    {
        InMemorySettingsStore memory;
        for (const auto& [key, value] : values) memory.SaveSetting(kSettingsApplication, kSettingsSection, key, value);
        ExcelHost host;
        return RibbonBuilder(memory, host).GetRibbonXML();
    }

    const std::wstring application_ = ApplicationOfThisTest();
    PrivateRegistryStore store_{application_};
    ExcelHost host_;
};

TEST_F(RegistryValues, NumbersOfAnotherRegistryTypeFailTheRequestCleanly)
{
    const DWORD one = 1;
    const unsigned long long wide = 1;
    struct Case {
        const wchar_t* key;
        DWORD type;
        const void* data;
        DWORD size;
    };
    const Case cases[] = {
        {kClassicKey, REG_DWORD, &one, sizeof one},
        {kLeftKey, REG_BINARY, "1", 1},
        {kAllKey, REG_QWORD, &wide, sizeof wide},
        {kHideBuiltInTabsKey, REG_MULTI_SZ, L"1\0", sizeof L"1\0"},
        {kHideBuiltInTabsKey, REG_NONE, "", 0},
    };
    for (const Case& c : cases) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationPath().c_str());
        WriteRaw(c.key, c.type, c.data, c.size);
        try {
            const std::wstring document = Document();
            ADD_FAILURE() << "built " << document.size() << " characters over a value of type " << c.type;
        } catch (const SettingsStoreError& error) {
            EXPECT_NE(std::string(error.what()).find("not text"), std::string::npos) << error.what();
        }
    }
}

TEST_F(RegistryValues, AValueOfAnotherTypeThatIsNotReadDoesNoHarm)
{
    const DWORD one = 1;
    WriteRaw(L"Home", REG_DWORD, &one, sizeof one);  // tab keys are read only while hiding is on
    WriteRaw(L"Unrelated", REG_BINARY, "\xff\xfe", 2);
    EXPECT_EQ(Document(), Expected({}));
    WriteText(kClassicKey, L"0");
    EXPECT_EQ(Document(), L"") << "Classic 0 is read first and ends the request";
}

TEST_F(RegistryValues, TextsThatAreNotNumbersNameTheirKey)
{
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {kClassicKey, L""}, {kLeftKey, L"yes"}, {kAllKey, L"1e400"}, {kClassicKey, std::wstring(1 << 20, L'x')},
    };
    for (const auto& [key, text] : cases) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationPath().c_str());
        WriteText(key, text);
        try {
            Document();
            ADD_FAILURE() << "accepted a text of " << text.size() << " characters for " << key;
        } catch (const SettingValueError& error) {
            EXPECT_EQ(error.Key(), key);
            EXPECT_EQ(error.Text(), text) << "the whole stored text reaches the error";
            EXPECT_LT(std::strlen(error.what()), 200u);
        }
    }
}

TEST_F(RegistryValues, MegabyteValuesAndOtherLetterCaseReadAsTheirNumbers)
{
    const std::wstring pad(1 << 20, L' ');
    WriteText(L"HIDE BUILT-IN TABS", pad + L"1" + pad);
    WriteText(L"home", L"1" + pad);
    WriteText(L"rEvIeW", std::wstring(1 << 20, L'0') + L"1");
    WriteText(L"LEFT", L"-0");
    const std::wstring expected =
        Expected({{kHideBuiltInTabsKey, L"1"}, {L"Home", L"1"}, {L"Review", L"1"}, {kLeftKey, L"0"}});
    EXPECT_NE(expected.find(L"<tab idMso=\"TabHome\" visible=\"false\"/><tab idMso=\"TabReview\" visible=\"false\"/>"),
              std::wstring::npos);
    EXPECT_EQ(Document(), expected);
}

TEST_F(RegistryValues, AFailedSaveLeavesTheOldValueWhole)
{
    const std::wstring megabyte = L"1" + std::wstring(1 << 20, L' ');
    store_.SaveSetting(kSettingsApplication, kSettingsSection, L"Home", megabyte);
    EXPECT_EQ(store_.ReadSetting(kSettingsApplication, kSettingsSection, L"HOME", 0), megabyte);
    EXPECT_THROW(store_.SaveSetting(kSettingsApplication, kSettingsSection, L"Home", std::wstring(L"0\0" L"1", 3)),
                 SettingsStoreError);
    EXPECT_EQ(store_.ReadSetting(kSettingsApplication, kSettingsSection, L"Home", 0), megabyte);
}

// The settings window's side: what it needs of Windows does nothing here; its reports are kept.
struct QuietWindow final : SettingsActions {
    std::wstring ProgramFolder() override { return L"C:\\Program Files\\Cornice"; }
    void SetCaption(const std::wstring&) override {}
    void SetProgramIcon() override {}
    void ApplySkin() override {}
    bool FileExists(const std::wstring&) override { return false; }
    void LoadCustomPointer(const std::wstring&) override {}
    void SetTitleLabel(const std::wstring&) override {}
    void SetVersionLabel(const std::wstring&) override {}
    void InstallAddIn() override {}
    void UninstallAddIn() override {}
    void ShellOpen(const std::wstring&) override {}
    void Close() override {}
};

struct KeptReports final : ErrorReporter {
    std::vector<std::wstring> texts;
    void ShowApplicationError(const std::wstring& text) override { texts.push_back(text); }
};

TEST_F(RegistryValues, TheSettingsWindowReportsBadValuesAndSavesEveryBoxWhole)
{
    const DWORD one = 1;
    const std::wstring pad(1 << 20, L' ');
    WriteRaw(L"CLASSIC", REG_DWORD, &one, sizeof one);      // another type, another case
    WriteText(L"left", L"1e400");                           // beyond a double
    WriteText(L"All", L"");                                 // present but empty
    WriteText(L"HOME", L"-0");                              // zero
    WriteText(L"insert", pad + L"1" + pad);                 // a megabyte that is the number 1
    WriteRaw(L"Data", REG_BINARY, "1", 1);                  // another type
    WriteText(L"REVIEW", std::wstring(1 << 20, L'x'));      // a megabyte that is no number

    QuietWindow window;
    CheckBoxRules boxes;
    KeptReports reports;
    SettingsProcedures procedures(window, store_, boxes, reports);
    procedures.SetUpWindow();
    procedures.ShowSettings();

    // One report per bad value, each naming its key and short enough for a message box.
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"\"Classic\"", L"not text"}, {L"\"Left\"", L"out of range"}, {L"\"All\"", L"not a number"},
        {L"\"Data\"", L"not text"},    {L"\"Review\"", L"not a number"},
    };
    ASSERT_EQ(reports.texts.size(), std::size(expected));
    for (std::size_t i = 0; i < reports.texts.size(); ++i) {
        EXPECT_NE(reports.texts[i].find(expected[i].first), std::wstring::npos) << i;
        EXPECT_NE(reports.texts[i].find(expected[i].second), std::wstring::npos) << i;
        EXPECT_LT(reports.texts[i].size(), 500u) << i;
    }
    EXPECT_EQ(boxes.State(CheckBoxRules::kHome), CheckBoxRules::kClear);
    EXPECT_EQ(boxes.State(CheckBoxRules::kHome + 2), CheckBoxRules::kTicked) << "Insert";

    // "OK" writes every box whole, as text, over whatever type or length stood there before.
    procedures.Ok();
    EXPECT_EQ(reports.texts.size(), std::size(expected)) << "saving reported a failure";
    for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) {
        const wchar_t* key = settings::kBoxes[box].key;
        DWORD type = REG_NONE;
        wchar_t data[8] = {};
        DWORD size = sizeof data;
        ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, (ApplicationPath() + L"\\" + kSettingsSection).c_str(), key,
                                 RRF_RT_ANY, &type, data, &size),
                  ERROR_SUCCESS)
            << box;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << box;
        EXPECT_EQ(std::wstring(data), std::to_wstring(boxes.State(box))) << box;
    }
}

} // namespace
} // namespace cornice
