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
constexpr SCODE kExcelError = static_cast<SCODE>(0x800A03EC); // Excel's own "application-defined" error

HRESULT STDAPICALLTYPE FillInLate(EXCEPINFO* exception)
{
    exception->bstrDescription = ::SysAllocString(L"Filled in late.");
    return S_OK;
}

} // namespace

const InterfaceEntry FakeApplication::kInterfaces[] = {CORNICE_INTERFACE(FakeApplication, IDispatch), {}};

FakeApplication::FakeApplication(NameAnswer answer, std::wstring text) : answer_(answer), text_(std::move(text)) {}

DispatchTable FakeApplication::Names() const noexcept
{
    static const DispatchName kName[] = {{L"Name", kNameId}};
    if (answer_ == NameAnswer::NoSuchName) return {};
    return {kName, 1};
}

HRESULT FakeApplication::Call(DISPID id, WORD flags, const DispatchArguments&, VARIANT* result, EXCEPINFO* exception)
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
        return RaiseException(exception, kExcelError, L"Microsoft Excel", L"The application is busy.");
    case NameAnswer::RaisesDeferred:
        if (!exception) return DISP_E_EXCEPTION;
        *exception = {};
        exception->scode = kExcelError;
        exception->pfnDeferredFillIn = &FillInLate;
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
