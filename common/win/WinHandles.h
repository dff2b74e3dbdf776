// Owners for the Windows resources the product holds: registry keys, kernel handles, modules,
// windows, GDI objects, COM pointers, BSTRs and VARIANTs. Each closes its resource exactly once,
// moves but never copies, and has Put() for the out-parameters of the API that fills it.
// Plus the early-return and exception helpers that keep COM and window boundaries short.
#pragma once

#include "ExceptionTranslation.h"

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace cornice {

// ---------------------------------------------------------------------------------------------
// Handles with a close function

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Detach()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { Reset(); }

    Type Get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

    // Closes what is held and hands out the slot, for APIs that return through a pointer.
    Type* Put() noexcept
    {
        Reset();
        return &value_;
    }
    void Reset(Type value = Traits::Invalid()) noexcept
    {
        if (value_ != Traits::Invalid()) Traits::Close(value_);
        value_ = value;
    }
    [[nodiscard]] Type Detach() noexcept { return std::exchange(value_, Traits::Invalid()); }

private:
    Type value_ = Traits::Invalid();
};

namespace handle_traits {

template <typename T, auto CloseFunction>
struct NullIsInvalid {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { CloseFunction(value); }
};

// CreateFile and CreateToolhelp32Snapshot report failure as INVALID_HANDLE_VALUE, not NULL.
struct File {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::CloseHandle(value); }
};

// FindFirstFileEx reports failure as INVALID_HANDLE_VALUE, and its handle closes with FindClose.
struct FileSearch {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::FindClose(value); }
};

// CreateActCtx reports failure as INVALID_HANDLE_VALUE.
struct ActivationContext {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::ReleaseActCtx(value); }
};

template <typename T>
struct GdiObject {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::DeleteObject(value); }
};

} // namespace handle_traits

using UniqueHkey = UniqueResource<handle_traits::NullIsInvalid<HKEY, ::RegCloseKey>>;
// Events, processes, threads, mutexes: the kernel objects whose failure value is NULL.
using UniqueHandle = UniqueResource<handle_traits::NullIsInvalid<HANDLE, ::CloseHandle>>;
using UniqueFile = UniqueResource<handle_traits::File>;
using UniqueFileSearch = UniqueResource<handle_traits::FileSearch>;
using UniqueHmodule = UniqueResource<handle_traits::NullIsInvalid<HMODULE, ::FreeLibrary>>;
using UniqueHwnd = UniqueResource<handle_traits::NullIsInvalid<HWND, ::DestroyWindow>>;
// A menu not (yet) attached to a window or to a parent menu, which then destroy it.
using UniqueHmenu = UniqueResource<handle_traits::NullIsInvalid<HMENU, ::DestroyMenu>>;
using UniqueHhook = UniqueResource<handle_traits::NullIsInvalid<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueActCtx = UniqueResource<handle_traits::ActivationContext>;
using UniqueHicon = UniqueResource<handle_traits::NullIsInvalid<HICON, ::DestroyIcon>>;
// Only for cursors loaded from a file; shared cursors from LoadCursor are never destroyed.
using UniqueHcursor = UniqueResource<handle_traits::NullIsInvalid<HCURSOR, ::DestroyCursor>>;
// A memory DC from CreateCompatibleDC; a window's DC goes back with ReleaseDC (WindowDc).
using UniqueHdc = UniqueResource<handle_traits::NullIsInvalid<HDC, ::DeleteDC>>;
using UniqueHlocal = UniqueResource<handle_traits::NullIsInvalid<HLOCAL, ::LocalFree>>;
using UniqueHfont = UniqueResource<handle_traits::GdiObject<HFONT>>;
using UniqueHbrush = UniqueResource<handle_traits::GdiObject<HBRUSH>>;
using UniqueHbitmap = UniqueResource<handle_traits::GdiObject<HBITMAP>>;
using UniqueHpen = UniqueResource<handle_traits::GdiObject<HPEN>>;
using UniqueHrgn = UniqueResource<handle_traits::GdiObject<HRGN>>;

