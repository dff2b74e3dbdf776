// Why Excel may not show the Classic tab, worked out from what the registry and the files say.
// The facts are gathered on Windows (win/CheckFacts.h); here they become findings, each with a
// cause, who can mend it and what Trellis's repair would do, and with the sentence that says so:
// stable English for the command line (scripts search it) and the user's language for the window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cornice {

// The bitness of Excel or of a library; Unknown when it could not be told (no Excel found, a file
// that is no Windows program).
enum class Bitness { Unknown, X86, X64 };

// Excel's settings for one version key ("12.0" to "16.0") that the check reads.
struct VersionFacts {
    explicit VersionFacts(std::wstring key, bool disabled = false, std::optional<unsigned long> managed = {},
                          bool allDisabled = false, bool signatures = false)
        : version(std::move(key)), disabledRecord(disabled), managedAddIn(managed), allAddInsDisabled(allDisabled),
          signatureRequired(signatures)
    {
    }
    std::wstring version;
    bool disabledRecord = false;                 // Resiliency\DisabledItems names Corbel.dll
    std::optional<unsigned long> managedAddIn;   // policy Resiliency\AddinList, value Corbel.Connect
    bool allAddInsDisabled = false;              // policy Security\DisableAllAddins
    bool signatureRequired = false;              // policy Security\RequireAddinSig
};

// A Corbel.dll that a registration names, or the one beside Trellis.
struct LibraryFacts {
    std::wstring path;
    bool exists = false;
    Bitness bitness = Bitness::Unknown;
    bool isSigned = false; // carries an Authenticode signature
};

struct CheckFacts {
    Bitness excel = Bitness::Unknown;
    // The class's server in Excel's registry view: the user's own (HKEY_CURRENT_USER\Software\Classes,
    // which Windows puts over the machine's) and the machine's.
    std::optional<LibraryFacts> userClass;
    std::optional<LibraryFacts> machineClass;
    // Excel's add-in entries: whether each exists and its LoadBehavior (none when the value is
    // missing or no number). The user's takes precedence over the machine's.
    bool userEntry = false;
    std::optional<unsigned long> userLoadBehavior;
    bool machineEntry = false;
    std::optional<unsigned long> machineLoadBehavior;
    LibraryFacts beside;                           // the Corbel.dll in Trellis's own folder
    std::vector<VersionFacts> versions;            // every version key present
    // "Classic" as policy sets it (computer, then user) and as the user chose it (text as stored).
    std::optional<unsigned long> computerClassicPolicy;
    std::optional<unsigned long> userClassicPolicy;
    std::wstring unreadablePolicy;                 // a policy key that could not be read, named
    std::optional<std::wstring> userClassic;
};

enum class Cause {
    DisabledItems,          // Excel disabled the add-in after a crash or a slow start
    LoadBehavior,           // switched off in Excel's COM Add-ins dialog (the user's entry)
    MachineLoadBehavior,    // the entry for all users does not load it
    NotRegistered,          // no class or no add-in entry
    LibraryMissing,         // the class names a file that is gone
    WrongBitness,           // the class names a library of the other bitness than Excel
    ShadowedByUser,         // the user's own registration stands in for the machine's
    PolicyClassicOff,       // policy "Classic" 0
    PolicyUnreadable,       // a policy key Trellis may not read
    PolicyAddinList,        // Office's list of managed add-ins blocks it
    PolicyDisableAllAddins, // all application add-ins disabled
    PolicyRequireSignature, // add-ins must be signed, and this copy is not
    ClassicOff,             // the user's own "Classic" setting is 0
};

// Who mends a finding: Trellis's repair (for what belongs to the user), the user by installing
// again (nothing Trellis may register is at hand), or an administrator.
enum class Mender { Repair, Reinstall, Administrator };

// What the repair does for a finding the user may mend.
enum class RepairAction {
    None,
    ForgetDisabledRecords,  // delete Excel's records of Corbel.dll in every version's DisabledItems
    LoadAtStartup,          // LoadBehavior 3 in the user's entry, or that entry gone when the machine has one
    RegisterBeside,         // register the Corbel.dll beside Trellis
    RemoveUserRegistration, // delete the user's class and entry, so that the machine's serve
    TurnClassicOn,          // the user's "Classic" setting back to 1
};

struct Finding {
    Finding(Cause what, Mender who, RepairAction how = RepairAction::None, std::wstring versionKey = {},
            std::wstring about = {}, unsigned long value = 0, std::wstring registers = {})
        : cause(what), mender(who), action(how), version(std::move(versionKey)), path(std::move(about)), number(value),
          replacement(std::move(registers))
    {
    }
    Cause cause;
    Mender mender;
    RepairAction action;
    std::wstring version; // the Excel version key, where the cause is one version's
    std::wstring path;    // the library or key it is about
    unsigned long number = 0; // LoadBehavior; Excel's bits (32, 64) for WrongBitness
    std::wstring replacement; // the library the repair registers (RegisterBeside)
    bool UserMayRepair() const noexcept { return mender == Mender::Repair; }
};

// Every finding, those about the registration first, then Excel's records, then policies and
// settings; empty when nothing stands between Excel and the Classic tab.
std::vector<Finding> Diagnose(const CheckFacts& facts);

// The stable name of a cause, which starts its line on the command line ("DisabledItems").
const wchar_t* CauseName(Cause cause);

// The finding in one sentence or two: what is wrong, then what mends it or who can. English
// unless `translated`, then in the user's language (OwnTexts).
std::wstring FindingText(const Finding& finding, bool translated);

// "Name: sentence", English: one line of `Trellis.exe /check`.
std::wstring FindingLine(const Finding& finding);

// The sentence shown when nothing was found.
std::wstring NothingFoundText(bool translated);

// The findings as the window lists them, in the user's language, a blank line between two;
// NothingFoundText when there are none.
std::wstring FindingsListText(const std::vector<Finding>& findings);

} // namespace cornice
