#include "InMemorySettingsStore.h"

#include <gtest/gtest.h>

namespace cornice {
namespace {

TEST(InMemorySettingsStore, MissingValuesReadAsTheDefaultInDecimal)
{
    InMemorySettingsStore store;
    EXPECT_EQ(store.ReadSetting(L"Quillmark", L"Architrave", L"Classic", 1), L"1");
    EXPECT_EQ(store.ReadSetting(L"Quillmark", L"Architrave", L"Classic", -7), L"-7");
}

TEST(InMemorySettingsStore, NamesIgnoreCaseLikeTheRegistry)
{
    InMemorySettingsStore store;
    store.SaveSetting(L"Quillmark", L"Architrave", L"hide BUILT-IN tabs", L"1");
    EXPECT_EQ(store.ReadSetting(L"QUILLMARK", L"architrave", L"Hide built-in Tabs", 0), L"1");
    store.SaveSetting(L"Quillmark", L"Architrave", L"Hide built-in Tabs", L"0");
    EXPECT_EQ(store.ReadSetting(L"Quillmark", L"Architrave", L"HIDE BUILT-IN TABS", 1), L"0");
}

TEST(InMemorySettingsStore, SectionsAndApplicationsAreSeparate)
{
    InMemorySettingsStore store;
    store.SaveSetting(L"Quillmark", L"Architrave", L"Home", L"1");
    EXPECT_EQ(store.ReadSetting(L"Quillmark", L"Other", L"Home", 0), L"0");
    EXPECT_EQ(store.ReadSetting(L"Other", L"Architrave", L"Home", 0), L"0");
    EXPECT_EQ(store.ReadSetting(L"Quillmark", L"Architrave", L"Home", 0), L"1");
}

} // namespace
} // namespace cornice
