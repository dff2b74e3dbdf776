// Every control the documents name is one of Excel's own, so that no entry silently goes missing.
#include "CommandTables.h"
#include "ControlCheck.h"
#include "ExcelPlaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <cwchar>
#include <cwctype>
#include <map>
#include <string>

namespace cornice {
namespace {

std::set<std::wstring> Release(const std::string& file)
{
    std::ifstream list(std::string(CONTROL_LISTS) + "/" + file);
    return ReadControlList(list);
}

bool IsKnownSkipped(const std::wstring& name)
{
    return std::any_of(std::begin(kKnownSkippedControls), std::end(kKnownSkippedControls),
                       [&](const KnownSkippedControl& known) { return name == known.name; });
}

TEST(ControlCheck, EveryIdMsoIsExcel2010sOrAKnownException)
{
    const std::set<std::wstring> excel2010 = Release("excel2010-idmso.txt");
    ASSERT_GT(excel2010.size(), 1500u) << "cannot read " << CONTROL_LISTS;
    const std::set<std::wstring> used = IdMsoOfEveryDocument();
    ASSERT_GT(used.size(), 200u);
    // The tabs a user may hide are idMso too, and only all documents together name all eight.
    EXPECT_TRUE(used.count(L"TabHome") && used.count(L"TabDeveloper"));

    for (const std::wstring& name : used)
        EXPECT_TRUE(excel2010.count(name) || IsKnownSkipped(name))
            << std::string(name.begin(), name.end()) << " is not one of Excel 2010's controls";

    // An exception that no document uses, or that every release knows, has outlived its reason.
    const std::set<std::wstring> releases[] = {excel2010, Release("excel2013-idmso.txt"), Release("excel2016-idmso.txt"),
                                               Release("excel2019-idmso.txt"), Release("excel365-idmso.txt")};
    for (const KnownSkippedControl& known : kKnownSkippedControls) {
        const std::string name(known.name, known.name + std::wcslen(known.name));
        EXPECT_TRUE(used.count(known.name)) << name << " is listed as an exception but no document uses it";
        EXPECT_TRUE(std::any_of(std::begin(releases), std::end(releases),
                                [&](const std::set<std::wstring>& release) { return !release.count(known.name); }))
            << name << " is listed as an exception but every release knows it";
    }
}

// The place tables are trimmed at build time to the controls the Classic tab uses: each one a
// release knows must still have its place.
TEST(ControlCheck, EveryControlAReleaseKnowsHasItsPlace)
{
    const std::set<std::wstring> used = IdMsoOfEveryDocument();
    const std::pair<PlaceList, const char*> lists[] = {{PlaceList::Excel2013, "excel2013-idmso.txt"},
                                                       {PlaceList::Excel2016, "excel2016-idmso.txt"},
                                                       {PlaceList::Excel2019, "excel2019-idmso.txt"},
                                                       {PlaceList::Excel365, "excel365-idmso.txt"}};
    for (const auto& [list, file] : lists) {
        const std::set<std::wstring> known = Release(file);
        std::size_t placed = 0;
        for (const std::wstring& name : used) {
            // The tabs a user may hide (TabHome ...) are no entries.
            if (name.rfind(L"Tab", 0) == 0 && std::iswupper(name[3])) continue;
            EXPECT_EQ(PlaceOf(list, name).has_value(), known.count(name) == 1)
                << std::string(name.begin(), name.end()) << " in " << file;
            placed += PlaceOf(list, name).has_value();
        }
        EXPECT_EQ(placed, KnownControlCount(list)) << file << ": places of controls the Classic tab does not use";
    }
}

// The search's compact tables give back each list's commands a menu can clone, with the type of
// the command's first row.
TEST(ControlCheck, CommandTablesHoldEachListsCommands)
{
    const std::map<std::wstring, std::wstring> elements = {
        {L"button", L"button"}, {L"button (dialogBoxLauncher)", L"button"}, {L"toggleButton", L"toggleButton"},
        {L"checkBox", L"checkBox"}, {L"splitButton", L"splitButton"}, {L"gallery", L"gallery"}, {L"menu", L"menu"}};
    const std::pair<PlaceList, const char*> lists[] = {{PlaceList::Excel2013, "excel2013-locations.tsv"},
                                                       {PlaceList::Excel2016, "excel2016-locations.tsv"},
                                                       {PlaceList::Excel2019, "excel2019-locations.tsv"},
                                                       {PlaceList::Excel365, "excel365-locations.tsv"}};
    for (const auto& [list, file] : lists) {
        std::ifstream rows(std::string(CONTROL_LISTS) + "/" + file);
        std::map<std::wstring, std::wstring> expected;
        for (std::string row; std::getline(rows, row);) {
            const std::size_t tab = row.find('\t');
            const std::size_t typeEnd = row.find('\t', tab + 1);
            if (row.empty() || row[0] == '#' || tab == std::string::npos) continue;
            const std::wstring type(row.begin() + tab + 1, row.begin() + typeEnd);
            const std::wstring idMso(row.begin(), row.begin() + tab);
            if (const auto element = elements.find(type); element != elements.end())
                expected.emplace(idMso, element->second);
            else if (type == L"control" && idMso == L"FormatPainter") // the one "control" that acts as a button
                expected.emplace(idMso, L"control");
        }
        ASSERT_GT(expected.size(), 1000u) << file;
        std::map<std::wstring, std::wstring> tables;
        for (const Command& command : CommandsOf(list)) tables.emplace(command.idMso, ElementOf(command.type));
        EXPECT_TRUE(tables == expected) << file << ": " << tables.size() << " commands, the list " << expected.size();
    }
}

} // namespace
} // namespace cornice
