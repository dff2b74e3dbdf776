// How long an add-in takes to start, measured in process: Office disables add-ins that load
// slowly, and what counts is the time from Excel's CoCreateInstance to the first ribbon document.
#pragma once

#include "Corbel.h"

#include <string>
#include <utility>
#include <vector>

namespace cornice::host {

// A stopwatch over the phases of one start. Pause and Resume leave out excel-host's own work
// (its console output) that falls between the add-in's calls.
class StartClock {
public:
    void Start();
    void Pause();
    void Resume();
    // Ends the phase that began at the previous mark (or at Start).
    void Mark(const wchar_t* phase);
    bool Started() const { return started_; }
    // "<title>: 3.1 ms (CoCreateInstance 2.0 ms, connect 0.3 ms, GetCustomUI 0.8 ms)"
    std::wstring Line(const std::wstring& title) const;
    // The time so far, "3.10 ms".
    std::wstring Total() const;

private:
    double Elapsed() const;

    bool started_ = false;
    bool running_ = false;
    double elapsed_ = 0; // seconds, up to the last pause
    long long since_ = 0; // counter at the last start or resume
    std::vector<std::pair<const wchar_t*, double>> marks_;
};

// Loads, for the rest of the process, the Windows DLLs that Excel has loaded long before it
// loads add-ins and that the add-in imports: without them the start would time their loading.
void LoadExcelsOwnLibraries();

// For scale: how long LoadLibrary takes for a small Windows DLL that nothing has loaded yet.
std::wstring MeasureSmallLibraryLoad();

// A second, separate start of the add-in in `path`, made by hand from LoadLibrary: the DLL's
// class object, an instance, the connection events and the first GetCustomUI; then everything
// is released and the DLL freed. Call it when COM has let go of the DLL, or the load is not a
// cold one (the line says so).
std::wstring MeasureStartFromLoadLibrary(const std::wstring& path, const CLSID& clsid, IDispatch* application,
                                         IDispatch* comAddIn);

} // namespace cornice::host
