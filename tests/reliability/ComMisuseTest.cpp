// Corbel.dll driven the wrong way by a careless host: calls out of order, null and foreign
// arguments, unknown names and dispatch ids, Application objects that misbehave. Every call must
// come back with a clean HRESULT, out-pointers must be null on failure, the object must stay
// usable, reference counts must balance and DllCanUnloadNow must say yes only at the end.
//
// The DLL is loaded straight from this program's folder (no registration needed), as COM would
// load it, and driven through its exports.
#include "AutomationObjects.h"
#include "Corbel.h"
#include "LocalisedExcel.h"
#include "WinHandles.h"

#include <ocidl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cornice {
namespace {

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

#define EXPECT_HR(expected, actual) EXPECT_EQ(Hex(expected), Hex(actual))
#define EXPECT_FAILED(actual) EXPECT_TRUE(FAILED(actual)) << Hex(actual)

// ---------------------------------------------------------------------------------------------
// The DLL and its exports

class CorbelModule {
public:
    CorbelModule()
    {
        wchar_t path[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path, length);
        folder.erase(folder.find_last_of(L'\\') + 1);
        module_ = ::LoadLibraryW((folder + L"Corbel.dll").c_str());
        if (!module_) return;
        getClassObject_ = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void*>(::GetProcAddress(module_, "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<CanUnloadNow>(
            reinterpret_cast<void*>(::GetProcAddress(module_, "DllCanUnloadNow")));
    }
    ~CorbelModule()
    {
        if (module_) ::FreeLibrary(module_);
    }
    CorbelModule(const CorbelModule&) = delete;
    CorbelModule& operator=(const CorbelModule&) = delete;

    bool Loaded() const { return module_ && getClassObject_ && canUnloadNow_; }
    HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) const { return getClassObject_(clsid, iid, object); }
    HRESULT DllCanUnloadNow() const { return canUnloadNow_(); }

    ComPtr<IClassFactory> Factory() const
    {
        ComPtr<IClassFactory> factory;
        EXPECT_HR(S_OK, DllGetClassObject(CLSID_Connect, IID_IClassFactory, factory.PutVoid()));
        return factory;
    }
    ComPtr<_Connect> NewConnect() const
    {
        ComPtr<_Connect> connect;
        const ComPtr<IClassFactory> factory = Factory();
        if (factory) {
            EXPECT_HR(S_OK, factory->CreateInstance(nullptr, IID__Connect, connect.PutVoid()));
        }
        return connect;
    }

private:
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    HMODULE module_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
    CanUnloadNow canUnloadNow_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// An Application object that answers Name in every way a broken or foreign host could

enum class NameAnswer {
    Text,           // VT_BSTR of text_
    NullBstr,       // VT_BSTR holding a null BSTR
    Number,         // VT_I4 42
    Empty,          // VT_EMPTY: Invoke succeeds and leaves the result alone
    Null,           // VT_NULL
    Array,          // VT_ARRAY | VT_VARIANT
    Itself,         // VT_DISPATCH: the object itself, whose default value is again itself
    Raises,         // DISP_E_EXCEPTION with a description
    RaisesDeferred, // DISP_E_EXCEPTION whose description comes from pfnDeferredFillIn
    Fails,          // E_FAIL without an exception
    NoSuchName,     // GetIDsOfNames says DISP_E_UNKNOWNNAME
};

class FakeApplication final : public IDispatch {
public:
    explicit FakeApplication(NameAnswer answer, std::wstring text = L"Microsoft Excel")
        : answer_(answer), text_(std::move(text))
    {
    }
    FakeApplication(const FakeApplication&) = delete;
    FakeApplication& operator=(const FakeApplication&) = delete;

    // References others hold: 0 when everybody who took one gave it back.
    LONG ForeignReferences() const { return references_ - 1; }
    int NameCalls() const { return nameCalls_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references_); } // lives on the stack

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
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!names || !ids) return E_POINTER;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        if (answer_ == NameAnswer::NoSuchName || count != 1 || ::lstrcmpiW(names[0], L"Name") != 0)
            return DISP_E_UNKNOWNNAME;
        ids[0] = kNameId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override
    {
        if (id == DISPID_VALUE && answer_ == NameAnswer::Itself) return AnswerItself(result);
        if (id != kNameId) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
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
                exception->pfnDeferredFillIn = &FillIn;
            }
            return DISP_E_EXCEPTION;
        case NameAnswer::Fails:
        case NameAnswer::NoSuchName:
            break;
        }
        return E_FAIL;
    }

