// The host as the ribbon builder sees it, answered by Excel's Application object: its Name
// property, asked by name through IDispatch as a late-bound client would.
#pragma once

#include "Host.h"
#include "WinHandles.h"

#include <oaidl.h>

namespace cornice {

class ExcelApplicationHost final : public Host, public ExcelWords {
public:
    // Keeps its own reference; null forgets the application.
    void SetApplication(IDispatch* application)
    {
        commandBars_ = {};
        application_ = ComPtr<IDispatch>(application);
    }

    // Throws WindowsError when there is no application yet, or when asking it fails (the
    // text then carries Excel's own description of the failure).
    std::wstring Name() override;

    // Application.LanguageSettings.LanguageID(msoLanguageIDUI).
    int UiLanguage() override;
    ExcelWords* Words() override { return this; }
    // CommandBars.FindControl(, id).Caption: the old worksheet menu bar's titles.
    std::wstring MenuCaption(int controlId) override;
    // CommandBars.GetLabelMso(idMso).
    std::wstring LabelOf(std::wstring_view idMso) override;
    // CommandBars.GetSupertipMso(idMso).
    std::wstring SupertipOf(std::wstring_view idMso) override;
    // Application.Version ("16.0") and Application.Build.
    std::wstring Version() override;
    long Build() override;

private:
    std::wstring MsoText(const wchar_t* member, std::wstring_view idMso);
    IDispatch* CommandBars();

    ComPtr<IDispatch> application_;
    // Asked once per connection: a search asks for the labels of a whole release's commands.
    ComPtr<IDispatch> commandBars_;
};

} // namespace cornice
