// The About window's pointer and the underline of its link follow the mouse: over the link the
// link is underlined and the window shows its custom pointer (the hand); over the window's
// free area the underline goes and the pointer is the normal one again; over the "Ok" button
// the hand shows. An hourglass that someone else put up stays, except over the link.
#pragma once

namespace cornice::about {

// The window's mouse pointer, numbered as the window's pointer property numbers them.
enum class MousePointer : int {
    Default = 0,
    Hourglass = 11,
    Custom = 99, // the hand, when its file was loaded; otherwise it shows as the arrow
};

enum class PointerArea {
    Link,
    FreeArea, // the window's own background, not over a control
    OkButton,
    Other, // the title, the version line and the caption before the link: no effect
};

struct PointerState {
    MousePointer pointer = MousePointer::Default;
    // The link is underlined by its design until the mouse first crosses the free area.
    bool linkUnderlined = true;

    bool operator==(const PointerState& other) const
    {
        return pointer == other.pointer && linkUnderlined == other.linkUnderlined;
    }
};

PointerState PointerMovedOver(PointerArea area, PointerState state);

} // namespace cornice::about