private:
    static constexpr DISPID kNameId = 0x6E;

    HRESULT AnswerItself(VARIANT* result)
    {
        if (!result) return E_POINTER;
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = this;
        AddRef();
        return S_OK;
    }
    static HRESULT STDAPICALLTYPE FillIn(EXCEPINFO* exception)
    {
        exception->bstrDescription = ::SysAllocString(L"Filled in late.");
        return S_OK;
    }

    NameAnswer answer_;
    std::wstring text_;
    LONG references_ = 1;
    int nameCalls_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Calls as Excel makes them

HRESULT Connection(IUnknown* object, IDispatch* application)
{
    ComPtr<_IDTExtensibility2> connection;
    const HRESULT hr = object->QueryInterface(IID__IDTExtensibility2, connection.PutVoid());
    if (FAILED(hr)) return hr;
    SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
    const HRESULT result = connection->OnConnection(application, ext_cm_Startup, nullptr, &custom);
    ::SafeArrayDestroy(custom);
    return result;
}

struct RibbonAnswer {
    HRESULT hr;
    std::wstring document;
    bool nullOnFailure; // the out-parameter was null after a failure
};

RibbonAnswer AskForRibbon(IUnknown* object)
{
    ComPtr<IRibbonExtensibility> ribbon;
    HRESULT hr = object->QueryInterface(IID_IRibbonExtensibility, ribbon.PutVoid());
    if (FAILED(hr)) return {hr, L"", true};
    UniqueBstr id = UniqueBstr::FromText(L"Microsoft.Excel.Workbook");
    BSTR document = reinterpret_cast<BSTR>(static_cast<std::uintptr_t>(0x1)); // must be overwritten
    hr = ribbon->GetCustomUI(id.Get(), &document);
    if (FAILED(hr)) return {hr, L"", document == nullptr};
    UniqueBstr owned(document);
    return {hr, owned.Text(), true};
}

bool IsDocument(const std::wstring& text)
{
    const std::wstring start = L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" >";
    const std::wstring end = L"</customUI>";
    return text.size() > start.size() + end.size() && text.compare(0, start.size(), start) == 0 &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A dispatch call by name on any of the object's interfaces, as Office binds callbacks.
struct DispatchAnswer {
    HRESULT hr;
    UniqueVariant result;
    EXCEPINFO exception{};
    UINT argumentError = static_cast<UINT>(-1);
    ~DispatchAnswer()
    {
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
    }
};

DISPID IdOf(IDispatch* dispatch, const wchar_t* name)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 12345;
    const HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    EXPECT_HR(S_OK, hr) << "name " << std::string(name, name + ::lstrlenW(name));
    return id;
}

void Call(DispatchAnswer& answer, IDispatch* dispatch, DISPID id, std::vector<VARIANT> arguments, WORD flags = DISPATCH_METHOD)
{
    DISPPARAMS parameters = {arguments.empty() ? nullptr : arguments.data(), nullptr,
                             static_cast<UINT>(arguments.size()), 0};
    answer.hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, answer.result.Put(),
                                 &answer.exception, &answer.argumentError);
}

// Real BSTRs for arguments (automation reads their length prefix), freed with the pool.
class BstrPool {
public:
    BSTR operator()(const wchar_t* text)
    {
        owned_.push_back(UniqueBstr::FromText(text));
        return owned_.back().Get();
    }

private:
    std::vector<UniqueBstr> owned_;
};

// The callee only reads its arguments; the pool or the test owns what they point to.
VARIANT Text(BSTR text)
{
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text;
    return v;
}
VARIANT Number(LONG n)
{
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    return v;
}
VARIANT Object(IDispatch* object)
{
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = object;
    return v;
}

// Closes the message boxes that this process shows, as a user would, and keeps their texts.
class BoxCloser {
public:
    BoxCloser() : thread_([this] { Run(); }) {}
    ~BoxCloser()
    {
        stop_ = true;
        thread_.join();
    }
    BoxCloser(const BoxCloser&) = delete;
    BoxCloser& operator=(const BoxCloser&) = delete;

