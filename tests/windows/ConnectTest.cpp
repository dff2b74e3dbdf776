// The Connect object in process, as Excel holds it: loaded straight from Corbel.dll through
// DllGetClassObject (no registration needed), connected to a stand-in Application, asked for
// its ribbon through each of its interfaces. Runs in a Wine prefix of its own, because it
// writes the product's settings.
#include "AutomationObjects.h"
#include "Corbel.h"
#include "RibbonTestSupport.h"
#include "SettingKeys.h"
#include "Utf8.h"
#include "WinHandles.h"
#include "WindowsErrorText.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace cornice {
namespace {

std::wstring g_corbelPath;

using test::Settings;

// What the portable builder makes of the same settings: the document Excel must receive.
std::wstring ExpectedDocument(const Settings& settings) { return test::BuildDocument(settings); }

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

class ConnectTest : public ::testing::Test {
protected:
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

    static void SetUpTestSuite()
    {
        module_ = ::LoadLibraryW(g_corbelPath.c_str());
        ASSERT_NE(module_, nullptr) << "cannot load " << ToUtf8(g_corbelPath) << ", error " << ::GetLastError();
        getClassObject_ = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(::GetProcAddress(module_, "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(::GetProcAddress(module_, "DllCanUnloadNow")));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }

    void SetUp() override { ReplaceSettings({}); }
    void TearDown() override { test::ReplaceSettings({}); }

    static void ReplaceSettings(const Settings& settings) { test::ReplaceSettings(settings); }

    ComPtr<IClassFactory> Factory()
    {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(getClassObject_(CLSID_Connect, IID_IClassFactory, factory.PutVoid()), S_OK);
        return factory;
    }

    ComPtr<_Connect> NewConnect()
    {
        ComPtr<_Connect> connect;
        const ComPtr<IClassFactory> factory = Factory();
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, IID__Connect, connect.PutVoid()), S_OK);
        }
        return connect;
    }

    // A Connect that OnConnection has handed an Application of this name.
    ComPtr<_Connect> Connected(const ComPtr<IDispatch>& application)
    {
        ComPtr<_Connect> connect = NewConnect();
        ComPtr<_IDTExtensibility2> connection;
        EXPECT_EQ(connect.As(connection, IID__IDTExtensibility2), S_OK);
        SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
        EXPECT_EQ(connection->OnConnection(application.Get(), ext_cm_Startup, nullptr, &custom), S_OK);
        ::SafeArrayDestroy(custom);
        return connect;
    }
    ComPtr<_Connect> Connected(const std::wstring& hostName = L"Microsoft Excel")
    {
        return Connected(host::MakeApplication(hostName));
    }

    static DISPID DispatchId(IDispatch* dispatch, const wchar_t* name, HRESULT expected = S_OK)
    {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID dispid = DISPID_UNKNOWN;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid), expected)
            << ToUtf8(name);
        return dispid;
    }

    static inline HMODULE module_ = nullptr;
    static inline GetClassObject getClassObject_ = nullptr;
    static inline CanUnloadNow canUnloadNow_ = nullptr;
};

