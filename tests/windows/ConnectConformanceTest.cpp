// The Connect object in process, held as Excel holds it and misused as a careless host would:
// loaded straight from Corbel.dll (CorbelInProcess.h), connected to Applications that answer
// Name every way a host could, asked for its ribbon through each of its interfaces, early and
// late bound, with null, foreign and malformed arguments. Every call must come back with a
// clean HRESULT, out-pointers null on failure, the object usable afterwards, every reference
// given back, and DllCanUnloadNow must say yes after each test. One suite per behaviour.
//
// Runs in a Wine prefix of its own under a display (fresh-prefix.sh): it writes the product's
// settings, and the uninstall entry's message box must really appear.
//
//   connect-conformance-tests --corbel PATH [gtest options]
#include "Automation.h"
#include "AutomationObjects.h"
#include "CorbelInProcess.h"
#include "LocalisedExcel.h"
#include "RibbonTestSupport.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WineTestSupport.h"

#include <ocidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cornice {
namespace {

using test::ConnectAddIn;
using test::CorbelLibrary;
using test::FakeApplication;
using test::NameAnswer;
using test::Settings;

std::wstring g_corbelPath;

using test::Hex;
#define EXPECT_HR(expected, actual) EXPECT_EQ(Hex(expected), Hex(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(Hex(expected), Hex(actual))
#define EXPECT_FAILED(actual) EXPECT_TRUE(FAILED(actual)) << Hex(actual)

// What the portable builder makes of the same settings: the document Excel must receive.
std::wstring ExpectedDocument(const Settings& settings = {}) { return test::BuildDocument(settings); }

// ---------------------------------------------------------------------------------------------
// Calls as Excel and late-bound callers make them

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
    const UniqueBstr id = UniqueBstr::FromText(L"Microsoft.Excel.Workbook");
    BSTR document = reinterpret_cast<BSTR>(static_cast<std::uintptr_t>(0x1)); // must be overwritten
    hr = ribbon->GetCustomUI(id.Get(), &document);
    if (FAILED(hr)) return {hr, L"", document == nullptr};
    const UniqueBstr owned(document);
    return {hr, owned.Text(), true};
}

struct ErrorReport {
    std::wstring description, source;
    GUID guid = GUID_NULL;
};

ErrorReport TakeErrorInfo()
{
    ErrorReport report;
    ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.Put()) != S_OK || !info) return report;
    UniqueBstr description, source;
    info->GetDescription(description.Put());
    info->GetSource(source.Put());
    info->GetGUID(&report.guid);
    report.description = description.Text();
    report.source = source.Text();
    return report;
}

DISPID IdOf(IDispatch* dispatch, const wchar_t* name)
{
    DISPID id = 12345;
    EXPECT_HR(S_OK, IdOfName(*dispatch, name, id)) << ToUtf8(name);
    return id;
}

// A dispatch call by id; the exception's strings are freed with the answer.
using DispatchAnswer = DispatchOutcome;
void Call(DispatchAnswer& answer, IDispatch* dispatch, DISPID id, const std::vector<VARIANT>& arguments)
{
    InvokeInto(answer, *dispatch, id, DISPATCH_METHOD, arguments.data(), arguments.size());
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
// The fixture: the library loaded for each suite; the settings empty around every test, and
// after it nothing of the library alive and no message box shown that the test did not expect.

class ConnectConformance : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library_ = std::make_unique<CorbelLibrary>(g_corbelPath); }
    static void TearDownTestSuite() { library_.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(library_->Loaded()) << "cannot load " << ToUtf8(g_corbelPath) << " with both exports";
        test::ReplaceSettings({});
    }
    void TearDown() override
    {
        test::ReplaceSettings({});
        EXPECT_HR(S_OK, library_->CanUnloadNow()) << "an object or lock of the library outlived the test";
        // A refused call shows nothing; a box that shows anyway is closed and counted, not waited on.
        EXPECT_EQ(boxes_.Texts().size(), expectedBoxes_) << "message boxes shown";
    }

    static ComPtr<_Connect> NewConnect()
    {
        ComPtr<_Connect> connect = library_->NewConnect();
        EXPECT_TRUE(connect) << "the factory made no Connect";
        return connect;
    }
    // A Connect that OnConnection has handed this Application.
    static ComPtr<_Connect> Connected(IDispatch* application)
    {
        ComPtr<_Connect> connect = NewConnect();
        if (connect) {
            EXPECT_HR(S_OK, ConnectAddIn(connect.Get(), application));
        }
        return connect;
    }

    static inline std::unique_ptr<CorbelLibrary> library_;
    BoxCloser boxes_;
    std::size_t expectedBoxes_ = 0;
};

