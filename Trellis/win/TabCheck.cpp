#include "TabCheck.h"

#include "AddInRegistration.h"
#include "AddInRepair.h"
#include "DisabledItems.h"
#include "Files.h"
#include "LibraryImage.h"
#include "RegistryPolicySource.h"
#include "RegistrySettingsStore.h"
#include "SettingKeys.h"
#include "UserInstallation.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace cornice {
namespace {

constexpr const wchar_t* kVersionKeys[] = {L"12.0", L"14.0", L"15.0", L"16.0"};
static_assert(std::size(kVersionKeys) == std::size(kDisabledItemsKeys));

// Where Excel finds its program's path and Click-to-Run its bitness.
constexpr const wchar_t* kExcelAppPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\excel.exe";
constexpr const wchar_t* kClickToRun = L"Software\\Microsoft\\Office\\ClickToRun\\Configuration";

REGSAM ViewOf(Bitness excel)
{
    switch (excel) {
    case Bitness::X86: return KEY_WOW64_32KEY;
    case Bitness::X64: return KEY_WOW64_64KEY;
    case Bitness::Unknown: break;
    }
    return 0;
}

std::optional<std::wstring> ReadText(Registry& registry, HKEY root, const std::wstring& path, const wchar_t* name,
                                     REGSAM view)
{
    UniqueHkey key;
    if (registry.Open(root, path, KEY_QUERY_VALUE | view, key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    if (type == REG_EXPAND_SZ) {
        std::wstring expanded(32768, L'\0');
        const DWORD length = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), 32768);
        if (length > 0 && length <= 32768) text.assign(expanded.c_str());
    }
    return text;
}

// A REG_DWORD, or a text of digits with blanks around them, as Office's policies and "reg add"
// without a type leave them.
std::optional<unsigned long> ReadNumber(Registry& registry, HKEY root, const std::wstring& path, const wchar_t* name,
                                        REGSAM view)
{
    UniqueHkey key;
    if (registry.Open(root, path, KEY_QUERY_VALUE | view, key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, number = 0, size = sizeof number;
    const LSTATUS status =
        ::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof number) return number;
    const std::optional<std::wstring> text = ReadText(registry, root, path, name, view);
    if (!text) return std::nullopt;
    std::size_t at = text->find_first_not_of(L" \t");
    const std::size_t end = text->find_last_not_of(L" \t");
    if (at == std::wstring::npos) return std::nullopt;
    unsigned long value = 0;
    for (; at <= end; ++at) {
        if (!std::iswdigit((*text)[at]) || value > 0xFFFFFFFUL) return std::nullopt;
        value = value * 10 + ((*text)[at] - L'0');
    }
    return value;
}

bool KeyExists(Registry& registry, HKEY root, const std::wstring& path, REGSAM view)
{
    UniqueHkey key;
    return registry.Open(root, path, KEY_QUERY_VALUE | view, key) == ERROR_SUCCESS;
}

LibraryFacts ReadLibrary(const std::wstring& path)
{
    LibraryFacts library;
    library.path = path;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    library.exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!library.exists) return library;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return library;
    std::vector<unsigned char> header(kLibraryHeaderBytes);
    DWORD read = 0;
    if (!::ReadFile(file.Get(), header.data(), static_cast<DWORD>(header.size()), &read, nullptr)) return library;
    const LibraryImage image = ReadLibraryImage(header.data(), read);
    library.bitness = image.bitness;
    library.isSigned = image.isSigned;
    return library;
}

// Excel's bitness as the installer tells it: the program App Paths names (the user's, then the
// machine's, 64-bit view before 32-bit), else Click-to-Run's Platform.
Bitness FindExcel(Registry& registry)
{
    const std::pair<HKEY, REGSAM> places[] = {{HKEY_CURRENT_USER, 0},
                                              {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                                              {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
    for (const auto& [root, view] : places)
        if (const auto program = ReadText(registry, root, kExcelAppPath, nullptr, view)) {
            std::wstring path = *program;
            if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
            const Bitness bitness = ReadLibrary(path).bitness;
            if (bitness != Bitness::Unknown) return bitness;
        }
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        if (const auto platform = ReadText(registry, HKEY_LOCAL_MACHINE, kClickToRun, L"Platform", view)) {
            if (::lstrcmpiW(platform->c_str(), L"x64") == 0) return Bitness::X64;
            if (::lstrcmpiW(platform->c_str(), L"x86") == 0) return Bitness::X86;
        }
    return Bitness::Unknown;
}

std::wstring ClassServerKey(const wchar_t* classesRoot)
{
    return std::wstring(classesRoot) + L"CLSID\\" + kAddInClassId + L"\\InprocServer32";
}

std::optional<LibraryFacts> ClassServer(Registry& registry, HKEY root, REGSAM view)
{
    const auto server = ReadText(registry, root, ClassServerKey(L"Software\\Classes\\"), nullptr, view);
    if (!server) return std::nullopt;
    return ReadLibrary(*server);
}

std::wstring PolicyKeyName(HKEY root)
{
    return std::wstring(root == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\") +
           RegistryPolicySource::kPolicyKey;
}

// Office's policies for one version, below the user's and the machine's Software\Policies.
void ReadOfficePolicies(Registry& registry, VersionFacts& version)
{
    const std::wstring excel = L"Software\\Policies\\Microsoft\\Office\\" + version.version + L"\\Excel";
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const REGSAM view = root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
        if (!version.managedAddIn)
            version.managedAddIn = ReadNumber(registry, root, excel + L"\\Resiliency\\AddinList", kProgId, view);
        const auto all = ReadNumber(registry, root, excel + L"\\Security", L"DisableAllAddins", view);
        version.allAddInsDisabled = version.allAddInsDisabled || (all && *all != 0);
        const auto signatures = ReadNumber(registry, root, excel + L"\\Security", L"RequireAddinSig", view);
        version.signatureRequired = version.signatureRequired || (signatures && *signatures != 0);
    }
}

} // namespace

CheckFacts GatherCheckFacts(Registry& registry, const std::wstring& besideLibrary)
{
    CheckFacts facts;
    facts.excel = FindExcel(registry);
    const REGSAM view = ViewOf(facts.excel);
    facts.userClass = ClassServer(registry, HKEY_CURRENT_USER, view);
    facts.machineClass = ClassServer(registry, HKEY_LOCAL_MACHINE, view);
    facts.userEntry = KeyExists(registry, HKEY_CURRENT_USER, ExcelAddInKey(), 0);
    facts.userLoadBehavior = ReadNumber(registry, HKEY_CURRENT_USER, ExcelAddInKey(), L"LoadBehavior", 0);
    facts.machineEntry = KeyExists(registry, HKEY_LOCAL_MACHINE, ExcelAddInKey(), view);
    facts.machineLoadBehavior = ReadNumber(registry, HKEY_LOCAL_MACHINE, ExcelAddInKey(), L"LoadBehavior", view);
    facts.beside = ReadLibrary(besideLibrary);

    for (std::size_t i = 0; i < std::size(kVersionKeys); ++i) {
        const std::wstring version = kVersionKeys[i];
        const std::wstring policies = L"Software\\Policies\\Microsoft\\Office\\" + version + L"\\Excel";
        if (!KeyExists(registry, HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\" + version + L"\\Excel", 0) &&
            !KeyExists(registry, HKEY_CURRENT_USER, policies, 0) &&
            !KeyExists(registry, HKEY_LOCAL_MACHINE, policies, KEY_WOW64_64KEY))
            continue;
        VersionFacts versionFacts(version, HoldsDisabledAddIn(registry, kDisabledItemsKeys[i]));
        ReadOfficePolicies(registry, versionFacts);
        facts.versions.push_back(std::move(versionFacts));
    }

    RegistryPolicySource computer(HKEY_LOCAL_MACHINE), user(HKEY_CURRENT_USER);
    try {
        facts.computerClassicPolicy = computer.PolicyValue(kClassicKey);
    } catch (const SettingsStoreError&) {
        facts.unreadablePolicy = PolicyKeyName(HKEY_LOCAL_MACHINE);
    }
    try {
        facts.userClassicPolicy = user.PolicyValue(kClassicKey);
    } catch (const SettingsStoreError&) {
        if (facts.unreadablePolicy.empty()) facts.unreadablePolicy = PolicyKeyName(HKEY_CURRENT_USER);
    }
    try {
        facts.userClassic = RegistrySettingsStore().ReadSetting(kSettingsApplication, kSettingsSection, kClassicKey, 1);
    } catch (const SettingsStoreError&) {
        facts.userClassic = std::wstring(); // a value that is no text: the add-in cannot read it either
    }
    return facts;
}

namespace {

LSTATUS DeleteKey(Registry& registry, HKEY root, const std::wstring& parent, const std::wstring& name, REGSAM view)
{
    UniqueHkey key;
    LSTATUS status = registry.Open(root, parent, KEY_READ | KEY_SET_VALUE | DELETE | view, key);
    if (status == ERROR_SUCCESS) status = registry.DeleteTree(key.Get(), name);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

LSTATUS RemoveUserRegistration(Registry& registry, const CheckFacts& facts)
{
    LSTATUS status = DeleteKey(registry, HKEY_CURRENT_USER, L"Software\\Classes\\CLSID", kAddInClassId, ViewOf(facts.excel));
    const LSTATUS progId = DeleteKey(registry, HKEY_CURRENT_USER, L"Software\\Classes", kProgId, 0);
    const LSTATUS entry = DeleteKey(registry, HKEY_CURRENT_USER, kExcelAddInsKey, kProgId, 0);
    for (LSTATUS next : {progId, entry})
        if (status == ERROR_SUCCESS) status = next;
    return status;
}

std::wstring Done(const Finding& finding, const CheckFacts& facts)
{
    switch (finding.action) {
    case RepairAction::ForgetDisabledRecords: return L"Removed Excel's records of having disabled the add-in.";
    case RepairAction::LoadAtStartup:
        return facts.machineEntry ? L"Removed your own add-in entry, so that the one for all users serves."
                                  : L"Switched the add-in back on (LoadBehavior 3).";
    case RepairAction::RegisterBeside: return L"Registered " + finding.replacement + L".";
    case RepairAction::RemoveUserRegistration: return L"Removed your own registration of the add-in (" + finding.path + L").";
    case RepairAction::TurnClassicOn: return L"Turned the Classic tab back on (your setting \"Classic\" is 1).";
    case RepairAction::None: break;
    }
    return {};
}

} // namespace

std::vector<RepairStep> RepairForUser(Registry& registry, const CheckFacts& facts, const std::vector<Finding>& findings,
                                      HWND owner)
{
    std::vector<RepairStep> steps;
    std::vector<RepairAction> taken;
    // The user's own registration goes before anything is registered or switched on again.
    std::vector<const Finding*> order;
    for (const Finding& finding : findings)
        if (finding.UserMayRepair() && finding.action == RepairAction::RemoveUserRegistration) order.push_back(&finding);
    for (const Finding& finding : findings)
        if (finding.UserMayRepair() && finding.action != RepairAction::RemoveUserRegistration) order.push_back(&finding);

    for (const Finding* finding : order) {
        if (std::find(taken.begin(), taken.end(), finding->action) != taken.end()) continue;
        taken.push_back(finding->action);
        RepairStep step{finding->cause, false, {}};
        std::wstring failure;
        try {
            switch (finding->action) {
            case RepairAction::ForgetDisabledRecords:
                if (const LSTATUS status = ForgetDisabledAddIn(registry)) failure = WindowsErrorText(status);
                break;
            case RepairAction::LoadAtStartup:
                if (const LSTATUS status = LoadAddInAtStartup(registry, facts.machineEntry)) failure = WindowsErrorText(status);
                break;
            case RepairAction::RemoveUserRegistration:
                if (const LSTATUS status = RemoveUserRegistration(registry, facts)) failure = WindowsErrorText(status);
                break;
            case RepairAction::RegisterBeside: {
                const RegistrationRun run = RunRegistrationTool(RegisterCommandLine(finding->replacement), owner);
                if (!run.Succeeded())
                    failure = RegistrationFailureText(true, finding->replacement, run, FileExists(finding->replacement));
                break;
            }
            case RepairAction::TurnClassicOn:
                RegistrySettingsStore().SaveSetting(kSettingsApplication, kSettingsSection, kClassicKey, L"1");
                break;
            case RepairAction::None: break;
            }
        } catch (const std::exception& error) {
            failure = FromUtf8(error.what()).value_or(L"Unknown error.");
        }
        step.done = failure.empty();
        step.text = step.done ? Done(*finding, facts) : failure;
        steps.push_back(std::move(step));
    }
    return steps;
}

} // namespace cornice