TEST_F(ConnectTest, AnswersItsThreeInterfacesAsOneObject)
{
    const ComPtr<_Connect> connect = NewConnect();
    ASSERT_TRUE(connect);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(connect.As(identity, IID_IUnknown), S_OK);

    const struct {
        const IID* iid;
        const char* name;
        HRESULT expected;
    } cases[] = {
        {&IID_IUnknown, "IUnknown", S_OK},
        {&IID_IDispatch, "IDispatch", S_OK},
        {&IID__Connect, "_Connect", S_OK},
        {&IID_IRibbonExtensibility, "IRibbonExtensibility", S_OK},
        {&IID__IDTExtensibility2, "_IDTExtensibility2", S_OK},
        {&IID_ISupportErrorInfo, "ISupportErrorInfo", S_OK},
        {&IID_IRibbonControl, "IRibbonControl", E_NOINTERFACE},
        {&IID_IClassFactory, "IClassFactory", E_NOINTERFACE},
        {&IID_IPersist, "IPersist", E_NOINTERFACE},
    };
    for (const auto& c : cases) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(connect->QueryInterface(*c.iid, answer.PutVoid()), c.expected) << c.name;
        if (c.expected != S_OK) {
            EXPECT_FALSE(answer) << c.name << ": the out-pointer must be null on failure";
            continue;
        }
        ComPtr<IUnknown> answerIdentity;
        ASSERT_EQ(answer.As(answerIdentity, IID_IUnknown), S_OK);
        EXPECT_EQ(answerIdentity.Get(), identity.Get()) << c.name << " belongs to another object";
    }
    EXPECT_EQ(connect->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ConnectTest, CallbacksResolveByNameThroughEveryInterfacesDispatch)
{
    const ComPtr<_Connect> connect = NewConnect();
    ComPtr<IDispatch> viaQuery;
    ComPtr<IRibbonExtensibility> ribbon;
    ComPtr<_IDTExtensibility2> connection;
    ASSERT_EQ(connect.As(viaQuery, IID_IDispatch), S_OK);
    ASSERT_EQ(connect.As(ribbon, IID_IRibbonExtensibility), S_OK);
    ASSERT_EQ(connect.As(connection, IID__IDTExtensibility2), S_OK);
    IDispatch* dispatches[] = {viaQuery.Get(), ribbon.Get(), connection.Get()};

    std::vector<DISPID> seen;
    for (const wchar_t* name : {L"IRibbonExtensibility_GetCustomUI", L"GetRibbonXML", L"ShowAbout0", L"Uninstall0"}) {
        const DISPID dispid = DispatchId(viaQuery.Get(), name);
        EXPECT_NE(dispid, DISPID_UNKNOWN);
        for (IDispatch* dispatch : dispatches) EXPECT_EQ(DispatchId(dispatch, name), dispid) << ToUtf8(name);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), dispid), 0) << "two members share a dispatch id";
        seen.push_back(dispid);
    }
    // Automation names ignore case; VBA and Office may write them either way.
    EXPECT_EQ(DispatchId(ribbon.Get(), L"uninstall0"), DispatchId(ribbon.Get(), L"Uninstall0"));
    DispatchId(ribbon.Get(), L"Uninstall1", DISP_E_UNKNOWNNAME);
    DispatchId(ribbon.Get(), L"OnConnection", DISP_E_UNKNOWNNAME);

    UINT count = 0;
    EXPECT_EQ(viaQuery->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> typeInfo;
    EXPECT_EQ(viaQuery->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo.Put()), S_OK);
    EXPECT_TRUE(typeInfo);
    EXPECT_EQ(viaQuery->GetTypeInfo(1, LOCALE_USER_DEFAULT, typeInfo.Put()), DISP_E_BADINDEX);
}

