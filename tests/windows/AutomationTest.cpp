// The automation layer (ComObject.h, Automation.h) both ways round: an object of ours answered
// through the real oleaut32 and called by name as Corbel calls Excel.
#include "Automation.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace cornice {
namespace {

int g_destroyed = 0;

// An object with one member of each kind the layer serves.
class Sample final : public DispatchObject<Sample, IDispatch, ISupportErrorInfo> {
public:
    static const InterfaceEntry kInterfaces[];
    enum : DISPID { kText = 1, kNumber, kItself, kRaise, kEcho, kValue };

    ~Sample() { ++g_destroyed; }

    DispatchTable Names() const noexcept
    {
        static const DispatchName names[] = {{L"Text", kText},   {L"Number", kNumber}, {L"Itself", kItself},
                                             {L"Raise", kRaise}, {L"Echo", kEcho},     {L"Value", kValue}};
        return {names, std::size(names)};
    }
    HRESULT Call(DISPID id, WORD flags, const DispatchArguments& arguments, VARIANT* result, EXCEPINFO* exception)
    {
        UniqueVariant given;
        switch (id) {
        case kText:
            return ReturnText(result, L"forty-two");
        case kNumber:
            return ReturnLong(result, 42);
        case kItself:
            return ReturnObject(result, this);
        case kRaise:
            return RaiseException(exception, static_cast<HRESULT>(0x800A03EC), L"Sample", L"Raised on purpose.");
        case kEcho:
            CORNICE_RETURN_IF_FAILED(arguments.At(0, VT_BSTR, given));
            return ReturnText(result, std::wstring(V_BSTR(given.Get()), ::SysStringLen(V_BSTR(given.Get()))));
        case kValue:
            if (flags & DISPATCH_PROPERTYGET) return ReturnLong(result, value_);
            CORNICE_RETURN_IF_FAILED(arguments.PutValue(VT_I4, given));
            value_ = V_I4(given.Get());
            return S_OK;
        default:
            throw std::runtime_error("no such member"); // the layer turns it into E_FAIL
        }
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }

private:
    LONG value_ = 0;
};

const InterfaceEntry Sample::kInterfaces[] = {CORNICE_INTERFACE(Sample, IDispatch),
                                              CORNICE_INTERFACE(Sample, ISupportErrorInfo), {}};

ComPtr<IDispatch> NewSample() { return ComPtr<IDispatch>::Attach(new Sample()); }

TEST(ComObject, CountsReferencesAndGoesAtTheLastRelease)
{
    g_destroyed = 0;
    IDispatch* sample = new Sample();
    EXPECT_EQ(sample->AddRef(), 2u);
    ISupportErrorInfo* support = nullptr;
    ASSERT_EQ(sample->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
    EXPECT_EQ(support->Release(), 2u);
    EXPECT_EQ(sample->Release(), 1u);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(sample->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);
}

TEST(ComObject, AnswersItsTableAsOneIdentityAndNothingElse)
{
    const ComPtr<IDispatch> sample = NewSample();
    ComPtr<IUnknown> identity, again;
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(sample.As(identity, IID_IUnknown), S_OK);
    ASSERT_EQ(sample.As(support, IID_ISupportErrorInfo), S_OK);
    ASSERT_EQ(support.As(again, IID_IUnknown), S_OK);
    EXPECT_EQ(identity.Get(), again.Get()) << "IUnknown is the first entry's, from every interface";
    EXPECT_EQ(static_cast<void*>(identity.Get()), static_cast<void*>(sample.Get()));
    EXPECT_NE(static_cast<void*>(support.Get()), static_cast<void*>(sample.Get())) << "the second entry's offset";

    void* object = &object;
    EXPECT_EQ(sample->QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(sample->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
}

TEST(DispatchObject, NamesIgnoreCaseAndArgumentNamesAreUnknown)
{
    const ComPtr<IDispatch> sample = NewSample();
    DISPID id = 0;
    EXPECT_EQ(IdOfName(*sample.Get(), L"nUMBER", id), S_OK);
    EXPECT_EQ(id, Sample::kNumber);
    EXPECT_EQ(IdOfName(*sample.Get(), L"Numbers", id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Echo"), const_cast<LPOLESTR>(L"text")};
    DISPID ids[2] = {};
    EXPECT_EQ(sample->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], Sample::kEcho);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST(DispatchObject, RefusesArgumentsOfTheWrongTypeOrShapeAndExceptions)
{
    const ComPtr<IDispatch> sample = NewSample();
    DispatchOutcome outcome;
    InvokeInto(outcome, *sample.Get(), Sample::kEcho, DISPATCH_METHOD, {ObjectArgument(sample.Get())});
    EXPECT_EQ(outcome.hr, DISP_E_TYPEMISMATCH) << "an object is not asked for its default value";
    InvokeInto(outcome, *sample.Get(), Sample::kEcho, DISPATCH_METHOD);
    EXPECT_EQ(outcome.hr, DISP_E_PARAMNOTFOUND);
    InvokeInto(outcome, *sample.Get(), Sample::kEcho, DISPATCH_METHOD, {LongArgument(7)});
    EXPECT_EQ(outcome.hr, S_OK) << "a number converts to text";
    EXPECT_EQ(TextOf(*outcome.result.Get(), "Echo"), L"7");

    // A property put takes its one value as DISPID_PROPERTYPUT; a positional one is refused.
    InvokeInto(outcome, *sample.Get(), Sample::kValue, DISPATCH_PROPERTYPUT, {LongArgument(9)});
    EXPECT_EQ(outcome.hr, S_OK);
    EXPECT_EQ(NumberOf(*Invoke(*sample.Get(), Sample::kValue, DISPATCH_PROPERTYGET).Get(), "Value"), 9);
    InvokeInto(outcome, *sample.Get(), Sample::kValue, DISPATCH_METHOD, {LongArgument(9)});
    EXPECT_EQ(outcome.hr, DISP_E_BADPARAMCOUNT);

    // An exception inside the object stays inside: E_FAIL, and the object still answers.
    InvokeInto(outcome, *sample.Get(), 77, DISPATCH_METHOD);
    EXPECT_EQ(outcome.hr, E_FAIL);
    EXPECT_EQ(TextOf(*CallByName(sample.Get(), L"Text").Get(), "Text"), L"forty-two");
}

TEST(CallByName, ReadsAnswersAsALateBoundClientAndRefusesObjectsAsTextOrNumbers)
{
    const ComPtr<IDispatch> sample = NewSample();
    EXPECT_EQ(NumberOf(*CallByName(sample.Get(), L"number").Get(), "Number"), 42);
    EXPECT_EQ(TextOf(*CallByName(sample.Get(), L"Number").Get(), "Number"), L"42");
    EXPECT_EQ(CallByName(sample.Get(), L"Echo", {LongArgument(5)}).Get()->vt, VT_BSTR);
    EXPECT_EQ(ObjectOf(*CallByName(sample.Get(), L"Itself").Get(), "Itself").Get(), sample.Get());

    const struct {
        const wchar_t* member;
        HRESULT code;
        const char* text; // what WindowsError says
    } refusals[] = {
        {L"Itself", DISP_E_TYPEMISMATCH, "its Itself is an object, not text."}, // never its default value
        {L"Text", DISP_E_TYPEMISMATCH, "its Text is not a number."},
        {L"Number", DISP_E_TYPEMISMATCH, "its Number is no object."},
    };
    for (const auto& refusal : refusals) {
        try {
            UniqueVariant answer = CallByName(sample.Get(), refusal.member);
            if (refusal.member == std::wstring(L"Itself")) TextOf(*answer.Get(), "Itself");
            else if (refusal.member == std::wstring(L"Text")) NumberOf(*answer.Get(), "Text");
            else ObjectOf(*answer.Get(), "Number");
            ADD_FAILURE() << refusal.text;
        } catch (const WindowsError& error) {
            EXPECT_EQ(error.Code(), refusal.code);
            EXPECT_STREQ(error.what(), refusal.text);
        }
    }
    try {
        NumberOf(*CallByName(sample.Get(), L"Itself").Get(), "Itself");
        ADD_FAILURE() << "an object read as a number";
    } catch (const WindowsError& error) {
        EXPECT_STREQ(error.what(), "its Itself is an object, not a number.");
    }
}

TEST(CallByName, FailuresCarryTheRaisedCodeAndDescriptionOrTheSystemsWords)
{
    const ComPtr<IDispatch> sample = NewSample();
    const struct {
        IDispatch* object;
        const wchar_t* member;
        HRESULT code;
    } failures[] = {
        {sample.Get(), L"Raise", static_cast<HRESULT>(0x800A03EC)},
        {sample.Get(), L"NoSuchMember", DISP_E_UNKNOWNNAME},
        {nullptr, L"Text", E_POINTER},
    };
    for (const auto& failure : failures) {
        try {
            CallByName(failure.object, failure.member);
            ADD_FAILURE() << "no failure";
        } catch (const WindowsError& error) {
            EXPECT_EQ(error.Code(), failure.code);
            if (failure.code == static_cast<HRESULT>(0x800A03EC)) EXPECT_STREQ(error.what(), "Raised on purpose.");
            else EXPECT_NE(std::string(error.what()).find("0x8"), std::string::npos) << error.what();
        }
    }
    // The raw outcome keeps the exception until it is read, and frees it.
    DispatchOutcome outcome;
    InvokeInto(outcome, *sample.Get(), Sample::kRaise, DISPATCH_METHOD);
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(outcome.exception.Code(), static_cast<HRESULT>(0x800A03EC));
    EXPECT_EQ(outcome.exception.Description(), L"Raised on purpose.");
}

HRESULT STDAPICALLTYPE FillInLate(EXCEPINFO* exception)
{
    exception->bstrDescription = ::SysAllocString(L"Filled in late.");
    return S_OK;
}

TEST(ExceptionInfo, FillsInDeferredDescriptionsAndFallsBackToTheSystemsText)
{
    ExceptionInfo deferred;
    deferred.Put()->pfnDeferredFillIn = &FillInLate;
    EXPECT_EQ(deferred.Code(), DISP_E_EXCEPTION) << "no code of its own";
    EXPECT_EQ(deferred.Description(), L"Filled in late.");

    ExceptionInfo wordless;
    wordless.Put()->scode = E_ACCESSDENIED;
    EXPECT_NE(wordless.Description().find(L"0x80070005"), std::wstring::npos);
}

std::vector<std::string> g_traces;

TEST(Trace, ASwallowedExceptionLeavesWhereAndWhat)
{
    SetTraceListener([](const char* where, const char* what) { g_traces.push_back(std::string(where) + ": " + what); });
    try {
        throw WindowsError(E_FAIL, "the cause");
    } catch (...) {
        TraceCaughtException("a test");
    }
    try {
        throw 42;
    } catch (...) {
        TraceCaughtException("a number");
    }
    SetTraceListener(nullptr);
    try {
        throw std::runtime_error("unheard");
    } catch (...) {
        TraceCaughtException("nobody listening");
    }
    EXPECT_EQ(g_traces, (std::vector<std::string>{"a test: the cause", "a number: an exception without words"}));
}

} // namespace
} // namespace cornice
