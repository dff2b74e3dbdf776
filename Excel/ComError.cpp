#include "ComError.h"

#include "AddInIdentity.h"
#include "NumberConversion.h"
#include "SettingsStore.h"
#include "Utf8.h"
#include "WinHandles.h"

namespace cornice {
namespace {

std::wstring FromNarrow(const char* text)
{
    // Our own messages are UTF-8; anything else is shown as far as it is ASCII.
    if (auto wide = FromUtf8(text)) return *wide;
    std::wstring ascii;
    for (const char* c = text; *c; ++c) ascii += static_cast<unsigned char>(*c) < 0x80 ? wchar_t(*c) : L'?';
    return ascii;
}

} // namespace

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
        try {
            throw;
        } catch (const SettingValueError& error) {
            const HRESULT code = error.Why() == SettingValueError::Reason::NotANumber ? DISP_E_TYPEMISMATCH
                                                                                    : DISP_E_OVERFLOW;
            return ReportError(code, error.Describe(), iid);
        } catch (const WindowsError& error) {
            return ReportError(error.Code(), FromNarrow(error.what()), iid);
        } catch (const std::bad_alloc&) {
            return ReportError(E_OUTOFMEMORY, L"Out of memory.", iid);
        } catch (const std::exception& error) {
            return ReportError(E_FAIL, FromNarrow(error.what()), iid);
        } catch (...) {
            return ReportError(E_FAIL, L"Unexpected failure.", iid);
        }
    } catch (...) {
        // Building the description itself ran out of memory.
        return E_OUTOFMEMORY;
    }
}

} // namespace cornice
