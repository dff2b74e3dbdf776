// One run of excel-host: the add-ins loaded and connected as Excel does at start-up, their
// ribbons asked for, clicked and shown, and their shut-down. Run.cpp holds the order of a run;
// Loading.cpp, RibbonRequest.cpp and Clicks.cpp what each step does.
#pragma once

#include "AddInList.h"
#include "AutomationObjects.h"
#include "CommandLine.h"
#include "LiveRibbon.h"
#include "Markup.h"
#include "StartTiming.h"
#include "WinHandles.h"
#include "WindowWatcher.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cornice::host {

struct LoadedAddIn {
    AddInEntry entry;
    CLSID clsid = {};
    ComPtr<_IDTExtensibility2> connection;
    ComPtr<IRibbonExtensibility> ribbon;
    std::optional<markup::Element> document;
    std::unique_ptr<LiveRibbon> live; // once there is a document
    StartClock start; // from CoCreateInstance to the first document, with --measure
};

class Run {
public:
    explicit Run(Options options) : options_(std::move(options)) {}
    int Execute();

private:
    void Fail(ExitCode code)
    {
        if (exitCode_ == kExitOk || code < exitCode_) exitCode_ = code;
    }
    bool Load(const AddInEntry& entry);
    void AskForRibbon(LoadedAddIn& addIn);
    void Click(const std::wstring& id);
    void Search(const std::wstring& words);
    void Show();
    void ShutDown();
    void MeasureStartsFromLoadLibrary(const std::vector<AddInEntry>& entries);

    Options options_;
    std::optional<std::set<std::wstring>> knownControls_;
    ComPtr<IDispatch> application_;
    std::vector<LoadedAddIn> addIns_;
    WindowWatcher* watcher_ = nullptr;
    bool ribbonWritten_ = false;
    bool searched_ = false; // the first search is the one measured
    int exitCode_ = kExitOk;
};

} // namespace cornice::host
