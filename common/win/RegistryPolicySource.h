// Group Policy's values for the settings: REG_DWORD values named as the settings' keys under
// Software\Policies\Quillmark\Cornice, in HKEY_LOCAL_MACHINE for computer policy and in
// HKEY_CURRENT_USER for user policy (installer/policy/Cornice.admx writes them).
//
// The machine's key is read in the 64-bit view: Windows keeps Software\Policies one key for
// both views, Wine keeps two, and the Group Policy client that writes it is a 64-bit program
// on 64-bit Windows. On 32-bit Windows the flag is ignored.
//
// The template writes REG_DWORD; `reg add` without /t and Group Policy Preferences often write
// REG_SZ, so "0" and "1" as text (blanks around allowed) count as well. Any other type or text,
// and a key or value that exists but cannot be read, throws PolicyUnreadableError: an
// administrator's setting must not quietly give way to the user's.
#pragma once

#include "PolicySettingsStore.h"
#include "RegistrySettingsStore.h"

#include <windows.h>

namespace cornice {

class RegistryPolicySource final : public PolicySource {
public:
    static constexpr const wchar_t* kPolicyKey = L"Software\\Policies\\Quillmark\\Cornice";

    explicit RegistryPolicySource(HKEY root) : root_(root) {}
    std::optional<std::uint32_t> PolicyValue(const std::wstring& key) override;

private:
    HKEY root_;
};

// The settings after policy, over the user's registry store: what both programs read.
class RegistrySettingsAfterPolicy {
public:
    SettingsStore& Store() noexcept { return store_; }

private:
    RegistrySettingsStore user_;
    RegistryPolicySource computerPolicy_{HKEY_LOCAL_MACHINE};
    RegistryPolicySource userPolicy_{HKEY_CURRENT_USER};
    PolicySettingsStore store_{user_, computerPolicy_, userPolicy_};
};

} // namespace cornice
