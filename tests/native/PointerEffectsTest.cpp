// The pointer effects both windows share: the About window's areas and the settings window's.
#include "PointerEffects.h"

#include <gtest/gtest.h>

namespace cornice {
namespace {

using P = MousePointer;
using A = PointerArea;

TEST(PointerEffects, FollowTheTableOfHoverEffects)
{
    struct Case {
        PointerArea area;
        PointerState before;
        PointerState after;
    };
    const Case cases[] = {
        // Over the link: underline on, the custom pointer, whatever was before, hourglass too.
        {A::Link, {P::Default, false}, {P::Custom, true}},
        {A::Link, {P::Hourglass, false}, {P::Custom, true}},
        {A::Link, {P::Custom, true}, {P::Custom, true}},
        // Over the free area: underline off, the default pointer unless it is the hourglass.
        {A::Background, {P::Custom, true}, {P::Default, false}},
        {A::Background, {P::Default, true}, {P::Default, false}},
        {A::Background, {P::Hourglass, true}, {P::Hourglass, false}},
        // Over the page that holds the link the underline stays.
        {A::PageKeepingUnderline, {P::Custom, true}, {P::Default, true}},
        {A::PageKeepingUnderline, {P::Custom, false}, {P::Default, false}},
        {A::PageKeepingUnderline, {P::Hourglass, true}, {P::Hourglass, true}},
        // Over a box or a button: the custom pointer unless it is the hourglass; the underline stays.
        {A::Clickable, {P::Default, true}, {P::Custom, true}},
        {A::Clickable, {P::Default, false}, {P::Custom, false}},
        {A::Clickable, {P::Hourglass, false}, {P::Hourglass, false}},
        // Over the other labels, the tab strip and the drawings nothing changes.
        {A::Other, {P::Custom, false}, {P::Custom, false}},
        {A::Other, {P::Hourglass, true}, {P::Hourglass, true}},
        {A::Other, {P::Default, true}, {P::Default, true}},
    };
    for (const Case& c : cases) {
        const PointerState after = PointerMovedOver(c.area, c.before);
        EXPECT_EQ(after, c.after) << "area " << static_cast<int>(c.area) << " from pointer "
                                  << static_cast<int>(c.before.pointer) << "/" << c.before.linkUnderlined
                                  << ": got " << static_cast<int>(after.pointer) << "/" << after.linkUnderlined;
    }
}

TEST(PointerEffects, TheLinkIsUnderlinedUntilTheMouseFirstCrossesTheFreeArea)
{
    PointerState state;
    EXPECT_TRUE(state.linkUnderlined);
    EXPECT_EQ(state.pointer, P::Default);
    for (const PointerArea area : {A::Clickable, A::Other, A::PageKeepingUnderline}) state = PointerMovedOver(area, state);
    EXPECT_TRUE(state.linkUnderlined);
    state = PointerMovedOver(A::Background, state);
    EXPECT_FALSE(state.linkUnderlined);
    state = PointerMovedOver(A::Link, state);
    EXPECT_TRUE(state.linkUnderlined);
}

} // namespace
} // namespace cornice
