#include "Form1Layout.h"
#include "SettingKeys.h"
#include "Twips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace cornice {
namespace {

using namespace form1;

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
    return inner.left >= 0 && inner.top >= 0 && inner.left + inner.width <= width &&
           inner.top + inner.height <= height;
}

bool Overlap(const TwipRect& a, const TwipRect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(Form1Layout, EveryControlFitsItsContainer)
{
    EXPECT_TRUE(Inside(kTabControl, kClientWidth, kClientHeight));
    EXPECT_TRUE(Inside(kOkButton, kClientWidth, kClientHeight));
    EXPECT_TRUE(Inside(kCancelButton, kClientWidth, kClientHeight));
    EXPECT_FALSE(Overlap(kOkButton, kCancelButton));
    EXPECT_FALSE(Overlap(kOkButton, kTabControl));
    EXPECT_TRUE(Inside(kPage, kTabControl.width, kTabControl.height));
    for (const BoxDesign& box : kBoxes)
        EXPECT_TRUE(Inside(box.place, kPage.width, kPage.height)) << box.key;
    for (const LabelDesign* label : {&kTitleLabel, &kVersionLabel, &kWebsiteLabelLabel, &kWebsiteLink})
        EXPECT_TRUE(Inside(label->place, kPage.width, kPage.height));
    EXPECT_TRUE(Inside(kShape1, kPage.width, kPage.height));
}

TEST(Form1Layout, BoxCaptionsStayApartAndTheTabBoxesSitInsideTheRectangle)
{
    // The boxes are taller than their spacing, so neighbours overlap by a few twips; their
    // captions (centred, one line of 9-point text: 180 twips) must still stay apart.
    for (int a = 0; a < CheckBoxRules::kBoxCount; ++a)
        for (int b = a + 1; b < CheckBoxRules::kBoxCount; ++b)
            if (Overlap(kBoxes[a].place, kBoxes[b].place)) {
                EXPECT_GE(std::abs(kBoxes[a].place.top - kBoxes[b].place.top), 285) << a << " and " << b;
            }
    for (int tab = CheckBoxRules::kFirstTab; tab <= CheckBoxRules::kLastTab; ++tab) {
        const TwipRect& box = kBoxes[tab].place;
        EXPECT_GT(box.left, kShape1.left) << tab;
        EXPECT_GT(box.top, kShape1.top) << tab;
        EXPECT_LT(box.left + box.width, kShape1.left + kShape1.width) << tab;
        EXPECT_LE(box.top + box.height, kShape1.top + kShape1.height) << tab;
    }
    // Box 11 is the group's heading: the rectangle's top edge runs through it.
    const TwipRect& heading = kBoxes[CheckBoxRules::kHideBuiltInTabs].place;
    EXPECT_LT(heading.top, kShape1.top);
    EXPECT_GT(heading.top + heading.height, kShape1.top);
}

TEST(Form1Layout, EachBoxIsStoredUnderItsSettingKey)
{
    EXPECT_EQ(std::wstring(kBoxes[0].key), kClassicKey);
    EXPECT_EQ(std::wstring(kBoxes[1].key), kLeftKey);
    EXPECT_EQ(std::wstring(kBoxes[2].key), kAllKey);
    for (int tab = 0; tab < 8; ++tab) EXPECT_EQ(std::wstring(kBoxes[3 + tab].key), kTabKeys[tab]);
    EXPECT_EQ(std::wstring(kBoxes[11].key), kHideBuiltInTabsKey);
    EXPECT_EQ(std::wstring(kBoxes[9].caption), L" View");
    EXPECT_FALSE(kBoxes[11].restored);
    for (int box = 0; box < 11; ++box) {
        EXPECT_TRUE(kBoxes[box].restored) << box;
        EXPECT_EQ(kBoxes[box].defaultState, box <= 2 ? 1 : 0) << box;
    }
}

} // namespace
} // namespace cornice
