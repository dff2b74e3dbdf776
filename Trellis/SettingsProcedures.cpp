#include "SettingsProcedures.h"

#include "ProgramName.h"
#include "NumberConversion.h"
#include "NumberText.h"
#include "OwnTexts.h"
#include "PolicySettingsStore.h"
#include "SettingKeys.h"
#include "SettingsLayout.h"
#include "TrellisText.h"
#include "Utf8.h"

#include <algorithm>

namespace cornice {

std::wstring VersionText() { return OwnText(IDS_VERSION, L"Version:   %1", {kProgramVersion}); }

void SettingsProcedures::SetUpWindow()
{
    NumberedProcedure procedure(kSetUpWindowLocation, reporter_);
    procedure.Run(100, [&] { actions_.SetCaption(kProgramName); });
    procedure.Run(100, [&] { actions_.SetProgramIcon(); });
    procedure.Run(102, [&] { actions_.ApplySkin(); });
    bool handPointerPresent = false;
    procedure.Run(106, [&] {
        handPointerPresent = actions_.FileExists(actions_.ProgramFolder() + kHandPointerFile);
    });
    if (handPointerPresent)
        procedure.Run(108, [&] {
            actions_.LoadCustomPointer(actions_.ProgramFolder() + kHandPointerFile);
        });
}

void SettingsProcedures::RestoreBox(int box)
{
    if (policyUnreadable_.at(box)) return; // already reported; reading it would fail again
    const settings::BoxDesign& design = settings::kBoxes.at(box);
    const std::wstring text =
        store_.ReadSetting(kSettingsApplication, kSettingsSection, design.key, design.defaultState);
    // A check box takes 0, 1 or 2; the 16-bit conversion rejects what is not a number and
    // the model rejects any other number, and the box keeps the state the rules left it in.
    boxes_.Set(box, ToInteger16(design.key, text));
}

void SettingsProcedures::LockBoxSetByPolicy(int box)
{
    const settings::BoxDesign& design = settings::kBoxes.at(box);
    try {
        if (!store_.SetByPolicy(kSettingsApplication, kSettingsSection, design.key)) return;
    } catch (const PolicyUnreadableError& error) {
        policyUnreadable_.at(box) = true;
        NotePolicyFailure(error);
        return;
    }
    const std::wstring text =
        store_.ReadSetting(kSettingsApplication, kSettingsSection, design.key, design.defaultState);
    boxes_.Lock(box, ToInteger16(design.key, text));
}

// One unreadable key fails every box alike: it is said once, after all are tried.
void SettingsProcedures::NotePolicyFailure(const PolicyUnreadableError& error)
{
    const std::wstring reason = FromUtf8(error.what()).value_or(L"");
    if (std::find(policyFailures_.begin(), policyFailures_.end(), reason) == policyFailures_.end())
        policyFailures_.push_back(reason);
}

// The add-in takes only "1" as on; anything else is off.
void SettingsProcedures::RestoreSwitch(PlainSwitch& plain)
{
    try {
        plain.locked = store_.SetByPolicy(kSettingsApplication, kSettingsSection, plain.key);
    } catch (const PolicyUnreadableError& error) {
        plain.locked = true;
        NotePolicyFailure(error);
        return;
    }
    plain.on = ToWholeNumber(plain.key, store_.ReadSetting(kSettingsApplication, kSettingsSection, plain.key, 0)) == 1;
}

void SettingsProcedures::ReportUnreadablePolicies(NumberedProcedure& procedure)
{
    if (policyFailures_.empty()) return;
    std::wstring reasons;
    for (const std::wstring& reason : policyFailures_) reasons += (reasons.empty() ? L"" : L"\r\n") + reason;
    const auto first = std::find(policyUnreadable_.begin(), policyUnreadable_.end(), true) - policyUnreadable_.begin();
    const int box = static_cast<int>(first);
    procedure.Run(box <= CheckBoxRules::kAll ? 104 + 2 * box : 112,
                  [&] { throw PolicyUnreadableError(ToUtf8(reasons)); });
}

void SettingsProcedures::ShowSettings()
{
    NumberedProcedure procedure(kShowSettingsLocation, reporter_);
    procedure.Run(100, [&] { actions_.SetTitleLabel(kProgramName); });
    procedure.Run(102, [&] { actions_.SetVersionLabel(VersionText()); });
    // Policy boxes first, so that the rules of the boxes restored after them cannot move them;
    // a failure is reported under the number of the box's own restore.
    for (int box = 0; box < CheckBoxRules::kBoxCount; ++box)
        procedure.Run(box <= CheckBoxRules::kAll ? 104 + 2 * box : 112, [&] { LockBoxSetByPolicy(box); });
    for (PlainSwitch& plain : switches_) procedure.Run(114, [&] { RestoreSwitch(plain); });
    ReportUnreadablePolicies(procedure);
    procedure.Run(104, [&] { RestoreBox(CheckBoxRules::kClassic); });
    procedure.Run(106, [&] { RestoreBox(CheckBoxRules::kLeft); });
    procedure.Run(108, [&] { RestoreBox(CheckBoxRules::kAll); });
    // Statement 110 is the loop itself; its body, 112, fails and is reported per box. Box 11
    // is never restored: it follows from the tab boxes through the rules.
    for (int box = CheckBoxRules::kFirstTab; box <= CheckBoxRules::kLastTab; ++box)
        procedure.Run(112, [&] { RestoreBox(box); });
    // An administrator's lock that cannot be read stays the administrator's: neither the user's
    // clicks nor OK may write over it.
    for (int box = 0; box < CheckBoxRules::kBoxCount; ++box)
        if (policyUnreadable_[box]) boxes_.Lock(box, boxes_.State(box));
}

void SettingsProcedures::SaveBox(int box)
{
    // The user's own value stays as the user left it, for the day the policy goes.
    if (boxes_.Locked(box)) return;
    store_.SaveSetting(kSettingsApplication, kSettingsSection, settings::kBoxes.at(box).key,
                       DecimalText(boxes_.State(box)));
}

// "OK" and "Cancel" share one procedure, and so its statement numbers; statement 100 is the
// choice between them.
void SettingsProcedures::Ok()
{
    NumberedProcedure procedure(kPushButtonLocation, reporter_);
    procedure.Run(104, [&] { SaveBox(CheckBoxRules::kClassic); });
    procedure.Run(106, [&] { SaveBox(CheckBoxRules::kLeft); });
    procedure.Run(108, [&] { SaveBox(CheckBoxRules::kAll); });
    // The eight tab keys, then "Hide built-in Tabs": the order of the box indices.
    for (int box = CheckBoxRules::kFirstTab; box <= CheckBoxRules::kHideBuiltInTabs; ++box)
        procedure.Run(112, [&] { SaveBox(box); });
    for (const PlainSwitch& plain : switches_)
        if (!plain.locked)
            procedure.Run(113, [&] {
                store_.SaveSetting(kSettingsApplication, kSettingsSection, plain.key, plain.on ? L"1" : L"0");
            });
    // A policy's "Classic" already decides the document; the user's kept choice decides the
    // registration once the policy goes, so a locked box installs and removes nothing.
    if (!boxes_.Locked(CheckBoxRules::kClassic)) {
        bool install = false;
        procedure.Run(114, [&] { install = boxes_.State(CheckBoxRules::kClassic) != 0; });
        if (install)
            procedure.Run(116, [&] { actions_.InstallAddIn(); });
        else
            procedure.Run(118, [&] { actions_.UninstallAddIn(); });
    }
    procedure.Run(120, [&] { actions_.ShellOpen(kExcelTarget); });
    procedure.Run(122, [&] { actions_.Close(); });
}

void SettingsProcedures::Cancel()
{
    NumberedProcedure procedure(kPushButtonLocation, reporter_);
    procedure.Run(124, [&] { actions_.Close(); });
}

} // namespace cornice
