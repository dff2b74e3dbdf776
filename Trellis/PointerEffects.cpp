#include "PointerEffects.h"

namespace cornice {

PointerState PointerMovedOver(PointerArea area, PointerState state)
{
    switch (area) {
    case PointerArea::CheckBox:
    case PointerArea::PushButton:
        state.customPointer = true;
        break;
    case PointerArea::WebsiteLink:
        state.customPointer = true;
        state.websiteUnderlined = true;
        break;
    case PointerArea::WindowBackground:
    case PointerArea::ExcelPage:
        state.customPointer = false;
        state.websiteUnderlined = false;
        break;
    case PointerArea::AboutPage:
    case PointerArea::HelpPage:
        state.customPointer = false;
        break;
    case PointerArea::Other:
        break;
    }
    return state;
}

} // namespace cornice
