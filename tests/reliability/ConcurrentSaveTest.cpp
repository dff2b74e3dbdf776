// Saving while Excel asks for the ribbon: nothing is locked, each value is read and written whole,
// so a request that runs while the settings window saves may see some values old and some new,
// but it must never fail and never give a document that no combination of settings gives.
//
// settings-saver (the settings window's own save, in a process of its own) saves the twelve
// values again and again while this program asks the registered add-in for its ribbon, in
// process as Excel does and through excel-host, and checks every document against the set of
// documents that the settings it can store lead to.
#include "AddInRegistration.h"
#include "Corbel.h"
#include "InMemorySettingsStore.h"
#include "UserInstallation.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"
#include "Utf8.h"
#include "CorbelInProcess.h"
#include "WinHandles.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unordered_set>

namespace cornice {
namespace {

std::string g_excelHost; // Linux path, from the command line

class NamedExcel final : public Host {
public:
    std::wstring Name() override { return L"Microsoft Excel"; }
};

// Every document that stored flags of 0 and 1 lead to (an empty one for "Classic" 0), by hash.
std::unordered_set<std::size_t> PossibleDocuments()
{
    const wchar_t* const keys[] = {kClassicKey, kLeftKey, kAllKey, kHideBuiltInTabsKey, kTabKeys[0], kTabKeys[1],
                                   kTabKeys[2], kTabKeys[3], kTabKeys[4], kTabKeys[5], kTabKeys[6], kTabKeys[7]};
    std::unordered_set<std::size_t> documents;
    NamedExcel excel;
    for (unsigned bits = 0; bits < (1u << std::size(keys)); ++bits) {
        InMemorySettingsStore store;
        for (std::size_t i = 0; i < std::size(keys); ++i)
            store.SaveSetting(kSettingsApplication, kSettingsSection, keys[i], (bits >> i) & 1 ? L"1" : L"0");
        documents.insert(std::hash<std::wstring>{}(RibbonBuilder(store, excel).GetRibbonXML()));
    }
    return documents;
}

std::wstring FirstStartDocument()
{
    InMemorySettingsStore empty;
    NamedExcel excel;
    return RibbonBuilder(empty, excel).GetRibbonXML();
}


// The saver process, stopped through a named event.
class Saver {
public:
    Saver() : stop_(::CreateEventW(nullptr, TRUE, FALSE, kStopEvent))
    {
        std::wstring commandLine = L"\"" + test::ThisProgramsFolder() + L"\\settings-saver.exe\" " + kStopEvent;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process)) {
            process_.Reset(process.hProcess);
            ::CloseHandle(process.hThread);
        }
    }
    ~Saver() { Stop(); }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    bool Running() const { return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }
    // Its exit code: the number of failed saves; -1 when it did not end in time.
    long Stop()
    {
        if (!process_) return -1;
        ::SetEvent(stop_.Get());
        if (::WaitForSingleObject(process_.Get(), 60'000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(process_.Get(), &code);
        return static_cast<long>(code);
    }

private:
    static constexpr const wchar_t* kStopEvent = L"Local\\CorniceSettingsSaverStop";
    UniqueHandle stop_;
    UniqueHandle process_;
};

TEST(ConcurrentSave, RibbonRequestsWhileTheSettingsAreSavedNeverFailOrBreak)
{
    ScopedCoInitialize com;
    const std::unordered_set<std::size_t> possible = PossibleDocuments();
    const std::wstring library = test::ThisProgramsFolder() + L"\\Corbel.dll";
    ASSERT_TRUE(RunRegistrationTool(RegisterCommandLine(library), nullptr).Succeeded());

    test::FakeApplication excel; // outlives the add-in's hold on it
    ComPtr<_IDTExtensibility2> connection;
    ASSERT_EQ(::CoCreateInstance(CLSID_Connect, nullptr, CLSCTX_INPROC_SERVER, IID__IDTExtensibility2,
                                 connection.PutVoid()),
              S_OK);
    ASSERT_EQ(test::ConnectAddIn(connection.Get(), &excel), S_OK);
    ComPtr<IRibbonExtensibility> ribbon;
    ASSERT_EQ(connection.As(ribbon, IID_IRibbonExtensibility), S_OK);

    auto request = [&](int n) {
        UniqueBstr document;
        const HRESULT hr = ribbon->GetCustomUI(nullptr, document.Put());
        EXPECT_EQ(hr, S_OK) << "request " << n;
        EXPECT_EQ(possible.count(std::hash<std::wstring>{}(document.Text())), 1u)
            << "request " << n << ": a document of " << document.Text().size() << " characters that no settings give";
        return SUCCEEDED(hr);
    };

    constexpr int kRequests = 1500, kExcelHostRuns = 8;
    const std::string documentFile = "C:\\concurrent-save-ribbon.xml";
    Saver saver;
    ASSERT_TRUE(saver.Running());
    int requestsWhileSaving = 0;
    for (int n = 0; n < kRequests; ++n) {
        if (saver.Running()) ++requestsWhileSaving;
        if (!request(n)) break;
        if (n % (kRequests / kExcelHostRuns) == 0) {
            // Excel's own way in, a process of its own: load by the add-in entry, ask, check the XML.
            const test::ProcessResult run = test::RunProcess(L"\"" + test::WindowsPathOf(g_excelHost) +
                                                             L"\" --ribbon-out " + FromUtf8(documentFile).value_or(L""));
            EXPECT_EQ(run.exitCode, 0u) << "excel-host: " << run.output;
            std::ifstream file(documentFile, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            const std::wstring document = FromUtf8(bytes).value_or(L"not UTF-8");
            EXPECT_EQ(possible.count(std::hash<std::wstring>{}(document)), 1u)
                << "excel-host got a document of " << document.size() << " characters that no settings give";
        }
    }
    EXPECT_EQ(requestsWhileSaving, kRequests) << "the saver ended early";
    EXPECT_EQ(saver.Stop(), 0) << "a save failed";

    // Once the saving is over, the next request shows the last saved state.
    UniqueBstr last;
    ASSERT_EQ(ribbon->GetCustomUI(nullptr, last.Put()), S_OK);
    EXPECT_EQ(last.Text(), FirstStartDocument());

    connection.Reset();
    ribbon.Reset();
    EXPECT_TRUE(RunRegistrationTool(UnregisterCommandLine(library), nullptr).Succeeded());
}

} // namespace
} // namespace cornice

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--excel-host") cornice::g_excelHost = argv[i + 1];
    return RUN_ALL_TESTS();
}
