// The settings as the programs must see them: what Group Policy sets wins over the user's own
// choice. Order: computer policy (HKLM), user policy (HKCU), the user's own setting, the
// reader's built-in default. Policies cover the shared settings only (application "Quillmark",
// section "Architrave"); every other address goes to the user's store unchanged.
#pragma once

#include "SettingsStore.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace cornice {

// A policy that exists but cannot be read, or holds what no policy means: the administrator's
// setting is unknown, and must not quietly give way to the user's.
class PolicyUnreadableError : public SettingsStoreError {
public:
    using SettingsStoreError::SettingsStoreError;
};

// One level of policy: the value an administrator set for a setting's key, or nothing when the
// policy is not configured. Throws PolicyUnreadableError when that cannot be told.
class PolicySource {
public:
    virtual ~PolicySource() = default;
    virtual std::optional<std::uint32_t> PolicyValue(const std::wstring& key) = 0;
};

// Policies held in memory, for tests and for the ribbon review command; keys ignore case.
class InMemoryPolicySource final : public PolicySource {
public:
    void Set(const std::wstring& key, std::uint32_t value);
    std::optional<std::uint32_t> PolicyValue(const std::wstring& key) override;

private:
    std::map<std::wstring, std::uint32_t> values_;
};

class PolicySettingsStore final : public SettingsStore {
public:
    PolicySettingsStore(SettingsStore& user, PolicySource& computerPolicy, PolicySource& userPolicy)
        : user_(user), computerPolicy_(computerPolicy), userPolicy_(userPolicy)
    {
    }

    // A policy's value reads as "0" for 0 and "1" for any other number: a policy is off or on.
    std::wstring ReadSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key, int defaultValue) override;
    // Saves the user's own value; the caller decides whether to save a value a policy sets.
    void SaveSetting(const std::wstring& application, const std::wstring& section,
                     const std::wstring& key, const std::wstring& value) override;
    bool SetByPolicy(const std::wstring& application, const std::wstring& section,
                     const std::wstring& key) override;

private:
    std::optional<std::wstring> Enforced(const std::wstring& application, const std::wstring& section,
                                         const std::wstring& key);

    SettingsStore& user_;
    PolicySource& computerPolicy_;
    PolicySource& userPolicy_;
};

} // namespace cornice