    std::vector<std::wstring> Texts()
    {
        const std::lock_guard<std::mutex> hold(lock_);
        return texts_;
    }

private:
    void Run()
    {
        while (!stop_) {
            ::EnumWindows(&BoxCloser::Found, reinterpret_cast<LPARAM>(this));
            ::Sleep(20); // how often the watch looks, not a wait for something
        }
    }
    static BOOL CALLBACK Found(HWND window, LPARAM self)
    {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = {};
        ::GetClassNameW(window, className, 16);
        if (process != ::GetCurrentProcessId() || ::lstrcmpW(className, L"#32770") != 0 || !::IsWindowVisible(window))
            return TRUE;
        auto* closer = reinterpret_cast<BoxCloser*>(self);
        if (closer->closed_ != window) {
            // Wine gives the message text the same control id as Windows: 0xFFFF. Asked with a
            // time limit: the box's thread answers only while it pumps messages.
            wchar_t text[512] = {};
            DWORD_PTR copied = 0;
            ::SendMessageTimeoutW(::GetDlgItem(window, 0xFFFF), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                                  SMTO_ABORTIFHUNG, 2000, &copied);
            const std::lock_guard<std::mutex> hold(closer->lock_);
            closer->texts_.push_back(text);
            closer->closed_ = window;
        }
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<std::wstring> texts_;
    HWND closed_ = nullptr;
    std::thread thread_;
};

// ---------------------------------------------------------------------------------------------
// Fixture: one module for the whole program; after every test nothing of the DLL may be alive.

class ComMisuse : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module_ = new CorbelModule(); }
    static void TearDownTestSuite()
    {
        delete module_;
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(module_->Loaded()) << "Corbel.dll next to the test program"; }
    void TearDown() override
    {
        EXPECT_HR(S_OK, module_->DllCanUnloadNow()) << "an object, lock or window of the DLL outlived the test";
        // A refused call shows nothing; a box that shows anyway is closed and counted, not waited on.
        EXPECT_EQ(boxes_.Texts().size(), expectedBoxes_) << "message boxes shown";
    }

    static CorbelModule* module_;
    ScopedCoInitialize com_;
    BoxCloser boxes_;
    std::size_t expectedBoxes_ = 0;
};
CorbelModule* ComMisuse::module_ = nullptr;

TEST_F(ComMisuse, ClassObjectAndFactoryRefuseWhatTheyCannotDo)
{
    void* object = &object;
    EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, module_->DllGetClassObject(IID_IDispatch, IID_IClassFactory, &object));
    EXPECT_EQ(object, nullptr);
    object = &object;
    EXPECT_HR(E_NOINTERFACE, module_->DllGetClassObject(CLSID_Connect, IID_IDispatch, &object));
    EXPECT_EQ(object, nullptr);
    EXPECT_FAILED(module_->DllGetClassObject(CLSID_Connect, IID_IClassFactory, nullptr));

    const ComPtr<IClassFactory> factory = module_->Factory();
    ASSERT_TRUE(factory);
    FakeApplication outer(NameAnswer::Text);
    object = &object;
    EXPECT_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IUnknown, &object));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(outer.ForeignReferences(), 0);
    object = &object;
    EXPECT_HR(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &object));
    EXPECT_EQ(object, nullptr);
    EXPECT_FAILED(factory->CreateInstance(nullptr, IID__Connect, nullptr));
    EXPECT_HR(S_OK, module_->DllCanUnloadNow()) << "refused creations leave nothing behind";

    EXPECT_HR(S_OK, factory->LockServer(TRUE));
    EXPECT_HR(S_FALSE, module_->DllCanUnloadNow());
    EXPECT_HR(S_OK, factory->LockServer(FALSE));
    EXPECT_HR(S_OK, module_->DllCanUnloadNow());
}

