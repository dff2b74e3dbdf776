#include "SettingsProcedures.h"

#include "FakeSettingsWindow.h"
#include "CorniceVersion.h"
#include "InMemorySettingsStore.h"
#include "NumberConversion.h"
#include "PolicySettingsStore.h"
#include "Utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cornice {
namespace {

using test::RecordingReporter;
// Everything the procedures ask of the window, in order, as readable lines.
using FakeActions = test::FakeSettingsActions;

// An in-memory store that writes every read and save into the actions' log and can be told
// to fail saves of chosen keys, as a registry without write access would.
struct LoggingStore final : SettingsStore {
    InMemorySettingsStore values;
    std::vector<std::wstring>& log;
    std::set<std::wstring> failingSaves;

    explicit LoggingStore(std::vector<std::wstring>& sharedLog) : log(sharedLog) {}

    std::wstring ReadSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key, int defaultValue) override
    {
        EXPECT_EQ(application, L"Quillmark");
        EXPECT_EQ(section, L"Architrave");
        log.push_back(L"read " + key);
        return values.ReadSetting(application, section, key, defaultValue);
    }
    void SaveSetting(const std::wstring& application, const std::wstring& section,
                     const std::wstring& key, const std::wstring& value) override
    {
        log.push_back(L"save " + key + L"=" + value);
        if (failingSaves.count(key)) throw SettingsStoreError("Access is denied. (error 5)");
        values.SaveSetting(application, section, key, value);
    }
    void Put(const std::wstring& key, const std::wstring& value)
    {
        values.SaveSetting(L"Quillmark", L"Architrave", key, value);
    }
    std::wstring Get(const std::wstring& key) { return values.ReadSetting(L"Quillmark", L"Architrave", key, -1); }
};

using States = std::array<int, CheckBoxRules::kBoxCount>;

States Ticked(std::initializer_list<int> boxes)
{
    States states{};
    for (int box : boxes) states[box] = 1;
    return states;
}

struct Window {
    FakeActions actions;
    LoggingStore store{actions.log};
    CheckBoxRules boxes;
    RecordingReporter reporter;
    SettingsProcedures procedures{actions, store, boxes, reporter};

    void Open()
    {
        procedures.SetUpWindow();
        procedures.ShowSettings();
    }
    std::vector<std::wstring> LogSinceOpening()
    {
        auto log = actions.log;
        actions.log.clear();
        return log;
    }
};

// The window over the user's own settings (`own`) under the computer's and the user's policies.
template <typename ComputerPolicy = InMemoryPolicySource>
struct PolicyWindow {
    FakeActions actions;
    LoggingStore own{actions.log};
    ComputerPolicy computerPolicy;
    InMemoryPolicySource userPolicy;
    PolicySettingsStore store{own, computerPolicy, userPolicy};
    CheckBoxRules boxes;
    RecordingReporter reporter;
    SettingsProcedures procedures{actions, store, boxes, reporter};
};

std::wstring Report(const std::wstring& description, const std::wstring& location, int line)
{
    return description + L"\r\n" + location + L"at line " + std::to_wstring(line) +
           L"\r\rPlease email screenshot of this message to support@quillmark.example";
}

TEST(ApplicationError, TextLayout)
{
    EXPECT_EQ(ApplicationErrorText(L"Type mismatch", L"in Lattice2021/01/22.Form1.Form_Load ", 108),
              L"Type mismatch\r\nin Lattice2021/01/22.Form1.Form_Load at line 108\r\r"
              L"Please email screenshot of this message to support@quillmark.example");
}

