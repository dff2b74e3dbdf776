// The per-user store that the settings program writes and the add-in reads: text values
// addressed by (application, section, key). Keys are compared without regard to case, as
// registry value names are.
#pragma once

#include <stdexcept>
#include <string>

namespace cornice {

// A save that did not reach the store.
class SettingsStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text; `defaultValue` in decimal when the section or the value is absent.
    virtual std::wstring ReadSetting(const std::wstring& application, const std::wstring& section,
                                     const std::wstring& key, int defaultValue) = 0;

    // Creates the application and section when missing. Throws SettingsStoreError on failure.
    virtual void SaveSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key, const std::wstring& value) = 0;

    // Whether an administrator fixed this value: reads give the administrator's value, and a
    // save would change only the user's own, which nothing reads while the policy stands.
    virtual bool SetByPolicy(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key)
    {
        (void)application, (void)section, (void)key;
        return false;
    }
};

} // namespace cornice
