// The add-in as a user and Excel meet it, in a Wine prefix of its own: regsvr32 registers and
// unregisters Corbel.dll from a program folder, and excel-host loads it as Excel does.
#include "RegistryPolicySource.h"
#include "RegistrySettingsStore.h"
#include "SettingKeys.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cornice::test {
namespace {

std::wstring g_builtCorbel, g_excelHost, g_officeData;

// Where an installation puts the add-in: a folder with blanks, as regsvr32 must quote it.
constexpr const wchar_t* kInstalledFolder = L"C:\\Program Files\\Cornice";
constexpr const wchar_t* kInstalledCorbel = L"C:\\Program Files\\Cornice\\Corbel.dll";

constexpr const wchar_t* kClsid = L"{1AF9AC43-11E4-4B8E-A1CE-B493518D11F1}";
constexpr const wchar_t* kLibid = L"{67C9FEE9-AA4A-454B-87B1-7AD7C73F9F45}";
constexpr const wchar_t* kIid = L"{CC933909-3BB1-4860-8AA0-A8E6DFBD01F8}";

const std::vector<std::pair<HKEY, std::wstring>> kWatchedRoots = {
    {HKEY_CURRENT_USER, L"Software\\Classes"},
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Office"},
    {HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings"},
    {HKEY_LOCAL_MACHINE, L"Software\\Classes"},
};

// The COM class, ProgID, type library and dispatch interface below one Classes root.
std::vector<std::wstring> ClassEntries(const std::wstring& classes)
{
    const std::wstring c = classes + L"\\CLSID\\" + kClsid, p = classes + L"\\Corbel.Connect";
    const std::wstring t = classes + L"\\TypeLib\\" + kLibid, v = t + L"\\1.0";
    const std::wstring i = classes + L"\\Interface\\" + kIid;
    const std::wstring platform = sizeof(void*) == 8 ? L"win64" : L"win32";
    const std::wstring marshaller = L"REG_SZ:{00020424-0000-0000-C000-000000000046}";
    return {
        c, c + L" [@] = REG_SZ:Corbel.Connect",
        c + L"\\InprocServer32", c + L"\\InprocServer32 [@] = REG_SZ:" + kInstalledCorbel,
        c + L"\\InprocServer32 [ThreadingModel] = REG_SZ:Apartment",
        c + L"\\ProgID", c + L"\\ProgID [@] = REG_SZ:Corbel.Connect",
        c + L"\\TypeLib", c + L"\\TypeLib [@] = REG_SZ:" + kLibid,
        p, p + L" [@] = REG_SZ:Corbel.Connect",
        p + L"\\CLSID", p + L"\\CLSID [@] = REG_SZ:" + kClsid,
        t, v, v + L" [@] = REG_SZ:Corbel",
        v + L"\\0", v + L"\\0\\" + platform, v + L"\\0\\" + platform + L" [@] = REG_SZ:" + kInstalledCorbel,
        v + L"\\FLAGS", v + L"\\FLAGS [@] = REG_SZ:0",
        v + L"\\HELPDIR", v + L"\\HELPDIR [@] = REG_SZ:" + kInstalledFolder,
        i, i + L" [@] = REG_SZ:_Connect",
        i + L"\\ProxyStubClsid", i + L"\\ProxyStubClsid [@] = " + marshaller,
        i + L"\\ProxyStubClsid32", i + L"\\ProxyStubClsid32 [@] = " + marshaller,
        i + L"\\TypeLib", i + L"\\TypeLib [@] = REG_SZ:" + kLibid, i + L"\\TypeLib [Version] = REG_SZ:1.0",
    };
}

// Everything registration writes: per user, and the classes once more for the machine, which
// Wine's COM reads (it does not merge the user's classes in as Windows does), marked as that
// mirror so that they are never taken for a package's.
std::vector<std::wstring> RegistrationEntries()
{
    const std::wstring a = L"HKCU\\Software\\Microsoft\\Office\\Excel\\Addins\\Corbel.Connect";
    std::vector<std::wstring> entries = {
        a,
        a + L" [FriendlyName] = REG_SZ:Architrave",
        a + L" [Description] = REG_SZ:Add-In Project Template",
        a + L" [LoadBehavior] = REG_DWORD:3",
        a + L" [CommandLineSafe] = REG_DWORD:0",
    };
    for (const wchar_t* classes : {L"HKCU\\Software\\Classes", L"HKLM\\Software\\Classes"}) {
        const std::vector<std::wstring> more = ClassEntries(classes);
        entries.insert(entries.end(), more.begin(), more.end());
    }
    entries.push_back(std::wstring(L"HKLM\\Software\\Classes\\CLSID\\") + kClsid + L" [CorniceMirror] = REG_DWORD:1");
    // TypeLib is one key for both registry views (as on 64-bit Windows), so in a 64-bit prefix
    // the machine's entries are seen a second time through Wow6432Node; nothing more is written.
    if (sizeof(void*) == 8) {
        const std::wstring machine = L"HKLM\\Software\\Classes\\Wow6432Node";
        for (const std::wstring& entry : ClassEntries(machine))
            if (entry.compare(machine.size(), 9, L"\\TypeLib\\") == 0) entries.push_back(entry);
    }
    for (std::wstring& entry : entries) entry = FoldNames(std::move(entry));
    return entries;
}

bool IsKeyEntry(const std::wstring& entry) { return entry.find(L" [") == std::wstring::npos; }

// Keys that registration may create on the way to its own (HKCU\Software\Microsoft\Office in a
// fresh profile); they belong to nobody in particular and may stay after unregistration.
bool IsAncestorOfAnEntry(const std::wstring& key)
{
    for (const std::wstring& entry : RegistrationEntries())
        if (IsKeyEntry(entry) && entry.size() > key.size() && entry.compare(0, key.size(), key) == 0 &&
            entry[key.size()] == L'\\')
            return true;
    return false;
}

RegistrySnapshot Snapshot() { return SnapshotRegistry(kWatchedRoots); }

RegistrySnapshot Minus(const RegistrySnapshot& a, const RegistrySnapshot& b)
{
    RegistrySnapshot result;
    for (const std::wstring& entry : a)
        if (!b.count(entry)) result.insert(entry);
    return result;
}

std::string Lines(const RegistrySnapshot& entries) { return Difference(entries, {}); }

ProcessResult Regsvr32(const std::wstring& switches)
{
    return RunProcess(L"regsvr32.exe " + switches + L" \"" + kInstalledCorbel + L"\"");
}

ProcessResult ExcelHost(const std::wstring& arguments)
{
    return RunProcess(L"\"" + g_excelHost + L"\" " + arguments);
}

std::size_t Occurrences(const std::string& text, const std::string& needle)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
    return count;
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// Group Policy, as the template writes it: REG_DWORD values under the product's policy key.
void SetPolicy(HKEY root, const wchar_t* key, DWORD value)
{
    UniqueHkey policies;
    ASSERT_EQ(::RegCreateKeyExW(root, RegistryPolicySource::kPolicyKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                                nullptr, policies.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(policies.Get(), key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
}

void RemovePolicies()
{
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, RegistryPolicySource::kPolicyKey, KEY_WOW64_64KEY, 0);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, RegistryPolicySource::kPolicyKey);
}

std::string RibbonFromExcelHost()
{
    const std::wstring out = TempFile(L"ribbon-policy.xml");
    ::DeleteFileW(out.c_str());
    const ProcessResult host = ExcelHost(L"--ribbon-out \"" + out + L"\"");
    EXPECT_EQ(host.exitCode, 0u) << host.output;
    std::ifstream file(out.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class AddInScenario : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::CreateDirectoryW(kInstalledFolder, nullptr);
        ASSERT_TRUE(::CopyFileW(g_builtCorbel.c_str(), kInstalledCorbel, FALSE))
            << "cannot copy " << ToUtf8(g_builtCorbel) << ", error " << ::GetLastError();
    }
    void SetUp() override { ReplaceSettings({}); }
    void TearDown() override
    {
        RemovePolicies();
        Regsvr32(L"/u /s");
        ReplaceSettings({});
    }
};

TEST_F(AddInScenario, RegistrationWritesExactlyTheListedEntries)
{
    const RegistrySnapshot before = Snapshot();
    const ProcessResult run = Regsvr32(L"/s");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    const RegistrySnapshot after = Snapshot();

    RegistrySnapshot expected;
    for (const std::wstring& entry : RegistrationEntries()) expected.insert(entry);
    for (const std::wstring& entry : Minus(after, before))
        if (IsKeyEntry(entry) && IsAncestorOfAnEntry(entry)) expected.insert(entry);
    const RegistrySnapshot added = Minus(after, before);
    EXPECT_EQ(added, expected) << "written but not expected:\n" << Lines(Minus(added, expected))
                               << "expected but not written:\n" << Lines(Minus(expected, added));
    EXPECT_EQ(Minus(before, after), RegistrySnapshot()) << "registration removed:\n" << Lines(Minus(before, after));

    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    EXPECT_EQ(Snapshot(), after) << "registering twice must give the same registry";
}

TEST_F(AddInScenario, UnregistrationRemovesEverythingItWroteAndKeepsTheSettings)
{
    ReplaceSettings({{kHideBuiltInTabsKey, L"1"}, {L"Home", L"1"}});
    const RegistrySnapshot before = Snapshot();
    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    const ProcessResult run = Regsvr32(L"/u /s");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    const RegistrySnapshot after = Snapshot();

    EXPECT_EQ(Minus(before, after), RegistrySnapshot()) << "gone, but registration had not written it:\n"
                                                        << Lines(Minus(before, after));
    for (const std::wstring& entry : Minus(after, before))
        EXPECT_TRUE(IsKeyEntry(entry) && IsAncestorOfAnEntry(entry)) << "left behind: " << ToUtf8(entry);
    for (const std::wstring& entry : after)
        for (const wchar_t* trace : {kClsid, kLibid, kIid, L"CORBEL.CONNECT"})
            EXPECT_EQ(entry.find(trace), std::wstring::npos) << "left behind: " << ToUtf8(entry);

    const ProcessResult host = ExcelHost(L"");
    EXPECT_EQ(host.exitCode, 3u) << host.output;
    EXPECT_NE(host.output.find("no add-in to load"), std::string::npos) << host.output;

    RegistrySettingsStore store;
    EXPECT_EQ(store.ReadSetting(kSettingsApplication, kSettingsSection, L"Home", 0), L"1");

    const ProcessResult again = Regsvr32(L"/u /s");
    EXPECT_EQ(again.exitCode, 0u) << "an add-in that is not registered counts as removed\n" << again.output;
}

TEST_F(AddInScenario, UninstallEntryShowsTheExactMessageAndChangesNothing)
{
    ReplaceSettings({{L"All", L"1"}});
    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    const RegistrySnapshot before = Snapshot();
    WIN32_FILE_ATTRIBUTE_DATA libraryBefore = {}, libraryAfter = {};
    ASSERT_TRUE(::GetFileAttributesExW(kInstalledCorbel, GetFileExInfoStandard, &libraryBefore));

    // Both uninstall entries: the Help menu's and its copy inside the "All" menu.
    const ProcessResult host = ExcelHost(L"--click d24224025 --click Alld24224025");
    EXPECT_EQ(host.exitCode, 0u) << host.output;
    EXPECT_EQ(Occurrences(host.output, "  window shown: message box \"Architrave\" (class #32770)\n"), 2u) << host.output;
    EXPECT_EQ(Occurrences(host.output, "    text: \"To uninstall, close Excel and then go to\\r\\r"
                                       "Start > Program Files > Cornice > Uninstall Cornice\"\n"),
              2u)
        << host.output;
    EXPECT_EQ(Occurrences(host.output, "    buttons: \"OK\"; icon: none\n"), 2u) << host.output;
    EXPECT_EQ(Occurrences(host.output, "window shown"), 2u) << "no other window\n" << host.output;

    EXPECT_EQ(Snapshot(), before) << "the uninstall entry changed the registry";
    ASSERT_TRUE(::GetFileAttributesExW(kInstalledCorbel, GetFileExInfoStandard, &libraryAfter));
    EXPECT_EQ(::CompareFileTime(&libraryBefore.ftLastWriteTime, &libraryAfter.ftLastWriteTime), 0);
    EXPECT_EQ(libraryBefore.nFileSizeLow, libraryAfter.nFileSizeLow);
}

TEST_F(AddInScenario, NonNumericTabValueFailsTheRibbonRequestAndExcelCarriesOn)
{
    ReplaceSettings({{kHideBuiltInTabsKey, L"1"}, {L"Page Layout", L"1,0"}});
    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    const std::wstring out = TempFile(L"ribbon-bad.xml");
    const ProcessResult host = ExcelHost(L"--ribbon-out \"" + out + L"\"");
    EXPECT_EQ(host.exitCode, 5u) << host.output;
    EXPECT_NE(host.output.find("ribbon request failed: 0x80020005: The setting \"Page Layout\" holds \"1,0\", "
                               "which is not a number."),
              std::string::npos)
        << host.output;
    EXPECT_NE(host.output.find("disconnected and released; DllCanUnloadNow: S_OK"), std::string::npos) << host.output;
    EXPECT_EQ(::GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES) << "no document may be written";
}

TEST_F(AddInScenario, HostWhoseNameLacksExcelGetsAnEmptyDocument)
{
    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    for (const wchar_t* name : {L"\"Lotus 1-2-3\"", L"\"microsoft excel\"", L"\"\""}) {
        const std::wstring out = TempFile(L"ribbon-empty.xml");
        const ProcessResult host = ExcelHost(L"--name " + std::wstring(name) + L" --ribbon-out \"" + out + L"\"");
        EXPECT_EQ(host.exitCode, 0u) << host.output;
        EXPECT_NE(host.output.find("empty ribbon document"), std::string::npos) << host.output;
        WIN32_FILE_ATTRIBUTE_DATA file = {};
        ASSERT_TRUE(::GetFileAttributesExW(out.c_str(), GetFileExInfoStandard, &file)) << ToUtf8(name);
        EXPECT_EQ(file.nFileSizeLow, 0u) << ToUtf8(name);
    }
}

// Excel's record of having disabled an add-in (DisabledItems.h), as Excel writes it.
std::vector<BYTE> DisabledRecord(const std::wstring& path, const std::wstring& name)
{
    std::vector<BYTE> bytes;
    const auto number = [&](std::size_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(value >> shift));
    };
    const auto text = [&](const std::wstring& value) {
        for (const wchar_t c : value + L'\0') bytes.insert(bytes.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
    };
    number(1);
    number((path.size() + 1) * 2);
    number((name.size() + 1) * 2);
    text(path);
    text(name);
    return bytes;
}

// excel-host playing each release: its Version, and only its own release's Disabled Items keep
// it from loading the add-in, until registering again repairs that release's records.
TEST_F(AddInScenario, ExcelHostAsEachReleaseHonoursThatReleasesDisabledItems)
{
    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    const std::wstring key = L"Software\\Microsoft\\Office\\15.0\\Excel\\Resiliency\\DisabledItems";
    UniqueHkey items;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, items.Put(),
                                nullptr),
              ERROR_SUCCESS);
    const std::vector<BYTE> record = DisabledRecord(L"c:\\program files\\cornice\\corbel.dll", L"Architrave");
    ::RegSetValueExW(items.Get(), L"3A4B5C6D", 0, REG_BINARY, record.data(), static_cast<DWORD>(record.size()));

    ProcessResult host = ExcelHost(L"--release 15");
    EXPECT_EQ(host.exitCode, 3u) << host.output;
    EXPECT_NE(host.output.find("Version \"15.0\""), std::string::npos) << host.output;
    EXPECT_NE(host.output.find("in Excel 15.0's Disabled Items, not loaded"), std::string::npos) << host.output;
    for (const wchar_t* other : {L"12", L"14", L"16.0"}) {
        host = ExcelHost(std::wstring(L"--release ") + other);
        EXPECT_EQ(host.exitCode, 0u) << "release " << ToUtf8(other) << "\n" << host.output;
    }

    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    host = ExcelHost(L"--release 15");
    EXPECT_EQ(host.exitCode, 0u) << "registering again must repair Excel 2013's record\n" << host.output;
    items.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\15.0");

    EXPECT_EQ(ExcelHost(L"--release 13").exitCode, 2u);
}

// With a release's list of built-in controls, excel-host names every idMso of the document that
// the release does not know, as Excel does with "Show add-in user interface errors" on.
TEST_F(AddInScenario, ExcelHostReportsTheControlsItsReleaseDoesNotKnow)
{
    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    const auto unknown = [](const ProcessResult& host, const std::string& release, const std::string& name) {
        return host.output.find("Excel " + release + " does not know the control \"" + name + "\" and skips it") !=
               std::string::npos;
    };
    ProcessResult host = ExcelHost(L"--release 14 --controls \"" + g_officeData + L"\\excel2010-idmso.txt\"");
    EXPECT_EQ(host.exitCode, 0u) << host.output;
    EXPECT_TRUE(unknown(host, "14.0", "FormulaAuditingMenu")) << host.output;
    EXPECT_FALSE(unknown(host, "14.0", "ResearchPane")) << host.output;
    EXPECT_FALSE(unknown(host, "14.0", "FileSave")) << host.output;

    host = ExcelHost(L"--release 16 --controls \"" + g_officeData + L"\\excel2016-idmso.txt\"");
    EXPECT_EQ(host.exitCode, 0u) << host.output;
    EXPECT_TRUE(unknown(host, "16.0", "ResearchPane")) << "gone from 2016 on\n" << host.output;
    EXPECT_EQ(Occurrences(host.output, "\"ResearchPane\" and skips it"), 1u) << "each name once\n" << host.output;

    EXPECT_EQ(ExcelHost(L"--controls \"" + g_officeData + L"\\no-such-list.txt\"").exitCode, 1u);
}

// What the user chose is Classic on, Left off; a user policy puts the tab before Home, and a
// computer policy switching Classic off wins over a user policy switching it on.
TEST_F(AddInScenario, GroupPolicyDecidesTheDocumentOverTheUsersChoice)
{
    ReplaceSettings({{kClassicKey, L"1"}, {kLeftKey, L"0"}});
    ASSERT_EQ(Regsvr32(L"/s").exitCode, 0u);
    EXPECT_NE(RibbonFromExcelHost().find("<tab id=\"Menus\" label=\"Classic\">"), std::string::npos);

    SetPolicy(HKEY_CURRENT_USER, kLeftKey, 1);
    const std::string before = RibbonFromExcelHost();
    EXPECT_NE(before.find("insertBeforeMso=\"TabHome\""), std::string::npos) << before.substr(0, 300);

    SetPolicy(HKEY_CURRENT_USER, kClassicKey, 1);
    SetPolicy(HKEY_LOCAL_MACHINE, kClassicKey, 0);
    EXPECT_EQ(RibbonFromExcelHost(), "");
    RemovePolicies();
    EXPECT_FALSE(RibbonFromExcelHost().empty()) << "without the policies the user's choice counts again";
}

// excel-host's own answers when the add-in list holds something it cannot use.
TEST_F(AddInScenario, ExcelHostTellsNoAddInFromAFailedLoad)
{
    const std::wstring key = L"Software\\Microsoft\\Office\\Excel\\Addins\\Missing.AddIn";
    UniqueHkey entry;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, entry.Put(),
                                nullptr),
              ERROR_SUCCESS);
    DWORD behavior = 0;
    ::RegSetValueExW(entry.Get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&behavior), sizeof behavior);
    ProcessResult host = ExcelHost(L"");
    EXPECT_EQ(host.exitCode, 3u) << "LoadBehavior 0 is not loaded at start-up\n" << host.output;

    behavior = 3;
    ::RegSetValueExW(entry.Get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&behavior), sizeof behavior);
    host = ExcelHost(L"");
    EXPECT_EQ(host.exitCode, 4u) << host.output;
    EXPECT_NE(host.output.find("cannot find the class of Missing.AddIn"), std::string::npos) << host.output;
    entry.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());

    const ProcessResult bad = ExcelHost(L"--frobnicate");
    EXPECT_EQ(bad.exitCode, 2u) << bad.output;
}

} // namespace
} // namespace cornice::test

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--corbel") cornice::test::g_builtCorbel = cornice::test::WindowsPathOf(argv[i + 1]);
        if (std::string(argv[i]) == "--excel-host") cornice::test::g_excelHost = cornice::test::WindowsPathOf(argv[i + 1]);
        if (std::string(argv[i]) == "--office-data") cornice::test::g_officeData = cornice::test::WindowsPathOf(argv[i + 1]);
    }
    if (cornice::test::g_builtCorbel.empty() || cornice::test::g_excelHost.empty() || cornice::test::g_officeData.empty()) {
        std::fprintf(stderr, "usage: addin-scenario-tests --corbel Corbel.dll --excel-host excel-host.exe "
                             "--office-data tests/data/office\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
