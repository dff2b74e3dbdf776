#include "AboutOpening.h"
#include "AboutPointer.h"
#include "AddInIdentity.h"

#include "Utf8.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cornice::about {
namespace {

// The window as a log of what the opening steps ask of it, with a switch per step to fail.
struct FakeWindow final : AboutWindowActions {
    std::vector<std::wstring> log;
    std::set<std::wstring> failing;
    bool handPointerPresent = false;
    bool loaded = false;
    bool shown = false;

    void Do(const std::wstring& line, const std::wstring& name)
    {
        log.push_back(line);
        if (failing.count(name)) throw std::runtime_error("The window refused " + ToUtf8(name) + ".");
    }

    std::wstring ProgramFolder() override { return L"C:\\Program Files\\Cornice"; }
    bool FileExists(const std::wstring& path) override
    {
        Do(L"exists " + path, L"exists");
        return handPointerPresent;
    }
    bool IsLoaded() const override { return loaded; }
    void Build() override
    {
        Do(L"build", L"build");
        loaded = true;
    }
    void Unload() noexcept override
    {
        log.push_back(L"unload");
        loaded = shown = false;
    }
    void ApplySkin() override { Do(L"skin", L"skin"); }
    void SetCaption(const std::wstring& caption) override { Do(L"caption " + caption, L"caption"); }
    void SetTitleLabel(const std::wstring& text) override { Do(L"title " + text, L"title"); }
    void SetVersionLabel(const std::wstring& text) override { Do(L"version " + text, L"version"); }
    void LoadCustomPointer(const std::wstring& path) override { Do(L"pointer " + path, L"pointer"); }
    void Show() override
    {
        Do(L"show", L"show");
        shown = true;
    }

