// Twips and the design tables of both windows, checked by one routine.
#include "AboutLayout.h"
#include "SettingsLayout.h"
#include "Twips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

namespace cornice {
namespace {

TEST(Twips, ConvertToPixelsAtTheWindowsDpi)
{
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(6240, 96), 416);
    EXPECT_EQ(TwipsToPixels(5100, 96), 340);
    EXPECT_EQ(TwipsToPixels(6240, 120), 520);
    EXPECT_EQ(TwipsToPixels(5100, 120), 425);
    EXPECT_EQ(TwipsToPixels(6240, 144), 624);
    EXPECT_EQ(TwipsToPixels(5100, 144), 510);
    // 45 twips at 96 dpi are 3 px; 7 twips (0.47 px) round down, 8 (0.53 px) up.
    EXPECT_EQ(TwipsToPixels(45, 96), 3);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_THROW(TwipsToPixels(15, 0), std::invalid_argument);
}

TEST(Twips, NeighboursThatMeetInTwipsMeetInPixels)
{
    // Sizes rounded on their own would leave gaps or overlaps of a pixel at some DPIs.
    for (int dpi : {96, 120, 144, 168, 192}) {
        const PixelRect upper = ToPixels({960, 2235, 1455, 330}, dpi);
        const PixelRect lower = ToPixels({960, 2565, 1095, 375}, dpi);
        EXPECT_EQ(upper.Bottom(), lower.top) << dpi;
        const PixelRect odd = ToPixels({7, 7, 7, 7}, dpi);
        EXPECT_EQ(odd.Right(), TwipsToPixels(14, dpi)) << dpi;
        EXPECT_EQ(odd.Bottom(), TwipsToPixels(14, dpi)) << dpi;
    }
}

TEST(Twips, FontHeightsForFractionalPointSizes)
{
    EXPECT_EQ(FontHeight(900, 96), -12);
    EXPECT_EQ(FontHeight(975, 96), -13);
    EXPECT_EQ(FontHeight(1125, 96), -15);
    EXPECT_EQ(FontHeight(1200, 96), -16);
    EXPECT_EQ(FontHeight(975, 120), -16);  // 16.25
    EXPECT_EQ(FontHeight(1125, 144), -23); // 22.5 rounds up
}

bool Inside(const TwipRect& inner, int width, int height)
{
    return inner.left >= 0 && inner.top >= 0 && inner.left + inner.width <= width && inner.top + inner.height <= height;
}

bool Overlap(const TwipRect& a, const TwipRect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// An overlap the design wants, between the controls of these kinds and ids (any id: kNoId).
struct DesignedOverlap {
    ControlKind firstKind;
    int firstId;
    ControlKind secondKind;
    int secondId;

    bool Matches(const ControlDesign& a, const ControlDesign& b) const
    {
        const auto is = [](const ControlDesign& c, ControlKind kind, int id) {
            return c.kind == kind && (id == kNoId || c.id == id);
        };
        return (is(a, firstKind, firstId) && is(b, secondKind, secondId)) ||
               (is(b, firstKind, firstId) && is(a, secondKind, secondId));
    }
};

bool TakesTheKeyboard(ControlKind kind)
{
    return kind == ControlKind::CheckBox || kind == ControlKind::OptionButton || kind == ControlKind::PushButton ||
           kind == ControlKind::TabControl;
}

// Every control inside its container, which comes before it; no overlap but the designed ones;
// the tab order (the table's) holds every control that takes the keyboard and nothing else; ids
// unique; one default button.
void CheckDesign(const WindowDesign& window, std::initializer_list<DesignedOverlap> designed)
{
    std::set<int> ids;
    int defaultButtons = 0;
    for (std::size_t i = 0; i < window.controlCount; ++i) {
        const ControlDesign& c = window.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(c.id));
        int width = window.clientWidth, height = window.clientHeight;
        if (c.container != kInWindow) {
            EXPECT_TRUE(ids.count(c.container)) << "its page comes first";
            for (std::size_t p = 0; p < i; ++p)
                if (window.controls[p].id == c.container) {
                    EXPECT_EQ(window.controls[p].kind, ControlKind::Page);
                    width = window.controls[p].place.width;
                    height = window.controls[p].place.height;
                }
        }
        EXPECT_TRUE(Inside(c.place, width, height));
        const bool windowed = c.kind != ControlKind::Line && c.kind != ControlKind::Rectangle &&
                              c.kind != ControlKind::SkinComponent;
        EXPECT_EQ(c.windowClass != nullptr, windowed);
        if (c.kind == ControlKind::Page) {
            EXPECT_EQ(std::wstring(c.windowClass), window.pageClassName);
            EXPECT_EQ(c.container, kInWindow) << "pages lie beside the tab control, not in it";
        }
        if (windowed) {
            EXPECT_TRUE(ids.insert(c.id).second) << "its id is its own";
        }
        EXPECT_EQ((c.style & style::kTabStop) != 0, TakesTheKeyboard(c.kind));
        if (c.kind == ControlKind::PushButton && (c.style & 0xF) == style::kDefPushButton) ++defaultButtons;
        EXPECT_EQ(c.font.face != nullptr, windowed && c.kind != ControlKind::Page);

        for (std::size_t j = i + 1; j < window.controlCount; ++j) {
            const ControlDesign& d = window.controls[j];
            if (d.container != c.container || !Overlap(c.place, d.place)) continue;
            bool wanted = false;
            for (const DesignedOverlap& overlap : designed) wanted = wanted || overlap.Matches(c, d);
            // Check boxes are taller than their spacing; their one-line captions (centred, 9-point
            // text: 180 twips) must still stay apart.
            if (c.kind == ControlKind::CheckBox && d.kind == ControlKind::CheckBox)
                wanted = std::abs(c.place.top - d.place.top) >= 285;
            EXPECT_TRUE(wanted) << "overlaps control " << j << ", id " << d.id;
        }
    }
    EXPECT_EQ(defaultButtons, 1);
}

TEST(WindowDesign, ControlsFitTheirContainersApartAndInTabOrder)
{
    {
        SCOPED_TRACE("settings window");
        using namespace settings;
        const int heading = kFirstBoxId + CheckBoxRules::kHideBuiltInTabs;
        CheckDesign(kWindow, {
                                 // The pages cover the tab control below its strip, one at a time.
                                 {ControlKind::TabControl, kTabControlId, ControlKind::Page, kNoId},
                                 {ControlKind::Page, kNoId, ControlKind::Page, kNoId},
                                 // The rectangle frames the tab boxes, box 11 on its top edge.
                                 {ControlKind::Rectangle, kNoId, ControlKind::CheckBox, kNoId},
                             });
        const TwipRect& frame = kTabBoxesFrame.place;
        for (int tab = CheckBoxRules::kFirstTab; tab <= CheckBoxRules::kLastTab; ++tab) {
            const TwipRect& box = kBoxes[tab].place;
            EXPECT_TRUE(box.left > frame.left && box.top > frame.top && box.left + box.width < frame.left + frame.width &&
                        box.top + box.height <= frame.top + frame.height)
                << tab;
        }
        const TwipRect& box11 = kControls[2 + CheckBoxRules::kHideBuiltInTabs].place;
        EXPECT_EQ(kControls[2 + CheckBoxRules::kHideBuiltInTabs].id, heading);
        EXPECT_TRUE(box11.top < frame.top && box11.top + box11.height > frame.top);
        for (int box = 0; box < CheckBoxRules::kFirstTab; ++box)
            EXPECT_FALSE(Overlap(kBoxes[box].place, frame)) << box;
    }
    {
        SCOPED_TRACE("About window");
        CheckDesign(about::kWindow, {});
        // The etched line's two strokes never fall on one pixel row.
        for (const int dpi : {96, 120, 144, 192})
            EXPECT_GE(TwipsToPixels(about::kSeparatorHighlight.place.top, dpi) -
                          TwipsToPixels(about::kSeparator.place.top, dpi),
                      1)
                << dpi;
    }
}

} // namespace
} // namespace cornice