// One suite per behaviour, all on the same fixture.
class ClassFactory : public ConnectConformance {};
class ModuleLifetime : public ConnectConformance {};
class Identity : public ConnectConformance {};
class DispatchNames : public ConnectConformance {};
class RibbonRequests : public ConnectConformance {};
class HostCheck : public ConnectConformance {};
class ConnectionEvents : public ConnectConformance {};
class Failures : public ConnectConformance {};
class InvokeShape : public ConnectConformance {};
class UninstallEntry : public ConnectConformance {};

// ---------------------------------------------------------------------------------------------
// The class object and its factory

TEST_F(ClassFactory, RefusesWhatItCannotMakeAndLeavesNothingBehind)
{
    void* object = &object;
    EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, library_->GetClassObject(IID_IDispatch, IID_IClassFactory, &object));
    EXPECT_EQ(object, nullptr);
    object = &object;
    EXPECT_HR(E_NOINTERFACE, library_->GetClassObject(CLSID_Connect, IID_IDispatch, &object));
    EXPECT_EQ(object, nullptr);
    EXPECT_FAILED(library_->GetClassObject(CLSID_Connect, IID_IClassFactory, nullptr));

    const ComPtr<IClassFactory> factory = library_->Factory();
    ASSERT_TRUE(factory);
    FakeApplication outer;
    object = &object;
    EXPECT_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IUnknown, &object));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(outer.ForeignReferences(), 0);
    object = &object;
    EXPECT_HR(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &object));
    EXPECT_EQ(object, nullptr);
    EXPECT_FAILED(factory->CreateInstance(nullptr, IID__Connect, nullptr));
    EXPECT_HR(S_OK, library_->CanUnloadNow()) << "refused creations leave nothing behind";
}

// ---------------------------------------------------------------------------------------------
// When the library may go: objects, locks and reference counts

TEST_F(ModuleLifetime, StaysLoadedWhileAnObjectAReferenceOrALockRemains)
{
    const ComPtr<IClassFactory> factory = library_->Factory();
    ASSERT_TRUE(factory);
    EXPECT_HR(S_OK, library_->CanUnloadNow()) << "the class factory alone does not hold the library";

    _Connect* connect = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID__Connect, reinterpret_cast<void**>(&connect)), S_OK);
    EXPECT_HR(S_FALSE, library_->CanUnloadNow()) << "a live object keeps the library";
    EXPECT_EQ(connect->AddRef(), 2u);
    IRibbonExtensibility* ribbon = nullptr;
    EXPECT_HR(S_OK, connect->QueryInterface(IID_IRibbonExtensibility, reinterpret_cast<void**>(&ribbon)));
    EXPECT_EQ(ribbon->Release(), 2u);
    EXPECT_EQ(connect->Release(), 1u);
    EXPECT_HR(S_FALSE, library_->CanUnloadNow());
    EXPECT_EQ(connect->Release(), 0u);
    EXPECT_HR(S_OK, library_->CanUnloadNow()) << "the last release frees the library";

    EXPECT_HR(S_OK, factory->LockServer(TRUE));
    EXPECT_HR(S_FALSE, library_->CanUnloadNow());
    EXPECT_HR(S_OK, factory->LockServer(FALSE));
    EXPECT_HR(S_OK, library_->CanUnloadNow());
}

// ---------------------------------------------------------------------------------------------
// QueryInterface: its own interfaces as one object, nothing else

TEST_F(Identity, AnswersItsOwnInterfacesAsOneObjectAndNoOthers)
{
    const ComPtr<_Connect> connect = NewConnect();
    ASSERT_TRUE(connect);
    ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, connect.As(identity, IID_IUnknown));

    const IID own[] = {IID_IUnknown,           IID_IDispatch,          IID__Connect,
                       IID_IRibbonExtensibility, IID__IDTExtensibility2, IID_ISupportErrorInfo};
    for (const IID& iid : own) {
        ComPtr<IUnknown> asked, back;
        EXPECT_HR(S_OK, connect->QueryInterface(iid, asked.PutVoid()));
        ASSERT_TRUE(asked);
        EXPECT_HR(S_OK, asked->QueryInterface(IID_IUnknown, back.PutVoid()));
        EXPECT_EQ(back.Get(), identity.Get()) << "COM identity: one IUnknown for every interface";
        EXPECT_HR(E_POINTER, asked->QueryInterface(iid, nullptr));
    }
    const IID foreign[] = {IID_IRibbonControl, IID_IClassFactory, IID_IPersist, IID_IStream, IID_IMarshal,
                           IID_IConnectionPointContainer, IID_IProvideClassInfo, IID_IEnumVARIANT, IID_NULL};
    for (const IID& iid : foreign) {
        void* object = &object;
        EXPECT_HR(E_NOINTERFACE, connect->QueryInterface(iid, &object));
        EXPECT_EQ(object, nullptr) << "the out-pointer must be null on failure";
    }
}

