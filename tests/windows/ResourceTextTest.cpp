// The string tables as built into Trellis.exe and Corbel.dll: every text of every language
// loads back exactly as its UTF-8 source writes it (windres read the source's code page and
// escapes right), and a language the product does not ship gets English.
#include "LanguageChoice.h"
#include "LocalisedText.h"
#include "StringTableSource.h"
#include "Utf8.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace cornice {
namespace {

struct Module {
    std::wstring binary;
    std::string rc, header;
};
Module g_trellis, g_corbel;

class ResourceText : public testing::TestWithParam<const Module*> {
protected:
    void SetUp() override
    {
        module_ = ::LoadLibraryExW(GetParam()->binary.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "cannot open " << ToUtf8(GetParam()->binary);
    }
    void TearDown() override
    {
        if (module_) ::FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_P(ResourceText, EveryLanguageLoadsAsItsSourceWritesIt)
{
    const test::StringTableSource source = test::ReadStringTables(GetParam()->rc, GetParam()->header);
    for (const auto& [language, texts] : source.textsByLanguage)
        for (const auto& [name, text] : texts)
            EXPECT_EQ(LoadText(module_, source.ids.at(name), language), text) << name << " in language " << language;
}

TEST_P(ResourceText, ALanguageWithoutATableGetsEnglish)
{
    const test::StringTableSource source = test::ReadStringTables(GetParam()->rc, GetParam()->header);
    const auto& english = source.textsByLanguage.at(kEnglishText);
    const auto& [name, id] = *source.ids.begin();
    EXPECT_EQ(LoadText(module_, id, 0x0413), english.at(name)) << "Dutch has no table of its own";
    EXPECT_EQ(LoadText(module_, id, TextLanguageFor(0x0816)), english.at(name)) << "nor has Portugal's Portuguese";
    EXPECT_EQ(LoadText(module_, 4000, 0x0407), L"") << "an id no table has";
}

INSTANTIATE_TEST_SUITE_P(Product, ResourceText, testing::Values(&g_trellis, &g_corbel),
                         [](const testing::TestParamInfo<const Module*>& info) {
                             return info.param == &g_trellis ? "Trellis" : "Corbel";
                         });

} // namespace
} // namespace cornice

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 7) {
        std::fprintf(stderr, "usage: resource-text-tests TRELLIS.EXE TRELLIS-TEXT.RC TRELLIS-TEXT.H "
                             "CORBEL.DLL CORBEL-TEXT.RC CORBEL-TEXT.H [gtest options]\n");
        return 2;
    }
    cornice::g_trellis = {cornice::test::WindowsPathOf(argv[1]), argv[2], argv[3]};
    cornice::g_corbel = {cornice::test::WindowsPathOf(argv[4]), argv[5], argv[6]};
    return RUN_ALL_TESTS();
}