TEST_F(ComMisuse, QueryInterfaceAnswersItsOwnInterfacesOnlyWithOneIdentity)
{
    const ComPtr<_Connect> connect = module_->NewConnect();
    ASSERT_TRUE(connect);
    EXPECT_HR(S_FALSE, module_->DllCanUnloadNow()) << "a live object keeps the DLL";

    ComPtr<IUnknown> identity;
    ASSERT_EQ(connect->QueryInterface(IID_IUnknown, identity.PutVoid()), S_OK);
    const IID own[] = {IID_IUnknown, IID_IDispatch, IID__Connect, IID_IRibbonExtensibility, IID__IDTExtensibility2};
    for (const IID& iid : own) {
        ComPtr<IUnknown> asked, back;
        EXPECT_HR(S_OK, connect->QueryInterface(iid, asked.PutVoid()));
        ASSERT_TRUE(asked);
        EXPECT_HR(S_OK, asked->QueryInterface(IID_IUnknown, back.PutVoid()));
        EXPECT_EQ(back.Get(), identity.Get()) << "COM identity: one IUnknown for every interface";
        EXPECT_FAILED(asked->QueryInterface(iid, nullptr));
    }
    const IID foreign[] = {IID_IClassFactory, IID_IPersist, IID_IStream, IID_IMarshal, IID_IConnectionPointContainer,
                           IID_IProvideClassInfo, IID_IEnumVARIANT, IID_NULL,
                           // Office's ribbon control is passed to the add-in, never implemented by it.
                           {0x000C0395, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}};
    for (const IID& iid : foreign) {
        void* object = &object;
        EXPECT_HR(E_NOINTERFACE, connect->QueryInterface(iid, &object));
        EXPECT_EQ(object, nullptr);
    }
}

TEST_F(ComMisuse, ReferenceCountsBalanceAndTheLastReleaseFreesTheDll)
{
    _Connect* connect = module_->NewConnect().Detach();
    ASSERT_NE(connect, nullptr);
    EXPECT_EQ(connect->AddRef(), 2u);
    IRibbonExtensibility* ribbon = nullptr;
    EXPECT_HR(S_OK, connect->QueryInterface(IID_IRibbonExtensibility, reinterpret_cast<void**>(&ribbon)));
    EXPECT_EQ(ribbon->Release(), 2u);
    EXPECT_EQ(connect->Release(), 1u);
    EXPECT_HR(S_FALSE, module_->DllCanUnloadNow());
    EXPECT_EQ(connect->Release(), 0u);
    EXPECT_HR(S_OK, module_->DllCanUnloadNow());
}

TEST_F(ComMisuse, EveryMethodBeforeOnConnectionFailsCleanlyAndTheObjectStaysUsable)
{
    const ComPtr<_Connect> connect = module_->NewConnect();
    ASSERT_TRUE(connect);

    const RibbonAnswer before = AskForRibbon(connect.Get());
    EXPECT_FAILED(before.hr);
    EXPECT_TRUE(before.nullOnFailure);

    BSTR document = nullptr;
    EXPECT_FAILED(connect->GetRibbonXML(&document));
    EXPECT_EQ(document, nullptr);
    EXPECT_FAILED(connect->IRibbonExtensibility_GetCustomUI(nullptr, &document));
    EXPECT_EQ(document, nullptr);

    DispatchAnswer byName;
    Call(byName, connect.Get(), IdOf(connect.Get(), L"GetRibbonXML"), {});
    EXPECT_HR(DISP_E_EXCEPTION, byName.hr);
    EXPECT_FAILED(byName.exception.scode);
    EXPECT_NE(byName.exception.bstrDescription, nullptr) << "the failure says why";

    // The connection events that do nothing accept anything, also before the connection.
    ComPtr<_IDTExtensibility2> connection;
    ASSERT_EQ(connect->QueryInterface(IID__IDTExtensibility2, connection.PutVoid()), S_OK);
    EXPECT_HR(S_OK, connection->OnAddInsUpdate(nullptr));
    EXPECT_HR(S_OK, connection->OnStartupComplete(nullptr));
    EXPECT_HR(S_OK, connection->OnBeginShutdown(nullptr));
    EXPECT_HR(S_OK, connection->OnDisconnection(ext_dm_HostShutdown, nullptr));

    FakeApplication excel(NameAnswer::Text);
    EXPECT_HR(S_OK, Connection(connect.Get(), &excel));
    const RibbonAnswer after = AskForRibbon(connect.Get());
    EXPECT_HR(S_OK, after.hr);
    EXPECT_TRUE(IsDocument(after.document)) << after.document.size() << " characters";
}

