// The settings window's pointer and the underline of its web address follow the pointer: over
// something clickable the window shows its custom pointer (the hand), over the window's
// background or the "Excel" page the normal one and the address loses its underline.
#pragma once

namespace cornice {

enum class PointerArea {
    CheckBox,
    PushButton,
    WebsiteLink,
    WindowBackground,
    ExcelPage,
    AboutPage,
    HelpPage,
    Other, // the tab strip, the other labels, the lines and the rectangle
};

struct PointerState {
    bool customPointer = false;
    // The address is underlined when the window opens.
    bool websiteUnderlined = true;

    bool operator==(const PointerState& other) const
    {
        return customPointer == other.customPointer &&
               websiteUnderlined == other.websiteUnderlined;
    }
};

PointerState PointerMovedOver(PointerArea area, PointerState state);

} // namespace cornice