    // The user closes the on-screen window; the window object stays.
    void CloseByUser()
    {
        log.push_back(L"closed");
        loaded = shown = false;
    }
};

constexpr VersionNumbers kVersion{7, 0, 0};

std::vector<std::wstring> Lines(std::initializer_list<const wchar_t*> lines) { return {lines.begin(), lines.end()}; }

const std::vector<std::wstring> kLoadStep = Lines({
    L"build",
    L"skin",
    L"caption About Architrave",
    L"version Version 7.0.0",
    L"title Architrave",
});

std::vector<std::wstring> Concat(std::vector<std::wstring> a, const std::vector<std::wstring>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(AboutTexts, VersionLineAndTitle)
{
    EXPECT_EQ(VersionLine({7, 0, 0}), L"Version 7.0.0");
    EXPECT_EQ(VersionLine({12, 3, 4567}), L"Version 12.3.4567");
    EXPECT_EQ(VersionLine({65535, 65535, 65535}), L"Version 65535.65535.65535");
    EXPECT_EQ(ApplicationTitle(L"Architrave"), L"Architrave");
    // The uninstall message's caption rule: the first 39 characters.
    const std::wstring forty = L"0123456789012345678901234567890123456789";
    EXPECT_EQ(ApplicationTitle(forty), forty.substr(0, 39));
    EXPECT_EQ(ApplicationTitle(forty.substr(0, 39)), forty.substr(0, 39));
    EXPECT_EQ(ApplicationTitle(L""), L"");
}

TEST(AboutOpening, FirstOpeningLoadsBeforeThePointerAndEndsWithTheDescriptiveName)
{
    for (const bool hand : {true, false}) {
        FakeWindow window;
        window.handPointerPresent = hand;
        AboutOpening about(window, L"Architrave", kVersion);
        about.Show();

        std::vector<std::wstring> expected = {L"exists C:\\Program Files\\Cornice\\HAND-M.CUR"};
        expected = Concat(expected, kLoadStep);
        if (hand) expected.push_back(L"pointer C:\\Program Files\\Cornice\\HAND-M.CUR");
        expected.push_back(L"caption Architrave");
        expected.push_back(L"show");
        EXPECT_EQ(window.log, expected) << "hand pointer file present: " << hand;
        EXPECT_TRUE(about.OpenedBefore());
    }
}

// Texts given while the window is open wait for its next filling.
TEST(AboutOpening, TheLoadStepComposesTheTextsItWasGiven)
{
    FakeWindow window;
    AboutOpening about(window, L"Architrave", kVersion);
    about.Show();
    about.SetTexts({L"Info über %1", L"Version %1 (de)"});
    window.log.clear();
    about.Show();
    EXPECT_EQ(window.log, Lines({L"show"}));
    window.CloseByUser();
    window.log.clear();
    about.Show();
    EXPECT_EQ(window.log, Lines({L"build", L"skin", L"caption Info über Architrave", L"version Version 7.0.0 (de)",
                                 L"title Architrave", L"show"}));
}

TEST(AboutOpening, ASecondCallWhileOpenShowsTheSameWindowAgain)
{
    FakeWindow window;
    AboutOpening about(window, L"Architrave", kVersion);
    about.Show();
    window.log.clear();
    about.Show();
    about.Show();
    EXPECT_EQ(window.log, Lines({L"show", L"show"}));
}

TEST(AboutOpening, ReopeningAfterCloseRunsTheLoadStepOnly)
{
    FakeWindow window;
    window.handPointerPresent = true;
    AboutOpening about(window, L"Architrave", kVersion);
    about.Show();
    for (int round = 0; round < 2; ++round) {
        window.CloseByUser();
        window.log.clear();
        about.Show();
        EXPECT_EQ(window.log, Concat(kLoadStep, Lines({L"show"}))) << "round " << round;
    }
}

TEST(AboutOpening, AFailedLoadStepReachesTheCallerAndLeavesNothingBehind)
{
    for (const wchar_t* step : {L"build", L"skin", L"caption", L"version", L"title"}) {
        FakeWindow window;
        window.failing = {step};
        AboutOpening about(window, L"Architrave", kVersion);
        EXPECT_THROW(about.Show(), std::runtime_error) << ToUtf8(step);
        EXPECT_EQ(window.log.back(), L"unload") << ToUtf8(step);
        EXPECT_FALSE(window.loaded);
        EXPECT_FALSE(window.shown);
        // Not opened before: the next call is a first opening again, caption and all.
        EXPECT_FALSE(about.OpenedBefore()) << ToUtf8(step);
        window.failing.clear();
        window.log.clear();
        about.Show();
        EXPECT_EQ(window.log.front(), L"exists C:\\Program Files\\Cornice\\HAND-M.CUR");
        EXPECT_EQ(window.log.at(window.log.size() - 2), L"caption Architrave");
    }
}

TEST(AboutOpening, AFailedReopeningIsRetriedAsAReopening)
{
    FakeWindow window;
    AboutOpening about(window, L"Architrave", kVersion);
    about.Show();
    window.CloseByUser();
    window.failing = {L"skin"};
    EXPECT_THROW(about.Show(), std::runtime_error);
    EXPECT_FALSE(window.loaded);
    window.failing.clear();
    window.log.clear();
    about.Show();
    EXPECT_EQ(window.log, Concat(kLoadStep, Lines({L"show"})));
}

TEST(AboutOpening, APointerFileThatIsNoCursorLeavesTheArrowAndTheWindowOpens)
{
    FakeWindow window;
    window.handPointerPresent = true;
    window.failing = {L"pointer"};
    AboutOpening about(window, L"Architrave", kVersion);
    about.Show();
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(window.log.at(window.log.size() - 2), L"caption Architrave");
}

TEST(AboutOpening, AFailedFirstCaptionUnloadsTheWindowEvenAfterItWasFilled)
{
    FakeWindow window;
    // The filling caption succeeds; only the descriptive one fails.
    struct FailSecondCaption final : AboutWindowActions {
        FakeWindow& inner;
        int captions = 0;
        explicit FailSecondCaption(FakeWindow& w) : inner(w) {}
        std::wstring ProgramFolder() override { return inner.ProgramFolder(); }
        bool FileExists(const std::wstring& p) override { return inner.FileExists(p); }
        bool IsLoaded() const override { return inner.IsLoaded(); }
        void Build() override { inner.Build(); }
        void Unload() noexcept override { inner.Unload(); }
        void ApplySkin() override { inner.ApplySkin(); }
        void SetCaption(const std::wstring& c) override
        {
            if (++captions == 2) throw std::runtime_error("no caption");
            inner.SetCaption(c);
        }
        void SetTitleLabel(const std::wstring& t) override { inner.SetTitleLabel(t); }
        void SetVersionLabel(const std::wstring& t) override { inner.SetVersionLabel(t); }
        void LoadCustomPointer(const std::wstring& p) override { inner.LoadCustomPointer(p); }
        void Show() override { inner.Show(); }
    } failingWindow(window);
    AboutOpening failing(failingWindow, L"Architrave", kVersion);
    EXPECT_THROW(failing.Show(), std::runtime_error);
    EXPECT_FALSE(window.loaded);
    EXPECT_FALSE(failing.OpenedBefore());
}

TEST(AboutPointer, FollowsTheTableOfHoverEffects)
{
    using P = MousePointer;
    struct Case {
        PointerArea area;
        PointerState before;
        PointerState after;
    };
    const Case cases[] = {
        // Over the link: underline on, the custom pointer, whatever was before, hourglass too.
        {PointerArea::Link, {P::Default, false}, {P::Custom, true}},
        {PointerArea::Link, {P::Hourglass, false}, {P::Custom, true}},
        {PointerArea::Link, {P::Custom, true}, {P::Custom, true}},
        // Over the free area: underline off, the default pointer unless it is the hourglass.
        {PointerArea::FreeArea, {P::Custom, true}, {P::Default, false}},
        {PointerArea::FreeArea, {P::Default, true}, {P::Default, false}},
        {PointerArea::FreeArea, {P::Hourglass, true}, {P::Hourglass, false}},
        // Over the button: the custom pointer unless it is the hourglass; the underline stays.
        {PointerArea::OkButton, {P::Default, true}, {P::Custom, true}},
        {PointerArea::OkButton, {P::Default, false}, {P::Custom, false}},
        {PointerArea::OkButton, {P::Hourglass, false}, {P::Hourglass, false}},
        // Over the other labels nothing changes.
        {PointerArea::Other, {P::Custom, false}, {P::Custom, false}},
        {PointerArea::Other, {P::Hourglass, true}, {P::Hourglass, true}},
        {PointerArea::Other, {P::Default, true}, {P::Default, true}},
    };
    for (const Case& c : cases) {
        const PointerState after = PointerMovedOver(c.area, c.before);
        EXPECT_EQ(after, c.after) << "area " << static_cast<int>(c.area) << " from pointer "
                                  << static_cast<int>(c.before.pointer) << "/" << c.before.linkUnderlined
                                  << ": got " << static_cast<int>(after.pointer) << "/" << after.linkUnderlined;
    }
}

TEST(AboutPointer, TheLinkIsUnderlinedUntilTheMouseFirstCrossesTheFreeArea)
{
    PointerState state;
    EXPECT_TRUE(state.linkUnderlined);
    EXPECT_EQ(state.pointer, MousePointer::Default);
    state = PointerMovedOver(PointerArea::OkButton, state);
    state = PointerMovedOver(PointerArea::Other, state);
    EXPECT_TRUE(state.linkUnderlined);
    state = PointerMovedOver(PointerArea::FreeArea, state);
    EXPECT_FALSE(state.linkUnderlined);
    state = PointerMovedOver(PointerArea::Link, state);
    EXPECT_TRUE(state.linkUnderlined);
}

} // namespace
} // namespace cornice::about
