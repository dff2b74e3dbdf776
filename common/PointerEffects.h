// Both windows' pointer and the underline of their web address follow the mouse: over something
// that can be clicked the window shows its custom pointer (the hand), over the link the link is
// underlined as well; over the window's free area the pointer is the normal one again and the
// underline goes. An hourglass that someone else put up stays, except over the link.
#pragma once

namespace cornice {

// The window's mouse pointer, numbered as the window's pointer property numbers them.
enum class MousePointer : int {
    Default = 0,
    Hourglass = 11,
    Custom = 99, // the hand, when its file was loaded; otherwise it shows as the arrow
};

enum class PointerArea {
    Clickable,            // a check box or a push button
    Link,                 // the web address
    Background,           // the window's free area, or the "Excel" page's
    PageKeepingUnderline, // the free area of the settings window's later pages: the underline stays
    Other,                // the tab strip, the other labels, the lines and the rectangle: no effect
};

struct PointerState {
    MousePointer pointer = MousePointer::Default;
    // The link is underlined by its design until the mouse first crosses the free area.
    bool linkUnderlined = true;

    bool operator==(const PointerState&) const = default;
};

PointerState PointerMovedOver(PointerArea area, PointerState state);

} // namespace cornice