// ---------------------------------------------------------------------------------------------
// Names and type information, as Office binds callbacks through whichever pointer it kept

TEST_F(DispatchNames, ResolveAlikeThroughEveryInterfaceAndRefuseUnknownNames)
{
    const ComPtr<_Connect> connect = NewConnect();
    ASSERT_TRUE(connect);
    ComPtr<IRibbonExtensibility> ribbon;
    ComPtr<_IDTExtensibility2> connection;
    ASSERT_HR(S_OK, connect.As(ribbon, IID_IRibbonExtensibility));
    ASSERT_HR(S_OK, connect.As(connection, IID__IDTExtensibility2));
    IDispatch* const dispatches[] = {connect.Get(), ribbon.Get(), connection.Get()};

    std::vector<DISPID> seen;
    for (const wchar_t* name : {L"IRibbonExtensibility_GetCustomUI", L"GetRibbonXML", L"ShowAbout0", L"Uninstall0"}) {
        const DISPID id = IdOf(connect.Get(), name);
        EXPECT_NE(id, DISPID_UNKNOWN);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0) << "two members share a dispatch id";
        seen.push_back(id);
    }
    for (IDispatch* dispatch : dispatches) {
        for (const wchar_t* name : {L"IRibbonExtensibility_GetCustomUI", L"GetRibbonXML", L"ShowAbout0", L"Uninstall0"})
            EXPECT_EQ(IdOf(dispatch, name), IdOf(connect.Get(), name)) << ToUtf8(name);
        // Automation names ignore case; VBA and Office may write them either way.
        EXPECT_EQ(IdOf(dispatch, L"SHOWABOUT0"), IdOf(connect.Get(), L"ShowAbout0"));
        EXPECT_EQ(IdOf(dispatch, L"uninstall0"), IdOf(connect.Get(), L"Uninstall0"));

        for (const wchar_t* unknown : {L"ShowAbout1", L"Uninstall1", L"", L"Name", L"GetRibbonXML ", L"OnConnection"}) {
            DISPID id = 12345;
            EXPECT_HR(DISP_E_UNKNOWNNAME, IdOfName(*dispatch, unknown, id)) << ToUtf8(unknown);
            EXPECT_EQ(id, DISPID_UNKNOWN);
        }
        // A known method with an unknown argument name.
        LPOLESTR pair[] = {const_cast<LPOLESTR>(L"IRibbonExtensibility_GetCustomUI"), const_cast<LPOLESTR>(L"Bogus")};
        DISPID ids[2] = {};
        EXPECT_HR(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, pair, 2, LOCALE_USER_DEFAULT, ids));
        EXPECT_EQ(ids[1], DISPID_UNKNOWN);
        // A foreign interface id, no names, no place for the ids.
        LPOLESTR name[] = {const_cast<LPOLESTR>(L"GetRibbonXML")};
        DISPID id = 0;
        EXPECT_FAILED(dispatch->GetIDsOfNames(IID_IStream, name, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_FAILED(dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_FAILED(dispatch->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, nullptr));

        UINT count = 7;
        EXPECT_HR(S_OK, dispatch->GetTypeInfoCount(&count));
        EXPECT_EQ(count, 1u);
        EXPECT_FAILED(dispatch->GetTypeInfoCount(nullptr));
        ComPtr<ITypeInfo> typeInfo;
        EXPECT_HR(S_OK, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo.Put()));
        EXPECT_TRUE(typeInfo);
        ITypeInfo* info = reinterpret_cast<ITypeInfo*>(&count);
        EXPECT_HR(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));
        EXPECT_EQ(info, nullptr);
        EXPECT_FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr));
    }
}

// ---------------------------------------------------------------------------------------------
// The ribbon document

