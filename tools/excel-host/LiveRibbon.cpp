#include "LiveRibbon.h"

#include "Automation.h"
#include "AutomationObjects.h"
#include "Utf8.h"

#include <stdexcept>

namespace cornice::host {

LiveRibbon::LiveRibbon(IDispatch* addIn, IDispatch* application, const markup::Element& document)
    : addIn_(addIn), application_(application), document_(document)
{
}

CallOutcome LiveRibbon::Load(std::wstring& failure)
{
    const std::wstring* onLoad = OnLoad();
    if (!onLoad) return CallOutcome::Returned;
    // The add-in may keep the object beyond this host's run: it holds the answers, not the host.
    const std::weak_ptr<Answers> weak = answers_;
    const ComPtr<IDispatch> ribbon = MakeRibbonUI([weak](const std::wstring& id) {
        const std::shared_ptr<Answers> answers = weak.lock();
        if (!answers) return;
        if (id.empty()) {
            answers->texts.clear();
            answers->contents.clear();
        } else {
            answers->texts.erase(id);
            answers->contents.erase(id);
        }
        // Office redraws after the callback has returned, never inside it.
        if (answers->window) ::PostMessageW(answers->window, answers->message, 0, 0);
    });
    return CallBackByName(addIn_, *onLoad, {ObjectArgument(ribbon.Get())}, nullptr, failure);
}

void LiveRibbon::TellWindow(HWND window, UINT message)
{
    answers_->window = window;
    answers_->message = message;
}

CallOutcome LiveRibbon::Call(const std::wstring& id, const wchar_t* callback, const std::wstring* text,
                             UniqueVariant* result, std::wstring& failure)
{
    const markup::Element* element = markup::FindById(document_, id);
    const std::wstring* name = element ? element->Attribute(callback) : nullptr;
    if (!name) {
        failure = L"the control " + id + L" has no " + callback;
        return CallOutcome::NoCallback;
    }
    const ComPtr<IRibbonControl> control = MakeRibbonControl(id, TagOf(*element), application_);
    const UniqueBstr words = UniqueBstr::FromText(text ? *text : L"");
    const CallOutcome outcome =
        text ? CallBackByName(addIn_, *name, {ObjectArgument(control.Get()), TextArgument(words.Get())}, result, failure)
             : CallBackByName(addIn_, *name, {ObjectArgument(control.Get())}, result, failure);
    if (outcome != CallOutcome::Returned) failure = *name + L": " + failure;
    return outcome;
}

CallOutcome LiveRibbon::Text(const std::wstring& id, std::wstring& text, std::wstring& failure, bool* asked)
{
    if (asked) *asked = false;
    if (const auto known = answers_->texts.find(id); known != answers_->texts.end()) {
        text = known->second;
        return CallOutcome::Returned;
    }
    UniqueVariant result;
    const CallOutcome outcome = Call(id, L"getText", nullptr, &result, failure);
    if (outcome == CallOutcome::NoCallback) {
        text.clear();
        return CallOutcome::Returned;
    }
    if (asked) *asked = true;
    if (outcome != CallOutcome::Returned) return outcome;
    if (V_VT(result.Get()) != VT_BSTR) {
        failure = L"getText of " + id + L" answered no text";
        return CallOutcome::Failed;
    }
    text = UniqueBstr(std::exchange(V_BSTR(result.Get()), nullptr)).Text();
    answers_->texts[id] = text;
    return CallOutcome::Returned;
}

CallOutcome LiveRibbon::Change(const std::wstring& id, const std::wstring& text, std::wstring& failure)
{
    return Call(id, L"onChange", &text, nullptr, failure);
}

CallOutcome LiveRibbon::Content(const std::wstring& id, std::vector<ViewItem>& items, std::wstring& failure)
{
    if (const auto known = answers_->contents.find(id); known != answers_->contents.end()) {
        items = known->second;
        return CallOutcome::Returned;
    }
    UniqueVariant result;
    const CallOutcome outcome = Call(id, L"getContent", nullptr, &result, failure);
    if (outcome != CallOutcome::Returned) return outcome;
    if (V_VT(result.Get()) != VT_BSTR) {
        failure = L"getContent of " + id + L" answered no text";
        return CallOutcome::Failed;
    }
    const std::wstring content = UniqueBstr(std::exchange(V_BSTR(result.Get()), nullptr)).Text();
    try {
        items = DynamicMenuItems(content);
    } catch (const std::runtime_error& error) {
        failure = L"getContent of " + id + L" answered a document that is " + FromUtf8(error.what()).value_or(L"?");
        return CallOutcome::Failed;
    }
    answers_->contents[id] = items;
    return CallOutcome::Returned;
}

} // namespace cornice::host
