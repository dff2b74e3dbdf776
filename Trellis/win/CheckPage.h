// What the "Check" and "Repair" buttons on Trellis's "Help" page do: the findings of
// ClassicTabCheck.h in the user's language in the page's list, and the repair of what belongs
// to the user, after which the list shows what the check finds then.
#pragma once

#include "ClassicTabCheck.h"

#include <windows.h>

#include <vector>

namespace cornice {

class CheckPage {
public:
    // `findings` shows the list; `repair` is enabled while a finding is the user's to mend.
    CheckPage(HWND findings, HWND repair) : findings_(findings), repair_(repair) {}

    void Check();
    void Repair();

private:
    void Show(const std::wstring& text);

    HWND findings_;
    HWND repair_;
    CheckFacts facts_;
    std::vector<Finding> found_;
};

} // namespace cornice
