#include "AutomationObjects.h"

#include "Automation.h"
#include "Utf8.h"

#include <map>
#include <stdexcept>
#include <utility>

namespace cornice::host {
namespace {

std::map<std::wstring, int>& Calls()
{
    static std::map<std::wstring, int> calls;
    return calls;
}

// The members of an object: dispatch id = index + 1. Calls into Excel's objects are counted;
// those into the control that a callback gets are not (they ask Excel nothing).
class PropertyTable {
public:
    explicit PropertyTable(std::vector<Property> properties, bool counted = true)
        : properties_(std::move(properties)), counted_(counted)
    {
        for (std::size_t p = 0; p < properties_.size(); ++p)
            names_.push_back({properties_[p].name.c_str(), static_cast<DISPID>(p + 1)});
    }

    DispatchTable Names() const noexcept { return {names_.data(), names_.size()}; }

    HRESULT Call(DISPID dispid, WORD flags, const DispatchArguments& given, VARIANT* result, EXCEPINFO* exception) const
    {
        if (dispid < 1 || static_cast<std::size_t>(dispid) > properties_.size()) return DISP_E_MEMBERNOTFOUND;
        const Property& property = properties_[static_cast<std::size_t>(dispid - 1)];
        if (counted_) ++Calls()[property.name];
        const bool takesArguments = property.withArguments || property.object;
        if (!(flags & DISPATCH_PROPERTYGET) && !(takesArguments && (flags & DISPATCH_METHOD)))
            return DISP_E_MEMBERNOTFOUND;
        if (given.Count() != 0 && !takesArguments) return DISP_E_BADPARAMCOUNT;
        if (given.Parameters().cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        Property::Arguments arguments;
        for (UINT i = 0; i < given.Count(); ++i) {
            if (V_VT(&given[i]) == VT_ERROR) { // left out
                arguments.emplace_back();
                continue;
            }
            UniqueVariant text;
            CORNICE_RETURN_IF_FAILED(given.At(i, VT_BSTR, text));
            arguments.push_back(UniqueBstr(std::exchange(V_BSTR(text.Get()), nullptr)).Text());
        }
        try {
            if (property.object) return ReturnObject(result, property.object(arguments).Get());
            return ReturnText(result, property.withArguments ? property.withArguments(arguments) : property.value());
        } catch (const std::runtime_error& error) {
            return RaiseException(exception, E_FAIL, L"Microsoft Excel", FromUtf8(error.what()).value_or(L"?"));
        }
    }

private:
    std::vector<Property> properties_;
    std::vector<DispatchName> names_;
    bool counted_;
};

class AutomationObject final : public DispatchObject<AutomationObject, IDispatch> {
public:
    static const InterfaceEntry kInterfaces[];
    explicit AutomationObject(std::vector<Property> properties) : table_(std::move(properties)) {}

    DispatchTable Names() const noexcept { return table_.Names(); }
    HRESULT Call(DISPID dispid, WORD flags, const DispatchArguments& arguments, VARIANT* result, EXCEPINFO* exception)
    {
        return table_.Call(dispid, flags, arguments, result, exception);
    }

private:
    PropertyTable table_;
};

const InterfaceEntry AutomationObject::kInterfaces[] = {CORNICE_INTERFACE(AutomationObject, IDispatch), {}};

// Late-bound callers see Id and Tag; Context is for early-bound ones.
class RibbonControl final : public DispatchObject<RibbonControl, IRibbonControl> {
public:
    static const InterfaceEntry kInterfaces[];
    RibbonControl(std::wstring id, std::wstring tag, IDispatch* context)
        : id_(std::move(id)), tag_(std::move(tag)), context_(context),
          table_({{L"Id", [this] { return id_; }}, {L"Tag", [this] { return tag_; }}}, false)
    {
    }

    DispatchTable Names() const noexcept { return table_.Names(); }
    HRESULT Call(DISPID dispid, WORD flags, const DispatchArguments& arguments, VARIANT* result, EXCEPINFO* exception)
    {
        return table_.Call(dispid, flags, arguments, result, exception);
    }

    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override { return Copy(id_, id); }
    HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override { return Copy(tag_, tag); }
    HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override
    {
        return context_.CopyTo(context);
    }

private:
    static HRESULT Copy(const std::wstring& text, BSTR* out)
    try {
        if (!out) return E_POINTER;
        *out = nullptr;
        *out = UniqueBstr::FromText(text).Detach();
        return S_OK;
    }
    CORNICE_CATCH_RETURN()