// GetDC/ReleaseDC come in pairs that both need the window.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A GDI object selected into a DC for one scope; the DC's previous object comes back after,
// because deleting an object that is still selected fails silently and leaks it.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ~ScopedSelectObject()
    {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An activation context made active for one scope: what is created inside it (windows of
// comctl32 6's classes, for one) binds to the assemblies its manifest names.
class ScopedActivation {
public:
    explicit ScopedActivation(HANDLE context) noexcept
    {
        if (context != INVALID_HANDLE_VALUE && !::ActivateActCtx(context, &cookie_)) cookie_ = 0;
    }
    ScopedActivation(const ScopedActivation&) = delete;
    ScopedActivation& operator=(const ScopedActivation&) = delete;
    ~ScopedActivation()
    {
        if (cookie_) ::DeactivateActCtx(0, cookie_);
    }
    bool Active() const noexcept { return cookie_ != 0; }

private:
    ULONG_PTR cookie_ = 0;
};

// ---------------------------------------------------------------------------------------------
// COM

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    // Takes a reference of its own; the caller keeps its reference.
    explicit ComPtr(T* pointer) noexcept : pointer_(pointer)
    {
        if (pointer_) pointer_->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.pointer_) {}
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Adopts a reference that the caller already owns (a freshly created object).
    static ComPtr Attach(T* pointer) noexcept
    {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }

    T* Get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    T** Put() noexcept
    {
        Reset();
        return &pointer_;
    }
    // For QueryInterface, CoCreateInstance and the like, which take void**.
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    void Reset() noexcept
    {
        if (T* old = std::exchange(pointer_, nullptr)) old->Release();
    }
    [[nodiscard]] T* Detach() noexcept { return std::exchange(pointer_, nullptr); }

    // Hands an added reference to an out-parameter; null stays null.
    HRESULT CopyTo(T** out) const noexcept
    {
        if (!out) return E_POINTER;
        *out = pointer_;
        if (pointer_) pointer_->AddRef();
        return S_OK;
    }

    template <typename U>
    HRESULT As(ComPtr<U>& out, REFIID iid = __uuidof(U)) const noexcept
    {
        if (!pointer_) {
            out.Reset();
            return E_POINTER;
        }
        return pointer_->QueryInterface(iid, out.PutVoid());
    }

private:
    T* pointer_ = nullptr;
};

class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(BSTR value) noexcept : value_(value) {}
    UniqueBstr(UniqueBstr&& other) noexcept : value_(other.Detach()) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { Reset(); }

    // Throws std::bad_alloc, so that a null BSTR (which COM reads as "") never stands in for
    // text that could not be allocated.
    static UniqueBstr FromText(std::wstring_view text)
    {
        if (text.size() > 0x7FFFFFFEu) throw std::bad_alloc();
        BSTR value = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!value) throw std::bad_alloc();
        return UniqueBstr(value);
    }

    BSTR Get() const noexcept { return value_; }
    BSTR* Put() noexcept
    {
        Reset();
        return &value_;
    }
    void Reset(BSTR value = nullptr) noexcept
    {
        if (value_) ::SysFreeString(value_);
        value_ = value;
    }
    [[nodiscard]] BSTR Detach() noexcept { return std::exchange(value_, nullptr); }

    // The whole text, embedded NULs included; a null BSTR is "".
    std::wstring Text() const { return value_ ? std::wstring(value_, ::SysStringLen(value_)) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() noexcept { ::VariantInit(&value_); }
    // A VARIANT moves as its bytes; the one left behind is empty.
    UniqueVariant(UniqueVariant&& other) noexcept : value_(other.value_) { ::VariantInit(&other.value_); }
    UniqueVariant& operator=(UniqueVariant&& other) noexcept
    {
        if (this != &other) {
            ::VariantClear(&value_);
            value_ = other.value_;
            ::VariantInit(&other.value_);
        }
        return *this;
    }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { ::VariantClear(&value_); }

    VARIANT* Get() noexcept { return &value_; }
    const VARIANT* Get() const noexcept { return &value_; }
    VARIANT* Put() noexcept
    {
        ::VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// CoUninitialize only after a CoInitializeEx that succeeded (S_FALSE included, which also
// counts), as the documentation of CoUninitialize requires.
class ScopedCoInitialize {
public:
    explicit ScopedCoInitialize(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : result_(::CoInitializeEx(nullptr, model))
    {
    }
    ScopedCoInitialize(const ScopedCoInitialize&) = delete;
    ScopedCoInitialize& operator=(const ScopedCoInitialize&) = delete;
    ~ScopedCoInitialize()
    {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    HRESULT Result() const noexcept { return result_; }

private:
    HRESULT result_;
};

// ---------------------------------------------------------------------------------------------
// Errors

inline void ThrowIfFailed(HRESULT hr, const char* what)
{
    if (FAILED(hr)) throw WindowsError(hr, what);
}

// For use inside catch (...): the HRESULT that best says what went wrong.
inline HRESULT HResultFromCaughtException() noexcept
{
    return TranslateCaughtException(Wording::CodeOnly).code;
}

} // namespace cornice

#define CORNICE_RETURN_IF_FAILED(expression)                                                          \
    do {                                                                                             \
        const HRESULT cornice_hr_ = (expression);                                                    \
        if (FAILED(cornice_hr_)) return cornice_hr_;                                                 \
    } while (false)

// The registry functions return a Win32 error code (LSTATUS) rather than an HRESULT.
#define CORNICE_RETURN_IF_WIN32_ERROR(expression)                                                    \
    do {                                                                                             \
        const LSTATUS cornice_status_ = (expression);                                                \
        if (cornice_status_ != ERROR_SUCCESS) return HRESULT_FROM_WIN32(cornice_status_);            \
    } while (false)

// Ends a function-level try block of a COM method: no exception crosses into the caller.
#define CORNICE_CATCH_RETURN()                                                                       \
    catch (...)                                                                                      \
    {                                                                                                \
        return ::cornice::HResultFromCaughtException();                                              \
    }