TEST_F(RibbonRequests, EveryWayOfAskingGivesTheBuildersDocumentForAnyRibbonId)
{
    const Settings settings = {{L"Hide built-in Tabs", L"1"}, {L"Home", L"1"}, {L"Review", L"1"}, {L"All", L"0"}};
    test::ReplaceSettings(settings);
    const std::wstring expected = ExpectedDocument(settings);
    ASSERT_FALSE(expected.empty());

    FakeApplication excel;
    const ComPtr<_Connect> connect = Connected(&excel);
    ASSERT_TRUE(connect);
    ComPtr<IRibbonExtensibility> ribbon;
    ASSERT_HR(S_OK, connect.As(ribbon, IID_IRibbonExtensibility));

    UniqueBstr document;
    ASSERT_HR(S_OK, connect->GetRibbonXML(document.Put()));
    EXPECT_EQ(document.Text(), expected);
    for (const std::wstring& ribbonId :
         {std::wstring(), std::wstring(L"Microsoft.Excel.Workbook"), std::wstring(L"Microsoft.Word.Document"),
          std::wstring(5000, L'x')}) {
        const UniqueBstr id = UniqueBstr::FromText(ribbonId);
        ASSERT_HR(S_OK, ribbon->GetCustomUI(id.Get(), document.Put()));
        EXPECT_EQ(document.Text(), expected) << "ribbon id of " << ribbonId.size() << " characters";
        ASSERT_HR(S_OK, connect->IRibbonExtensibility_GetCustomUI(id.Get(), document.Put()));
        EXPECT_EQ(document.Text(), expected);
    }
    // A null BSTR is COM's empty ribbon id.
    ASSERT_HR(S_OK, ribbon->GetCustomUI(nullptr, document.Put()));
    EXPECT_EQ(document.Text(), expected);

    // Late-bound, as a script or VBA would ask; a number for the id is converted to text, as
    // automation does for any late-bound caller.
    BstrPool bstr;
    for (const VARIANT& id : {Text(bstr(L"Microsoft.Excel.Workbook")), Number(5)}) {
        DispatchAnswer answer;
        Call(answer, ribbon.Get(), IdOf(ribbon.Get(), L"IRibbonExtensibility_GetCustomUI"), {id});
        EXPECT_HR(S_OK, answer.hr);
        ASSERT_EQ(V_VT(answer.result.Get()), VT_BSTR);
        EXPECT_EQ(std::wstring(V_BSTR(answer.result.Get())), expected);
    }

    // No place for the document.
    EXPECT_HR(E_POINTER, connect->GetRibbonXML(nullptr));
    EXPECT_HR(E_POINTER, connect->IRibbonExtensibility_GetCustomUI(nullptr, nullptr));
    EXPECT_HR(E_POINTER, ribbon->GetCustomUI(nullptr, nullptr));
}

TEST_F(RibbonRequests, SettingsAreReadAfreshAtEveryRequest)
{
    FakeApplication excel;
    const ComPtr<_Connect> connect = Connected(&excel);
    ASSERT_TRUE(connect);
    UniqueBstr document;
    ASSERT_HR(S_OK, connect->GetRibbonXML(document.Put()));
    EXPECT_EQ(document.Text(), ExpectedDocument());

    test::ReplaceSettings({{L"Classic", L"0"}});
    ASSERT_HR(S_OK, connect->GetRibbonXML(document.Put()));
    EXPECT_EQ(document.Text(), L"") << "Classic 0: no document";

    test::ReplaceSettings({{L"left", L"0"}});
    ASSERT_HR(S_OK, connect->GetRibbonXML(document.Put()));
    EXPECT_EQ(document.Text(), ExpectedDocument({{L"Left", L"0"}}));
}

TEST_F(RibbonRequests, ManyObjectsSideBySideStayIndependent)
{
    FakeApplication word(NameAnswer::Text, L"Microsoft Word");
    FakeApplication excel;
    std::vector<ComPtr<_Connect>> objects;
    for (int i = 0; i < 20; ++i) {
        objects.push_back(Connected(i % 2 ? &word : &excel));
        ASSERT_TRUE(objects.back());
    }
    for (int i = 0; i < 20; ++i) {
        const RibbonAnswer answer = AskForRibbon(objects[i].Get());
        EXPECT_HR(S_OK, answer.hr);
        EXPECT_EQ(answer.document, i % 2 ? std::wstring() : ExpectedDocument()) << "object " << i;
    }
    objects.clear();
    EXPECT_EQ(word.ForeignReferences(), 0);
    EXPECT_EQ(excel.ForeignReferences(), 0);
}

// ---------------------------------------------------------------------------------------------
// Only Excel gets a document; the last connection's Application counts

TEST_F(HostCheck, OnlyAnApplicationNamedExactlyExcelGetsADocument)
{
    const struct {
        NameAnswer answer;
        const wchar_t* text;
    } notExcel[] = {
        {NameAnswer::Text, L"Microsoft Word"}, {NameAnswer::Text, L"microsoft excel"}, // the check is case-sensitive
        {NameAnswer::Text, L"Lotus 1-2-3"},    {NameAnswer::Text, L""},
        {NameAnswer::NullBstr, L""},           {NameAnswer::Number, L""},
        {NameAnswer::Empty, L""},
    };
    for (const auto& c : notExcel) {
        FakeApplication application(c.answer, c.text);
        {
            const ComPtr<_Connect> connect = Connected(&application);
            ASSERT_TRUE(connect);
            const RibbonAnswer answer = AskForRibbon(connect.Get());
            EXPECT_HR(S_OK, answer.hr) << ToUtf8(c.text) << " answer " << static_cast<int>(c.answer);
            EXPECT_EQ(answer.document, L"") << ToUtf8(c.text) << " answer " << static_cast<int>(c.answer);
            EXPECT_EQ(application.NameCalls(), 1);
        }
        EXPECT_EQ(application.ForeignReferences(), 0);
    }
}

