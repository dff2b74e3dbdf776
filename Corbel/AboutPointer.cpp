#include "AboutPointer.h"

namespace cornice::about {

PointerState PointerMovedOver(PointerArea area, PointerState state)
{
    const bool hourglass = state.pointer == MousePointer::Hourglass;
    switch (area) {
    case PointerArea::Link:
        state.linkUnderlined = true;
        state.pointer = MousePointer::Custom;
        break;
    case PointerArea::FreeArea:
        state.linkUnderlined = false;
        if (!hourglass) state.pointer = MousePointer::Default;
        break;
    case PointerArea::OkButton:
        if (!hourglass) state.pointer = MousePointer::Custom;
        break;
    case PointerArea::Other:
        break;
    }
    return state;
}

} // namespace cornice::about
