#include "CheckBoxRules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace cornice {
namespace {

using Change = std::pair<int, int>; // box, new state
using States = std::array<int, CheckBoxRules::kBoxCount>;

// The model with every change it reports written down.
struct RecordedRules {
    std::vector<Change> changes;
    CheckBoxRules rules{[this](int box, int state) { changes.emplace_back(box, state); }};

    // Sets the boxes without recording, the way a window that opened with them would be.
    void Start(const States& states)
    {
        for (int box = 0; box < CheckBoxRules::kBoxCount; ++box)
            if (states[box] != 0) rules.Set(box, states[box]);
        // Rules ran while setting up; force the exact starting states.
        for (int round = 0; round < 3 && rules.States() != states; ++round)
            for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) rules.Set(box, states[box]);
        EXPECT_EQ(rules.States(), states) << "the starting states are not reachable";
        changes.clear();
    }
};

States Ticked(std::initializer_list<int> boxes)
{
    States states{};
    for (int box : boxes) states[box] = 1;
    return states;
}

std::string Show(const std::vector<Change>& changes)
{
    std::string text;
    for (const auto& [box, state] : changes)
        ((((text += '(') += std::to_string(box)) += ',') += std::to_string(state)) += ')';
    return text;
}

TEST(CheckBoxRules, TickingClassicOnEmptyBoxesTicksLeftThenAll)
{
    RecordedRules r;
    r.rules.Set(0, 1);
    EXPECT_EQ(Show(r.changes), "(0,1)(1,1)(2,1)");
    EXPECT_EQ(r.rules.States(), Ticked({0, 1, 2}));
}

TEST(CheckBoxRules, TickingClassicWhileAnyOtherBoxIsTickedChangesNothingElse)
{
    // Every box ticks box 0 as it becomes ticked, so box 0 can only come back to ticked from
    // greyed with others ticked.
    for (int other = 1; other <= 11; ++other) {
        RecordedRules r;
        r.rules.Set(other, 1);
        r.rules.Set(0, 2);
        const States before = r.rules.States();
        r.changes.clear();
        r.rules.Set(0, 1);
        EXPECT_EQ(Show(r.changes), "(0,1)") << "with box " << other << " ticked";
        States after = before;
        after[0] = 1;
        EXPECT_EQ(r.rules.States(), after) << "with box " << other << " ticked";
    }
}

TEST(CheckBoxRules, ClearingClassicClearsEveryOtherBoxInAscendingOrder)
{
    RecordedRules r;
    r.Start(Ticked({0, 2, 4, 7, 10, 11}));
    r.rules.Set(0, 0);
    EXPECT_EQ(Show(r.changes), "(0,0)(2,0)(4,0)(7,0)(10,0)(11,0)");
    EXPECT_EQ(r.rules.States(), States{});
}

TEST(CheckBoxRules, LeftAndHomeExcludeEachOther)
{
    RecordedRules r;
    r.Start(Ticked({0, 3}));
    r.rules.Set(1, 1);
    EXPECT_EQ(Show(r.changes), "(1,1)(3,0)");

    r.changes.clear();
    r.rules.Set(3, 1);
    EXPECT_EQ(Show(r.changes), "(3,1)(1,0)");
    EXPECT_EQ(r.rules.States(), Ticked({0, 3}));
}

TEST(CheckBoxRules, TickingLeftOrAllTicksClassic)
{
    RecordedRules r;
    r.rules.Set(2, 1);
    // Box 0's rule finds box 2 ticked and leaves box 1 alone.
    EXPECT_EQ(Show(r.changes), "(2,1)(0,1)");

    RecordedRules left;
    left.rules.Set(1, 1);
    EXPECT_EQ(Show(left.changes), "(1,1)(0,1)");
}

TEST(CheckBoxRules, HomeDoesNotTickHideBuiltInTabsButTheOtherTabBoxesDo)
{
    RecordedRules home;
    home.rules.Set(3, 1);
    EXPECT_EQ(Show(home.changes), "(3,1)(0,1)");
    EXPECT_EQ(home.rules.State(11), 0);

    for (int tab = 4; tab <= 10; ++tab) {
        RecordedRules r;
        r.rules.Set(tab, 1);
        EXPECT_EQ(Show(r.changes),
                  std::string("(") + std::to_string(tab) + ",1)(11,1)(0,1)")
            << "tab box " << tab;
    }
}