TEST_F(ComMisuse, TheUninstallEntryWorksWithoutAConnection)
{
    // Wine without a display answers every message box with OK at once; ctest runs this suite
    // under Xvfb, where the box really shows.
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    const ComPtr<_Connect> connect = module_->NewConnect();
    ASSERT_TRUE(connect);
    expectedBoxes_ = 2;
    EXPECT_HR(S_OK, connect->Uninstall0(nullptr));
    DispatchAnswer byName;
    Call(byName, connect.Get(), IdOf(connect.Get(), L"Uninstall0"), {Object(nullptr)});
    EXPECT_HR(S_OK, byName.hr);
    // It needs nothing of Excel: the message shows and is closed, twice.
    const std::vector<std::wstring> texts = boxes_.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind(L"To uninstall, close Excel", 0), 0u);
}

TEST_F(ComMisuse, TheUninstallMessageIsInExcelsLanguage)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    expectedBoxes_ = 2;
    for (const int language : {1031, 1043}) {
        const ComPtr<_Connect> connect = module_->NewConnect();
        ASSERT_TRUE(connect);
        const ComPtr<IDispatch> excel =
            host::MakeApplication(L"Microsoft Excel", L"14.0", host::LocalisedMembers(language, nullptr));
        EXPECT_HR(S_OK, Connection(connect.Get(), excel.Get()));
        EXPECT_HR(S_OK, connect->Uninstall0(nullptr));
    }
    const std::vector<std::wstring> texts = boxes_.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind(L"Schlie\u00DFen Sie zum Deinstallieren Excel", 0), 0u) << "German";
    EXPECT_EQ(texts[1].rfind(L"To uninstall, close Excel", 0), 0u) << "Dutch, which the add-in does not speak";
}

TEST_F(ComMisuse, ANullApplicationGivesFailuresNotCrashes)
{
    const ComPtr<_Connect> connect = module_->NewConnect();
    ASSERT_TRUE(connect);
    const HRESULT connected = Connection(connect.Get(), nullptr);
    EXPECT_TRUE(connected == S_OK || connected == E_POINTER || connected == E_INVALIDARG) << Hex(connected);
    const RibbonAnswer answer = AskForRibbon(connect.Get());
    EXPECT_FAILED(answer.hr);
    EXPECT_TRUE(answer.nullOnFailure);
}

TEST_F(ComMisuse, OnlyAnApplicationCalledExcelGetsADocument)
{
    struct Case {
        NameAnswer answer;
        const wchar_t* text;
    };
    const Case notExcel[] = {
        {NameAnswer::Text, L"Microsoft Word"}, {NameAnswer::Text, L"microsoft excel"}, {NameAnswer::Text, L""},
        {NameAnswer::NullBstr, L""},           {NameAnswer::Number, L""},              {NameAnswer::Empty, L""},
    };
    for (const Case& c : notExcel) {
        const ComPtr<_Connect> connect = module_->NewConnect();
        ASSERT_TRUE(connect);
        FakeApplication application(c.answer, c.text);
        EXPECT_HR(S_OK, Connection(connect.Get(), &application));
        const RibbonAnswer answer = AskForRibbon(connect.Get());
        EXPECT_HR(S_OK, answer.hr) << "answer " << static_cast<int>(c.answer);
        EXPECT_EQ(answer.document, L"") << "answer " << static_cast<int>(c.answer);
        EXPECT_EQ(application.NameCalls(), 1);
    }
}

TEST_F(ComMisuse, AnApplicationWhoseNameMisbehavesFailsTheRequestOnly)
{
    for (NameAnswer answer : {NameAnswer::Raises, NameAnswer::RaisesDeferred, NameAnswer::Fails,
                              NameAnswer::NoSuchName, NameAnswer::Null, NameAnswer::Array, NameAnswer::Itself}) {
        FakeApplication application(answer);
        {
            const ComPtr<_Connect> connect = module_->NewConnect();
            ASSERT_TRUE(connect);
            EXPECT_HR(S_OK, Connection(connect.Get(), &application));
            for (int round = 0; round < 2; ++round) {
                const RibbonAnswer result = AskForRibbon(connect.Get());
                EXPECT_FAILED(result.hr) << "answer " << static_cast<int>(answer);
                EXPECT_TRUE(result.nullOnFailure);
            }
            // The failure goes to the caller with the host's own words where it gave some.
            DispatchAnswer byName;
            Call(byName, connect.Get(), IdOf(connect.Get(), L"GetRibbonXML"), {});
            EXPECT_HR(DISP_E_EXCEPTION, byName.hr);
            if (answer == NameAnswer::Raises) {
                const BSTR description = byName.exception.bstrDescription;
                EXPECT_NE(std::wstring(description ? description : L"").find(L"The application is busy."),
                          std::wstring::npos);
            }
        }
        EXPECT_EQ(application.ForeignReferences(), 0) << "answer " << static_cast<int>(answer)
                                                      << ": the Application was not released";
    }
}

