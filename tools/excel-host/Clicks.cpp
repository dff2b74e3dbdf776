// The ribbon's controls used as a person would: clicked or searched from the command line, or
// from the window that shows the add-in's tabs.
#include "Run.h"

#include "Console.h"
#include "RibbonCallback.h"
#include "RibbonView.h"
#include "RibbonWindow.h"
#include "StartTiming.h"
#include "WindowsErrorText.h"

#include <vector>

namespace cornice::host {
namespace {

// How long a click waits for the windows it opened to be reported and closed.
constexpr DWORD kWindowsGoneMilliseconds = 15000;

// The elements named `name` below `parent`, in document order.
void Collect(const markup::Element& parent, const wchar_t* name, std::vector<const markup::Element*>& found)
{
    for (const markup::Element& child : parent.children) {
        if (child.name == name) found.push_back(&child);
        Collect(child, name, found);
    }
}

std::wstring IdOf(const markup::Element& element)
{
    const std::wstring* id = element.Attribute(L"id");
    return id ? *id : L"";
}

// "  3. Tools > Options…  ApplicationOptionsDialog  (disabled)", a menu's entries indented below it.
void SayEntries(const std::vector<ViewItem>& items, const std::wstring& indent, int& number)
{
    for (const ViewItem& item : items) {
        if (item.kind == ViewItem::Kind::Separator) continue;
        Say(indent + std::to_wstring(++number) + L". " + item.label + (item.idMso.empty() ? L"" : L"  " + item.idMso) +
            (item.enabled ? L"" : L"  (disabled)"));
        SayEntries(item.children, indent + L"   ", number);
    }
}

} // namespace

// Each edit box that hears its changes gets the words, as if typed and confirmed with Enter;
// then the dynamic menu of its group opens.
void Run::Search(const std::wstring& words)
{
    bool found = false;
    for (LoadedAddIn& addIn : addIns_) {
        if (!addIn.live) continue;
        std::vector<const markup::Element*> groups;
        Collect(*addIn.document, L"group", groups);
        for (const markup::Element* group : groups) {
            std::vector<const markup::Element*> boxes, menus;
            Collect(*group, L"editBox", boxes);
            Collect(*group, L"dynamicMenu", menus);
            for (const markup::Element* box : boxes) {
                const std::wstring* onChange = box->Attribute(L"onChange");
                if (!onChange) continue;
                const bool first = !searched_;
                searched_ = found = true;
                if (first && options_.measureRounds > 0) ForgetCalls();
                StartClock clock;
                clock.Start();
                std::wstring failure;
                Say(L"search " + Quoted(words) + L": " + *onChange + L"(control with Id " + Quoted(IdOf(*box)) + L")");
                if (addIn.live->Change(IdOf(*box), words, failure) != CallOutcome::Returned) {
                    Say(L"  failed: " + failure);
                    Fail(kExitClickFailed);
                    continue;
                }
                if (menus.empty()) {
                    Say(L"  no dynamic menu in the group " + Quoted(IdOf(*group)) + L" to show the results");
                    Fail(kExitClickFailed);
                    continue;
                }
                const std::wstring menuId = IdOf(*menus.front());
                std::vector<ViewItem> items;
                if (addIn.live->Content(menuId, items, failure) != CallOutcome::Returned) {
                    Say(L"  opening " + menuId + L" failed: " + failure);
                    Fail(kExitClickFailed);
                    continue;
                }
                clock.Pause();
                Say(L"  " + menuId + L" holds:");
                int number = 0;
                SayEntries(items, L"  ", number);
                if (first && options_.measureRounds > 0)
                    Say(L"excel-host: object-model calls of the first search: " + CallsMade() + L"; it took " +
                        clock.Total());
            }
        }
    }
    if (!found) {
        Say(L"search " + Quoted(words) + L": no add-in has an edit box with onChange");
        Fail(kExitClickFailed);
    }
}

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

namespace {

// The window's questions, answered by one add-in as Excel would, with each call reported.
class AddInActions final : public RibbonActions {
public:
    AddInActions(LoadedAddIn& addIn, IDispatch* application) : addIn_(addIn), application_(application) {}

    std::wstring Click(const std::wstring& id) override
    {
        const markup::Element* element = markup::FindById(*addIn_.document, id);
        const std::wstring* onAction = element ? element->Attribute(L"onAction") : nullptr;
        if (!onAction) return L"no such control";
        Say(L"show: " + *onAction + L"(control with Id " + Quoted(id) + L")");
        std::wstring failure;
        if (InvokeCallback(addIn_.ribbon.Get(), *onAction, id, TagOf(*element), application_, failure) ==
            CallOutcome::Returned)
            return *onAction + L" returned";
        Say(L"  " + *onAction + L" failed: " + failure);
        return *onAction + L" failed: " + failure;
    }
    void Ran(const std::wstring& idMso) override { Say(L"show: built-in control " + idMso + L" ran"); }
    bool Text(const std::wstring& id, std::wstring& text, std::wstring& said) override
    {
        bool asked = false;
        if (addIn_.live->Text(id, text, said, &asked) == CallOutcome::Returned) return asked;
        Say(L"show: " + said);
        return false;
    }
    std::wstring Change(const std::wstring& id, const std::wstring& text) override
    {
        Say(L"show: onChange of " + id + L" with " + Quoted(text));
        std::wstring failure;
        if (addIn_.live->Change(id, text, failure) == CallOutcome::Returned) return L"searched for " + Quoted(text);
        Say(L"  failed: " + failure);
        return failure;
    }
    bool Content(const std::wstring& id, std::vector<ViewItem>& items, std::wstring& said) override
    {
        if (addIn_.live->Content(id, items, said) != CallOutcome::Returned) {
            Say(L"show: opening " + id + L" failed: " + said);
            return false;
        }
        std::wstring entries;
        for (const ViewItem& item : items)
            if (item.kind != ViewItem::Kind::Separator) entries += (entries.empty() ? L"" : L", ") + Quoted(item.label);
        Say(L"show: " + id + L" opens with " + entries);
        return true;
    }
    void TellWindow(HWND window, UINT message) override { addIn_.live->TellWindow(window, message); }

private:
    LoadedAddIn& addIn_;
    IDispatch* application_;
};

} // namespace

void Run::Show()
{
    for (LoadedAddIn& addIn : addIns_) {
        if (!addIn.document) continue;
        const std::vector<TabView> tabs = ViewTabs(*addIn.document);
        if (tabs.empty()) continue;
        const std::wstring title = L"excel-host: " + (addIn.entry.friendlyName.empty() ? addIn.entry.progId
                                                                                        : addIn.entry.friendlyName);
        AddInActions actions(addIn, application_.Get());
        Say(L"excel-host: showing the add-in's tabs in a window; close it to go on");
        if (!ShowRibbonWindow(tabs, title, actions)) {
            Say(L"excel-host: cannot show a window: " + WindowsErrorText(::GetLastError()));
            Fail(kExitFailure);
        }
    }
}

} // namespace cornice::host
