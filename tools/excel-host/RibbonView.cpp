#include "RibbonView.h"

#include <algorithm>
#include <cwctype>
#include <set>
#include <stdexcept>

namespace cornice::host {
namespace {

using markup::Element;

const std::wstring* Attribute(const Element& element, const wchar_t* name) { return element.Attribute(name); }

ViewItem Separator()
{
    ViewItem item;
    item.kind = ViewItem::Kind::Separator;
    return item;
}

ViewItem Named(const std::wstring& label)
{
    ViewItem item;
    item.label = label;
    return item;
}

std::wstring AttributeOr(const Element& element, const wchar_t* name)
{
    const std::wstring* value = Attribute(element, name);
    return value ? *value : std::wstring();
}

bool Blank(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == L' ' || c == L'\t'; });
}

// The document's label, else what a tooltip would say, else the name of Excel's control.
std::wstring LabelOf(const Element& element)
{
    for (const wchar_t* name : {L"label", L"screentip"})
        if (const std::wstring* text = Attribute(element, name); text && !Blank(*text)) return *text;
    for (const wchar_t* name : {L"idMso", L"imageMso"})
        if (const std::wstring* text = Attribute(element, name); text && !text->empty()) return WordsOf(*text);
    return AttributeOr(element, L"id");
}

// The blank, switched-off buttons that space out a row of the ribbon.
bool IsSpacer(const Element& element)
{
    const std::wstring* label = Attribute(element, L"label");
    return element.name == L"button" && label && Blank(*label) && AttributeOr(element, L"enabled") == L"false" &&
           !Attribute(element, L"onAction");
}

void Append(std::vector<ViewItem>& items, ViewItem item)
{
    // No separator first, last or twice in a row: Office draws none there either.
    if (item.kind == ViewItem::Kind::Separator && (items.empty() || items.back().kind == ViewItem::Kind::Separator))
        return;
    items.push_back(std::move(item));
}

void Trim(std::vector<ViewItem>& items)
{
    while (!items.empty() && items.back().kind == ViewItem::Kind::Separator) items.pop_back();
}

void AddItems(const Element& parent, std::vector<ViewItem>& items);

void AddItem(const Element& element, std::vector<ViewItem>& items)
{
    const std::wstring& name = element.name;
    if (name == L"buttonGroup" || name == L"box") {
        // A group of buttons stands apart from its neighbours.
        Append(items, Separator());
        AddItems(element, items);
        Append(items, Separator());
        return;
    }
    if (name == L"menuSeparator" || name == L"separator" || IsSpacer(element)) {
        Append(items, Separator());
        return;
    }
    ViewItem item;
    item.label = LabelOf(element);
    item.id = AttributeOr(element, L"id");
    item.idMso = AttributeOr(element, L"idMso");
    item.onAction = AttributeOr(element, L"onAction");
    item.supertip = AttributeOr(element, L"supertip");
    for (wchar_t& c : item.supertip)
        if (c == L'\r') c = L'\n';
    item.keytip = AttributeOr(element, L"keytip");
    item.enabled = AttributeOr(element, L"enabled") != L"false";
    if (name == L"menu" || name == L"dynamicMenu") {
        item.kind = ViewItem::Kind::Menu;
        if (name == L"dynamicMenu") item.getContent = AttributeOr(element, L"getContent");
        AddItems(element, item.children);
        Trim(item.children);
    } else if (name == L"splitButton") {
        // Its button does the work, its menu offers the rest: shown as the menu, led by the button.
        item.kind = ViewItem::Kind::Menu;
        for (const Element& child : element.children) {
            if (child.name == L"menu") {
                AddItems(child, item.children);
            } else {
                if (item.label == item.id) item.label = LabelOf(child);
                AddItem(child, item.children);
            }
        }
        Trim(item.children);
    } else if (name == L"comboBox" || name == L"dropDown") {
        item.kind = ViewItem::Kind::Field;
    } else if (name == L"editBox") {
        item.kind = ViewItem::Kind::EditBox;
        item.getText = AttributeOr(element, L"getText");
        item.onChange = AttributeOr(element, L"onChange");
        item.sizeString = AttributeOr(element, L"sizeString");
    } else {
        item.kind = ViewItem::Kind::Command;
    }
    Append(items, std::move(item));
}

