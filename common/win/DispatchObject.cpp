// The answering half of Automation.h, and the one call by id that both halves share.
#include "Automation.h"

#include <algorithm>
#include <iterator>

namespace cornice {
namespace {

bool IsObject(const VARIANT& value) noexcept
{
    const VARTYPE type = V_VT(&value) & VT_TYPEMASK;
    return type == VT_DISPATCH || type == VT_UNKNOWN;
}

// Objects are refused rather than asked for their default value.
HRESULT Convert(UniqueVariant& out, const VARIANT& value, VARTYPE type) noexcept
{
    if (IsObject(value)) return DISP_E_TYPEMISMATCH;
    return ::VariantChangeType(out.Put(), const_cast<VARIANT*>(&value), 0, type);
}

} // namespace

void InvokeInto(DispatchOutcome& outcome, IDispatch& object, DISPID id, WORD flags, const VARIANT* arguments,
                std::size_t count, LCID locale)
{
    // IDispatch takes its arguments last first. No member of ours or Excel's that we call
    // takes more than a few.
    VARIANT reversed[8];
    outcome.hr = E_INVALIDARG;
    if (count > std::size(reversed)) return;
    std::reverse_copy(arguments, arguments + count, reversed);
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS parameters{count ? reversed : nullptr, isPut ? &put : nullptr, static_cast<UINT>(count), isPut ? 1u : 0u};
    outcome.hr = object.Invoke(id, IID_NULL, locale, flags, &parameters, isPut ? nullptr : outcome.result.Put(),
                               outcome.exception.Put(), nullptr);
}

HRESULT IdsOfNames(DispatchTable table, LPOLESTR* names, UINT count, DISPID* ids) noexcept
{
    if (!names || !ids) return E_POINTER;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (std::size_t n = 0; i == 0 && names[0] && n < table.count; ++n)
            if (::CompareStringOrdinal(names[0], -1, table.names[n].name, -1, TRUE) == CSTR_EQUAL)
                ids[0] = table.names[n].id;
        if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

HRESULT DispatchArguments::Converted(UINT position, VARTYPE type, UniqueVariant& value) const noexcept
{
    if (SUCCEEDED(Convert(value, parameters_.rgvarg[position], type))) return S_OK;
    if (argumentError_) *argumentError_ = position;
    return DISP_E_TYPEMISMATCH;
}

} // namespace cornice
