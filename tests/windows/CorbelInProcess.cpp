#include "CorbelInProcess.h"

namespace cornice::test {

CorbelLibrary::CorbelLibrary(const std::wstring& path) : module_(::LoadLibraryW(path.c_str()))
{
    if (!module_) return;
    getClassObject_ = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(::GetProcAddress(module_.Get(), "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<CanUnloadNowFunction>(
        reinterpret_cast<void*>(::GetProcAddress(module_.Get(), "DllCanUnloadNow")));
}

ComPtr<IClassFactory> CorbelLibrary::Factory() const
{
    ComPtr<IClassFactory> factory;
    if (Loaded()) getClassObject_(CLSID_Connect, IID_IClassFactory, factory.PutVoid());
    return factory;
}

ComPtr<_Connect> CorbelLibrary::NewConnect() const
{
    ComPtr<_Connect> connect;
    if (const ComPtr<IClassFactory> factory = Factory()) factory->CreateInstance(nullptr, IID__Connect, connect.PutVoid());
    return connect;
}

namespace {

constexpr DISPID kNameId = 0x6E;

HRESULT STDAPICALLTYPE FillInLate(EXCEPINFO* exception)
{
    exception->bstrDescription = ::SysAllocString(L"Filled in late.");
    return S_OK;
}

} // namespace

FakeApplication::FakeApplication(NameAnswer answer, std::wstring text) : answer_(answer), text_(std::move(text)) {}

HRESULT FakeApplication::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG FakeApplication::AddRef() { return static_cast<ULONG>(++references_); }
ULONG FakeApplication::Release() { return static_cast<ULONG>(--references_); } // the test owns the object

HRESULT FakeApplication::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT FakeApplication::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT FakeApplication::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (answer_ == NameAnswer::NoSuchName || count != 1 || ::lstrcmpiW(names[0], L"Name") != 0) return DISP_E_UNKNOWNNAME;
    ids[0] = kNameId;
    return S_OK;
}

HRESULT FakeApplication::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO* exception,
                                UINT*)
{
    if (id == DISPID_VALUE && answer_ == NameAnswer::Itself) return AnswerItself(result);
    if (id != kNameId || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    ++nameCalls_;
    if (!result) return E_POINTER;
    switch (answer_) {
    case NameAnswer::Text:
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = ::SysAllocStringLen(text_.data(), static_cast<UINT>(text_.size()));
        return S_OK;
    case NameAnswer::NullBstr:
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = nullptr;
        return S_OK;
    case NameAnswer::Number:
        V_VT(result) = VT_I4;
        V_I4(result) = 42;
        return S_OK;
    case NameAnswer::Empty:
        return S_OK;
    case NameAnswer::Null:
        V_VT(result) = VT_NULL;
        return S_OK;
    case NameAnswer::Array:
        V_VT(result) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(result) = ::SafeArrayCreateVector(VT_VARIANT, 0, 2);
        return S_OK;
    case NameAnswer::Itself:
        return AnswerItself(result);
    case NameAnswer::Raises:
    case NameAnswer::RaisesDeferred:
        if (!exception) return DISP_E_EXCEPTION;
        *exception = {};
        exception->scode = static_cast<SCODE>(0x800A03EC); // Excel's own "application-defined" error
        if (answer_ == NameAnswer::Raises) {
            exception->bstrSource = ::SysAllocString(L"Microsoft Excel");
            exception->bstrDescription = ::SysAllocString(L"The application is busy.");
        } else {
            exception->pfnDeferredFillIn = &FillInLate;
        }
        return DISP_E_EXCEPTION;
    case NameAnswer::Fails:
    case NameAnswer::NoSuchName:
        break;
    }
    return E_FAIL;
}

HRESULT FakeApplication::AnswerItself(VARIANT* result)
{
    if (!result) return E_POINTER;
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = this;
    AddRef();
    return S_OK;
}

HRESULT ConnectAddIn(IUnknown* addIn, IDispatch* application, ext_ConnectMode mode)
{
    ComPtr<_IDTExtensibility2> connection;
    const HRESULT hr = addIn->QueryInterface(IID__IDTExtensibility2, connection.PutVoid());
    if (FAILED(hr)) return hr;
    SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
    const HRESULT result = connection->OnConnection(application, mode, nullptr, &custom);
    ::SafeArrayDestroy(custom);
    return result;
}

} // namespace cornice::test