TEST_F(HostCheck, ALaterConnectionReplacesTheApplicationAndReleasesTheFormerOne)
{
    FakeApplication word(NameAnswer::Text, L"Microsoft Word");
    FakeApplication excel;
    {
        const ComPtr<_Connect> connect = Connected(&word);
        ASSERT_TRUE(connect);
        EXPECT_EQ(AskForRibbon(connect.Get()).document, L"");
        EXPECT_HR(S_OK, ConnectAddIn(connect.Get(), &excel, ext_cm_AfterStartup));
        EXPECT_EQ(word.ForeignReferences(), 0) << "the first Application is let go";
        EXPECT_EQ(AskForRibbon(connect.Get()).document, ExpectedDocument());
        EXPECT_HR(S_OK, ConnectAddIn(connect.Get(), &excel)) << "the same Application twice";
        EXPECT_LE(excel.ForeignReferences(), 1);
        EXPECT_HR(S_OK, ConnectAddIn(connect.Get(), &word, ext_cm_AfterStartup));
        EXPECT_EQ(excel.ForeignReferences(), 0);
        EXPECT_EQ(AskForRibbon(connect.Get()).document, L"") << "the last connection's Application counts";
    }
    EXPECT_EQ(word.ForeignReferences(), 0);
    EXPECT_EQ(excel.ForeignReferences(), 0);
}

// ---------------------------------------------------------------------------------------------
// The connection's other events

TEST_F(ConnectionEvents, AreAcceptedBeforeAndAfterTheConnectionAndChangeNothing)
{
    const ComPtr<_Connect> connect = NewConnect();
    ASSERT_TRUE(connect);
    ComPtr<_IDTExtensibility2> connection;
    ASSERT_HR(S_OK, connect.As(connection, IID__IDTExtensibility2));
    EXPECT_HR(S_OK, connection->OnAddInsUpdate(nullptr));
    EXPECT_HR(S_OK, connection->OnStartupComplete(nullptr));
    EXPECT_HR(S_OK, connection->OnBeginShutdown(nullptr));
    EXPECT_HR(S_OK, connection->OnDisconnection(ext_dm_HostShutdown, nullptr));

    FakeApplication excel;
    EXPECT_HR(S_OK, ConnectAddIn(connect.Get(), &excel));
    SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
    EXPECT_HR(S_OK, connection->OnAddInsUpdate(&custom));
    EXPECT_HR(S_OK, connection->OnStartupComplete(&custom));
    EXPECT_EQ(AskForRibbon(connect.Get()).document, ExpectedDocument());
    EXPECT_HR(S_OK, connection->OnBeginShutdown(&custom));
    EXPECT_HR(S_OK, connection->OnDisconnection(ext_dm_HostShutdown, &custom));
    ::SafeArrayDestroy(custom);
}

// ---------------------------------------------------------------------------------------------
// Failures: a failure HRESULT, no document, a description for early- and late-bound callers,
// and an object that answers the next call as if nothing had happened

TEST_F(Failures, BeforeOnConnectionEveryRequestFailsWithAReason)
{
    const ComPtr<_Connect> connect = NewConnect();
    ASSERT_TRUE(connect);
    const RibbonAnswer before = AskForRibbon(connect.Get());
    EXPECT_FAILED(before.hr);
    EXPECT_TRUE(before.nullOnFailure);

    ::SetErrorInfo(0, nullptr);
    BSTR document = reinterpret_cast<BSTR>(static_cast<std::uintptr_t>(0x1));
    EXPECT_HR(E_UNEXPECTED, connect->GetRibbonXML(&document));
    EXPECT_EQ(document, nullptr);
    const ErrorReport error = TakeErrorInfo();
    EXPECT_NE(error.description.find(L"not connected"), std::wstring::npos) << ToUtf8(error.description);
    EXPECT_EQ(error.source, L"Corbel.Connect");
    EXPECT_TRUE(IsEqualGUID(error.guid, IID__Connect));
    document = reinterpret_cast<BSTR>(static_cast<std::uintptr_t>(0x1));
    EXPECT_FAILED(connect->IRibbonExtensibility_GetCustomUI(nullptr, &document));
    EXPECT_EQ(document, nullptr);

    DispatchAnswer byName;
    Call(byName, connect.Get(), IdOf(connect.Get(), L"GetRibbonXML"), {});
    EXPECT_HR(DISP_E_EXCEPTION, byName.hr);
    EXPECT_FAILED(byName.exception.Code());
    EXPECT_NE(byName.exception.Description().find(L"not connected"), std::wstring::npos) << "the failure says why";

    FakeApplication excel;
    EXPECT_HR(S_OK, ConnectAddIn(connect.Get(), &excel));
    const RibbonAnswer after = AskForRibbon(connect.Get());
    EXPECT_HR(S_OK, after.hr);
    EXPECT_EQ(after.document, ExpectedDocument());
}

