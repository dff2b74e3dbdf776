#include "CheckPage.h"

#include "AddInRegistration.h"
#include "Files.h"
#include "OwnTexts.h"
#include "TabCheck.h"
#include "TrellisText.h"

#include <algorithm>

namespace cornice {

void CheckPage::Check(const Controls& controls)
{
    facts_ = GatherCheckFacts(SystemRegistry(), LibraryPath(ProgramFolder()));
    found_ = Diagnose(facts_);
    Show(controls, FindingsListText(found_));
}

void CheckPage::Repair(const Controls& controls)
{
    std::wstring failures;
    for (const RepairStep& step : RepairForUser(SystemRegistry(), facts_, found_, controls.owner))
        if (!step.done) failures += OwnText(IDS_REPAIR_FAILED, L"Repair could not mend everything: %1", {step.text}) + L"\r\n\r\n";
    Check(controls);
    if (!failures.empty()) Show(controls, failures + FindingsListText(found_));
}

void CheckPage::Show(const Controls& controls, const std::wstring& text)
{
    ::SetWindowTextW(controls.findings, text.c_str());
    const bool userMayRepair =
        std::any_of(found_.begin(), found_.end(), [](const Finding& finding) { return finding.UserMayRepair(); });
    ::EnableWindow(controls.repair, userMayRepair);
}

} // namespace cornice