TEST(NumberedProcedure, ReportsAFailingStatementAndGoesOn)
{
    RecordingReporter reporter;
    NumberedProcedure procedure(L"in Here ", reporter);
    std::vector<int> ran;
    EXPECT_TRUE(procedure.Run(100, [&] { ran.push_back(100); }));
    EXPECT_FALSE(procedure.Run(102, [&] { throw std::runtime_error("Disk full \xE2\x80\x94 sorry."); }));
    EXPECT_FALSE(procedure.Run(104, [&] { throw std::runtime_error("\xFF\xFE bytes"); }));
    EXPECT_FALSE(procedure.Run(106, [&] { throw 42; }));
    EXPECT_FALSE(procedure.Run(108, [&] { ToInteger16(L"Home", L"abc"); }));
    EXPECT_TRUE(procedure.Run(110, [&] { ran.push_back(110); }));

    EXPECT_EQ(ran, (std::vector<int>{100, 110}));
    ASSERT_EQ(reporter.reports.size(), 4u);
    EXPECT_EQ(reporter.reports[0], Report(L"Disk full \u2014 sorry.", L"in Here ", 102));
    // Text that is not UTF-8 is shown byte by byte rather than lost.
    EXPECT_EQ(reporter.reports[1], Report(L"\u00FF\u00FE bytes", L"in Here ", 104));
    EXPECT_EQ(reporter.reports[2], Report(L"Unknown error.", L"in Here ", 106));
    EXPECT_EQ(reporter.reports[3],
              Report(L"The setting \"Home\" holds \"abc\", which is not a number.", L"in Here ", 108));
}

TEST(SettingsOpening, LoadsCaptionIconSkinAndTheHandCursorWhenItsFileIsPresent)
{
    Window w;
    w.actions.handPointerPresent = true;
    w.procedures.SetUpWindow();
    EXPECT_EQ(w.actions.log, (std::vector<std::wstring>{
                                 L"caption Trellis",
                                 L"icon",
                                 L"skin",
                                 L"exists C:\\Program Files\\Cornice\\HAND-M.CUR",
                                 L"pointer C:\\Program Files\\Cornice\\HAND-M.CUR",
                             }));

    Window without;
    without.procedures.SetUpWindow();
    EXPECT_EQ(without.actions.log.back(), L"exists C:\\Program Files\\Cornice\\HAND-M.CUR");
    EXPECT_TRUE(without.reporter.reports.empty());
}

TEST(SettingsOpening, AFailingLoadStepIsReportedWithItsNumberAndTheRestStillRuns)
{
    Window w;
    w.actions.handPointerPresent = true;
    w.actions.failing = {L"icon", L"skin", L"pointer"};
    w.procedures.SetUpWindow();
    EXPECT_EQ(w.actions.log.size(), 5u);
    const std::wstring at = L"in Lattice2021/01/22.Form1.Form_Load ";
    EXPECT_EQ(w.reporter.reports, (std::vector<std::wstring>{
                                      Report(L"The window refused icon.", at, 100),
                                      Report(L"The window refused skin.", at, 102),
                                      Report(L"The window refused pointer.", at, 108),
                                  }));
}

TEST(SettingsOpening, EmptyStoreShowsTheFirstThreeBoxesTickedAndReadsInOrder)
{
    Window w;
    w.procedures.ShowSettings();
    EXPECT_EQ(w.boxes.States(), Ticked({0, 1, 2}));
    EXPECT_EQ(w.actions.log, (std::vector<std::wstring>{
                                 L"title Trellis", L"version Version:   " CORNICE_VERSION_WIDE_TEXT, L"read Tips", L"read Search", L"read Classic",
                                 L"read Left", L"read All", L"read Home", L"read Page Layout",
                                 L"read Insert", L"read Formulas", L"read Data", L"read Review",
                                 L"read View", L"read Developer",
                             }));
    EXPECT_TRUE(w.reporter.reports.empty());
}

TEST(SettingsOpening, RestoringRunsTheRulesAsEachBoxIsSet)
{
    Window w;
    w.store.Put(L"Classic", L"1");
    w.store.Put(L"Left", L"1");
    w.store.Put(L"All", L"0");
    w.store.Put(L"Review", L"1");
    w.Open();
    EXPECT_EQ(w.boxes.States(), Ticked({0, 1, 8, 11}));

    // Home alone: the Home rule does not tick box 11, and box 11 is never restored.
    Window home;
    home.store.Put(L"Home", L"1");
    home.store.Put(L"Hide built-in Tabs", L"1");
    home.Open();
    EXPECT_EQ(home.boxes.States(), Ticked({0, 2, 3}));
    EXPECT_TRUE(home.reporter.reports.empty());
}

