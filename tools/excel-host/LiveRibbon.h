// What Office keeps of an add-in's ribbon while Excel runs: the ribbon object the document's
// onLoad gets, and the answers of the callbacks that fill controls in (an edit box's getText, a
// dynamic menu's getContent), asked once and again only after the add-in invalidated the
// control, as Office does.
#pragma once

#include "Markup.h"
#include "RibbonCallback.h"
#include "RibbonView.h"
#include "WinHandles.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cornice::host {

class LiveRibbon {
public:
    // `document` must outlive this object.
    LiveRibbon(IDispatch* addIn, IDispatch* application, const markup::Element& document);

    // Calls the root's onLoad back with the ribbon object; Returned also when there is none.
    CallOutcome Load(std::wstring& failure);
    const std::wstring* OnLoad() const { return document_.Attribute(L"onLoad"); }

    // The edit box's text: its getText's answer, or empty when it has none. `asked` tells whether
    // getText was called for it (the first time, or since the add-in invalidated it).
    CallOutcome Text(const std::wstring& id, std::wstring& text, std::wstring& failure, bool* asked = nullptr);
    // Its onChange, with what the user typed.
    CallOutcome Change(const std::wstring& id, const std::wstring& text, std::wstring& failure);
    // The dynamic menu's entries, from its getContent's document.
    CallOutcome Content(const std::wstring& id, std::vector<ViewItem>& items, std::wstring& failure);

    // Where the add-in's invalidations are posted (`message` to `window`), so that a window shows
    // the controls' new state; null: nowhere.
    void TellWindow(HWND window, UINT message);

private:
    struct Answers {
        std::map<std::wstring, std::wstring> texts;
        std::map<std::wstring, std::vector<ViewItem>> contents;
        HWND window = nullptr;
        UINT message = 0;
    };
    CallOutcome Call(const std::wstring& id, const wchar_t* callback, const std::wstring* text, UniqueVariant* result,
                     std::wstring& failure);

    IDispatch* addIn_;
    IDispatch* application_;
    const markup::Element& document_;
    std::shared_ptr<Answers> answers_ = std::make_shared<Answers>(); // shared with the ribbon object
};

} // namespace cornice::host
