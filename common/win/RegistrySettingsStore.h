// The settings store in the current user's registry: REG_SZ values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, the classic
// per-user program-settings area, so settings saved by earlier versions are found.
//
// What a read gives:
//   - the stored text, whole, however long (no length limit, no truncation); a REG_SZ that
//     lacks its terminating NUL is read as stored; a value with an embedded NUL ends there,
//     as every reader of REG_SZ sees it;
//   - REG_EXPAND_SZ is text too and is read unexpanded (the settings hold no variables);
//   - the default, in decimal, when the application key, the section key or the value is absent;
//   - SettingsStoreError for a value of any other registry type (REG_DWORD, REG_BINARY, ...)
//     and for a key or value that exists but cannot be read: it is there but is not a setting
//     text, and a silent default would hide that.
// A save creates the keys when missing and throws SettingsStoreError when the store cannot be
// written, or when the value holds a NUL character, which REG_SZ cannot carry.
// Names ignore case because the registry compares them that way.
#pragma once

#include "SettingsStore.h"

namespace cornice {

class RegistrySettingsStore final : public SettingsStore {
public:
    std::wstring ReadSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key, int defaultValue) override;
    void SaveSetting(const std::wstring& application, const std::wstring& section,
                     const std::wstring& key, const std::wstring& value) override;

    // The key below HKEY_CURRENT_USER that holds every application's settings.
    static constexpr const wchar_t* kRoot = L"Software\\VB and VBA Program Settings";

    // HKEY_CURRENT_USER-relative path of a section's key. Throws SettingsStoreError for an
    // application or section that is empty or holds a backslash, which would name another key.
    static std::wstring SectionPath(const std::wstring& application, const std::wstring& section);
};

} // namespace cornice