TEST_F(ComMisuse, ASecondConnectionReplacesTheFirstAndReleasesIt)
{
    FakeApplication word(NameAnswer::Text, L"Microsoft Word");
    FakeApplication excel(NameAnswer::Text, L"Microsoft Excel");
    {
        const ComPtr<_Connect> connect = module_->NewConnect();
        ASSERT_TRUE(connect);
        EXPECT_HR(S_OK, Connection(connect.Get(), &word));
        EXPECT_EQ(AskForRibbon(connect.Get()).document, L"");
        EXPECT_HR(S_OK, Connection(connect.Get(), &excel));
        EXPECT_EQ(word.ForeignReferences(), 0) << "the first Application is let go";
        EXPECT_TRUE(IsDocument(AskForRibbon(connect.Get()).document));
        EXPECT_HR(S_OK, Connection(connect.Get(), &excel)) << "the same Application twice";
        EXPECT_LE(excel.ForeignReferences(), 1);
        EXPECT_HR(S_OK, Connection(connect.Get(), &word));
        EXPECT_EQ(excel.ForeignReferences(), 0);
    }
    EXPECT_EQ(word.ForeignReferences(), 0);
    EXPECT_EQ(excel.ForeignReferences(), 0);
}

TEST_F(ComMisuse, GetIDsOfNamesRefusesUnknownNamesOnEveryInterface)
{
    const ComPtr<_Connect> connect = module_->NewConnect();
    ASSERT_TRUE(connect);
    ComPtr<IRibbonExtensibility> ribbon;
    ComPtr<_IDTExtensibility2> connection;
    ASSERT_EQ(connect->QueryInterface(IID_IRibbonExtensibility, ribbon.PutVoid()), S_OK);
    ASSERT_EQ(connect->QueryInterface(IID__IDTExtensibility2, connection.PutVoid()), S_OK);
    IDispatch* const dispatches[] = {connect.Get(), ribbon.Get(), connection.Get()};
    for (IDispatch* dispatch : dispatches) {
        // Office binds the callbacks by name through whichever pointer it kept; names ignore case.
        EXPECT_EQ(IdOf(dispatch, L"ShowAbout0"), IdOf(connect.Get(), L"SHOWABOUT0"));
        EXPECT_EQ(IdOf(dispatch, L"uninstall0"), IdOf(connect.Get(), L"Uninstall0"));

        for (const wchar_t* unknown : {L"ShowAbout1", L"", L"Name", L"GetRibbonXML ", L"OnConnection"}) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(unknown)};
            DISPID id = 12345;
            EXPECT_HR(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
            EXPECT_EQ(id, DISPID_UNKNOWN);
        }
        // A known method with an unknown argument name.
        LPOLESTR pair[] = {const_cast<LPOLESTR>(L"IRibbonExtensibility_GetCustomUI"), const_cast<LPOLESTR>(L"Bogus")};
        DISPID ids[2] = {};
        EXPECT_HR(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, pair, 2, LOCALE_USER_DEFAULT, ids));
        EXPECT_EQ(ids[1], DISPID_UNKNOWN);

        LPOLESTR name[] = {const_cast<LPOLESTR>(L"GetRibbonXML")};
        DISPID id = 0;
        const GUID someInterface = IID_IStream;
        EXPECT_FAILED(dispatch->GetIDsOfNames(someInterface, name, 1, LOCALE_USER_DEFAULT, &id));

        UINT count = 7;
        EXPECT_HR(S_OK, dispatch->GetTypeInfoCount(&count));
        EXPECT_EQ(count, 1u);
        EXPECT_FAILED(dispatch->GetTypeInfoCount(nullptr));
        ITypeInfo* info = reinterpret_cast<ITypeInfo*>(&count);
        EXPECT_HR(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));
        EXPECT_EQ(info, nullptr);
        EXPECT_FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr));
    }
}

