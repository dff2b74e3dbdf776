// A settings store held in memory, for tests and for the ribbon review command.
#pragma once

#include "SettingsStore.h"

#include <map>

namespace cornice {

class InMemorySettingsStore final : public SettingsStore {
public:
    std::wstring ReadSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key, int defaultValue) override;
    void SaveSetting(const std::wstring& application, const std::wstring& section,
                     const std::wstring& key, const std::wstring& value) override;

private:
    // The three names, case-folded and joined, so that lookups ignore case as the registry does.
    std::map<std::wstring, std::wstring> values_;
};

} // namespace cornice