TEST(CheckBoxRules, TickingHideBuiltInTabsWithNoTabTicksAllEightClearsLeftAndTicksClassic)
{
    RecordedRules r;
    r.Start(Ticked({0, 1, 2}));
    r.rules.Set(11, 1);
    // Home's rule clears Left at once, nested, before box 11 goes on with box 4.
    EXPECT_EQ(Show(r.changes), "(11,1)(3,1)(1,0)(4,1)(5,1)(6,1)(7,1)(8,1)(9,1)(10,1)");
    EXPECT_EQ(r.rules.States(), Ticked({0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

    RecordedRules fromNothing;
    fromNothing.rules.Set(11, 1);
    EXPECT_EQ(Show(fromNothing.changes), "(11,1)(3,1)(0,1)(4,1)(5,1)(6,1)(7,1)(8,1)(9,1)(10,1)");
}

TEST(CheckBoxRules, TickingHideBuiltInTabsWithATabAlreadyTickedKeepsTheTabs)
{
    // Home ticked alone leaves box 11 clear, as a window restored from "Home" = 1 shows it.
    RecordedRules r;
    r.Start(Ticked({0, 2, 3}));
    r.rules.Set(11, 1);
    EXPECT_EQ(Show(r.changes), "(11,1)");
}

TEST(CheckBoxRules, ClearingHideBuiltInTabsClearsTheTabBoxesButClearingATabDoesNothingMore)
{
    RecordedRules r;
    r.Start(Ticked({0, 3, 5, 8, 11}));
    r.rules.Set(5, 0);
    EXPECT_EQ(Show(r.changes), "(5,0)");

    r.changes.clear();
    r.rules.Set(11, 0);
    EXPECT_EQ(Show(r.changes), "(11,0)(3,0)(8,0)");
    EXPECT_EQ(r.rules.States(), Ticked({0}));
}

TEST(CheckBoxRules, SettingTheStateABoxHasDoesNothing)
{
    RecordedRules r;
    r.Start(Ticked({0, 1, 2}));
    for (int box = 0; box < CheckBoxRules::kBoxCount; ++box) r.rules.Set(box, r.rules.State(box));
    EXPECT_TRUE(r.changes.empty()) << Show(r.changes);
}

TEST(CheckBoxRules, AGreyedBoxCountsAsTicked)
{
    RecordedRules r;
    r.rules.Set(6, 2);
    EXPECT_EQ(Show(r.changes), "(6,2)(11,1)(0,1)");

    // Box 0's rule ticks box 1, whose rule ticks box 0 again, nested, before box 2: going
    // from greyed to ticked is a change like any other.
    RecordedRules classic;
    classic.rules.Set(0, 2);
    EXPECT_EQ(Show(classic.changes), "(0,2)(1,1)(0,1)(2,1)");
}

TEST(CheckBoxRules, AClickTogglesAndAGreyedBoxBecomesTicked)
{
    RecordedRules r;
    r.rules.Click(2);
    EXPECT_EQ(r.rules.State(2), 1);
    r.rules.Click(2);
    EXPECT_EQ(r.rules.State(2), 0);
    r.rules.Set(7, 2);
    r.rules.Click(7);
    EXPECT_EQ(r.rules.State(7), 1);
}

TEST(CheckBoxRules, RefusesStatesAndBoxesThatDoNotExistWithoutChangingAnything)
{
    RecordedRules r;
    r.Start(Ticked({0, 1, 2}));
    for (int state : {3, -1, 32767}) {
        try {
            r.rules.Set(1, state);
            ADD_FAILURE() << "state " << state << " was accepted";
        } catch (const BoxStateError& error) {
            EXPECT_EQ(error.State(), state);
        }
    }
    EXPECT_THROW(r.rules.Set(12, 1), std::out_of_range);
    EXPECT_THROW(r.rules.Set(-1, 1), std::out_of_range);
    EXPECT_THROW(r.rules.Click(12), std::out_of_range);
    EXPECT_TRUE(r.changes.empty()) << Show(r.changes);
    EXPECT_EQ(r.rules.States(), Ticked({0, 1, 2}));
}

} // namespace
} // namespace cornice
