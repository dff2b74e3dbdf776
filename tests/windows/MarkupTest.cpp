// The stand-in's XML reader: it must refuse what Excel refuses before it reads a ribbon, and
// find controls the way --click needs.
#include "Markup.h"

#include <gtest/gtest.h>

#include <string>

namespace cornice::markup {
namespace {

TEST(Markup, ReadsElementsAttributesAndReferences)
{
    const Element root = Parse(
        L"<?xml version=\"1.0\"?>\n<!-- ribbon --><customUI xmlns=\"urn:x\" >"
        L"<tab id='t' label=\"A &amp; B &#x41;&#66;\"><button id=\"b\" onAction=\"Go\"/>text<![CDATA[<x>]]></tab>"
        L"</customUI >\n");
    EXPECT_EQ(root.name, L"customUI");
    ASSERT_EQ(root.children.size(), 1u);
    const Element& tab = root.children[0];
    ASSERT_NE(tab.Attribute(L"label"), nullptr);
    EXPECT_EQ(*tab.Attribute(L"label"), L"A & B AB");
    EXPECT_EQ(tab.Attribute(L"missing"), nullptr);
    const Element* button = FindById(root, L"b");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(*button->Attribute(L"onAction"), L"Go");
    EXPECT_EQ(FindById(root, L"B"), nullptr) << "ids are case-sensitive";
}

TEST(Markup, RefusesWhatIsNotWellFormed)
{
    const wchar_t* cases[] = {
        L"",
        L"   ",
        L"<a>",
        L"<a></b>",
        L"<a><b></a></b>",
        L"<a x=\"1\" x=\"2\"/>",
        L"<a x=1/>",
        L"<a x=\"1\"y=\"2\"/>",
        L"<a x=\"<\"/>",
        L"<a>&nbsp;</a>",
        L"<a>& </a>",
        L"<a>&#0;</a>",
        L"<a/><b/>",
        L"text<a/>",
        L"<a/>text",
        L"<!DOCTYPE a><a/>",
        L"<a><!-- -- --></a>",
        L"<a>]]></a>",
        L"<1a/>",
        L"<a/><?xml version=\"1.0\"?>",
        L"<a>\x01</a>",
        L"<a>\xD800</a>",
    };
    for (const wchar_t* text : cases) EXPECT_THROW(Parse(text), MarkupError) << "accepted: " << testing::PrintToString(std::wstring(text));
}

TEST(Markup, RefusesNestingDeepEnoughToExhaustTheStack)
{
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"<a>";
    EXPECT_THROW(Parse(deep), MarkupError);
}

TEST(Markup, OutlineShowsContainersCountsControlsAndNamesCallbacks)
{
    const Element root = Parse(
        LR"(<customUI><ribbon><tabs><tab id="Menus" label="Classic" insertBeforeMso="TabHome">)"
        LR"(<group id="g" label="Tools panel"><menu id="m" label="Help"><control idMso="Help"/>)"
        LR"(<menuSeparator id="s"/><button id="u" label="Uninstall" onAction="Uninstall0"/></menu>)"
        LR"(</group></tab></tabs></ribbon></customUI>)");
    EXPECT_EQ(Outline(root),
              L"customUI\n"
              L"  ribbon\n"
              L"    tabs\n"
              L"      tab \"Classic\" id=Menus insertBeforeMso=TabHome\n"
              L"        group \"Tools panel\" id=g\n"
              L"          menu \"Help\" id=m: 2 controls\n"
              L"            button \"Uninstall\" id=u onAction=Uninstall0\n");
}

} // namespace
} // namespace cornice::markup
