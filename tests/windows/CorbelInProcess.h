// Corbel.dll in a test's own process, as Excel holds it: the library loaded by path as COM loads
// an in-process server (no registration needed), and an Application object to connect it to
// that answers Name in every way a real, broken or foreign host could.
#pragma once

#include "Automation.h"
#include "Corbel.h"
#include "WinHandles.h"

#include <string>

namespace cornice::test {

// Loaded in the constructor, freed in the destructor; Loaded() says whether both exports were
// found. Every COM object of the library must be released before it is freed.
class CorbelLibrary {
public:
    explicit CorbelLibrary(const std::wstring& path);

    bool Loaded() const { return module_ && getClassObject_ && canUnloadNow_; }
    HMODULE Module() const { return module_.Get(); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const { return getClassObject_(clsid, iid, object); }
    HRESULT CanUnloadNow() const { return canUnloadNow_(); }

    // The Connect class's factory, and a new Connect through it; null when either is refused.
    ComPtr<IClassFactory> Factory() const;
    ComPtr<_Connect> NewConnect() const;

private:
    using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();
    UniqueHmodule module_;
    GetClassObjectFunction getClassObject_ = nullptr;
    CanUnloadNowFunction canUnloadNow_ = nullptr;
};

enum class NameAnswer {
    Text,           // VT_BSTR of the given text
    NullBstr,       // VT_BSTR holding a null BSTR
    Number,         // VT_I4 42
    Empty,          // VT_EMPTY: Invoke succeeds and leaves the result alone
    Null,           // VT_NULL
    Array,          // VT_ARRAY | VT_VARIANT
    Itself,         // VT_DISPATCH: the object itself, whose default value is again itself
    Raises,         // DISP_E_EXCEPTION, "The application is busy."
    RaisesDeferred, // DISP_E_EXCEPTION whose description comes from pfnDeferredFillIn
    Fails,          // E_FAIL without an exception
    NoSuchName,     // GetIDsOfNames says DISP_E_UNKNOWNNAME
};

// Excel's Application as far as the add-in asks it. It lives where the test puts it (on the
// stack) and counts the references others hold, so that a test can tell whether the add-in let
// go of it.
class FakeApplication final : public DispatchObject<FakeApplication, IDispatch> {
public:
    static const InterfaceEntry kInterfaces[];
    explicit FakeApplication(NameAnswer answer = NameAnswer::Text, std::wstring text = L"Microsoft Excel");
    void Destroy() noexcept {} // the test owns the object

    // References others hold: 0 when everybody who took one gave it back.
    LONG ForeignReferences() const { return OtherReferences(); }
    int NameCalls() const { return nameCalls_; }

    DispatchTable Names() const noexcept;
    HRESULT Call(DISPID id, WORD flags, const DispatchArguments&, VARIANT* result, EXCEPINFO* exception);

private:
    HRESULT AnswerItself(VARIANT* result);

    NameAnswer answer_;
    std::wstring text_;
    int nameCalls_ = 0;
};

// OnConnection as Excel calls it at its start, with this Application (which may be null).
HRESULT ConnectAddIn(IUnknown* addIn, IDispatch* application, ext_ConnectMode mode = ext_cm_Startup);

} // namespace cornice::test
