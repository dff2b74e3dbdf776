// Twips and the design tables of both windows, checked by one routine.
#include "AboutLayout.h"
#include "SettingsLayout.h"
#include "Twips.h"
#include "WindowLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Every character 7 px wide and a line 14 px high at 96 dpi, in proportion at others; wrapped
// at any character, which is enough for the rules to see more lines than one.
class FixedWidthText final : public TextMeasure {
public:
    explicit FixedWidthText(int dpi) : charWidth(ScaleFrom96(7, dpi)), lineHeight(ScaleFrom96(14, dpi)) {}
    const int charWidth, lineHeight;
    bool broken = false;
    std::optional<PixelSize> Line(std::wstring_view text) const override
    {
        if (broken) return std::nullopt;
        return PixelSize{charWidth * static_cast<int>(text.size()), lineHeight};
    }
    int WrappedHeight(std::wstring_view text, int width) const override
    {
        const int perLine = std::max(1, width / charWidth);
        return lineHeight * ((static_cast<int>(text.size()) + perLine - 1) / perLine);
    }
};

std::size_t IndexOf(const WindowDesign& window, int id)
{
    for (std::size_t i = 0; i < window.controlCount; ++i)
        if (window.controls[i].id == id) return i;
    throw std::out_of_range("no control " + std::to_string(id));
}

// The texts of other languages get room; the design's own keep every pixel. Both windows' rules,
// at the DPIs the screenshots are taken at.
TEST(WindowLayout, ATextOtherThanTheDesignsGrowsItsControlAsFarAsItsNeighbours)
{
    using namespace settings;
    const std::wstring longText(200, L'x');
    const std::size_t home = IndexOf(kWindow, kFirstBoxId + CheckBoxRules::kFirstTab);
    const std::size_t view = IndexOf(kWindow, kFirstBoxId + CheckBoxRules::kFirstTab + 6);
    const std::size_t developer = IndexOf(kWindow, kFirstBoxId + CheckBoxRules::kLastTab);
    const std::size_t classic = IndexOf(kWindow, kFirstBoxId + CheckBoxRules::kClassic);
    for (const int dpi : {96, 120, 144}) {
        SCOPED_TRACE(dpi);
        const FixedWidthText measure(dpi);
        WindowLayout layout(kWindow, dpi);
        for (std::size_t i = 0; i < kWindow.controlCount; ++i) {
            const ControlDesign& design = kWindow.controls[i];
            if (design.text) {
                EXPECT_FALSE(layout.GiveRoomToText(i, design.text, measure)) << i;
            }
            EXPECT_EQ(layout.Placed(i).width, ToPixels(design.place, dpi).width) << i;
        }
        // "Home" stops where " View" beside it begins, and the rectangle around both keeps its
        // margin to the wider box.
        std::size_t outline = 0;
        for (std::size_t i = 0; i < kWindow.controlCount; ++i)
            if (kWindow.controls[i].kind == ControlKind::Rectangle) outline = i;
        const PixelRect outlineBefore = layout.Outline(outline);
        EXPECT_TRUE(layout.GiveRoomToText(home, L"Start page", measure));
        const PixelRect grown = layout.Placed(home);
        EXPECT_EQ(grown.width, measure.charWidth * 10 + ScaleFrom96(13 + 6, dpi)) << "the text, the mark and its gap";
        EXPECT_LT(grown.Right(), ToPixels(kWindow.controls[view].place, dpi).left);
        EXPECT_TRUE(layout.GiveRoomToText(home, longText, measure));
        EXPECT_EQ(layout.Placed(home).Right(), ToPixels(kWindow.controls[view].place, dpi).left);
        // "Developer" reaches furthest right in the rectangle, which keeps its margin to it.
        EXPECT_EQ(layout.Outline(outline).width, outlineBefore.width) << "\"Home\" grew behind \" View\"";
        EXPECT_TRUE(layout.GiveRoomToText(developer, longText, measure));
        EXPECT_EQ(layout.Placed(developer).Right(), TwipsToPixels(kPage.width, dpi)) << "the page's edge";
        EXPECT_EQ(layout.Outline(outline).Right() - layout.Placed(developer).Right(),
                  outlineBefore.Right() - ToPixels(kWindow.controls[developer].place, dpi).Right());

        // A box that may wrap grows upwards for its lines, as far as its container's top.
        const PixelRect designed = ToPixels(kWindow.controls[classic].place, dpi);
        const std::wstring twoLines(TwipsToPixels(kPage.width - kBoxes[0].place.left, dpi) / measure.charWidth, L'x');
        EXPECT_TRUE(layout.GiveRoomToText(classic, twoLines, measure));
        EXPECT_EQ(layout.Placed(classic).Bottom(), designed.Bottom());
        EXPECT_EQ(layout.Placed(classic).height, 2 * measure.lineHeight + designed.height - measure.lineHeight);
        EXPECT_TRUE(layout.GiveRoomToText(classic, longText, measure));
        EXPECT_EQ(layout.Placed(classic).top, 0);
    }
}

