#include "LibraryResources.h"

#include "Module.h"

#include <vector>

namespace cornice {
namespace {

// Corbel.rc's manifest, which asks for common controls 6 (visual styles, and the custom draw
// through which the skin paints push buttons). Excel's own manifest decides for Excel's
// windows only; a DLL's windows get it from an activation context made from the DLL's
// manifest around their creation ("Using ComCtl32 Version 6 in Control Panel or a DLL That Is
// Run by RunDll32.exe"; ISOLATIONAWARE_MANIFEST_RESOURCE_ID).
constexpr WORD kManifestResourceId = 2;

} // namespace

// The library's own version, from its version resource: Windows numbers the four fields
// major.minor.build.revision, and the window shows major.minor.revision.
about::VersionNumbers LibraryVersion()
{
    const HMODULE module = ModuleHandle();
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    if (!bytes || size == 0)
        throw WindowsError(HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND), "The library has no version resource.");
    // VerQueryValue may write into the block it reads, which a resource must not see: it gets
    // a copy, as GetFileVersionInfo would hand it one.
    std::vector<BYTE> block(bytes, bytes + size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof *fixed || fixed->dwSignature != VS_FFI_SIGNATURE)
        throw WindowsError(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), "The library's version resource holds no version.");
    return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionLS)};
}

UniqueActCtx LibraryActivationContext()
{
    const std::wstring path = ModulePath();
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.c_str();
    context.hModule = ModuleHandle();
    context.lpResourceName = MAKEINTRESOURCEW(kManifestResourceId);
    // Without it the window still works, only in the plain look of common controls 5.
    return UniqueActCtx(::CreateActCtxW(&context));
}

} // namespace cornice
