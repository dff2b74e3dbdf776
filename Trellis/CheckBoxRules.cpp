#include "CheckBoxRules.h"

#include <string>

namespace cornice {

BoxStateError::BoxStateError(int state)
    : std::runtime_error("A check box can only be 0 (clear), 1 (ticked) or 2 (greyed), not " +
                         std::to_string(state) + "."),
      state_(state)
{
}

int CheckBoxRules::CheckedIndex(int box)
{
    if (box < 0 || box >= kBoxCount)
        throw std::out_of_range("There is no check box " + std::to_string(box) + ".");
    return box;
}

void CheckBoxRules::Set(int box, int state)
{
    CheckedIndex(box);
    if (state < kClear || state > kGreyed) throw BoxStateError(state);
    if (states_[box] == state || locked_[box]) return;
    states_[box] = state;
    if (listener_) listener_(box, state);
    RunRule(box);
}

void CheckBoxRules::Lock(int box, int state)
{
    CheckedIndex(box);
    if (state < kClear || state > kGreyed) throw BoxStateError(state);
    locked_[box] = true;
    if (states_[box] == state) return;
    states_[box] = state;
    if (listener_) listener_(box, state);
}

void CheckBoxRules::Click(int box)
{
    Set(box, State(box) == kTicked ? kClear : kTicked);
}

int CheckBoxRules::Sum(int first, int last) const
{
    int sum = 0;
    for (int box = first; box <= last; ++box) sum += states_[box];
    return sum;
}

void CheckBoxRules::RunRule(int box)
{
    // Nested rules can change this box again before we get here; each rule looks at the state
    // the box has now, as an event handler reading the box's value would.
    const bool ticked = states_[box] != kClear;
    switch (box) {
    case kClassic:
        if (ticked) {
            if (Sum(kLeft, kHideBuiltInTabs) == 0) {
                Set(kLeft, kTicked);
                Set(kAll, kTicked);
            }
        } else {
            for (int other = kLeft; other <= kHideBuiltInTabs; ++other) Set(other, kClear);
        }
        break;
    case kLeft:
        if (ticked) {
            Set(kHome, kClear);
            Set(kClassic, kTicked);
        }
        break;
    case kAll:
        if (ticked) Set(kClassic, kTicked);
        break;
    case kHome:
        if (ticked) {
            Set(kLeft, kClear);
            Set(kClassic, kTicked);
        }
        break;
    case kHideBuiltInTabs:
        if (ticked) {
            if (Sum(kFirstTab, kLastTab) == 0) {
                for (int tab = kFirstTab; tab <= kLastTab; ++tab) Set(tab, kTicked);
                Set(kLeft, kClear);
            }
        } else {
            for (int tab = kFirstTab; tab <= kLastTab; ++tab) Set(tab, kClear);
        }
        break;
    default: // the tab boxes 4 to 10
        if (ticked) {
            Set(kHideBuiltInTabs, kTicked);
            Set(kClassic, kTicked);
        }
        break;
    }
}

} // namespace cornice