TEST_F(Failures, ANullApplicationFailsTheRequestsNotTheProcess)
{
    const ComPtr<_Connect> connect = NewConnect();
    ASSERT_TRUE(connect);
    const HRESULT connected = ConnectAddIn(connect.Get(), nullptr);
    EXPECT_TRUE(connected == S_OK || connected == E_POINTER || connected == E_INVALIDARG) << Hex(connected);
    const RibbonAnswer answer = AskForRibbon(connect.Get());
    EXPECT_FAILED(answer.hr);
    EXPECT_TRUE(answer.nullOnFailure);
}

TEST_F(Failures, AnApplicationWhoseNameMisbehavesFailsTheRequestOnly)
{
    for (NameAnswer misbehaviour : {NameAnswer::Raises, NameAnswer::RaisesDeferred, NameAnswer::Fails,
                                    NameAnswer::NoSuchName, NameAnswer::Null, NameAnswer::Array, NameAnswer::Itself}) {
        const std::string what = "answer " + std::to_string(static_cast<int>(misbehaviour));
        FakeApplication application(misbehaviour);
        {
            const ComPtr<_Connect> connect = Connected(&application);
            ASSERT_TRUE(connect);
            for (int round = 0; round < 2; ++round) {
                const RibbonAnswer result = AskForRibbon(connect.Get());
                EXPECT_FAILED(result.hr) << what;
                EXPECT_TRUE(result.nullOnFailure) << what;
            }
            // The failure goes to the caller with the host's own code and words where it gave some.
            if (misbehaviour == NameAnswer::Raises) {
                UniqueBstr document;
                EXPECT_HR(static_cast<HRESULT>(0x800A03EC), connect->GetRibbonXML(document.Put()));
                EXPECT_EQ(document.Get(), nullptr);
                const ErrorReport error = TakeErrorInfo();
                EXPECT_NE(error.description.find(L"The application is busy."), std::wstring::npos)
                    << ToUtf8(error.description);
            }
            DispatchAnswer byName;
            Call(byName, connect.Get(), IdOf(connect.Get(), L"GetRibbonXML"), {});
            EXPECT_HR(DISP_E_EXCEPTION, byName.hr) << what;
            if (misbehaviour == NameAnswer::Raises) {
                EXPECT_NE(byName.exception.Description().find(L"The application is busy."), std::wstring::npos);
            }
        }
        EXPECT_EQ(application.ForeignReferences(), 0) << what << ": the Application was not released";
    }
}

TEST_F(Failures, BadSettingsCarryADescriptionAndLeaveTheObjectUsable)
{
    FakeApplication excel;
    const ComPtr<_Connect> connect = Connected(&excel);
    ASSERT_TRUE(connect);
    ComPtr<IRibbonExtensibility> ribbon;
    ASSERT_HR(S_OK, connect.As(ribbon, IID_IRibbonExtensibility));
    UniqueBstr document;

    test::ReplaceSettings({{L"Hide built-in Tabs", L"1"}, {L"Data", L"yes"}});
    EXPECT_HR(DISP_E_TYPEMISMATCH, ribbon->GetCustomUI(nullptr, document.Put()));
    EXPECT_EQ(document.Get(), nullptr);
    ErrorReport error = TakeErrorInfo();
    EXPECT_EQ(error.description, L"The setting \"Data\" holds \"yes\", which is not a number.");
    EXPECT_TRUE(IsEqualGUID(error.guid, IID_IRibbonExtensibility));

    test::ReplaceSettings({{L"Classic", L"1e400"}});
    EXPECT_HR(DISP_E_OVERFLOW, ribbon->GetCustomUI(nullptr, document.Put()));
    EXPECT_EQ(TakeErrorInfo().description, L"The setting \"Classic\" holds \"1e400\", which is out of range.");

    // Late-bound callers get the same description as an automation exception.
    DispatchAnswer byName;
    Call(byName, ribbon.Get(), IdOf(ribbon.Get(), L"GetRibbonXML"), {});
    EXPECT_HR(DISP_E_EXCEPTION, byName.hr);
    EXPECT_HR(DISP_E_OVERFLOW, byName.exception.Code());
    EXPECT_EQ(byName.exception.Description(), L"The setting \"Classic\" holds \"1e400\", which is out of range.");

    test::ReplaceSettings({{L"Hide built-in Tabs", L"1"}, {L"Data", L"1"}});
    ASSERT_HR(S_OK, ribbon->GetCustomUI(nullptr, document.Put()));
    EXPECT_EQ(document.Text(), ExpectedDocument({{L"Hide built-in Tabs", L"1"}, {L"Data", L"1"}}));

    ComPtr<ISupportErrorInfo> support;
    ASSERT_HR(S_OK, connect.As(support, IID_ISupportErrorInfo));
    EXPECT_HR(S_OK, support->InterfaceSupportsErrorInfo(IID_IRibbonExtensibility));
    EXPECT_HR(S_OK, support->InterfaceSupportsErrorInfo(IID__Connect));
    EXPECT_HR(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IPersist));
}

