// Trellis.exe: the settings program. Its one window is the program; closing it ends the run.
#include "CommandLine.h"
#include "SettingsWindow.h"
#include "ProgramName.h"
#include "ExcelTabNames.h"
#include "ExcelWordsRegistry.h"
#include "LanguageChoice.h"
#include "LocalisedText.h"
#include "OwnTexts.h"
#include "TrellisText.h"
#include "Utf8.h"
#include "WinHandles.h"

#include <string>

namespace {

// Every text of the user's language, once: the ids lie between the first and the last of
// TrellisText.h (IDS_BOX_SEARCH is the last). The tabs are named as the user's Excel names them
// when the add-in has recorded that Excel's words in this language; English keeps its own texts,
// which are the window's as it has always been (" View" with its blank).
void LoadOwnTexts(HINSTANCE instance)
{
    const int language = cornice::UserTextLanguage();
    std::map<unsigned, std::wstring> texts;
    for (unsigned id = IDS_TAB_EXCEL; id <= IDS_BOX_SEARCH; ++id)
        if (std::wstring text = cornice::LoadText(instance, id, language); !text.empty()) texts[id] = std::move(text);
    if (language != cornice::kEnglishText)
        if (const auto record = cornice::RecordForTextLanguage(cornice::RegistryExcelWordsMemory::RecallAll(), language))
            cornice::NameTabsAsExcelDoes(texts, *record);
    cornice::UseOwnTexts(std::move(texts));
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand)
{
    // The command line's check speaks English and opens no window.
    if (const std::optional<int> exitCode = cornice::RunCommand(commandLine)) return *exitCode;
    // The shell's ShellExecute may hand work to shell extensions, which need COM on the calling
    // thread ("ShellExecute", Remarks); the window's thread is the program's only one.
    cornice::ScopedCoInitialize com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::wstring notOpened = L"Trellis could not open its window.";
    try {
        LoadOwnTexts(instance);
        notOpened = cornice::OwnText(IDS_WINDOW_NOT_OPENED, notOpened);
        return cornice::RunSettingsWindow(instance, showCommand);
    } catch (const std::exception& error) {
        const auto text = cornice::FromUtf8(error.what());
        const std::wstring message =
            notOpened + L"\r\n\r\n" + (text ? *text : cornice::OwnText(IDS_UNKNOWN_ERROR, L"Unknown error."));
        ::MessageBoxW(nullptr, message.c_str(), cornice::kProgramName, MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBoxW(nullptr, notOpened.c_str(), cornice::kProgramName, MB_OK | MB_ICONERROR);
    }
    return 1;
}
