#include "ComError.h"

#include "AddInIdentity.h"
#include "ExceptionTranslation.h"
#include "WinHandles.h"

namespace cornice {

HRESULT ReportError(HRESULT code, const std::wstring& description, REFIID iid) noexcept
{
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(::CreateErrorInfo(create.Put()))) return code;
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(kProgId));
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(info))) ::SetErrorInfo(0, info.Get());
    return code;
}

HRESULT ReportCaughtException(REFIID iid) noexcept
{
    try {
        const CaughtException caught = TranslateCaughtException(Wording::ForeignAsAscii);
        return ReportError(caught.code, caught.text ? *caught.text : L"Unexpected failure.", iid);
    } catch (...) {
        // Building the description itself ran out of memory.
        return E_OUTOFMEMORY;
    }
}

} // namespace cornice
