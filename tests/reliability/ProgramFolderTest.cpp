// The program folder wherever a user may install: blanks, Cyrillic letters, characters that mean
// something to a command shell, a drive's root, and a path one character short of MAX_PATH.
// For each, Corbel.dll is copied there, registered with the settings program's own regsvr32
// command line, found by COM as Excel finds it, asked for its ribbon, and unregistered.
#include "AddInRegistration.h"
#include "Corbel.h"
#include "UserInstallation.h"
#include "CorbelInProcess.h"
#include "WinHandles.h"
#include "WineTestSupport.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cornice {
namespace {

std::wstring Guid(REFGUID guid)
{
    wchar_t text[39];
    ::StringFromGUID2(guid, text, 39);
    return text;
}

// Creates every folder along the path.
bool MakeFolders(const std::wstring& folder)
{
    for (std::size_t at = folder.find(L'\\', 3); ; at = folder.find(L'\\', at + 1)) {
        const std::wstring step = folder.substr(0, at);
        if (!::CreateDirectoryW(step.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
        if (at == std::wstring::npos) return true;
    }
}

std::wstring ReadText(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return L"(none)";
    return data;
}

bool KeyExists(HKEY root, const std::wstring& key)
{
    UniqueHkey opened;
    return ::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, opened.Put()) == ERROR_SUCCESS;
}

// Whether this process has a module loaded from exactly this file.
bool ModuleLoadedFrom(const std::wstring& path)
{
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!::K32EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &bytes)) return false;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t name[MAX_PATH + 1] = {};
        const DWORD length = ::GetModuleFileNameW(modules[i], name, MAX_PATH + 1);
        if (::lstrcmpiW(std::wstring(name, length).c_str(), path.c_str()) == 0) return true;
    }
    return false;
}


struct Folder {
    const char* name;
    std::wstring path;
};

std::vector<Folder> Folders()
{
    // One character short of MAX_PATH for the library: the longest path a program that does not
    // opt into long paths can load. (CreateDirectory allows folders of MAX_PATH - 12.)
    std::wstring deep = L"C:\\Cornice near MAX_PATH \u0414\\";
    deep += std::wstring(MAX_PATH - 1 - std::wstring(kLibraryFile).size() - deep.size(), L'x');
    return {
        {"BlanksAndBrackets", L"C:\\Program Files (x86)\\Cornice Classic Menus"},
        {"CyrillicLetters", L"C:\\\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\\u041a\u043e\u0440\u043d\u0438\u0441"},
        {"ShellCharacters", L"C:\\R&D's 100% ;Cornice^ (=copy)"},
        {"DriveRoot", L"C:\\"},
        {"OneShortOfMaxPath", deep},
    };
}

class ProgramFolder : public ::testing::TestWithParam<Folder> {
protected:
    ScopedCoInitialize com_;
};

TEST_P(ProgramFolder, RegistersLoadsAndUnregistersFromThere)
{
    const Folder& folder = GetParam();
    const bool root = folder.path == L"C:\\";
    // As the settings program joins them; at a drive's root that doubles the backslash, which
    // Windows folds when it loads the library, so the registration shows the plain path.
    const std::wstring library = LibraryPath(folder.path);
    const std::wstring expected = root ? L"C:\\Corbel.dll" : library;
    ASSERT_LT(expected.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_TRUE(root || MakeFolders(folder.path));
    ASSERT_TRUE(::CopyFileW((test::ThisProgramsFolder() + L"\\Corbel.dll").c_str(), library.c_str(), FALSE))
        << "error " << ::GetLastError();

    const RegistrationRun registered = RunRegistrationTool(RegisterCommandLine(library), nullptr);
    ASSERT_TRUE(registered.Succeeded()) << "regsvr32 exit code " << registered.exitCode;

    // The registration names the library where it lies, in full, for COM and the type library.
    const std::wstring classKey = L"Software\\Classes\\CLSID\\" + Guid(CLSID_Connect) + L"\\InprocServer32";
    const std::wstring typeLibKey = L"Software\\Classes\\TypeLib\\" + Guid(LIBID_Corbel) + L"\\1.0";
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, classKey, nullptr), expected);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, typeLibKey + (sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32"), nullptr),
              expected);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, typeLibKey + L"\\HELPDIR", nullptr),
              root ? L"C:\\" : folder.path);

    {
        // As Excel creates it: by ProgID, in process, then the connection and the ribbon.
        test::FakeApplication excel; // outlives the add-in's hold on it
        CLSID clsid = {};
        ASSERT_EQ(::CLSIDFromProgID(L"Corbel.Connect", &clsid), S_OK);
        ComPtr<_IDTExtensibility2> connection;
        ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__IDTExtensibility2, connection.PutVoid()),
                  S_OK);
        EXPECT_TRUE(ModuleLoadedFrom(expected)) << "COM loaded another Corbel.dll";
        EXPECT_EQ(test::ConnectAddIn(connection.Get(), &excel), S_OK);
        ComPtr<IRibbonExtensibility> ribbon;
        ASSERT_EQ(connection.As(ribbon, IID_IRibbonExtensibility), S_OK);
        UniqueBstr document;
        EXPECT_EQ(ribbon->GetCustomUI(nullptr, document.Put()), S_OK);
        EXPECT_EQ(document.Text().rfind(L"<customUI ", 0), 0u) << "the add-in found its type library and built";
    }
    ::CoFreeUnusedLibrariesEx(0, 0);

    const RegistrationRun unregistered = RunRegistrationTool(UnregisterCommandLine(library), nullptr);
    EXPECT_TRUE(unregistered.Succeeded()) << "regsvr32 /u exit code " << unregistered.exitCode;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, classKey.substr(0, classKey.rfind(L'\\'))));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ExcelAddInKey()));
}

INSTANTIATE_TEST_SUITE_P(Anywhere, ProgramFolder, ::testing::ValuesIn(Folders()),
                         [](const ::testing::TestParamInfo<Folder>& info) { return std::string(info.param.name); });

} // namespace
} // namespace cornice
