// The settings window as the numbered procedures see it, without Windows: every action written
// down as a readable line, chosen ones failing; the reports kept. The native tests read the
// lines; the reliability programs under Wine use it as a window that does nothing.
#pragma once

#include "NumberedSteps.h"
#include "SettingsProcedures.h"
#include "Utf8.h"

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cornice::test {

struct FakeSettingsActions final : SettingsActions {
    std::vector<std::wstring> log;
    std::set<std::wstring> failing; // names of actions that throw
    bool handPointerPresent = false;

    void Do(const std::wstring& line, const std::wstring& name)
    {
        log.push_back(line);
        if (failing.count(name)) throw std::runtime_error("The window refused " + ToUtf8(name) + ".");
    }

    std::wstring ProgramFolder() override { return L"C:\\Program Files\\Cornice"; }
    void SetCaption(const std::wstring& caption) override { Do(L"caption " + caption, L"caption"); }
    void SetProgramIcon() override { Do(L"icon", L"icon"); }
    void ApplySkin() override { Do(L"skin", L"skin"); }
    bool FileExists(const std::wstring& path) override
    {
        Do(L"exists " + path, L"exists");
        return handPointerPresent;
    }
    void LoadCustomPointer(const std::wstring& path) override { Do(L"pointer " + path, L"pointer"); }
    void SetTitleLabel(const std::wstring& text) override { Do(L"title " + text, L"title"); }
    void SetVersionLabel(const std::wstring& text) override { Do(L"version " + text, L"version"); }
    void InstallAddIn() override { Do(L"install", L"install"); }
    void UninstallAddIn() override { Do(L"uninstall", L"uninstall"); }
    void ShellOpen(const std::wstring& target) override { Do(L"open " + target, L"open"); }
    void Close() override { Do(L"close", L"close"); }
};

struct RecordingReporter final : ErrorReporter {
    std::vector<std::wstring> reports;
    void ShowApplicationError(const std::wstring& text) override { reports.push_back(text); }
};

} // namespace cornice::test