// ---------------------------------------------------------------------------------------------
// Malformed late-bound calls are refused before they reach automation's DispInvoke

TEST_F(InvokeShape, CallsOfTheWrongShapeAreRefusedAndTheObjectStaysUsable)
{
    FakeApplication excel;
    const ComPtr<_Connect> connect = Connected(&excel);
    ASSERT_TRUE(connect);
    const DISPID getRibbonXml = IdOf(connect.Get(), L"GetRibbonXML");
    const DISPID getCustomUi = IdOf(connect.Get(), L"IRibbonExtensibility_GetCustomUI");
    const DISPID showAbout = IdOf(connect.Get(), L"ShowAbout0");
    const DISPID uninstall = IdOf(connect.Get(), L"Uninstall0");
    const DISPID searchChanged = IdOf(connect.Get(), L"SearchWordsChanged");
    const DISPID searchResults = IdOf(connect.Get(), L"GetSearchResults");

    // Unknown ids, among them one of the connection interface.
    for (DISPID unknown : {DISPID(0), DISPID(-1), DISPID(1), DISPID(7), DISPID(12345), DISPID(0x60030008),
                           DISPID(0x7FFFFFFF)}) {
        DispatchAnswer answer;
        Call(answer, connect.Get(), unknown, {});
        EXPECT_HR(DISP_E_MEMBERNOTFOUND, answer.hr) << "dispid " << unknown;
        EXPECT_EQ(V_VT(answer.result.Get()), VT_EMPTY);
    }

    FakeApplication control(NameAnswer::Text, L"not a ribbon control");
    BstrPool bstr;
    const struct {
        const char* what;
        DISPID id;
        std::vector<VARIANT> arguments;
        HRESULT expected;
    } cases[] = {
        {"GetRibbonXML with an argument", getRibbonXml, {Number(1)}, DISP_E_BADPARAMCOUNT},
        {"GetCustomUI without its argument", getCustomUi, {}, DISP_E_BADPARAMCOUNT},
        {"GetCustomUI with two arguments", getCustomUi, {Text(bstr(L"a")), Text(bstr(L"b"))}, DISP_E_BADPARAMCOUNT},
        {"GetCustomUI with an object", getCustomUi, {Object(&control)}, DISP_E_TYPEMISMATCH},
        {"ShowAbout0 without its control", showAbout, {}, DISP_E_BADPARAMCOUNT},
        {"ShowAbout0 with a text", showAbout, {Text(bstr(L"control"))}, DISP_E_TYPEMISMATCH},
        {"Uninstall0 with two controls", uninstall, {Object(&control), Object(&control)}, DISP_E_BADPARAMCOUNT},
        {"Uninstall0 with a number", uninstall, {Number(3)}, DISP_E_TYPEMISMATCH},
        {"SearchWordsChanged without its words", searchChanged, {Object(&control)}, DISP_E_BADPARAMCOUNT},
        {"GetSearchResults with a text", searchResults, {Text(bstr(L"control"))}, DISP_E_TYPEMISMATCH},
    };
    for (const auto& c : cases) {
        DispatchAnswer answer;
        Call(answer, connect.Get(), c.id, c.arguments);
        EXPECT_HR(c.expected, answer.hr) << c.what;
        EXPECT_EQ(V_VT(answer.result.Get()), VT_EMPTY) << c.what;
    }
    EXPECT_EQ(control.ForeignReferences(), 0) << "a refused argument was not released";

    VARIANT argument = Text(bstr(L"Microsoft.Excel.Workbook"));
    DISPID named = 0, put = DISPID_PROPERTYPUT;
    DISPPARAMS none = {}, withName = {&argument, &named, 1, 1}, asPut = {&argument, &put, 1, 1},
               one = {&argument, nullptr, 1, 0};
    const auto invoke = [&](DISPID id, REFIID iid, WORD flags, DISPPARAMS* parameters, VARIANT* result) {
        return connect->Invoke(id, iid, LOCALE_USER_DEFAULT, flags, parameters, result, nullptr, nullptr);
    };
    UniqueVariant result;
    EXPECT_HR(DISP_E_NONAMEDARGS, invoke(getCustomUi, IID_NULL, DISPATCH_METHOD, &withName, result.Put()));
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, invoke(getRibbonXml, IID_NULL, DISPATCH_PROPERTYPUT, &asPut, result.Put()))
        << "a method put as a property";
    EXPECT_HR(E_INVALIDARG, invoke(getRibbonXml, IID_NULL, DISPATCH_METHOD, nullptr, result.Put()))
        << "no parameters at all";
    EXPECT_HR(DISP_E_UNKNOWNINTERFACE, invoke(getRibbonXml, IID_IStream, DISPATCH_METHOD, &none, result.Put()));
    EXPECT_EQ(V_VT(result.Get()), VT_EMPTY);

    // A caller that wants no result still makes the call; a property get of a method works as
    // Visual Basic issues it.
    EXPECT_HR(S_OK, invoke(getRibbonXml, IID_NULL, DISPATCH_METHOD, &none, nullptr));
    EXPECT_HR(S_OK, invoke(getCustomUi, IID_NULL, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &one, result.Put()));
    ASSERT_EQ(V_VT(result.Get()), VT_BSTR);
    EXPECT_EQ(std::wstring(V_BSTR(result.Get())), ExpectedDocument());

    EXPECT_EQ(AskForRibbon(connect.Get()).document, ExpectedDocument()) << "after all that";
}