TEST(SettingsOpening, ABadStoredValueIsReportedAndTheOtherBoxesStillRestore)
{
    Window w;
    w.store.Put(L"Classic", L"abc");
    w.store.Put(L"Review", L"yes");
    w.store.Put(L"View", L"3");
    w.store.Put(L"Developer", L" 1 ");
    w.store.Put(L"Page Layout", L"70000");
    w.Open();
    const std::wstring at = L"in Lattice2021/01/22.Form1.Form_Initialize ";
    EXPECT_EQ(w.reporter.reports,
              (std::vector<std::wstring>{
                  Report(L"The setting \"Classic\" holds \"abc\", which is not a number.", at, 104),
                  Report(L"The setting \"Page Layout\" holds \"70000\", which is out of range.", at, 112),
                  Report(L"The setting \"Review\" holds \"yes\", which is not a number.", at, 112),
                  Report(L"A check box can only be 0 (clear), 1 (ticked) or 2 (greyed), not 3.", at, 112),
              }));
    // Box 0 was not set by Classic, but Left and All ticked it through their rules; Developer
    // ticked box 11.
    EXPECT_EQ(w.boxes.States(), Ticked({0, 1, 2, 10, 11}));
}

TEST(SettingsOpening, AStoredTwoShowsGreyedAndIsSavedBackAsTwo)
{
    Window w;
    w.store.Put(L"All", L"2");
    w.store.Put(L"Insert", L"2.4"); // rounds to 2
    w.Open();
    EXPECT_EQ(w.boxes.State(2), 2);
    EXPECT_EQ(w.boxes.State(5), 2);
    EXPECT_EQ(w.boxes.State(11), 1);
    w.procedures.Ok();
    EXPECT_EQ(w.store.Get(L"All"), L"2");
    EXPECT_EQ(w.store.Get(L"Insert"), L"2");
}

TEST(SettingsOk, SavesTheBoxesInOrderInstallsStartsExcelAndCloses)
{
    Window w;
    w.store.Put(L"Home", L"1");
    w.Open();
    w.LogSinceOpening();
    w.procedures.Ok();
    EXPECT_EQ(w.actions.log,
              (std::vector<std::wstring>{
                  L"save Classic=1", L"save Left=0", L"save All=1", L"save Home=1",
                  L"save Page Layout=0", L"save Insert=0", L"save Formulas=0", L"save Data=0",
                  L"save Review=0", L"save View=0", L"save Developer=0",
                  L"save Hide built-in Tabs=0", L"save Tips=0", L"save Search=0", L"install", L"open Excel", L"close",
              }));
    EXPECT_TRUE(w.reporter.reports.empty());
}

TEST(SettingsOk, ClearingClassicSavesFourteenZerosAndUninstalls)
{
    Window w;
    w.store.Put(L"Developer", L"1");
    w.Open();
    w.boxes.Click(0);
    EXPECT_EQ(w.boxes.States(), States{});
    w.LogSinceOpening();
    w.procedures.Ok();
    ASSERT_EQ(w.actions.log.size(), 17u);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(w.actions.log[i].substr(w.actions.log[i].size() - 2), L"=0") << i;
    EXPECT_EQ(w.actions.log[14], L"uninstall");
    EXPECT_EQ(w.actions.log[15], L"open Excel");
    EXPECT_EQ(w.actions.log[16], L"close");
}

TEST(SettingsOk, AGreyedClassicBoxIsSavedAsTwoAndInstalls)
{
    // A stored "2" for Classic does not stay greyed: box 0's rule ticks box 1, whose rule ticks
    // box 0, nested, before the restore goes on.
    Window w;
    w.store.Put(L"Classic", L"2");
    w.Open();
    EXPECT_EQ(w.boxes.States(), Ticked({0, 1, 2}));

    w.boxes.Set(0, 2);
    w.LogSinceOpening();
    w.procedures.Ok();
    EXPECT_EQ(w.actions.log[0], L"save Classic=2");
    EXPECT_EQ(w.actions.log[14], L"install");
}

