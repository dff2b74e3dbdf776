#include "CheckPage.h"

#include "AddInRegistration.h"
#include "Files.h"
#include "OwnTexts.h"
#include "TabCheck.h"
#include "TrellisText.h"

#include <algorithm>

namespace cornice {

void CheckPage::Check()
{
    facts_ = GatherCheckFacts(SystemRegistry(), LibraryPath(ProgramFolder()));
    found_ = Diagnose(facts_);
    Show(FindingsListText(found_));
}

void CheckPage::Repair()
{
    std::wstring failures;
    for (const RepairStep& step : RepairForUser(SystemRegistry(), facts_, found_))
        if (!step.done) failures += OwnText(IDS_REPAIR_FAILED, L"Repair could not mend everything: %1", {step.text}) + L"\r\n\r\n";
    Check();
    if (!failures.empty()) Show(failures + FindingsListText(found_));
}

void CheckPage::Show(const std::wstring& text)
{
    ::SetWindowTextW(findings_, text.c_str());
    const bool userMayRepair =
        std::any_of(found_.begin(), found_.end(), [](const Finding& finding) { return finding.UserMayRepair(); });
    ::EnableWindow(repair_, userMayRepair);
}

} // namespace cornice
