#include "Run.h"

#include "AutomationObjects.h"
#include "Console.h"
#include "ExcelRelease.h"
#include "LocalisedExcel.h"
#include "RibbonTiming.h"
#include "RibbonView.h"

namespace cornice::host {

int Run::Execute()
{
    if (options_.ribbonOut) ::DeleteFileW(options_.ribbonOut->c_str()); // no stale document on failure

    if (options_.controlList) {
        std::wstring error;
        knownControls_ = ReadControlList(*options_.controlList, error);
        if (!knownControls_) {
            Say(L"excel-host: " + error);
            return kExitFailure;
        }
    }
    const std::wstring version = ReleaseVersion(options_.release);
    std::vector<Property> localised;
    if (options_.uiLanguage != 0) {
        std::shared_ptr<const ExcelWordsFixture> words;
        if (options_.excelWords) {
            std::wstring error;
            std::optional<ExcelWordsFixture> read = ReadExcelWords(*options_.excelWords, error);
            if (!read) {
                Say(L"excel-host: " + error);
                return kExitFailure;
            }
            words = std::make_shared<const ExcelWordsFixture>(std::move(*read));
        }
        localised = LocalisedMembers(options_.uiLanguage, words);
    }
    const std::wstring build = std::to_wstring(options_.build ? options_.build : ReleaseBuild(options_.release));
    localised.push_back({L"Build", [build] { return build; }});
    application_ = MakeApplication(options_.hostName, version, std::move(localised));
    const std::vector<AddInEntry> entries = ReadExcelAddIns();
    Say(L"excel-host: Application.Name is " + Quoted(options_.hostName) + L", Version " + Quoted(version) + L"; " +
        std::to_wstring(entries.size()) + (entries.size() == 1 ? L" add-in" : L" add-ins") + L" listed for Excel");

    if (options_.measureRounds > 0) LoadExcelsOwnLibraries();
    std::optional<WindowWatcher> watcher;
    watcher.emplace(!options_.wait && !options_.keepOpen);
    watcher_ = &*watcher;
    int tried = 0;
    ForgetCalls();
    for (const AddInEntry& entry : entries) {
        if (!entry.LoadsAtStartup()) {
            Say(L"add-in " + entry.progId + L": " + LoadBehaviorText(entry) + L", not loaded at start-up");
            continue;
        }
        CLSID clsid = {};
        if (SUCCEEDED(::CLSIDFromProgID(entry.progId.c_str(), &clsid)) &&
            DisabledByExcel(options_.release, ServerPath(clsid))) {
            Say(L"add-in " + entry.progId + L": in Excel " + version + L"'s Disabled Items, not loaded");
            continue;
        }
        ++tried;
        Load(entry);
    }
    if (tried == 0) {
        Say(L"excel-host: no add-in to load");
        return kExitNoAddIn;
    }

    for (LoadedAddIn& addIn : addIns_) AskForRibbon(addIn);
    if (options_.uiLanguage != 0 || options_.measureRounds > 0)
        Say(L"excel-host: object-model calls to the first documents: " + CallsMade());
    for (const std::wstring& words : options_.searches) Search(words);
    for (const std::wstring& id : options_.clicks) Click(id);

    if (options_.measureRounds > 0) {
        for (LoadedAddIn& addIn : addIns_) {
            if (!addIn.ribbon) continue;
            Say(L"add-in " + addIn.entry.progId + L": timing");
            Say(L"  " + addIn.start.Line(L"start, CoCreateInstance to first document"));
            for (const std::wstring& line : MeasureRibbonRequest(addIn.ribbon.Get(), options_.measureRounds)) Say(L"  " + line);
        }
    }

    if (options_.showText) {
        for (const LoadedAddIn& addIn : addIns_)
            if (addIn.document) {
                std::wstring text = TextView(ViewTabs(*addIn.document));
                if (!text.empty() && text.back() == L'\n') text.pop_back();
                Say(text);
            }
    }
    if (options_.show) {
        // The window and whatever the add-in opens from it are the user's to close.
        watcher_ = nullptr;
        watcher.reset();
        Show();
    }
    if (options_.wait) {
        Say(L"excel-host: waiting for the add-ins' windows to be closed");
        WindowWatcher::PumpMessagesUntilNoWindows();
    }
    std::vector<AddInEntry> measuredStarts;
    if (options_.measureRounds > 0)
        for (const LoadedAddIn& addIn : addIns_)
            if (addIn.ribbon) measuredStarts.push_back(addIn.entry);
    ShutDown();
    if (!measuredStarts.empty()) MeasureStartsFromLoadLibrary(measuredStarts);
    return exitCode_;
}

} // namespace cornice::host
