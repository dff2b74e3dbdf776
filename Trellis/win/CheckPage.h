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
    // The page's controls: `findings` shows the list; `repair` is enabled while a finding is
    // the user's to mend. While regsvr32 runs `owner` takes no input.
    struct Controls {
        HWND owner;
        HWND findings;
        HWND repair;
    };

    void Check(const Controls& controls);
    void Repair(const Controls& controls);

private:
    void Show(const Controls& controls, const std::wstring& text);

    CheckFacts facts_;
    std::vector<Finding> found_;
};

} // namespace cornice
