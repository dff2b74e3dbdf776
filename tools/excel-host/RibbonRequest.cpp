// Asking each add-in for its ribbon, and reporting the document: well-formed, the controls the
// release does not know, printed, outlined or written to a file.
#include "Run.h"

#include "Console.h"
#include "ExcelRelease.h"
#include "FailureText.h"
#include "Utf8.h"
#include "WindowsErrorText.h"

namespace cornice::host {
namespace {

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

void Run::AskForRibbon(LoadedAddIn& addIn)
{
    if (!addIn.ribbon) {
        Say(L"add-in " + addIn.entry.progId + L": no IRibbonExtensibility, no ribbon");
        return;
    }
    const UniqueBstr ribbonId = UniqueBstr::FromText(L"Microsoft.Excel.Workbook");
    UniqueBstr document;
    ::SetErrorInfo(0, nullptr);
    addIn.start.Resume();
    const HRESULT hr = addIn.ribbon->GetCustomUI(ribbonId.Get(), document.Put());
    addIn.start.Mark(L"GetCustomUI");
    if (FAILED(hr)) {
        Say(L"add-in " + addIn.entry.progId + L": ribbon request failed: " +
            Failure(hr, addIn.ribbon.Get(), IID_IRibbonExtensibility));
        Fail(kExitRibbonFailed);
        return;
    }
    const std::wstring text = document.Text();
    if (text.empty()) {
        Say(L"add-in " + addIn.entry.progId + L": empty ribbon document (the add-in adds nothing to the ribbon)");
    } else {
        try {
            addIn.document = markup::Parse(text);
        } catch (const markup::MarkupError& error) {
            Say(L"add-in " + addIn.entry.progId + L": the ribbon document is " + FromUtf8(error.what()).value_or(L"?"));
            Fail(kExitBadDocument);
            return;
        }
        Say(L"add-in " + addIn.entry.progId + L": ribbon document of " + std::to_wstring(text.size()) +
            L" characters, well-formed XML");
        addIn.live = std::make_unique<LiveRibbon>(addIn.ribbon.Get(), application_.Get(), *addIn.document);
        if (const std::wstring* onLoad = addIn.live->OnLoad()) {
            std::wstring failure;
            if (addIn.live->Load(failure) == CallOutcome::Returned) {
                Say(L"add-in " + addIn.entry.progId + L": onLoad " + *onLoad + L"(ribbon) returned");
            } else {
                Say(L"add-in " + addIn.entry.progId + L": onLoad " + *onLoad + L" failed: " + failure);
                Fail(kExitRibbonFailed);
            }
        }
        if (knownControls_)
            for (const std::wstring& name : UnknownControls(*addIn.document, *knownControls_))
                Say(L"add-in " + addIn.entry.progId + L": Excel " + ReleaseVersion(options_.release) +
                    L" does not know the control " + Quoted(name) + L" and skips it");
    }
    if (options_.printRibbon) Say(text);
    if (options_.outline && addIn.document) {
        std::wstring outline = markup::Outline(*addIn.document);
        if (!outline.empty() && outline.back() == L'\n') outline.pop_back();
        Say(outline);
    }
    if (options_.ribbonOut && !ribbonWritten_) {
        ribbonWritten_ = true;
        if (!WriteFileBytes(*options_.ribbonOut, ToUtf8(text))) {
            Say(L"excel-host: cannot write " + *options_.ribbonOut + L": " + WindowsErrorText(::GetLastError()));
            Fail(kExitFailure);
        }
    }
}

} // namespace cornice::host