void AddItems(const Element& parent, std::vector<ViewItem>& items)
{
    for (const Element& child : parent.children) AddItem(child, items);
}

ViewRow MakeRow(std::vector<ViewItem> items)
{
    Trim(items);
    ViewRow row;
    row.menuBar = !items.empty() && std::all_of(items.begin(), items.end(), [](const ViewItem& item) {
        return item.kind == ViewItem::Kind::Menu || item.kind == ViewItem::Kind::Separator;
    });
    if (row.menuBar) {
        // A menu bar has no gaps of its own.
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [](const ViewItem& item) { return item.kind == ViewItem::Kind::Separator; }),
                    items.end());
    }
    row.items = std::move(items);
    return row;
}

void CollectTabs(const Element& element, std::vector<TabView>& tabs)
{
    if (element.name == L"tab") {
        if (!Attribute(element, L"id")) return; // one of Excel's tabs, changed but not added
        TabView tab;
        tab.label = LabelOf(element);
        for (const Element& group : element.children) {
            if (group.name != L"group") continue;
            tab.groups.push_back(LabelOf(group));
            std::vector<ViewItem> loose;
            for (const Element& child : group.children) {
                if (child.name == L"box") {
                    if (!loose.empty()) tab.rows.push_back(MakeRow(std::move(loose)));
                    loose.clear();
                    std::vector<ViewItem> items;
                    AddItems(child, items);
                    tab.rows.push_back(MakeRow(std::move(items)));
                } else {
                    AddItem(child, loose);
                }
            }
            if (!loose.empty()) tab.rows.push_back(MakeRow(std::move(loose)));
        }
        tabs.push_back(std::move(tab));
        return;
    }
    for (const Element& child : element.children) CollectTabs(child, tabs);
}

// ---------------------------------------------------------------------------------------------
// Text

// Items that have the same entries as another menu are that menu again (the "All" menu).
std::wstring Signature(const ViewItem& item)
{
    std::wstring text = item.label + L"{";
    for (const ViewItem& child : item.children) text += Signature(child) + L";";
    return text + L"}";
}

std::wstring Token(const ViewItem& item)
{
    std::wstring text = item.label;
    if (item.kind == ViewItem::Kind::Field || item.kind == ViewItem::Kind::EditBox) text = L"[" + text + L"]";
    if (item.kind == ViewItem::Kind::Menu) text += L" \u25B8";
    if (!item.keytip.empty()) text += L" (keytip " + item.keytip + L")";
    if (!item.getText.empty()) text += L" (text from " + item.getText + L")";
    if (!item.onChange.empty()) text += L" (Enter calls " + item.onChange + L")";
    if (!item.getContent.empty()) text += L" (entries from " + item.getContent + L")";
    if (!item.onAction.empty()) text += L" (calls " + item.onAction + L")";
    if (!item.enabled) text += L" (off)";
    return text;
}

// "head" followed by the items, wrapped at `width` under the first item; a line that breaks at
// a separator takes the bar along to the next line.
void WriteLine(std::wstring& out, const std::wstring& head, const std::vector<ViewItem>& items, std::size_t width)
{
    std::wstring line = head;
    const std::wstring continuation(head.size(), L' ');
    bool first = true;
    bool separator = false;
    for (const ViewItem& item : items) {
        if (item.kind == ViewItem::Kind::Separator) {
            separator = !first;
            continue;
        }
        const std::wstring token = Token(item);
        const std::wstring joint = first ? L"" : separator ? L" | " : L", ";
        if (!first && line.size() + joint.size() + token.size() > width) {
            out += line + (separator ? L"" : L",") + L"\n";
            line = continuation + (separator ? L"| " : L"") + token;
        } else {
            line += joint + token;
        }
        first = false;
        separator = false;
    }
    out += line + L"\n";
}

