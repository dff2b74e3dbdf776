// The check for what keeps Excel from showing the Classic tab, over facts made up here: one test
// per family of causes, each starting from a machine where nothing is wrong.
#include "ClassicTabCheck.h"

#include "LibraryImage.h"
#include "OwnTexts.h"
#include "TrellisText.h"

#include <gtest/gtest.h>

namespace cornice {
namespace {

const std::wstring kInstalled = L"C:\\Users\\anna\\AppData\\Local\\Programs\\Cornice\\Corbel.dll";
const std::wstring kMachineCopy = L"C:\\Program Files\\Cornice\\Corbel.dll";

LibraryFacts Library(const std::wstring& path, Bitness bitness = Bitness::X86, bool exists = true)
{
    return {path, exists, exists ? bitness : Bitness::Unknown, false};
}

// Installed per user for 32-bit Excel 2016, as the installer leaves it.
CheckFacts PerUser()
{
    CheckFacts facts;
    facts.excel = Bitness::X86;
    facts.userClass = Library(kInstalled);
    facts.userEntry = true;
    facts.userLoadBehavior = 3;
    facts.beside = Library(kInstalled);
    facts.versions = {VersionFacts(L"16.0")};
    return facts;
}

// Installed for all users by the package; the user has no registration of their own.
CheckFacts ForAllUsers()
{
    CheckFacts facts = PerUser();
    facts.userClass.reset();
    facts.userEntry = false;
    facts.userLoadBehavior.reset();
    facts.machineClass = Library(kMachineCopy);
    facts.machineEntry = true;
    facts.machineLoadBehavior = 3;
    facts.beside = Library(kMachineCopy);
    return facts;
}

struct Expected {
    Cause cause;
    Mender mender;
    RepairAction action;
};

void ExpectFindings(const CheckFacts& facts, std::vector<Expected> expected, const char* what)
{
    const std::vector<Finding> findings = Diagnose(facts);
    ASSERT_EQ(findings.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(findings[i].cause, expected[i].cause) << what << ": " << i;
        EXPECT_EQ(findings[i].mender, expected[i].mender) << what << ": " << i;
        EXPECT_EQ(findings[i].action, expected[i].action) << what << ": " << i;
        EXPECT_EQ(findings[i].UserMayRepair(), expected[i].mender == Mender::Repair) << what;
    }
}

TEST(ClassicTabCheck, FindsNothingOnAWorkingMachine)
{
    EXPECT_TRUE(Diagnose(PerUser()).empty());
    EXPECT_TRUE(Diagnose(ForAllUsers()).empty());
    CheckFacts mirrored = ForAllUsers(); // the user's class naming the machine's very copy
    mirrored.userClass = Library(L"c:\\program files\\cornice\\CORBEL.DLL");
    EXPECT_TRUE(Diagnose(mirrored).empty());
    CheckFacts unknownExcel = PerUser(); // no Excel found: no bitness to compare
    unknownExcel.excel = Bitness::Unknown;
    unknownExcel.userClass->bitness = Bitness::X64;
    EXPECT_TRUE(Diagnose(unknownExcel).empty());
}

TEST(ClassicTabCheck, RegistrationThatDoesNotServe)
{
    CheckFacts none = PerUser();
    none.userClass.reset();
    none.userEntry = false;
    ExpectFindings(none, {{Cause::NotRegistered, Mender::Repair, RepairAction::RegisterBeside}}, "nothing registered");
    EXPECT_EQ(Diagnose(none)[0].replacement, kInstalled);

    CheckFacts gone = PerUser();
    gone.userClass = Library(L"D:\\Old\\Corbel.dll", Bitness::X86, false);
    ExpectFindings(gone, {{Cause::LibraryMissing, Mender::Repair, RepairAction::RegisterBeside}}, "file gone");
    EXPECT_EQ(Diagnose(gone)[0].path, L"D:\\Old\\Corbel.dll");
    gone.beside.exists = false;
    ExpectFindings(gone, {{Cause::LibraryMissing, Mender::Reinstall, RepairAction::None}}, "nothing to register");

    CheckFacts otherBits = PerUser();
    otherBits.excel = Bitness::X64;
    ExpectFindings(otherBits, {{Cause::WrongBitness, Mender::Reinstall, RepairAction::None}},
                   "x86 copy beside, x64 Excel");
    otherBits.beside = Library(L"C:\\x64\\Corbel.dll", Bitness::X64);
    ExpectFindings(otherBits, {{Cause::WrongBitness, Mender::Repair, RepairAction::RegisterBeside}}, "x64 copy beside");
    EXPECT_EQ(FindingLine(Diagnose(otherBits)[0]),
              L"WrongBitness: The add-in's registration names " + kInstalled +
                  L", a 32-bit library, but Excel is 64-bit. Repair registers C:\\x64\\Corbel.dll.");

    CheckFacts switchedOff = PerUser();
    switchedOff.userLoadBehavior = 2;
    ExpectFindings(switchedOff, {{Cause::LoadBehavior, Mender::Repair, RepairAction::LoadAtStartup}}, "LoadBehavior 2");
    switchedOff.userLoadBehavior.reset();
    ExpectFindings(switchedOff, {{Cause::LoadBehavior, Mender::Repair, RepairAction::LoadAtStartup}}, "no LoadBehavior");

    // For all users: the machine's rows are the administrator's, the user's own get in the way.
    CheckFacts machine = ForAllUsers();
    machine.machineClass->exists = false;
    machine.machineLoadBehavior = 0;
    ExpectFindings(machine,
                   {{Cause::LibraryMissing, Mender::Administrator, RepairAction::None},
                    {Cause::MachineLoadBehavior, Mender::Administrator, RepairAction::None}},
                   "the machine's copy gone and its entry off");
    CheckFacts shadowed = ForAllUsers();
    shadowed.userClass = Library(kInstalled);
    shadowed.userEntry = true;
    shadowed.userLoadBehavior = 2;
    ExpectFindings(shadowed,
                   {{Cause::ShadowedByUser, Mender::Repair, RepairAction::RemoveUserRegistration},
                    {Cause::LoadBehavior, Mender::Repair, RepairAction::LoadAtStartup}},
                   "an earlier per-user installation");
    shadowed.userClass->exists = false;
    ExpectFindings(shadowed,
                   {{Cause::LibraryMissing, Mender::Repair, RepairAction::RemoveUserRegistration},
                    {Cause::LoadBehavior, Mender::Repair, RepairAction::LoadAtStartup}},
                   "a per-user registration of a removed copy");
}

TEST(ClassicTabCheck, ExcelsRecordsOfEachVersion)
{
    CheckFacts facts = PerUser();
    facts.versions = {VersionFacts(L"12.0", true), VersionFacts(L"14.0"), VersionFacts(L"16.0", true)};
    const std::vector<Finding> findings = Diagnose(facts);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(FindingLine(findings[0]),
              L"DisabledItems: Excel 12.0 has disabled the add-in after a crash or a slow start (Disabled Items). "
              L"Repair removes Excel's record.");
    EXPECT_EQ(findings[1].version, L"16.0");
}

TEST(ClassicTabCheck, AdministratorsPoliciesAreNamedNeverRepaired)
{
    CheckFacts facts = ForAllUsers();
    facts.userClassicPolicy = 0;
    facts.unreadablePolicy = L"HKEY_CURRENT_USER\\Software\\Policies\\Quillmark\\Cornice";
    facts.versions = {VersionFacts(L"15.0", false, 0, true), VersionFacts(L"16.0", false, 2, false, true)};
    ExpectFindings(facts,
                   {{Cause::PolicyClassicOff, Mender::Administrator, RepairAction::None},
                    {Cause::PolicyUnreadable, Mender::Administrator, RepairAction::None},
                    {Cause::PolicyAddinList, Mender::Administrator, RepairAction::None},
                    {Cause::PolicyDisableAllAddins, Mender::Administrator, RepairAction::None},
                    {Cause::PolicyRequireSignature, Mender::Administrator, RepairAction::None}},
                   "every policy");
    EXPECT_EQ(FindingLine(Diagnose(facts)[0]),
              L"PolicyClassicOff: Your administrator has turned the Classic tab off (policy \"Classic\" 0 in "
              L"HKEY_CURRENT_USER\\Software\\Policies\\Quillmark\\Cornice). Only your administrator can change this.");

    // The computer's policy decides over the user's; a signed copy passes; AddinList 2 lets the user choose.
    facts.computerClassicPolicy = 1;
    facts.unreadablePolicy.clear();
    facts.versions = {VersionFacts(L"16.0", false, 2, false, true)};
    facts.machineClass->isSigned = true;
    EXPECT_TRUE(Diagnose(facts).empty());
    facts.computerClassicPolicy = 0;
    facts.userClassicPolicy = 1;
    ExpectFindings(facts, {{Cause::PolicyClassicOff, Mender::Administrator, RepairAction::None}}, "computer policy 0");
    EXPECT_NE(Diagnose(facts)[0].path.find(L"HKEY_LOCAL_MACHINE"), std::wstring::npos);
}

TEST(ClassicTabCheck, UsersOwnClassicSetting)
{
    CheckFacts facts = PerUser();
    for (const wchar_t* off : {L"0", L" 0.4 ", L"-0", L"no"}) {
        facts.userClassic = off;
        ExpectFindings(facts, {{Cause::ClassicOff, Mender::Repair, RepairAction::TurnClassicOn}}, "off");
    }
    for (const wchar_t* on : {L"1", L"2", L"0.6"}) {
        facts.userClassic = on;
        EXPECT_TRUE(Diagnose(facts).empty()) << "on";
    }
    facts.userClassic = L"0";
    facts.userClassicPolicy = 1; // a policy decides, and the user's value waits for the day it goes
    EXPECT_TRUE(Diagnose(facts).empty());
}

TEST(ClassicTabCheck, WindowSaysItInTheUsersLanguage)
{
    CheckFacts facts = PerUser();
    facts.userClassic = L"0";
    const Finding finding = Diagnose(facts).at(0);
    UseOwnTexts({{IDS_CHECK_CLASSIC_OFF, L"Eigene Einstellung aus."}, {IDS_MEND_TURN_CLASSIC_ON, L"Wieder an."},
                 {IDS_CHECK_NOTHING_FOUND, L"Nichts."}});
    EXPECT_EQ(FindingText(finding, true), L"Eigene Einstellung aus. Wieder an.");
    EXPECT_EQ(NothingFoundText(true), L"Nichts.");
    EXPECT_EQ(FindingsListText({}), L"Nichts.");
    EXPECT_EQ(FindingsListText({finding, finding}), L"Eigene Einstellung aus. Wieder an.\r\n\r\nEigene Einstellung aus. Wieder an.");
    EXPECT_EQ(FindingLine(finding), L"ClassicOff: Your own setting turns the Classic tab off (the first box on the Excel "
                                    L"page). Repair turns it back on.")
        << "the command line stays English";
    UseOwnTexts({});
}

// A PE header as the linker writes it, with the certificate table's size given.
std::vector<unsigned char> Header(unsigned machine, unsigned magic, unsigned certificateBytes)
{
    std::vector<unsigned char> bytes(1024);
    auto put = [&](std::size_t at, unsigned value, int count) {
        for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<unsigned char>(value >> 8 * i);
    };
    bytes[0] = 'M', bytes[1] = 'Z';
    put(0x3C, 0x80, 4);
    put(0x80, 0x00004550, 4);
    put(0x84, machine, 2);
    put(0x98, magic, 2);
    const std::size_t directories = 0x98 + (magic == 0x20B ? 112 : 96);
    put(directories - 4, 16, 4);
    put(directories + 8 * 4 + 4, certificateBytes, 4);
    return bytes;
}

TEST(LibraryImage, TellsBitnessAndSignatureFromTheHeader)
{
    auto read = [](const std::vector<unsigned char>& bytes) { return ReadLibraryImage(bytes.data(), bytes.size()); };
    EXPECT_EQ(read(Header(0x14C, 0x10B, 0)).bitness, Bitness::X86);
    EXPECT_FALSE(read(Header(0x14C, 0x10B, 0)).isSigned);
    EXPECT_TRUE(read(Header(0x14C, 0x10B, 2048)).isSigned);
    EXPECT_EQ(read(Header(0x8664, 0x20B, 2048)).bitness, Bitness::X64);
    EXPECT_TRUE(read(Header(0x8664, 0x20B, 2048)).isSigned);
    EXPECT_EQ(read(Header(0xAA64, 0x20B, 0)).bitness, Bitness::Unknown) << "ARM64";
    std::vector<unsigned char> cut = Header(0x8664, 0x20B, 2048);
    cut.resize(0x98 + 2);
    EXPECT_EQ(read(cut).bitness, Bitness::X64);
    EXPECT_FALSE(read(cut).isSigned) << "directories cut off";
    cut.resize(0x90);
    EXPECT_EQ(read(cut).bitness, Bitness::Unknown);
    std::vector<unsigned char> farOff = Header(0x14C, 0x10B, 0);
    farOff[0x3F] = 0xFF; // e_lfanew far past the end
    EXPECT_EQ(read(farOff).bitness, Bitness::Unknown);
}

} // namespace
} // namespace cornice
