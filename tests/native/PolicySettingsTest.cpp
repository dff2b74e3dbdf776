// Settings after Group Policy: which value wins, what the add-in builds from it, and how the
// settings window's boxes behave when a policy fixes some of them.
#include "CheckBoxRules.h"
#include "InMemorySettingsStore.h"
#include "PolicySettingsStore.h"
#include "RibbonBuilder.h"
#include "RibbonTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace cornice {
namespace {

struct Layers {
    InMemorySettingsStore user;
    InMemoryPolicySource computerPolicy, userPolicy;
    PolicySettingsStore store{user, computerPolicy, userPolicy};

    std::wstring Read(const std::wstring& key, int defaultValue = 7)
    {
        return store.ReadSetting(L"Quillmark", L"Architrave", key, defaultValue);
    }
};

TEST(PolicySettings, ComputerPolicyThenUserPolicyThenTheUsersOwnThenTheDefault)
{
    struct Case {
        std::optional<std::uint32_t> computer, user;
        const wchar_t* own;
        const wchar_t* read;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, nullptr, L"7"}, {std::nullopt, std::nullopt, L"2", L"2"},
        {std::nullopt, 1u, L"0", L"1"},              {std::nullopt, 0u, nullptr, L"0"},
        {0u, 1u, L"1", L"0"},                        {1u, 0u, L"0", L"1"},
        {5u, std::nullopt, L"0", L"1"}, // a policy is off (0) or on (anything else)
    };
    for (const Case& c : cases) {
        Layers layers;
        if (c.computer) layers.computerPolicy.Set(L"Left", *c.computer);
        if (c.user) layers.userPolicy.Set(L"left", *c.user); // keys ignore case, as in the registry
        if (c.own) layers.user.SaveSetting(L"Quillmark", L"Architrave", L"Left", c.own);
        EXPECT_EQ(layers.Read(L"LEFT"), c.read);
        EXPECT_EQ(layers.store.SetByPolicy(L"quillmark", L"ARCHITRAVE", L"Left"), c.computer || c.user);
    }
}

TEST(PolicySettings, OnlyTheSharedSettingsAreCoveredAndSavesGoToTheUsersOwn)
{
    Layers layers;
    layers.computerPolicy.Set(L"Classic", 0);
    layers.store.SaveSetting(L"Quillmark", L"Architrave", L"Classic", L"1");
    EXPECT_EQ(layers.user.ReadSetting(L"Quillmark", L"Architrave", L"Classic", 9), L"1");
    EXPECT_EQ(layers.Read(L"Classic"), L"0");
    EXPECT_EQ(layers.store.ReadSetting(L"Quillmark", L"Other", L"Classic", 9), L"9");
    EXPECT_FALSE(layers.store.SetByPolicy(L"Quillmark", L"Other", L"Classic"));
    EXPECT_FALSE(layers.store.SetByPolicy(L"Quillmark", L"Architrave", L"Left"));
}

TEST(PolicySettings, TheAddInBuildsTheDocumentFromTheSettingsAfterPolicy)
{
    Layers layers;
    test::TestHost host;
    RibbonBuilder builder(layers.store, host);
    layers.user.SaveSetting(L"Quillmark", L"Architrave", L"Left", L"0");
    EXPECT_NE(builder.GetRibbonXML().find(LR"(<tab id="Menus" label="Classic">)"), std::wstring::npos);
    layers.userPolicy.Set(L"Left", 1);
    EXPECT_NE(builder.GetRibbonXML().find(LR"(insertBeforeMso="TabHome")"), std::wstring::npos);
    layers.computerPolicy.Set(L"Classic", 0);
    layers.userPolicy.Set(L"Classic", 1);
    EXPECT_EQ(builder.GetRibbonXML(), L"");
}

TEST(CheckBoxRulesUnderPolicy, ALockedBoxKeepsItsValueWhileTheOtherRulesRun)
{
    std::vector<std::pair<int, int>> changes;
    CheckBoxRules rules([&](int box, int state) { changes.emplace_back(box, state); });
    rules.Lock(CheckBoxRules::kClassic, 0); // already 0: locked, nothing reported
    rules.Lock(CheckBoxRules::kLeft, 1);    // no rule runs: Home and Classic stay as they are
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_TRUE(rules.Locked(0) && rules.Locked(1) && !rules.Locked(3));

    rules.Click(CheckBoxRules::kHome); // would clear Left and tick Classic
    EXPECT_EQ(rules.State(CheckBoxRules::kHome), 1);
    EXPECT_EQ(rules.State(CheckBoxRules::kLeft), 1);
    EXPECT_EQ(rules.State(CheckBoxRules::kClassic), 0);
    rules.Click(CheckBoxRules::kLeft);
    rules.Set(CheckBoxRules::kClassic, 1);
    EXPECT_EQ(rules.State(CheckBoxRules::kLeft), 1);
    EXPECT_EQ(rules.State(CheckBoxRules::kClassic), 0);

    rules.Click(CheckBoxRules::kHideBuiltInTabs); // tabs already ticked (Home): clears nothing
    rules.Click(CheckBoxRules::kHideBuiltInTabs); // clears the tab boxes, as without policy
    EXPECT_EQ(rules.State(CheckBoxRules::kHome), 0);
    EXPECT_THROW(rules.Lock(CheckBoxRules::kAll, 3), BoxStateError);
    EXPECT_FALSE(rules.Locked(CheckBoxRules::kAll));
}

TEST(CheckBoxRulesUnderPolicy, HideBuiltInTabsClearsLeftItselfWhenHomeIsLockedClear)
{
    // Ticking Home would clear Left; a policy keeps Home clear, so the rule's own last step must.
    CheckBoxRules rules;
    rules.Lock(CheckBoxRules::kHome, 0);
    rules.Set(CheckBoxRules::kLeft, 1);
    rules.Click(CheckBoxRules::kHideBuiltInTabs);
    EXPECT_EQ(rules.State(CheckBoxRules::kLeft), 0);
    EXPECT_EQ(rules.State(CheckBoxRules::kHome), 0);
    EXPECT_EQ(rules.State(CheckBoxRules::kFirstTab + 1), 1);
}

} // namespace
} // namespace cornice
