// The twelve check boxes of the settings window and the rules that tie them together.
//
// Each box holds 0 (clear), 1 (ticked) or 2 (greyed; only a stored "2" produces it). Whenever a
// box changes, its rule runs at once; a rule that sets other boxes runs their rules nested, in
// the order in which it sets them, before it goes on. Setting a box to the state it already
// has does nothing. A rule counts a box as ticked when its state is not 0, so a greyed box
// counts as ticked, and sums add the states as numbers.
//
//   box 0 (Classic)  ticked: if boxes 1-11 sum to 0, tick 1, then 2.   clear: clear 1-11.
//   box 1 (Left)     ticked: clear 3 (Home), then tick 0.
//   box 2 (All)      ticked: tick 0.
//   box 3 (Home)     ticked: clear 1 (Left), then tick 0.
//   boxes 4-10       ticked: tick 11, then tick 0.
//   box 11 (Hide built-in tabs)
//                    ticked: if boxes 3-10 sum to 0, tick 3-10, then clear 1.   clear: clear 3-10.
//
// A box an administrator set by policy is locked: it takes the policy's value once, without
// running its rule, and from then on no click and no other box's rule changes it; the rules
// of the other boxes still run, and simply leave it as it is.
//
// The settings window only mirrors this model: it shows each reported change.
#pragma once

#include <array>
#include <functional>
#include <stdexcept>

namespace cornice {

// A state other than 0, 1 and 2, which a check box cannot show.
class BoxStateError : public std::runtime_error {
public:
    explicit BoxStateError(int state);
    int State() const noexcept { return state_; }

private:
    int state_;
};

class CheckBoxRules {
public:
    static constexpr int kBoxCount = 12;
    static constexpr int kClassic = 0;
    static constexpr int kLeft = 1;
    static constexpr int kAll = 2;
    static constexpr int kHome = 3;
    static constexpr int kFirstTab = 3; // the tab boxes are 3 (Home) to 10 (Developer)
    static constexpr int kLastTab = 10;
    static constexpr int kHideBuiltInTabs = 11;

    static constexpr int kClear = 0;
    static constexpr int kTicked = 1;
    static constexpr int kGreyed = 2;

    // Told of every change, after the state has changed and before the box's rule runs.
    using ChangeListener = std::function<void(int box, int state)>;

    CheckBoxRules() = default;
    explicit CheckBoxRules(ChangeListener listener) : listener_(std::move(listener)) {}

    int State(int box) const { return states_.at(CheckedIndex(box)); }
    const std::array<int, kBoxCount>& States() const noexcept { return states_; }

    // Throws std::out_of_range for a box outside 0-11 and BoxStateError for a state outside
    // 0-2; either way nothing changes.
    void Set(int box, int state);

    // What a user's click does, as with any check box: a ticked box clears; a clear or a
    // greyed box becomes ticked.
    void Click(int box);

    // Gives a box the value a policy sets and keeps it there. Throws as Set does.
    void Lock(int box, int state);
    bool Locked(int box) const { return locked_.at(CheckedIndex(box)); }

private:
    static int CheckedIndex(int box);
    void RunRule(int box);
    int Sum(int first, int last) const;

    std::array<int, kBoxCount> states_{};
    std::array<bool, kBoxCount> locked_{};
    ChangeListener listener_;
};

} // namespace cornice