TEST(WindowLayout, OnlyLeftAlignedLabelsBoxesAndButtonsGrowAndOnlyWhenMeasured)
{
    const FixedWidthText measure(96);
    const std::wstring longText(80, L'x');
    WindowLayout settingsLayout(settings::kWindow, 96);
    // The title is centred: its text is placed by Windows within the designed width.
    EXPECT_FALSE(settingsLayout.GiveRoomToText(IndexOf(settings::kWindow, kTitleId), longText, measure));
    const std::size_t cancel = IndexOf(settings::kWindow, kCancelId);
    EXPECT_FALSE(settingsLayout.GiveRoomToText(cancel, L"Abbrechen", measure)) << "it fits";
    EXPECT_TRUE(settingsLayout.GiveRoomToText(cancel, longText, measure));
    EXPECT_EQ(settingsLayout.Placed(cancel).Right(), TwipsToPixels(settings::kClientWidth, 96)) << "the window's edge";
    // A caption and its link: the caption stops at the link.
    WindowLayout aboutLayout(about::kWindow, 96);
    const std::size_t caption = IndexOf(about::kWindow, kAboutWebsiteCaptionId);
    EXPECT_TRUE(aboutLayout.GiveRoomToText(caption, longText, measure));
    EXPECT_EQ(aboutLayout.Placed(caption).Right(), TwipsToPixels(about::kLink.place.left, 96));
    FixedWidthText broken(96);
    broken.broken = true;
    EXPECT_FALSE(aboutLayout.GiveRoomToText(IndexOf(about::kWindow, kOkId), longText, broken));
}

TEST(WindowLayout, ThePointerIsOnADrawingNearItsLinesOnly)
{
    WindowLayout layout(settings::kWindow, 96);
    const PixelRect frame = ToPixels(settings::kTabBoxesFrame.place, 96);
    EXPECT_TRUE(layout.OnDrawing(kExcelPageId, {frame.left + 20, frame.top}));
    EXPECT_TRUE(layout.OnDrawing(kExcelPageId, {frame.Right() - 1, frame.top + 30}));
    EXPECT_TRUE(layout.OnDrawing(kExcelPageId, {frame.left - 1, frame.top + 30})) << "within a pixel";
    EXPECT_FALSE(layout.OnDrawing(kExcelPageId, {frame.left + 20, frame.top + 20}));
    EXPECT_FALSE(layout.OnDrawing(kAboutPageId, {frame.left + 20, frame.top})) << "another page's";
    const int line = TwipsToPixels(2160, 96);
    EXPECT_TRUE(layout.OnDrawing(kAboutPageId, {100, line + 1}));
    EXPECT_FALSE(layout.OnDrawing(kAboutPageId, {100, line + 3}));
}

} // namespace
} // namespace cornice