TEST_F(ConnectTest, EveryWayOfAskingGivesTheBuildersDocumentForAnyRibbonId)
{
    const Settings settings = {{L"Hide built-in Tabs", L"1"}, {L"Home", L"1"}, {L"Review", L"1"}, {L"All", L"0"}};
    ReplaceSettings(settings);
    const std::wstring expected = ExpectedDocument(settings);
    ASSERT_FALSE(expected.empty());

    const ComPtr<_Connect> connect = Connected();
    ComPtr<IRibbonExtensibility> ribbon;
    ASSERT_EQ(connect.As(ribbon, IID_IRibbonExtensibility), S_OK);

    UniqueBstr document;
    ASSERT_EQ(connect->GetRibbonXML(document.Put()), S_OK);
    EXPECT_EQ(document.Text(), expected);

    for (const std::wstring& ribbonId :
         {std::wstring(), std::wstring(L"Microsoft.Excel.Workbook"), std::wstring(L"Microsoft.Word.Document"),
          std::wstring(5000, L'x')}) {
        const UniqueBstr id = UniqueBstr::FromText(ribbonId);
        ASSERT_EQ(ribbon->GetCustomUI(id.Get(), document.Put()), S_OK);
        EXPECT_EQ(document.Text(), expected) << "ribbon id of " << ribbonId.size() << " characters";
        ASSERT_EQ(connect->IRibbonExtensibility_GetCustomUI(id.Get(), document.Put()), S_OK);
        EXPECT_EQ(document.Text(), expected);
    }
    // A null BSTR is COM's empty ribbon id.
    ASSERT_EQ(ribbon->GetCustomUI(nullptr, document.Put()), S_OK);
    EXPECT_EQ(document.Text(), expected);

    // Late-bound, as a script or VBA would ask.
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = ::SysAllocString(L"Microsoft.Excel.Workbook");
    DISPPARAMS parameters = {&argument, nullptr, 1, 0};
    UniqueVariant result;
    EXPECT_EQ(ribbon->Invoke(DispatchId(ribbon.Get(), L"IRibbonExtensibility_GetCustomUI"), IID_NULL,
                             LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.Get(), nullptr, nullptr),
              S_OK);
    ::VariantClear(&argument);
    ASSERT_EQ(V_VT(result.Get()), VT_BSTR);
    EXPECT_EQ(std::wstring(V_BSTR(result.Get())), expected);

    EXPECT_EQ(ribbon->GetCustomUI(nullptr, nullptr), E_POINTER);
}

TEST_F(ConnectTest, SettingsAreReadAfreshAtEveryRequest)
{
    const ComPtr<_Connect> connect = Connected();
    UniqueBstr document;
    ASSERT_EQ(connect->GetRibbonXML(document.Put()), S_OK);
    EXPECT_EQ(document.Text(), ExpectedDocument({}));

    ReplaceSettings({{L"Classic", L"0"}});
    ASSERT_EQ(connect->GetRibbonXML(document.Put()), S_OK);
    EXPECT_EQ(document.Text(), L"") << "Classic 0: no document";

    ReplaceSettings({{L"left", L"0"}});
    ASSERT_EQ(connect->GetRibbonXML(document.Put()), S_OK);
    EXPECT_EQ(document.Text(), ExpectedDocument({{L"Left", L"0"}}));
}

TEST_F(ConnectTest, OnlyAHostNamedExcelGetsADocumentAndTheLastConnectionCounts)
{
    UniqueBstr document;
    ASSERT_EQ(Connected(L"Lotus 1-2-3")->GetRibbonXML(document.Put()), S_OK);
    EXPECT_EQ(document.Text(), L"");
    ASSERT_EQ(Connected(L"microsoft excel")->GetRibbonXML(document.Put()), S_OK);
    EXPECT_EQ(document.Text(), L"") << "the host check is case-sensitive";

    const ComPtr<_Connect> connect = Connected(L"Microsoft Excel");
    ComPtr<_IDTExtensibility2> connection;
    ASSERT_EQ(connect.As(connection, IID__IDTExtensibility2), S_OK);
    SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
    const ComPtr<IDispatch> other = host::MakeApplication(L"Quattro");
    EXPECT_EQ(connection->OnConnection(other.Get(), ext_cm_AfterStartup, nullptr, &custom), S_OK);
    ASSERT_EQ(connect->GetRibbonXML(document.Put()), S_OK);
    EXPECT_EQ(document.Text(), L"") << "the second connection's Application replaces the first";

    // The other events are accepted and change nothing.
    EXPECT_EQ(connection->OnAddInsUpdate(&custom), S_OK);
    EXPECT_EQ(connection->OnStartupComplete(&custom), S_OK);
    EXPECT_EQ(connection->OnBeginShutdown(&custom), S_OK);
    EXPECT_EQ(connection->OnDisconnection(ext_dm_HostShutdown, &custom), S_OK);
    ::SafeArrayDestroy(custom);
}