TEST(SettingsOk, AFailedSaveIsReportedAndEverythingElseStillHappens)
{
    Window w;
    w.store.failingSaves = {L"Data", L"Classic"};
    w.Open();
    w.procedures.Ok();
    const std::wstring at = L"in Lattice2021/01/22.Form1.PushButton22_Click ";
    EXPECT_EQ(w.reporter.reports, (std::vector<std::wstring>{
                                      Report(L"Access is denied. (error 5)", at, 104),
                                      Report(L"Access is denied. (error 5)", at, 112),
                                  }));
    EXPECT_EQ(w.store.Get(L"Left"), L"1");
    EXPECT_EQ(w.store.Get(L"Formulas"), L"0");
    EXPECT_EQ(w.store.Get(L"Review"), L"0");
    EXPECT_EQ(w.store.Get(L"Hide built-in Tabs"), L"0");
    EXPECT_EQ(w.store.Get(L"Data"), L"-1") << "the failed save must not have reached the store";
    EXPECT_EQ(std::vector<std::wstring>(w.actions.log.end() - 3, w.actions.log.end()),
              (std::vector<std::wstring>{L"install", L"open Excel", L"close"}));
}

TEST(SettingsOk, FailingInstallationAndExcelStartAreReportedAndTheWindowStillCloses)
{
    Window w;
    w.actions.failing = {L"install", L"open"};
    w.Open();
    w.procedures.Ok();
    const std::wstring at = L"in Lattice2021/01/22.Form1.PushButton22_Click ";
    EXPECT_EQ(w.reporter.reports, (std::vector<std::wstring>{
                                      Report(L"The window refused install.", at, 116),
                                      Report(L"The window refused open.", at, 120),
                                  }));
    EXPECT_EQ(w.actions.log.back(), L"close");

    Window removal;
    removal.actions.failing = {L"uninstall", L"close"};
    removal.Open();
    removal.boxes.Set(0, 0);
    removal.procedures.Ok();
    EXPECT_EQ(removal.reporter.reports, (std::vector<std::wstring>{
                                            Report(L"The window refused uninstall.", at, 118),
                                            Report(L"The window refused close.", at, 122),
                                        }));
}

TEST(SettingsCancel, ClosesWithoutSavingOrInstalling)
{
    Window w;
    w.Open();
    w.boxes.Click(9);
    w.LogSinceOpening();
    w.procedures.Cancel();
    EXPECT_EQ(w.actions.log, (std::vector<std::wstring>{L"close"}));

    Window failing;
    failing.actions.failing = {L"close"};
    failing.procedures.Cancel();
    EXPECT_EQ(failing.reporter.reports,
              (std::vector<std::wstring>{Report(L"The window refused close.",
                                                L"in Lattice2021/01/22.Form1.PushButton22_Click ", 124)}));
}

// An administrator set "Classic" 0 for the computer and "Left" 1 and "Hide built-in Tabs" 0 for
// the user; the user had chosen otherwise.
TEST(SettingsUnderPolicy, PolicyBoxesShowThePolicyTheOthersRestoreAndOkSavesOnlyTheOthers)
{
    PolicyWindow<> w;
    auto& [actions, own, computerPolicy, userPolicy, store, boxes, reporter, procedures] = w;
    computerPolicy.Set(L"Classic", 0);
    userPolicy.Set(L"Left", 1);
    userPolicy.Set(L"Hide built-in Tabs", 0);
    own.Put(L"Classic", L"1");
    own.Put(L"Left", L"0");
    own.Put(L"Review", L"1");

    procedures.ShowSettings();
    EXPECT_TRUE(reporter.reports.empty());
    // Review's rule would tick box 11 and box 0; both are the policy's.
    EXPECT_EQ(boxes.States(), Ticked({1, 2, 8}));
    for (int box = 0; box < CheckBoxRules::kBoxCount; ++box)
        EXPECT_EQ(boxes.Locked(box), box == 0 || box == 1 || box == 11) << box;

    boxes.Click(3); // Home: its rule cannot clear Left
    actions.log.clear();
    procedures.Ok();
    EXPECT_EQ(actions.log, (std::vector<std::wstring>{
                               L"save All=1", L"save Home=1", L"save Page Layout=0", L"save Insert=0",
                               L"save Formulas=0", L"save Data=0", L"save Review=1", L"save View=0",
                               L"save Developer=0", L"save Tips=0", L"save Search=0", L"open Excel", L"close",
                           }))
        << "a policy's Classic 0 empties the document; removing the add-in would outlive the policy";
    EXPECT_EQ(own.Get(L"Classic"), L"1");
    EXPECT_EQ(own.Get(L"Left"), L"0");
}

