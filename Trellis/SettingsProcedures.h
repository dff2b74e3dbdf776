// What the settings window does when it opens and when a push button is clicked, statement by
// numbered statement, so that a failing statement is reported with its number and skipped.
// The window supplies the actions that need Windows; the order, the numbers, the settings and
// the box rules live here.
#pragma once

#include "CheckBoxRules.h"
#include "NumberedSteps.h"
#include "PolicySettingsStore.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "WindowActions.h"

#include <array>
#include <string>
#include <vector>

namespace cornice {

// Where "Application Error" says a statement failed: the names users have always been shown
// and support asks for, whatever the procedures are called here.
inline constexpr const wchar_t* kSetUpWindowLocation = L"in Lattice2021/01/22.Form1.Form_Load ";
inline constexpr const wchar_t* kShowSettingsLocation = L"in Lattice2021/01/22.Form1.Form_Initialize ";
inline constexpr const wchar_t* kPushButtonLocation = L"in Lattice2021/01/22.Form1.PushButton22_Click ";

inline constexpr const wchar_t* kExcelTarget = L"Excel";

// "Version:   7.0": three blanks after the colon.
std::wstring VersionText();

// The window's side of the procedures. Any of them may throw; the procedure reports it.
class SettingsActions : public virtual WindowActions {
public:
    virtual void SetProgramIcon() = 0;
    virtual void InstallAddIn() = 0;
    virtual void UninstallAddIn() = 0;
    virtual void ShellOpen(const std::wstring& target) = 0;
    virtual void Close() = 0;
};

class SettingsProcedures {
public:
    SettingsProcedures(SettingsActions& actions, SettingsStore& store, CheckBoxRules& boxes,
                    ErrorReporter& reporter)
        : actions_(actions), store_(store), boxes_(boxes), reporter_(reporter)
    {
    }

    // "Tips" and "Search" on the "Help" page are plain boxes outside the rules, on or off; a
    // policy that sets one (or cannot be read) locks it, and the user's clicks leave it as it is.
    enum class Switch { Tips, Search };
    bool On(Switch which) const { return SwitchOf(which).on; }
    bool Locked(Switch which) const { return SwitchOf(which).locked; }
    void Set(Switch which, bool on)
    {
        PlainSwitch& plain = switches_[static_cast<std::size_t>(which)];
        if (!plain.locked) plain.on = on;
    }

    // Caption, icon, skin, custom pointer.
    void SetUpWindow();
    // About page texts; the boxes restored from the store, the box rules running as each is set.
    // A box whose value a policy sets is locked to it first (CheckBoxRules::Lock). A box whose
    // policy cannot be read is not restored and is locked as the other boxes leave it; the
    // reasons are reported once, together.
    void ShowSettings();
    // "OK": save the twelve boxes, "Tips" and "Search" (but none that is locked), install or remove the
    // add-in as the first box says unless it is locked, start Excel, close.
    void Ok();
    // "Cancel": close; nothing is saved.
    void Cancel();

private:
    void RestoreBox(int box);
    void LockBoxSetByPolicy(int box);
    struct PlainSwitch {
        const wchar_t* key;
        bool on = false;
        bool locked = false;
    };
    const PlainSwitch& SwitchOf(Switch which) const { return switches_[static_cast<std::size_t>(which)]; }
    void RestoreSwitch(PlainSwitch& plain);
    void NotePolicyFailure(const PolicyUnreadableError& error);
    void ReportUnreadablePolicies(NumberedProcedure& procedure);
    void SaveBox(int box);

    SettingsActions& actions_;
    SettingsStore& store_;
    CheckBoxRules& boxes_;
    ErrorReporter& reporter_;
    std::array<bool, CheckBoxRules::kBoxCount> policyUnreadable_{};
    std::vector<std::wstring> policyFailures_; // each reason once, in the order met
    std::array<PlainSwitch, 2> switches_{{{kTipsKey}, {kSearchKey}}};
};

} // namespace cornice