// Each failure: a failure HRESULT, no document, a description in IErrorInfo, and an object
// that answers the next call as if nothing had happened.
TEST_F(ConnectTest, FailuresCarryADescriptionAndLeaveTheObjectUsable)
{
    UniqueBstr document;

    const ComPtr<_Connect> unconnected = NewConnect();
    ::SetErrorInfo(0, nullptr);
    EXPECT_EQ(unconnected->GetRibbonXML(document.Put()), E_UNEXPECTED);
    EXPECT_EQ(document.Get(), nullptr);
    ErrorReport error = TakeErrorInfo();
    EXPECT_NE(error.description.find(L"not connected"), std::wstring::npos) << ToUtf8(error.description);
    EXPECT_EQ(error.source, L"Corbel.Connect");
    EXPECT_TRUE(IsEqualGUID(error.guid, IID__Connect));

    const ComPtr<IDispatch> failingApplication = host::MakeAutomationObject(
        {{L"Name", []() -> std::wstring { throw std::runtime_error("The application is busy."); }}});
    const ComPtr<_Connect> connect = Connected(failingApplication);
    EXPECT_EQ(connect->GetRibbonXML(document.Put()), E_FAIL);
    EXPECT_EQ(document.Get(), nullptr);
    error = TakeErrorInfo();
    EXPECT_NE(error.description.find(L"The application is busy."), std::wstring::npos) << ToUtf8(error.description);

    const ComPtr<_Connect> healthy = Connected();
    ComPtr<IRibbonExtensibility> ribbon;
    ASSERT_EQ(healthy.As(ribbon, IID_IRibbonExtensibility), S_OK);
    ReplaceSettings({{L"Hide built-in Tabs", L"1"}, {L"Data", L"yes"}});
    EXPECT_EQ(ribbon->GetCustomUI(nullptr, document.Put()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(document.Get(), nullptr);
    error = TakeErrorInfo();
    EXPECT_EQ(error.description, L"The setting \"Data\" holds \"yes\", which is not a number.");
    EXPECT_TRUE(IsEqualGUID(error.guid, IID_IRibbonExtensibility));

    ReplaceSettings({{L"Classic", L"1e400"}});
    EXPECT_EQ(ribbon->GetCustomUI(nullptr, document.Put()), DISP_E_OVERFLOW);
    EXPECT_EQ(TakeErrorInfo().description, L"The setting \"Classic\" holds \"1e400\", which is out of range.");

    // Late-bound callers get the same description as an automation exception.
    EXCEPINFO exception = {};
    UniqueVariant result;
    DISPPARAMS none = {};
    EXPECT_EQ(ribbon->Invoke(DispatchId(ribbon.Get(), L"GetRibbonXML"), IID_NULL, LOCALE_USER_DEFAULT,
                             DISPATCH_METHOD, &none, result.Get(), &exception, nullptr),
              DISP_E_EXCEPTION);
    const AutomationException raised = TakeAutomationException(exception);
    EXPECT_EQ(raised.code, DISP_E_OVERFLOW);
    EXPECT_EQ(raised.description, L"The setting \"Classic\" holds \"1e400\", which is out of range.");

    ReplaceSettings({{L"Hide built-in Tabs", L"1"}, {L"Data", L"1"}});
    ASSERT_EQ(ribbon->GetCustomUI(nullptr, document.Put()), S_OK);
    EXPECT_EQ(document.Text(), ExpectedDocument({{L"Hide built-in Tabs", L"1"}, {L"Data", L"1"}}));

    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(healthy.As(support, IID_ISupportErrorInfo), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IRibbonExtensibility), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__Connect), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IPersist), S_FALSE);
}