// "Tips" and "Search": plain boxes, each its own key, each locked by its own policy.
TEST(SettingsSwitches, AStoredOneShowsTickedAndOkSavesTheBoxUnlessAPolicySetsIt)
{
    using Switch = SettingsProcedures::Switch;
    Window w;
    w.store.Put(L"Tips", L"1");
    w.Open();
    EXPECT_TRUE(w.procedures.On(Switch::Tips));
    EXPECT_FALSE(w.procedures.On(Switch::Search));
    EXPECT_FALSE(w.procedures.Locked(Switch::Tips));
    w.procedures.Set(Switch::Tips, false);
    w.procedures.Set(Switch::Search, true);
    w.procedures.Ok();
    EXPECT_EQ(w.store.Get(L"Tips"), L"0");
    EXPECT_EQ(w.store.Get(L"Search"), L"1");

    PolicyWindow<> managed;
    auto& [actions, own, computerPolicy, userPolicy, store, boxes, reporter, procedures] = managed;
    own.Put(L"Tips", L"0");
    own.Put(L"Search", L"1");
    userPolicy.Set(L"Tips", 1);
    computerPolicy.Set(L"Search", 0);
    procedures.ShowSettings();
    EXPECT_TRUE(procedures.On(Switch::Tips));
    EXPECT_TRUE(procedures.Locked(Switch::Tips));
    EXPECT_FALSE(procedures.On(Switch::Search));
    EXPECT_TRUE(procedures.Locked(Switch::Search));
    procedures.Set(Switch::Tips, false);
    procedures.Set(Switch::Search, true);
    EXPECT_TRUE(procedures.On(Switch::Tips)) << "a click cannot change the policy's value";
    EXPECT_FALSE(procedures.On(Switch::Search)) << "a click cannot change the policy's value";
    procedures.Ok();
    EXPECT_EQ(own.Get(L"Tips"), L"0");
    EXPECT_EQ(own.Get(L"Search"), L"1");
    EXPECT_TRUE(reporter.reports.empty());
}

// A policy source whose key cannot be read, as an ACL that keeps the user out makes it.
struct UnreadablePolicies final : PolicySource {
    std::optional<std::uint32_t> PolicyValue(const std::wstring&) override
    {
        throw PolicyUnreadableError("Cannot open the policies in HKEY_LOCAL_MACHINE\\Software\\Policies\\Quillmark"
                                    "\\Cornice: Access is denied.");
    }
};

TEST(SettingsUnderPolicy, AnUnreadablePolicyKeyIsReportedOnceAndItsBoxesAreNeitherSavedNorInstalled)
{
    PolicyWindow<UnreadablePolicies> w;
    auto& [actions, own, computerPolicy, userPolicy, store, boxes, reporter, procedures] = w;
    own.Put(L"Classic", L"0");

    procedures.ShowSettings();
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0],
              Report(L"Cannot open the policies in HKEY_LOCAL_MACHINE\\Software\\Policies\\Quillmark\\Cornice: "
                     L"Access is denied.",
                     kShowSettingsLocation, 104));
    for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) EXPECT_TRUE(boxes.Locked(box)) << box;

    boxes.Click(CheckBoxRules::kClassic);
    actions.log.clear();
    procedures.Ok();
    EXPECT_EQ(actions.log, (std::vector<std::wstring>{L"open Excel", L"close"}));
    EXPECT_EQ(own.Get(L"Classic"), L"0");
}

} // namespace
} // namespace cornice