// ---------------------------------------------------------------------------------------------
// The uninstall entry needs nothing of Excel

TEST_F(UninstallEntry, WorksWithoutAConnection)
{
    // Wine without a display answers every message box with OK at once; ctest runs this suite
    // under Xvfb, where the box really shows.
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    const ComPtr<_Connect> connect = NewConnect();
    ASSERT_TRUE(connect);
    expectedBoxes_ = 2;
    EXPECT_HR(S_OK, connect->Uninstall0(nullptr));
    DispatchAnswer byName;
    Call(byName, connect.Get(), IdOf(connect.Get(), L"Uninstall0"), {Object(nullptr)});
    EXPECT_HR(S_OK, byName.hr);
    // The message shows and is closed, twice.
    const std::vector<std::wstring> texts = boxes_.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind(L"To uninstall, close Excel", 0), 0u);
}

TEST_F(UninstallEntry, SpeaksExcelsLanguage)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    expectedBoxes_ = 2;
    for (const int language : {1031, 1043}) {
        const ComPtr<IDispatch> excel =
            host::MakeApplication(L"Microsoft Excel", L"14.0", host::LocalisedMembers(language, nullptr));
        const ComPtr<_Connect> connect = Connected(excel.Get());
        ASSERT_TRUE(connect);
        EXPECT_HR(S_OK, connect->Uninstall0(nullptr));
    }
    const std::vector<std::wstring> texts = boxes_.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind(L"Schlie\u00DFen Sie zum Deinstallieren Excel", 0), 0u) << "German";
    EXPECT_EQ(texts[1].rfind(L"To uninstall, close Excel", 0), 0u) << "Dutch, which the add-in does not speak";
}

// ---------------------------------------------------------------------------------------------
// The library unloads once everything is released, and loads and works again afterwards; it
// runs after the suites above have freed their copy.

TEST(ModuleReload, UnloadsAndLoadsAgain)
{
    for (int round = 0; round < 3; ++round) {
        CorbelLibrary library(g_corbelPath);
        ASSERT_TRUE(library.Loaded());
        FakeApplication excel;
        {
            const ComPtr<_Connect> connect = library.NewConnect();
            ASSERT_TRUE(connect);
            EXPECT_HR(S_OK, ConnectAddIn(connect.Get(), &excel));
            EXPECT_EQ(AskForRibbon(connect.Get()).document, ExpectedDocument());
        }
        EXPECT_HR(S_OK, library.CanUnloadNow());
        EXPECT_EQ(excel.ForeignReferences(), 0);
    }
}

} // namespace
} // namespace cornice

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--corbel") cornice::g_corbelPath = cornice::test::WindowsPathOf(argv[i + 1]);
    if (cornice::g_corbelPath.empty()) {
        std::fprintf(stderr, "usage: connect-conformance-tests --corbel PATH-OF-Corbel.dll [gtest options]\n");
        return 2;
    }
    const cornice::ScopedCoInitialize com;
    return RUN_ALL_TESTS();
}