TEST_F(ComMisuse, InvokeRefusesWrongCountsTypesAndIds)
{
    const ComPtr<_Connect> connect = module_->NewConnect();
    ASSERT_TRUE(connect);
    FakeApplication excel(NameAnswer::Text);
    ASSERT_EQ(Connection(connect.Get(), &excel), S_OK);
    const DISPID getRibbonXml = IdOf(connect.Get(), L"GetRibbonXML");
    const DISPID getCustomUi = IdOf(connect.Get(), L"IRibbonExtensibility_GetCustomUI");
    const DISPID showAbout = IdOf(connect.Get(), L"ShowAbout0");
    const DISPID uninstall = IdOf(connect.Get(), L"Uninstall0");

    for (DISPID unknown : {DISPID(0), DISPID(-1), DISPID(7), DISPID(0x60030004), DISPID(0x7FFFFFFF), DISPID(1)}) {
        DispatchAnswer answer;
        Call(answer, connect.Get(), unknown, {});
        EXPECT_HR(DISP_E_MEMBERNOTFOUND, answer.hr) << "dispid " << unknown;
    }

    struct Case {
        const char* what;
        DISPID id;
        std::vector<VARIANT> arguments;
        HRESULT expected;
    };
    FakeApplication control(NameAnswer::Text, L"not a ribbon control");
    BstrPool bstr;
    const Case cases[] = {
        {"GetRibbonXML with an argument", getRibbonXml, {Number(1)}, DISP_E_BADPARAMCOUNT},
        {"GetCustomUI without its argument", getCustomUi, {}, DISP_E_BADPARAMCOUNT},
        {"GetCustomUI with two arguments", getCustomUi, {Text(bstr(L"a")), Text(bstr(L"b"))}, DISP_E_BADPARAMCOUNT},
        {"GetCustomUI with an object", getCustomUi, {Object(&control)}, DISP_E_TYPEMISMATCH},
        {"ShowAbout0 without its control", showAbout, {}, DISP_E_BADPARAMCOUNT},
        {"ShowAbout0 with a text", showAbout, {Text(bstr(L"control"))}, DISP_E_TYPEMISMATCH},
        {"Uninstall0 with two controls", uninstall, {Object(&control), Object(&control)}, DISP_E_BADPARAMCOUNT},
        {"Uninstall0 with a number", uninstall, {Number(3)}, DISP_E_TYPEMISMATCH},
    };
    for (const Case& c : cases) {
        DispatchAnswer answer;
        Call(answer, connect.Get(), c.id, c.arguments);
        EXPECT_HR(c.expected, answer.hr) << c.what;
    }
    EXPECT_EQ(control.ForeignReferences(), 0) << "a refused argument was not released";

    // A number where text is wanted is converted, as automation does for any late-bound caller.
    DispatchAnswer converted;
    Call(converted, connect.Get(), getCustomUi, {Number(5)});
    EXPECT_HR(S_OK, converted.hr);
    ASSERT_EQ(V_VT(converted.result.Get()), VT_BSTR);
    EXPECT_TRUE(IsDocument(V_BSTR(converted.result.Get())));

    // Putting a method as a property, a foreign interface id, named arguments.
    DispatchAnswer put;
    VARIANT value = Text(bstr(L"x"));
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS putParameters = {&value, &named, 1, 1};
    put.hr = connect->Invoke(getRibbonXml, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &putParameters,
                             nullptr, &put.exception, &put.argumentError);
    EXPECT_FAILED(put.hr);

    DispatchAnswer foreign;
    DISPPARAMS none = {};
    foreign.hr = connect->Invoke(getRibbonXml, IID_IStream, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                 foreign.result.Get(), &foreign.exception, &foreign.argumentError);
    EXPECT_FAILED(foreign.hr);

    DispatchAnswer withName;
    VARIANT argument = Text(bstr(L"Microsoft.Excel.Workbook"));
    DISPID unknownName = 99;
    DISPPARAMS namedParameters = {&argument, &unknownName, 1, 1};
    withName.hr = connect->Invoke(getCustomUi, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &namedParameters,
                                  withName.result.Get(), &withName.exception, &withName.argumentError);
    EXPECT_FAILED(withName.hr);

    // No place for the result: the call still works, the document is dropped.
    DispatchAnswer dropped;
    DISPPARAMS noArguments = {};
    EXPECT_HR(S_OK, connect->Invoke(getRibbonXml, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArguments,
                                    nullptr, &dropped.exception, nullptr));

    // No argument block at all, and no names or no place for the ids.
    DispatchAnswer noBlock;
    noBlock.hr = connect->Invoke(getRibbonXml, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr,
                                 noBlock.result.Get(), &noBlock.exception, &noBlock.argumentError);
    EXPECT_FAILED(noBlock.hr);
    DISPID id = 0;
    EXPECT_FAILED(connect->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &id));
    LPOLESTR name[] = {const_cast<LPOLESTR>(L"GetRibbonXML")};
    EXPECT_FAILED(connect->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, nullptr));

    // After all that, the object still answers as it should.
    EXPECT_TRUE(IsDocument(AskForRibbon(connect.Get()).document));
}

