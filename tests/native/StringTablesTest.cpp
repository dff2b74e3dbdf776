// The product's own texts in nine languages: which table a user gets, the filling in of a text's
// places, every language with every text, and English exactly as the code has always shown it.
#include "AboutOpening.h"
#include "AboutLayout.h"
#include "AddInRegistration.h"
#include "CorbelText.h"
#include "SettingsLayout.h"
#include "SettingsProcedures.h"
#include "ProgramName.h"
#include "LanguageChoice.h"
#include "NumberConversion.h"
#include "NumberedSteps.h"
#include "OwnTexts.h"
#include "StringTableSource.h"
#include "TrellisText.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace cornice {
namespace {

using test::PlacesOf;
using test::ReadStringTables;
using test::StringTableSource;

TEST(TextLanguageFor, ChoosesByPrimaryLanguageWithPortugueseAndChineseByCountry)
{
    EXPECT_EQ(TextLanguageFor(0x0407), 0x0407);
    EXPECT_EQ(TextLanguageFor(0x0C07), 0x0407) << "Austria's German";
    EXPECT_EQ(TextLanguageFor(0x100C), 0x040C) << "Switzerland's French";
    EXPECT_EQ(TextLanguageFor(0x080A), 0x0C0A) << "Mexico's Spanish";
    EXPECT_EQ(TextLanguageFor(0x040A), 0x0C0A) << "Spanish, traditional sort";
    EXPECT_EQ(TextLanguageFor(0x0416), 0x0416);
    EXPECT_EQ(TextLanguageFor(0x0816), kEnglishText) << "Portugal's Portuguese";
    EXPECT_EQ(TextLanguageFor(0x1004), 0x0804) << "Singapore's Chinese";
    EXPECT_EQ(TextLanguageFor(0x0404), kEnglishText) << "Taiwan's Traditional Chinese";
    EXPECT_EQ(TextLanguageFor(0x0C04), kEnglishText) << "Hong Kong's";
    EXPECT_EQ(TextLanguageFor(0x0809), kEnglishText);
    EXPECT_EQ(TextLanguageFor(0x0413), kEnglishText) << "Dutch, which the product does not ship";
    EXPECT_EQ(TextLanguageFor(0), kEnglishText);
}

TEST(FillIn, ReplacesNumberedPlacesInAnyOrder)
{
    EXPECT_EQ(FillIn(L"%2 before %1, 100%%", {L"one", L"two"}), L"two before one, 100%");
    EXPECT_EQ(FillIn(L"%1 and %3", {L"one"}), L"one and %3") << "a place without its argument stays";
    EXPECT_EQ(FillIn(L"%1", {L"%2"}), L"%2") << "an argument is not read again";
    EXPECT_EQ(FillIn(L"ends with %", {}), L"ends with %");
}

struct TableFiles {
    const char* name;
    const char* rc;
    const char* header;
};

class StringTables : public testing::TestWithParam<TableFiles> {};

TEST_P(StringTables, EveryLanguageHasEveryTextWithTheSamePlaces)
{
    const StringTableSource source = ReadStringTables(GetParam().rc, GetParam().header);
    std::set<int> languages;
    for (const auto& [language, texts] : source.textsByLanguage) languages.insert(language);
    EXPECT_EQ(languages, std::set<int>(kTextLanguages.begin(), kTextLanguages.end()));

    const auto& english = source.textsByLanguage.at(kEnglishText);
    for (const auto& [name, id] : source.ids) {
        ASSERT_TRUE(english.count(name)) << name << " has no English text";
        for (const std::wstring& place : PlacesOf(english.at(name)))
            EXPECT_TRUE(place.size() == 2 && place[1] >= L'1' && place[1] <= L'9')
                << name << ": only %1 ... %9 are filled in";
    }
    for (const auto& [language, texts] : source.textsByLanguage) {
        EXPECT_EQ(texts.size(), source.ids.size()) << "language " << language << " has a text with no id";
        for (const auto& [name, id] : source.ids) {
            const auto found = texts.find(name);
            if (found == texts.end()) {
                ADD_FAILURE() << name << " is missing in language " << language;
                continue;
            }
            EXPECT_NE(found->second.find_first_not_of(L' '), std::wstring::npos) << name << " is empty in " << language;
            EXPECT_EQ(PlacesOf(found->second), PlacesOf(english.at(name))) << name << " in language " << language;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Product, StringTables,
                         testing::Values(TableFiles{"Trellis", TRELLIS_TEXT_RC, TRELLIS_TEXT_H},
                                         TableFiles{"Corbel", CORBEL_TEXT_RC, CORBEL_TEXT_H}),
                         [](const testing::TestParamInfo<TableFiles>& info) { return info.param.name; });

// Both programs show the website's label, and a reader sees one word for it; Chinese reads with
// full-width punctuation only.
TEST(SharedTexts, OneWebsiteWordPerLanguageAndChineseFullWidth)
{
    const StringTableSource trellis = ReadStringTables(TRELLIS_TEXT_RC, TRELLIS_TEXT_H);
    const StringTableSource corbel = ReadStringTables(CORBEL_TEXT_RC, CORBEL_TEXT_H);
    for (const int language : kTextLanguages)
        EXPECT_EQ(trellis.textsByLanguage.at(language).at("IDS_WEBSITE_LABEL"),
                  corbel.textsByLanguage.at(language).at("IDS_ABOUT_WEBSITE_LABEL"))
            << "language " << language;
    for (const StringTableSource* source : {&trellis, &corbel})
        for (const auto& [name, text] : source->textsByLanguage.at(0x0804))
            EXPECT_EQ(text.find_first_of(L",:;()?!"), std::wstring::npos) << name << " has half-width punctuation";
}

// English is the texts the code shows today, byte for byte; so the windows and messages, once
// they take their texts from the tables, show English as before.
class EnglishTexts : public testing::Test {
protected:
    static std::wstring Trellis(const std::string& name)
    {
        static const StringTableSource source = ReadStringTables(TRELLIS_TEXT_RC, TRELLIS_TEXT_H);
        return source.textsByLanguage.at(kEnglishText).at(name);
    }
    static std::wstring Corbel(const std::string& name)
    {
        static const StringTableSource source = ReadStringTables(CORBEL_TEXT_RC, CORBEL_TEXT_H);
        return source.textsByLanguage.at(kEnglishText).at(name);
    }
};

TEST_F(EnglishTexts, AreTheWindowsCaptions)
{
    const char* const boxes[] = {"IDS_BOX_CLASSIC", "IDS_BOX_LEFT",   "IDS_BOX_ALL",    "IDS_BOX_HOME",
                                 "IDS_BOX_PAGE_LAYOUT", "IDS_BOX_INSERT", "IDS_BOX_FORMULAS", "IDS_BOX_DATA",
                                 "IDS_BOX_REVIEW", "IDS_BOX_VIEW",   "IDS_BOX_DEVELOPER", "IDS_BOX_HIDE_BUILT_IN_TABS"};
    for (std::size_t box = 0; box < settings::kBoxes.size(); ++box)
        EXPECT_EQ(Trellis(boxes[box]), settings::kBoxes[box].caption);
    const auto settingsText = [](int id) {
        for (const ControlDesign& control : settings::kControls)
            if (control.id == id) return std::wstring(control.text ? control.text : L"");
        return std::wstring(L"(no such control)");
    };
    EXPECT_EQ(Trellis("IDS_TAB_EXCEL"), settingsText(kExcelPageId));
    EXPECT_EQ(Trellis("IDS_TAB_ABOUT"), settingsText(kAboutPageId));
    EXPECT_EQ(Trellis("IDS_POLICY_NOTE"), settingsText(kPolicyNoteId));
    EXPECT_EQ(Trellis("IDS_WEBSITE_LABEL"), settingsText(kWebsiteCaptionId));
    EXPECT_EQ(Trellis("IDS_OK"), settingsText(kOkId));
    EXPECT_EQ(Trellis("IDS_CANCEL"), settingsText(kCancelId));
    EXPECT_EQ(FillIn(Trellis("IDS_VERSION"), {kProgramVersion}), VersionText());
    EXPECT_EQ(Trellis("IDS_APPLICATION_ERROR_TITLE"), kApplicationErrorTitle);
    EXPECT_EQ(Trellis("IDS_INSTALLATION_COMPLETE"), kInstallationComplete);

    EXPECT_EQ(Corbel("IDS_ABOUT_WEBSITE_LABEL"), about::kWebsiteCaption.text);
    EXPECT_EQ(Corbel("IDS_ABOUT_OK"), about::kOk.text);
    EXPECT_EQ(FillIn(Corbel("IDS_ABOUT_VERSION"), {L"7.0.12"}), about::VersionLine({7, 0, 12}));
    EXPECT_EQ(Corbel("IDS_ABOUT_CAPTION"), about::AboutTexts{}.caption);
    EXPECT_EQ(Corbel("IDS_ABOUT_VERSION"), about::AboutTexts{}.versionLine);
    EXPECT_EQ(Corbel("IDS_UNINSTALL_INSTRUCTIONS"),
              L"To uninstall, close Excel and then go to\r\rStart > Program Files > Cornice > Uninstall Cornice");
}

TEST_F(EnglishTexts, ComposeTheMessagesAsTheCodeDoes)
{
    EXPECT_EQ(FillIn(Trellis("IDS_APPLICATION_ERROR"), {L"Overflow", kShowSettingsLocation, L"104", kSupportEmail}),
              ApplicationErrorText(L"Overflow", kShowSettingsLocation, 104));

    const std::wstring library = L"C:\\Program Files\\Cornice\\Corbel.dll";
    RegistrationRun run;
    run.exitCode = 5;
    EXPECT_EQ(FillIn(Trellis("IDS_REGISTRATION_FAILURE"),
                     {Trellis("IDS_INSTALL_FAILED"), library, FillIn(Trellis("IDS_REGISTRATION_REFUSED"), {L"5"})}),
              RegistrationFailureText(true, library, run, true));
    run.exitCode = 4;
    EXPECT_EQ(FillIn(Trellis("IDS_REGISTRATION_FAILURE"),
                     {Trellis("IDS_UNINSTALL_INCOMPLETE"), library, FillIn(Trellis("IDS_CANNOT_UNREGISTER_ITSELF"), {L"4"})}),
              RegistrationFailureText(false, library, run, true));
    run.machineClassRemains = true;
    EXPECT_EQ(FillIn(Trellis("IDS_REGISTRATION_FAILURE"),
                     {Trellis("IDS_UNINSTALL_INCOMPLETE"), library, Trellis("IDS_MACHINE_CLASS_REMAINS")}),
              RegistrationFailureText(false, library, run, true));

    MachineWideCheck check;
    check.loadBehavior = 2;
    EXPECT_EQ(FillIn(Trellis("IDS_MACHINE_WIDE_PROBLEM"),
                     {library, FillIn(Trellis("IDS_ASK_ADMINISTRATOR"), {FillIn(Trellis("IDS_ENTRY_NOT_LOADING"), {L"2"})})}),
              MachineWideProblemText(library, check));
}

// Every reason regsvr32's outcome can give, for installing and removing, in the words of the
// table that `Trellis` reads and OwnTexts holds.
void ExpectEveryRegistrationOutcome(const std::function<std::wstring(const std::string&)>& Trellis)
{
    const std::wstring library = L"C:\\Corbel.dll";
    const auto text = [&](bool install, const std::wstring& reason) {
        return FillIn(Trellis("IDS_REGISTRATION_FAILURE"),
                      {Trellis(install ? "IDS_INSTALL_FAILED" : "IDS_UNINSTALL_INCOMPLETE"), library, reason});
    };
    for (const bool install : {true, false}) {
        RegistrationRun run;
        run.outcome = RegistrationRun::Outcome::NotStarted;
        run.startFailure = L"Access is denied.";
        EXPECT_EQ(text(install, FillIn(Trellis("IDS_REGSVR32_NOT_STARTED"), {run.startFailure})),
                  RegistrationFailureText(install, library, run, true));
        run.outcome = RegistrationRun::Outcome::TimedOut;
        EXPECT_EQ(text(install, FillIn(Trellis("IDS_REGSVR32_TIMED_OUT"), {L"30"})),
                  RegistrationFailureText(install, library, run, true));
        run.outcome = RegistrationRun::Outcome::Finished;
        const std::pair<unsigned long, const char*> reasons[] = {
            {1, "IDS_REGSVR32_BAD_COMMAND_LINE"},
            {2, "IDS_REGSVR32_NO_COM"},
            {3, "IDS_LIBRARY_NOT_LOADED"},
            {4, install ? "IDS_CANNOT_REGISTER_ITSELF" : "IDS_CANNOT_UNREGISTER_ITSELF"},
            {5, install ? "IDS_REGISTRATION_REFUSED" : "IDS_UNREGISTRATION_REFUSED"},
            {6, "IDS_REGSVR32_FAILED"},
        };
        for (const auto& [code, reason] : reasons) {
            run.exitCode = code;
            EXPECT_EQ(text(install, FillIn(Trellis(reason), {std::to_wstring(code)})),
                      RegistrationFailureText(install, library, run, true)) << reason;
        }
        run.exitCode = 3;
        EXPECT_EQ(text(install, Trellis("IDS_LIBRARY_MISSING_REINSTALL")), RegistrationFailureText(install, library, run, false));
    }

    const auto problem = [&](const std::wstring& reason) { return FillIn(Trellis("IDS_MACHINE_WIDE_PROBLEM"), {library, reason}); };
    MachineWideCheck check;
    check.userRepairFailure = L"Access is denied.";
    EXPECT_EQ(problem(FillIn(Trellis("IDS_USER_REPAIR_FAILED"), {check.userRepairFailure})), MachineWideProblemText(library, check));
    check = {};
    check.libraryPresent = false;
    check.loadBehavior = 3;
    EXPECT_EQ(problem(FillIn(Trellis("IDS_ASK_ADMINISTRATOR"), {Trellis("IDS_LIBRARY_MISSING")})), MachineWideProblemText(library, check));
    check = {};
    EXPECT_EQ(problem(FillIn(Trellis("IDS_ASK_ADMINISTRATOR"), {Trellis("IDS_ENTRY_MISSING")})), MachineWideProblemText(library, check));
    try {
        throw SettingValueError(L"Left", L"yes", SettingValueError::Reason::NotANumber);
    } catch (...) {
        EXPECT_EQ(FillIn(Trellis("IDS_SETTING_NOT_A_NUMBER"), {L"Left", L"yes"}), DescribeCurrentException());
    }
}

TEST_F(EnglishTexts, NameEveryRegistrationOutcome)
{
    ExpectEveryRegistrationOutcome(&EnglishTexts::Trellis);

    EXPECT_EQ(FillIn(Trellis("IDS_SETTING_NOT_A_NUMBER"), {L"Left", L"yes"}),
              SettingValueError(L"Left", L"yes", SettingValueError::Reason::NotANumber).Describe());
    EXPECT_EQ(FillIn(Trellis("IDS_SETTING_OUT_OF_RANGE"), {L"Left", L"70000"}),
              SettingValueError(L"Left", L"70000", SettingValueError::Reason::OutOfRange).Describe());
}

// Handed another language's table, the messages and the window's texts come from it whole.
TEST(OwnTexts, ComeFromTheTableHandedIn)
{
    const StringTableSource source = ReadStringTables(TRELLIS_TEXT_RC, TRELLIS_TEXT_H);
    const auto& german = source.textsByLanguage.at(0x0407);
    std::map<unsigned, std::wstring> texts;
    for (const auto& [name, id] : source.ids) texts[id] = german.at(name);
    UseOwnTexts(texts);
    ExpectEveryRegistrationOutcome([&](const std::string& name) { return german.at(name); });
    EXPECT_EQ(FillIn(german.at("IDS_APPLICATION_ERROR"), {L"Overflow", kShowSettingsLocation, L"104", kSupportEmail}),
              ApplicationErrorText(L"Overflow", kShowSettingsLocation, 104));
    EXPECT_EQ(FillIn(german.at("IDS_VERSION"), {kProgramVersion}), VersionText());
    UseOwnTexts({});
    EXPECT_EQ(VersionText(), std::wstring(L"Version:   ") + kProgramVersion) << "English again without a table";
}

} // namespace
} // namespace cornice
