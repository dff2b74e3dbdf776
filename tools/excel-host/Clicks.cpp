// The ribbon's controls used as a person would: clicked from the command line, or from the
// window that shows the add-in's tabs.
#include "Run.h"

#include "Console.h"
#include "RibbonCallback.h"
#include "RibbonView.h"
#include "RibbonWindow.h"
#include "WindowsErrorText.h"

namespace cornice::host {
namespace {

// How long a click waits for the windows it opened to be reported and closed.
constexpr DWORD kWindowsGoneMilliseconds = 15000;

} // namespace

void Run::Click(const std::wstring& id)
{
    for (LoadedAddIn& addIn : addIns_) {
        const markup::Element* element = addIn.document ? markup::FindById(*addIn.document, id) : nullptr;
        if (!element) continue;
        const std::wstring* onAction = element->Attribute(L"onAction");
        if (!onAction) {
            Say(L"click " + id + L": the control has no onAction");
            Fail(kExitClickFailed);
            return;
        }
        const std::wstring tag = TagOf(*element);
        Say(L"click " + id + L": " + *onAction + L"(control with Id " + Quoted(id) + L", Tag " + Quoted(tag) + L")");

        std::wstring failure;
        const CallOutcome outcome = InvokeCallback(addIn.ribbon.Get(), *onAction, id, tag, application_.Get(), failure);
        if (outcome == CallOutcome::NoCallback) {
            Say(L"  the add-in has no callback " + Quoted(*onAction) + L": " + failure);
            Fail(kExitClickFailed);
            return;
        }
        // A window shown without waiting (a modeless one) is reported once the watcher has
        // looked again; when excel-host closes the windows, the next click waits until this
        // one's are gone, so that each click meets the add-in as a user's would.
        if (watcher_ && !watcher_->PumpMessagesUntilLookedAt(kWindowsGoneMilliseconds))
            Say(L"  excel-host's watch did not look at the windows within " +
                std::to_wstring(kWindowsGoneMilliseconds / 1000) + L" seconds");
        if (!options_.wait && !options_.keepOpen &&
            !WindowWatcher::PumpMessagesUntilNoWindows(kWindowsGoneMilliseconds))
            Say(L"  the add-in's windows did not close within " + std::to_wstring(kWindowsGoneMilliseconds / 1000) +
                L" seconds");
        if (outcome == CallOutcome::Failed) {
            Say(L"  " + *onAction + L" failed: " + failure);
            Fail(kExitClickFailed);
        } else {
            Say(L"  " + *onAction + L" returned");
        }
        return;
    }
    Say(L"click " + id + L": no control with that id in any ribbon document");
    Fail(kExitClickFailed);
}

void Run::Show()
{
    for (LoadedAddIn& addIn : addIns_) {
        if (!addIn.document) continue;
        const std::vector<TabView> tabs = ViewTabs(*addIn.document);
        if (tabs.empty()) continue;
        const std::wstring title = L"excel-host: " + (addIn.entry.friendlyName.empty() ? addIn.entry.progId
                                                                                        : addIn.entry.friendlyName);
        const CallBack callBack = [&](const std::wstring& id) -> std::wstring {
            const markup::Element* element = markup::FindById(*addIn.document, id);
            const std::wstring* onAction = element ? element->Attribute(L"onAction") : nullptr;
            if (!onAction) return L"no such control";
            Say(L"show: " + *onAction + L"(control with Id " + Quoted(id) + L")");
            std::wstring failure;
            if (InvokeCallback(addIn.ribbon.Get(), *onAction, id, TagOf(*element), application_.Get(), failure) ==
                CallOutcome::Returned)
                return *onAction + L" returned";
            Say(L"  " + *onAction + L" failed: " + failure);
            return *onAction + L" failed: " + failure;
        };
        Say(L"excel-host: showing the add-in's tabs in a window; close it to go on");
        if (!ShowRibbonWindow(tabs, title, callBack)) {
            Say(L"excel-host: cannot show a window: " + WindowsErrorText(::GetLastError()));
            Fail(kExitFailure);
        }
    }
}

} // namespace cornice::host
