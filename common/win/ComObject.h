// IUnknown written once: reference counting and a QueryInterface that searches a table of the
// interfaces a class answers, in the shape of Windows' own QITAB and QISearch.
//
//   class Thing final : public ComObject<Thing, IDispatch, IThing> {
//   public:
//       static const InterfaceEntry kInterfaces[];
//   };
//   const InterfaceEntry Thing::kInterfaces[] = {
//       CORNICE_INTERFACE(Thing, IThing), CORNICE_INTERFACE(Thing, IDispatch), {}};
//
// IUnknown is the first entry's interface, so every interface hands back the same identity.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

namespace cornice {

struct InterfaceEntry {
    const IID* iid; // null ends the table
    std::ptrdiff_t offset; // of the interface's vtable pointer inside the object
};

// Where Interface sits inside Class (as Windows' OFFSETOFCLASS works it out).
#define CORNICE_INTERFACE_AS(Class, Interface, iid)                                                  \
    ::cornice::InterfaceEntry                                                                        \
    {                                                                                                \
        &(iid), reinterpret_cast<char*>(static_cast<Interface*>(reinterpret_cast<Class*>(8))) - reinterpret_cast<char*>(8) \
    }
#define CORNICE_INTERFACE(Class, Interface) CORNICE_INTERFACE_AS(Class, Interface, IID_##Interface)

// The interface of `object` (a pointer to its class) that the table gives for `iid`, with a
// reference added; E_NOINTERFACE and null otherwise.
inline HRESULT QueryInterfaceFromTable(void* object, const InterfaceEntry* table, REFIID iid, void** result) noexcept
{
    if (!result) return E_POINTER;
    *result = nullptr;
    for (const InterfaceEntry* entry = table; entry->iid; ++entry) {
        if (iid == *entry->iid || (entry == table && iid == IID_IUnknown)) {
            auto* found = reinterpret_cast<IUnknown*>(static_cast<char*>(object) + entry->offset);
            found->AddRef();
            *result = found;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

// The base of a COM class (a final one): derives from its interfaces and answers IUnknown for all
// of them from Derived::kInterfaces. The object starts with one reference, its creator's, and deletes itself
// at the last Release; a class whose object lives elsewhere (static, or on a test's stack)
// declares `void Destroy() noexcept {}` and keeps only the count.
template <typename Derived, typename... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject() noexcept = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return QueryInterfaceFromTable(static_cast<Derived*>(this), Derived::kInterfaces, iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) static_cast<Derived*>(this)->Destroy();
        return static_cast<ULONG>(left);
    }

    // References beyond the creator's: 0 when everybody who took one gave it back.
    LONG OtherReferences() const noexcept { return references_ - 1; }

protected:
    // Not virtual: the object goes through Destroy, as its final class.
    ~ComObject() = default;
    void Destroy() noexcept { delete static_cast<Derived*>(this); }

private:
    LONG references_ = 1;
};

} // namespace cornice