void WriteMenus(std::wstring& out, const std::vector<ViewItem>& items, const std::wstring& indent,
                const std::set<std::wstring>& shownElsewhere, std::size_t width)
{
    for (const ViewItem& item : items) {
        // A dynamic menu's entries exist only once it opens.
        if (item.kind != ViewItem::Kind::Menu || !item.getContent.empty() || shownElsewhere.count(Signature(item)))
            continue;
        WriteLine(out, indent + item.label + L": ", item.children, width);
        WriteMenus(out, item.children, indent + L"  ", shownElsewhere, width);
    }
}

void WriteTips(std::wstring& out, const std::vector<ViewItem>& items, std::set<std::wstring>& written)
{
    for (const ViewItem& item : items) {
        const std::wstring& name = item.idMso.empty() ? item.id : item.idMso;
        if (!item.supertip.empty() && written.insert(name).second) {
            std::wstring tip = item.supertip;
            for (std::size_t at; (at = tip.find(L'\n')) != std::wstring::npos;) tip.replace(at, 1, L" / ");
            out += L"  Tip " + name + L": " + tip + L"\n";
        }
        WriteTips(out, item.children, written);
    }
}

} // namespace

std::vector<TabView> ViewTabs(const markup::Element& root)
{
    std::vector<TabView> tabs;
    CollectTabs(root, tabs);
    return tabs;
}

std::vector<ViewItem> DynamicMenuItems(std::wstring_view content)
{
    const Element menu = markup::Parse(content);
    if (menu.name != L"menu") throw std::runtime_error("the content is not a <menu>");
    const std::wstring* space = menu.Attribute(L"xmlns");
    if (!space || (*space != L"http://schemas.microsoft.com/office/2006/01/customui" &&
                   *space != L"http://schemas.microsoft.com/office/2009/07/customui"))
        throw std::runtime_error("the <menu> is not in the customUI namespace");
    std::vector<ViewItem> items;
    AddItems(menu, items);
    Trim(items);
    return items;
}

std::wstring WordsOf(std::wstring_view identifier)
{
    std::wstring words;
    const auto upper = [](wchar_t c) { return std::iswupper(c) != 0; };
    const auto lower = [](wchar_t c) { return std::iswlower(c) != 0; };
    const auto digit = [](wchar_t c) { return std::iswdigit(c) != 0; };
    for (std::size_t i = 0; i < identifier.size(); ++i) {
        const wchar_t c = identifier[i];
        if (c == L'_' || c == L'-') {
            if (!words.empty() && words.back() != L' ') words += L' ';
            continue;
        }
        if (i > 0 && !words.empty() && words.back() != L' ') {
            const wchar_t before = identifier[i - 1];
            const bool next = i + 1 < identifier.size() && lower(identifier[i + 1]);
            const bool wordStarts = (upper(c) && (lower(before) || digit(before) || (upper(before) && next))) ||
                                    (digit(c) && !digit(before)) || (!digit(c) && digit(before));
            if (wordStarts) words += L' ';
        }
        words += c;
    }
    return words;
}

std::wstring TextView(const std::vector<TabView>& tabs, std::size_t width)
{
    std::wstring out;
    for (const TabView& tab : tabs) {
        out += L"Tab \"" + tab.label + L"\"";
        for (const std::wstring& group : tab.groups) out += L", group \"" + group + L"\"";
        out += L"\n";
        int toolbar = 0;
        for (const ViewRow& row : tab.rows) {
            if (row.menuBar) {
                std::set<std::wstring> topLevel;
                for (const ViewItem& item : row.items) topLevel.insert(Signature(item));
                std::vector<ViewItem> names;
                for (const ViewItem& item : row.items) names.push_back(Named(item.label));
                WriteLine(out, L"  Menu bar: ", names, width);
                for (const ViewItem& item : row.items) {
                    WriteLine(out, L"    " + item.label + L": ", item.children, width);
                    std::set<std::wstring> others = topLevel;
                    others.erase(Signature(item));
                    WriteMenus(out, item.children, L"      ", others, width);
                }
            } else {
                WriteLine(out, L"  Toolbar " + std::to_wstring(++toolbar) + L": ", row.items, width);
                WriteMenus(out, row.items, L"    ", {}, width);
            }
        }
        std::set<std::wstring> written;
        for (const ViewRow& row : tab.rows) WriteTips(out, row.items, written);
    }
    return out;
}

} // namespace cornice::host