// Malformed late-bound calls are refused before they reach automation's DispInvoke.
TEST_F(ConnectTest, InvokeRefusesCallsOfTheWrongShape)
{
    const ComPtr<_Connect> connect = Connected();
    ComPtr<IRibbonExtensibility> ribbon;
    ASSERT_EQ(connect.As(ribbon, IID_IRibbonExtensibility), S_OK);
    const DISPID getRibbonXml = DispatchId(ribbon.Get(), L"GetRibbonXML");
    const DISPID getCustomUi = DispatchId(ribbon.Get(), L"IRibbonExtensibility_GetCustomUI");

    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = ::SysAllocString(L"Microsoft.Excel.Workbook");
    VARIANT two[2] = {argument, argument};
    DISPID named = 0;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS none = {}, one = {&argument, nullptr, 1, 0}, twoArguments = {two, nullptr, 2, 0},
               withName = {&argument, &named, 1, 1}, asPut = {&argument, &put, 1, 1};
    const struct {
        const char* what;
        DISPID dispid;
        WORD flags;
        DISPPARAMS* parameters;
        HRESULT expected;
    } cases[] = {
        {"unknown dispatch id", 12345, DISPATCH_METHOD, &none, DISP_E_MEMBERNOTFOUND},
        {"an id of the connection interface", 1, DISPATCH_METHOD, &none, DISP_E_MEMBERNOTFOUND},
        {"too many arguments", getRibbonXml, DISPATCH_METHOD, &one, DISP_E_BADPARAMCOUNT},
        {"too few arguments", getCustomUi, DISPATCH_METHOD, &none, DISP_E_BADPARAMCOUNT},
        {"two arguments for one", getCustomUi, DISPATCH_METHOD, &twoArguments, DISP_E_BADPARAMCOUNT},
        {"a named argument", getCustomUi, DISPATCH_METHOD, &withName, DISP_E_NONAMEDARGS},
        {"a method put as a property", getRibbonXml, DISPATCH_PROPERTYPUT, &asPut, DISP_E_MEMBERNOTFOUND},
        {"no parameters at all", getRibbonXml, DISPATCH_METHOD, nullptr, E_INVALIDARG},
    };
    for (const auto& c : cases) {
        UniqueVariant result;
        EXPECT_EQ(ribbon->Invoke(c.dispid, IID_NULL, LOCALE_USER_DEFAULT, c.flags, c.parameters, result.Get(),
                                 nullptr, nullptr),
                  c.expected)
            << c.what;
        EXPECT_EQ(V_VT(result.Get()), VT_EMPTY) << c.what;
    }
    EXPECT_EQ(ribbon->Invoke(getRibbonXml, IID_IDispatch, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                             nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);

    // A caller that wants no result still makes the call; a property get of a method works as
    // Visual Basic issues it.
    EXPECT_EQ(ribbon->Invoke(getRibbonXml, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                             nullptr),
              S_OK);
    UniqueVariant result;
    EXPECT_EQ(ribbon->Invoke(getCustomUi, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &one,
                             result.Get(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(V_VT(result.Get()), VT_BSTR);
    ::VariantClear(&argument);
}

TEST_F(ConnectTest, ModuleStaysLoadedWhileAnObjectOrALockRemains)
{
    ASSERT_EQ(canUnloadNow_(), S_OK) << "an earlier test leaked an object";
    const ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(canUnloadNow_(), S_OK) << "the class factory alone does not hold the module";

    ComPtr<IUnknown> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.PutVoid()), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    object.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);

    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_OK);

    const ComPtr<IDispatch> outer = host::MakeApplication(L"outer");
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, object.PutVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, object.PutVoid()), E_NOINTERFACE);
    EXPECT_FALSE(object);
    EXPECT_EQ(canUnloadNow_(), S_OK) << "a failed creation leaked its object";

    ComPtr<IClassFactory> none;
    EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, none.PutVoid()), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_FALSE(none);
}

} // namespace
} // namespace cornice

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--corbel") cornice::g_corbelPath = cornice::test::WindowsPathOf(argv[i + 1]);
    if (cornice::g_corbelPath.empty()) {
        std::fprintf(stderr, "usage: connect-tests --corbel PATH-OF-Corbel.dll [gtest options]\n");
        return 2;
    }
    const cornice::ScopedCoInitialize com;
    return RUN_ALL_TESTS();
}
