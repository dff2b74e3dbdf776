// settings-saver EVENT: saves the twelve settings again and again exactly as the settings
// window's "OK" does (its own procedure, on the real registry store), with changing box states,
// until the named event EVENT is set; every third round another tool rewrites the values padded
// with blanks to other lengths. At the end it saves the first-start state (boxes 0, 1 and 2) and
// prints "rounds N". Exit code: the number of saves that failed.
#include "CheckBoxRules.h"
#include "SettingsProcedures.h"
#include "SettingsLayout.h"
#include "RegistrySettingsStore.h"
#include "SettingKeys.h"
#include "WinHandles.h"

#include <cstdio>
#include <random>
#include <string>

using namespace cornice;

namespace {

struct NoWindow final : SettingsActions {
    std::wstring ProgramFolder() override { return L"C:\\Cornice"; }
    void SetCaption(const std::wstring&) override {}
    void SetProgramIcon() override {}
    void ApplySkin() override {}
    bool FileExists(const std::wstring&) override { return false; }
    void LoadCustomPointer(const std::wstring&) override {}
    void SetTitleLabel(const std::wstring&) override {}
    void SetVersionLabel(const std::wstring&) override {}
    void InstallAddIn() override {}
    void UninstallAddIn() override {}
    void ShellOpen(const std::wstring&) override {}
    void Close() override {}
};

struct CountingReporter final : ErrorReporter {
    int failures = 0;
    void ShowApplicationError(const std::wstring& text) override
    {
        ++failures;
        std::fwprintf(stderr, L"settings-saver: %ls\n", text.c_str());
    }
};

void SaveAsTheWindowDoes(const CheckBoxRules& states, SettingsStore& store, CountingReporter& reporter)
{
    NoWindow window;
    CheckBoxRules boxes = states;
    SettingsProcedures(window, store, boxes, reporter).Ok();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 100;
    const UniqueHandle stop(::OpenEventW(SYNCHRONIZE, FALSE, argv[1]));
    if (!stop) return 101;

    RegistrySettingsStore store;
    CountingReporter reporter;
    std::mt19937 random(20070101);
    long rounds = 0;
    while (::WaitForSingleObject(stop.Get(), 0) == WAIT_TIMEOUT) {
        CheckBoxRules boxes;
        for (int box = 0; box < CheckBoxRules::kBoxCount; ++box)
            if (random() & 1) boxes.Click(box); // the box rules run as for a user's clicks
        SaveAsTheWindowDoes(boxes, store, reporter);
        if (++rounds % 3 == 0) {
            std::uniform_int_distribution<int> length(0, 3000);
            for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) {
                const std::wstring value = std::wstring(length(random), L' ') + std::to_wstring(boxes.State(box)) +
                                           std::wstring(length(random), L'\t');
                try {
                    store.SaveSetting(kSettingsApplication, kSettingsSection, settings::kBoxes[box].key, value);
                } catch (const SettingsStoreError&) {
                    ++reporter.failures;
                }
            }
        }
    }

    CheckBoxRules firstStart;
    firstStart.Set(CheckBoxRules::kClassic, CheckBoxRules::kTicked); // ticks 1 and 2 by its rule
    SaveAsTheWindowDoes(firstStart, store, reporter);
    std::printf("rounds %ld\n", rounds);
    return reporter.failures;
}