TEST_F(ComMisuse, NullOutPointersAreRefused)
{
    const ComPtr<_Connect> connect = module_->NewConnect();
    ASSERT_TRUE(connect);
    FakeApplication excel(NameAnswer::Text);
    ASSERT_EQ(Connection(connect.Get(), &excel), S_OK);
    EXPECT_HR(E_POINTER, connect->GetRibbonXML(nullptr));
    EXPECT_HR(E_POINTER, connect->IRibbonExtensibility_GetCustomUI(nullptr, nullptr));
    ComPtr<IRibbonExtensibility> ribbon;
    ASSERT_EQ(connect->QueryInterface(IID_IRibbonExtensibility, ribbon.PutVoid()), S_OK);
    EXPECT_HR(E_POINTER, ribbon->GetCustomUI(nullptr, nullptr));
    BSTR document = nullptr;
    EXPECT_HR(S_OK, ribbon->GetCustomUI(nullptr, &document)) << "a null ribbon id is an empty one";
    EXPECT_TRUE(IsDocument(document ? document : L""));
    ::SysFreeString(document);
}

TEST_F(ComMisuse, ManyObjectsSideBySideStayIndependent)
{
    FakeApplication word(NameAnswer::Text, L"Microsoft Word");
    FakeApplication excel(NameAnswer::Text);
    std::vector<ComPtr<_Connect>> objects;
    for (int i = 0; i < 20; ++i) {
        objects.push_back(module_->NewConnect());
        ASSERT_TRUE(objects.back());
        EXPECT_HR(S_OK, Connection(objects.back().Get(), i % 2 ? &word : &excel));
    }
    std::wstring first;
    for (int i = 0; i < 20; ++i) {
        const RibbonAnswer answer = AskForRibbon(objects[i].Get());
        EXPECT_HR(S_OK, answer.hr);
        if (i % 2) {
            EXPECT_EQ(answer.document, L"");
        } else {
            if (first.empty()) first = answer.document;
            EXPECT_EQ(answer.document, first);
        }
    }
    EXPECT_TRUE(IsDocument(first));
    objects.clear();
    EXPECT_EQ(word.ForeignReferences(), 0);
    EXPECT_EQ(excel.ForeignReferences(), 0);
}

// The DLL can be unloaded once everything is released, and loaded and used again afterwards.
TEST(CorbelModuleLifetime, UnloadsAndLoadsAgain)
{
    ScopedCoInitialize com;
    for (int round = 0; round < 3; ++round) {
        CorbelModule module;
        ASSERT_TRUE(module.Loaded());
        FakeApplication excel(NameAnswer::Text);
        {
            const ComPtr<_Connect> connect = module.NewConnect();
            ASSERT_TRUE(connect);
            EXPECT_HR(S_OK, Connection(connect.Get(), &excel));
            EXPECT_TRUE(IsDocument(AskForRibbon(connect.Get()).document));
        }
        EXPECT_HR(S_OK, module.DllCanUnloadNow());
        EXPECT_EQ(excel.ForeignReferences(), 0);
    }
}

} // namespace
} // namespace cornice
