#include "PointerEffects.h"

namespace cornice {

PointerState PointerMovedOver(PointerArea area, PointerState state)
{
    const bool hourglass = state.pointer == MousePointer::Hourglass;
    switch (area) {
    case PointerArea::Link:
        state.linkUnderlined = true;
        state.pointer = MousePointer::Custom;
        break;
    case PointerArea::Clickable:
        if (!hourglass) state.pointer = MousePointer::Custom;
        break;
    case PointerArea::Background:
        state.linkUnderlined = false;
        if (!hourglass) state.pointer = MousePointer::Default;
        break;
    case PointerArea::PageKeepingUnderline:
        if (!hourglass) state.pointer = MousePointer::Default;
        break;
    case PointerArea::Other:
        break;
    }
    return state;
}

} // namespace cornice
