// The panel about the program that both windows show (the About window whole, the settings
// window on its "About" page): the title and the version line, which the window sets as it
// opens, an etched separator of two lines, and "Website: " before the link to the web site, in
// this order, which is their tab order. Each window gives it its own places, fonts and colours.
#pragma once

#include "ContactAddresses.h"
#include "WindowDesign.h"

#include <array>

namespace cornice {

// A horizontal or vertical line of the design, from (x1, y1) to (x2, y2).
struct LineDesign {
    int x1, y1, x2, y2;
    OleColor color;
};

struct AboutPanelDesign {
    int container = kInWindow;
    int titleId = kNoId, versionId = kNoId, websiteCaptionId = kNoId, linkId = kNoId;
    // The labels notify, so that the pointer effects can tell them from what lies beneath.
    std::uint32_t labelStyle = style::kVisible | style::kNotify;
    // The title's and the version line's; the caption and the link are left aligned.
    std::uint32_t headingAlignment = style::kLeft;
    TwipRect title{}, version{}, websiteCaption{}, link{};
    FontDesign titleFont{}, versionFont{}, websiteCaptionFont{}, linkFont{};
    OleColor versionColor = kBlack;
    // Drawn in this order.
    LineDesign separator{}, separatorHighlight{};
};

constexpr std::array<ControlDesign, 6> AboutPanel(const AboutPanelDesign& panel)
{
    const auto label = [&](int id, std::uint32_t alignment, TwipRect place, FontDesign font, OleColor color,
                           const wchar_t* text) {
        return ControlDesign{.kind = ControlKind::Label,
                             .id = id,
                             .container = panel.container,
                             .windowClass = kStaticClass,
                             .style = panel.labelStyle | alignment,
                             .place = place,
                             .font = font,
                             .foreColor = color,
                             .backColor = kWhite,
                             .text = text};
    };
    const auto line = [&](const LineDesign& l) { return Line(panel.container, l.x1, l.y1, l.x2, l.y2, l.color); };
    return {{
        label(panel.titleId, panel.headingAlignment, panel.title, panel.titleFont, kGreen, nullptr),
        label(panel.versionId, panel.headingAlignment, panel.version, panel.versionFont, panel.versionColor, nullptr),
        line(panel.separator),
        line(panel.separatorHighlight),
        label(panel.websiteCaptionId, style::kLeft, panel.websiteCaption, panel.websiteCaptionFont, kBlack,
              L"Website: "),
        label(panel.linkId, style::kLeft, panel.link, panel.linkFont, kBlue, kWebsiteText),
    }};
}

} // namespace cornice
