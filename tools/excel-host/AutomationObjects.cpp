#include "AutomationObjects.h"

#include "Utf8.h"

#include <map>
#include <stdexcept>

namespace cornice::host {
namespace {

std::map<std::wstring, int>& Calls()
{
    static std::map<std::wstring, int> calls;
    return calls;
}

// IDispatch over a table of properties; dispatch id = index + 1.
class PropertyTable {
public:
    explicit PropertyTable(std::vector<Property> properties) : properties_(std::move(properties)) {}

    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* dispids) const
    {
        if (!names || !dispids) return E_POINTER;
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            dispids[i] = DISPID_UNKNOWN;
            if (i > 0) { // named arguments: a property takes none
                result = DISP_E_UNKNOWNNAME;
                continue;
            }
            for (std::size_t p = 0; p < properties_.size(); ++p)
                if (::CompareStringOrdinal(names[0], -1, properties_[p].name.c_str(), -1, TRUE) == CSTR_EQUAL)
                    dispids[0] = static_cast<DISPID>(p + 1);
            if (dispids[0] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }

    HRESULT Invoke(DISPID dispid, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception) const
    try {
        if (dispid < 1 || static_cast<std::size_t>(dispid) > properties_.size()) return DISP_E_MEMBERNOTFOUND;
        const Property& property = properties_[static_cast<std::size_t>(dispid - 1)];
        ++Calls()[property.name];
        const bool takesArguments = property.withArguments || property.object;
        if (!(flags & DISPATCH_PROPERTYGET) && !(takesArguments && (flags & DISPATCH_METHOD)))
            return DISP_E_MEMBERNOTFOUND;
        if (parameters && parameters->cArgs != 0 && !takesArguments) return DISP_E_BADPARAMCOUNT;
        if (parameters && parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        Property::Arguments arguments;
        for (UINT i = parameters ? parameters->cArgs : 0; i-- > 0;) { // given last first
            VARIANT& given = parameters->rgvarg[i];
            if (V_VT(&given) == VT_ERROR) {
                arguments.emplace_back();
                continue;
            }
            UniqueVariant text;
            if (FAILED(::VariantChangeType(text.Get(), &given, 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
            arguments.emplace_back(V_BSTR(text.Get()), ::SysStringLen(V_BSTR(text.Get())));
        }
        std::wstring value;
        ComPtr<IDispatch> object;
        try {
            if (property.object) object = property.object(arguments);
            else if (property.withArguments) value = property.withArguments(arguments);
            else value = property.value();
        } catch (const std::runtime_error& error) {
            if (exception) {
                *exception = {};
                exception->scode = E_FAIL;
                exception->bstrSource = UniqueBstr::FromText(L"Microsoft Excel").Detach();
                exception->bstrDescription = UniqueBstr::FromText(FromUtf8(error.what()).value_or(L"?")).Detach();
            }
            return DISP_E_EXCEPTION;
        }
        if (result) {
            ::VariantInit(result);
            if (property.object) {
                V_VT(result) = VT_DISPATCH;
                V_DISPATCH(result) = object.Get();
                if (object) object.Get()->AddRef();
            } else {
                V_VT(result) = VT_BSTR;
                V_BSTR(result) = UniqueBstr::FromText(value).Detach();
            }
        }
        return S_OK;
    }
    CORNICE_CATCH_RETURN()

private:
    std::vector<Property> properties_;
};

template <typename Interface>
class RefCounted : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG references = ::InterlockedDecrement(&references_);
        if (references == 0) delete this;
        return static_cast<ULONG>(references);
    }

protected:
    virtual ~RefCounted() = default;

private:
    LONG references_ = 1;
};

class AutomationObject final : public RefCounted<IDispatch> {
public:
    explicit AutomationObject(std::vector<Property> properties) : table_(std::move(properties)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* dispids) override
    {
        return table_.GetIDsOfNames(names, count, dispids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override
    {
        return table_.Invoke(dispid, flags, parameters, result, exception);
    }

private:
    PropertyTable table_;
};

class RibbonControl final : public RefCounted<IRibbonControl> {
public:
    RibbonControl(std::wstring id, std::wstring tag, IDispatch* context)
        : id_(std::move(id)), tag_(std::move(tag)), context_(context),
          table_({{L"Id", [this] { return id_; }}, {L"Tag", [this] { return tag_; }}})
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IRibbonControl) return E_NOINTERFACE;
        *object = static_cast<IRibbonControl*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    // Late-bound callers see Id and Tag; Context is for early-bound ones.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* dispids) override
    {
        return table_.GetIDsOfNames(names, count, dispids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override
    {
        return table_.Invoke(dispid, flags, parameters, result, exception);
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

} // namespace

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
