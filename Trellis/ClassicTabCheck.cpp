#include "ClassicTabCheck.h"

#include "LanguageChoice.h"
#include "NumberConversion.h"
#include "NumberText.h"
#include "OwnTexts.h"
#include "SettingKeys.h"
#include "TrellisText.h"

#include <cwctype>

namespace cornice {
namespace {

constexpr const wchar_t* kComputerPolicies = L"HKEY_LOCAL_MACHINE\\Software\\Policies\\Quillmark\\Cornice";
constexpr const wchar_t* kUserPolicies = L"HKEY_CURRENT_USER\\Software\\Policies\\Quillmark\\Cornice";

// Windows compares file names without regard to case.
bool SamePath(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

bool LoadsAtStartup(const std::optional<unsigned long>& loadBehavior)
{
    return loadBehavior && (*loadBehavior & 3) == 3;
}

// The add-in reads "Classic" as a whole number and builds nothing for 0; a text that is no
// number fails every ribbon request, which hides the tab as surely.
bool ClassicTurnedOff(const std::wstring& text)
{
    try {
        return ToWholeNumber(kClassicKey, text) == 0;
    } catch (const SettingValueError&) {
        return true;
    }
}

Finding ForAdministrator(Cause cause, std::wstring version = {}, std::wstring path = {}, unsigned long number = 0)
{
    return {cause, Mender::Administrator, RepairAction::None, std::move(version), std::move(path), number};
}

// The registration: which class and which entry Excel finds, and whether they serve.
void DiagnoseRegistration(const CheckFacts& facts, std::vector<Finding>& findings)
{
    const bool machineInstalled = facts.machineEntry;
    // What the user's repair can register in place of a registration that does not serve.
    const bool besideServes = facts.beside.exists && facts.beside.bitness != Bitness::Unknown &&
                              (facts.excel == Bitness::Unknown || facts.beside.bitness == facts.excel);
    auto registerOrReinstall = [&](Cause cause, const std::wstring& path) {
        if (machineInstalled) return ForAdministrator(cause, {}, path);
        if (besideServes)
            return Finding{cause, Mender::Repair, RepairAction::RegisterBeside, {}, path, 0, facts.beside.path};
        return Finding{cause, Mender::Reinstall, RepairAction::None, {}, path};
    };

    // The user's class is the one COM finds; on a machine with an installation for all users it
    // is a leftover of an earlier per-user one, or of another copy, that only gets in the way.
    const LibraryFacts* server = facts.userClass ? &*facts.userClass : nullptr;
    if (machineInstalled && facts.userClass) {
        const LibraryFacts& own = *facts.userClass;
        if (!own.exists)
            findings.push_back({Cause::LibraryMissing, Mender::Repair, RepairAction::RemoveUserRegistration, {}, own.path});
        else if (!facts.machineClass || !SamePath(own.path, facts.machineClass->path))
            findings.push_back({Cause::ShadowedByUser, Mender::Repair, RepairAction::RemoveUserRegistration, {}, own.path});
        server = nullptr;
    }
    if (!server && facts.machineClass) server = &*facts.machineClass;

    if (!server || (!facts.userEntry && !facts.machineEntry))
        findings.push_back(registerOrReinstall(Cause::NotRegistered, {}));
    else if (!server->exists)
        findings.push_back(registerOrReinstall(Cause::LibraryMissing, server->path));
    else if (facts.excel != Bitness::Unknown && server->bitness != Bitness::Unknown && server->bitness != facts.excel) {
        Finding finding = registerOrReinstall(Cause::WrongBitness, server->path);
        finding.number = facts.excel == Bitness::X64 ? 64 : 32; // Excel's bits
        findings.push_back(std::move(finding));
    }

    if (facts.userEntry && !LoadsAtStartup(facts.userLoadBehavior))
        findings.push_back({Cause::LoadBehavior, Mender::Repair, RepairAction::LoadAtStartup, {}, {},
                            facts.userLoadBehavior.value_or(0)});
    // The repair takes the user's entry away on such a machine, so the machine's is what counts.
    if (machineInstalled && !LoadsAtStartup(facts.machineLoadBehavior))
        findings.push_back(ForAdministrator(Cause::MachineLoadBehavior, {}, {}, facts.machineLoadBehavior.value_or(0)));
}

const LibraryFacts* ServingLibrary(const CheckFacts& facts)
{
    if (facts.userClass && !facts.machineEntry) return &*facts.userClass;
    if (facts.machineClass) return &*facts.machineClass;
    return facts.userClass ? &*facts.userClass : nullptr;
}

struct Sentence {
    unsigned id;
    const wchar_t* english;
};

Sentence WhatIsWrong(Cause cause)
{
    switch (cause) {
    case Cause::DisabledItems:
        return {IDS_CHECK_DISABLED_ITEMS, L"Excel %1 has disabled the add-in after a crash or a slow start (Disabled Items)."};
    case Cause::LoadBehavior:
        return {IDS_CHECK_LOAD_BEHAVIOR,
                L"The add-in is switched off in Excel's list of COM add-ins (LoadBehavior %1 instead of 3)."};
    case Cause::MachineLoadBehavior:
        return {IDS_CHECK_MACHINE_LOAD_BEHAVIOR,
                L"Excel's add-in entry for all users of this computer does not load the add-in (LoadBehavior %1 instead "
                L"of 3)."};
    case Cause::NotRegistered:
        return {IDS_CHECK_NOT_REGISTERED, L"The add-in is not registered for Excel."};
    case Cause::LibraryMissing:
        return {IDS_CHECK_LIBRARY_MISSING, L"The add-in's registration names %2, which does not exist."};
    case Cause::WrongBitness:
        return {IDS_CHECK_WRONG_BITNESS, L"The add-in's registration names %2, a %3-bit library, but Excel is %4-bit."};
    case Cause::ShadowedByUser:
        return {IDS_CHECK_SHADOWED,
                L"Your own registration of the add-in (%2) stands in for the one installed for all users of this "
                L"computer."};
    case Cause::PolicyClassicOff:
        return {IDS_CHECK_POLICY_CLASSIC_OFF, L"Your administrator has turned the Classic tab off (policy \"Classic\" 0 in %2)."};
    case Cause::PolicyUnreadable:
        return {IDS_CHECK_POLICY_UNREADABLE, L"The policies in %2 cannot be read, so what your administrator set is unknown."};
    case Cause::PolicyAddinList:
        return {IDS_CHECK_POLICY_ADDIN_LIST,
                L"Your administrator has blocked the add-in in the list of managed add-ins of Excel %1."};
    case Cause::PolicyDisableAllAddins:
        return {IDS_CHECK_POLICY_ALL_ADDINS, L"Your administrator has disabled all application add-ins in Excel %1."};
    case Cause::PolicyRequireSignature:
        return {IDS_CHECK_POLICY_SIGNATURE,
                L"Your administrator lets Excel %1 load only add-ins signed by a trusted publisher, and %2 is not signed."};
    case Cause::ClassicOff:
        return {IDS_CHECK_CLASSIC_OFF, L"Your own setting turns the Classic tab off (the first box on the Excel page)."};
    }
    return {0, L""};
}

Sentence WhatMendsIt(const Finding& finding)
{
    switch (finding.mender) {
    case Mender::Administrator: return {IDS_MEND_ADMINISTRATOR, L"Only your administrator can change this."};
    case Mender::Reinstall: return {IDS_MEND_REINSTALL, L"Install Cornice again to mend this."};
    case Mender::Repair: break;
    }
    switch (finding.action) {
    case RepairAction::ForgetDisabledRecords: return {IDS_MEND_FORGET_RECORDS, L"Repair removes Excel's record."};
    case RepairAction::LoadAtStartup: return {IDS_MEND_LOAD_AT_STARTUP, L"Repair switches it back on."};
    case RepairAction::RegisterBeside: return {IDS_MEND_REGISTER, L"Repair registers %5."};
    case RepairAction::RemoveUserRegistration:
        return {IDS_MEND_REMOVE_USER_REGISTRATION, L"Repair removes your own registration, so that the one for all users serves."};
    case RepairAction::TurnClassicOn: return {IDS_MEND_TURN_CLASSIC_ON, L"Repair turns it back on."};
    case RepairAction::None: break;
    }
    return {0, L""};
}

} // namespace

std::vector<Finding> Diagnose(const CheckFacts& facts)
{
    std::vector<Finding> findings;
    DiagnoseRegistration(facts, findings);

    for (const VersionFacts& version : facts.versions)
        if (version.disabledRecord)
            findings.push_back({Cause::DisabledItems, Mender::Repair, RepairAction::ForgetDisabledRecords, version.version});

    // The computer's policy comes before the user's; any number but 0 leaves the tab on.
    if (facts.computerClassicPolicy ? *facts.computerClassicPolicy == 0
                                    : facts.userClassicPolicy && *facts.userClassicPolicy == 0)
        findings.push_back(ForAdministrator(Cause::PolicyClassicOff, {},
                                            facts.computerClassicPolicy ? kComputerPolicies : kUserPolicies));
    if (!facts.unreadablePolicy.empty())
        findings.push_back(ForAdministrator(Cause::PolicyUnreadable, {}, facts.unreadablePolicy));

    const LibraryFacts* serving = ServingLibrary(facts);
    for (const VersionFacts& version : facts.versions) {
        if (version.managedAddIn && *version.managedAddIn == 0)
            findings.push_back(ForAdministrator(Cause::PolicyAddinList, version.version));
        if (version.allAddInsDisabled) findings.push_back(ForAdministrator(Cause::PolicyDisableAllAddins, version.version));
        if (version.signatureRequired && serving && serving->exists && !serving->isSigned)
            findings.push_back(ForAdministrator(Cause::PolicyRequireSignature, version.version, serving->path));
    }

    const bool classicByPolicy = facts.computerClassicPolicy || facts.userClassicPolicy;
    if (!classicByPolicy && facts.userClassic && ClassicTurnedOff(*facts.userClassic))
        findings.push_back({Cause::ClassicOff, Mender::Repair, RepairAction::TurnClassicOn});
    return findings;
}

const wchar_t* CauseName(Cause cause)
{
    switch (cause) {
    case Cause::DisabledItems: return L"DisabledItems";
    case Cause::LoadBehavior: return L"LoadBehavior";
    case Cause::MachineLoadBehavior: return L"MachineLoadBehavior";
    case Cause::NotRegistered: return L"NotRegistered";
    case Cause::LibraryMissing: return L"LibraryMissing";
    case Cause::WrongBitness: return L"WrongBitness";
    case Cause::ShadowedByUser: return L"ShadowedByUser";
    case Cause::PolicyClassicOff: return L"PolicyClassicOff";
    case Cause::PolicyUnreadable: return L"PolicyUnreadable";
    case Cause::PolicyAddinList: return L"PolicyAddinList";
    case Cause::PolicyDisableAllAddins: return L"PolicyDisableAllAddins";
    case Cause::PolicyRequireSignature: return L"PolicyRequireSignature";
    case Cause::ClassicOff: return L"ClassicOff";
    }
    return L"";
}

std::wstring FindingText(const Finding& finding, bool translated)
{
    // Every sentence takes the same places: %1 the version key (or the number, where the cause
    // is about one), %2 the path, %3 the library's bits, %4 Excel's, %5 what the repair registers.
    const std::wstring number = DecimalText(finding.number);
    const bool aboutNumber = finding.cause == Cause::LoadBehavior || finding.cause == Cause::MachineLoadBehavior;
    const std::wstring first = aboutNumber ? number : finding.version;
    const std::wstring excelBits = finding.number == 64 ? L"64" : L"32";
    const std::wstring libraryBits = finding.number == 64 ? L"32" : L"64";
    auto say = [&](const Sentence& sentence) {
        const std::initializer_list<std::wstring_view> places = {first, finding.path, libraryBits, excelBits,
                                                                  finding.replacement};
        return translated ? OwnText(sentence.id, sentence.english, places) : FillIn(sentence.english, places);
    };
    return say(WhatIsWrong(finding.cause)) + L" " + say(WhatMendsIt(finding));
}

std::wstring FindingLine(const Finding& finding)
{
    return std::wstring(CauseName(finding.cause)) + L": " + FindingText(finding, false);
}

std::wstring NothingFoundText(bool translated)
{
    constexpr const wchar_t* english = L"Nothing keeps Excel from showing the Classic tab.";
    return translated ? OwnText(IDS_CHECK_NOTHING_FOUND, english) : std::wstring(english);
}

std::wstring FindingsListText(const std::vector<Finding>& findings)
{
    if (findings.empty()) return NothingFoundText(true);
    std::wstring list;
    for (const Finding& finding : findings) {
        if (!list.empty()) list += L"\r\n\r\n";
        list += FindingText(finding, true);
    }
    return list;
}

} // namespace cornice