    std::wstring id_, tag_;
    ComPtr<IDispatch> context_;
    PropertyTable table_;
};

const InterfaceEntry RibbonControl::kInterfaces[] = {
    CORNICE_INTERFACE(RibbonControl, IRibbonControl), CORNICE_INTERFACE_AS(RibbonControl, IRibbonControl, IID_IDispatch), {}};

// Office's IRibbonUI (its IID and members in Office's order), for add-ins that call it early-bound.
struct OfficeRibbonUI : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
    virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR id) = 0;
    virtual HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR id) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTab(BSTR id) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR id) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR id, BSTR nameSpace) = 0;
};
constexpr IID kIidOfficeRibbonUI = {0x000C03A7, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class RibbonUI final : public DispatchObject<RibbonUI, OfficeRibbonUI> {
public:
    static const InterfaceEntry kInterfaces[];
    explicit RibbonUI(std::function<void(const std::wstring&)> invalidate) : invalidate_(std::move(invalidate)) {}

    DispatchTable Names() const noexcept { return {kNames, sizeof kNames / sizeof kNames[0]}; }
    HRESULT Call(DISPID dispid, WORD flags, const DispatchArguments& given, VARIANT*, EXCEPINFO*)
    {
        if (dispid < 1 || dispid > 6 || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        const UINT wanted = dispid == 1 ? 0 : dispid == 6 ? 2 : 1;
        if (given.Count() != wanted) return DISP_E_BADPARAMCOUNT;
        if (dispid > 2) return S_OK; // Excel's own controls and the tabs: nothing to redraw here
        if (dispid == 1) return Invalidate();
        UniqueVariant id;
        CORNICE_RETURN_IF_FAILED(given.At(0, VT_BSTR, id));
        return InvalidateControl(V_BSTR(id.Get()));
    }

    HRESULT STDMETHODCALLTYPE Invalidate() override { return Tell(L""); }
    HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR id) override
    {
        if (!id || !*id) return E_INVALIDARG;
        return Tell(id);
    }
    HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) override { return S_OK; }

private:
    static constexpr DispatchName kNames[] = {{L"Invalidate", 1},  {L"InvalidateControl", 2}, {L"InvalidateControlMso", 3},
                                              {L"ActivateTab", 4}, {L"ActivateTabMso", 5},    {L"ActivateTabQ", 6}};
    HRESULT Tell(const wchar_t* id)
    try {
        invalidate_(id);
        return S_OK;
    }
    CORNICE_CATCH_RETURN()

    std::function<void(const std::wstring&)> invalidate_;
};

const InterfaceEntry RibbonUI::kInterfaces[] = {CORNICE_INTERFACE_AS(RibbonUI, OfficeRibbonUI, kIidOfficeRibbonUI),
                                                CORNICE_INTERFACE_AS(RibbonUI, OfficeRibbonUI, IID_IDispatch), {}};

} // namespace

ComPtr<IDispatch> MakeRibbonUI(std::function<void(const std::wstring& id)> invalidate)
{
    return ComPtr<IDispatch>::Attach(new RibbonUI(std::move(invalidate)));
}

ComPtr<IDispatch> MakeAutomationObject(std::vector<Property> properties)
{
    return ComPtr<IDispatch>::Attach(new AutomationObject(std::move(properties)));
}

ComPtr<IDispatch> MakeApplication(const std::wstring& name, const std::wstring& version, std::vector<Property> more)
{
    std::vector<Property> members = {{L"Name", [name] { return name; }}, {L"Version", [version] { return version; }}};
    for (Property& member : more) members.push_back(std::move(member));
    return MakeAutomationObject(std::move(members));
}

ComPtr<IDispatch> MakeComAddIn(const std::wstring& progId, const std::wstring& description)
{
    return MakeAutomationObject({{L"ProgId", [progId] { return progId; }},
                                 {L"Description", [description] { return description; }},
                                 {L"Connect", [] { return std::wstring(L"True"); }}});
}

ComPtr<IRibbonControl> MakeRibbonControl(const std::wstring& id, const std::wstring& tag, IDispatch* context)
{
    return ComPtr<IRibbonControl>::Attach(new RibbonControl(id, tag, context));
}

std::wstring CallsMade()
{
    int total = 0;
    std::wstring members;
    for (const auto& [name, count] : Calls()) {
        total += count;
        members += (members.empty() ? L"" : L", ") + name + L" " + std::to_wstring(count);
    }
    return std::to_wstring(total) + (members.empty() ? L"" : L" (" + members + L")");
}

void ForgetCalls() { Calls().clear(); }

} // namespace cornice::host
