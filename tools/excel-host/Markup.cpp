#include "Markup.h"

#include <algorithm>
#include <cstdint>

namespace cornice::markup {
namespace {

constexpr int kDeepest = 256;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

bool IsNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':' ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

bool IsNameChar(wchar_t c)
{
    return IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.' || c == 0xB7;
}

class Reader {
public:
    explicit Reader(std::wstring_view text) : text_(text) {}

    Element Document()
    {
        if (Starts(L"\uFEFF")) ++pos_;
        if (Starts(L"<?xml") && pos_ + 5 < text_.size() && IsSpace(text_[pos_ + 5])) SkipPast(L"?>", "an unclosed XML declaration");
        Misc();
        if (Starts(L"<!DOCTYPE")) Fail("a document type declaration, which a ribbon document never has");
        if (!Starts(L"<")) Fail(AtEnd() ? "no root element" : "text before the root element");
        Element root = ElementAt(0);
        Misc();
        if (!AtEnd()) Fail("content after the root element");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& reason) const { throw MarkupError(pos_, reason); }
    bool AtEnd() const { return pos_ >= text_.size(); }
    bool Starts(std::wstring_view s) const { return text_.substr(pos_, s.size()) == s; }
    void SkipSpace()
    {
        while (!AtEnd() && IsSpace(text_[pos_])) ++pos_;
    }
    void Expect(std::wstring_view s, const char* what)
    {
        if (!Starts(s)) Fail(std::string("expected ") + what);
        pos_ += s.size();
    }
    // Moves past `end`; everything before it must be XML characters.
    std::wstring_view SkipPast(std::wstring_view end, const char* unclosed)
    {
        const std::size_t found = text_.find(end, pos_);
        if (found == std::wstring_view::npos) Fail(unclosed);
        const std::size_t start = pos_;
        while (pos_ < found) CharAt();
        pos_ = found + end.size();
        return text_.substr(start, found - start);
    }

    // One XML character (a surrogate pair counts as one), appended to `out` when given.
    void CharAt(std::wstring* out = nullptr)
    {
        const wchar_t c = text_[pos_];
        const auto u = static_cast<std::uint32_t>(c);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (pos_ + 1 >= text_.size() || text_[pos_ + 1] < 0xDC00 || text_[pos_ + 1] > 0xDFFF)
                Fail("a lone surrogate");
            if (out) out->append(text_.substr(pos_, 2));
            pos_ += 2;
            return;
        }
        const bool valid = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) ||
                           (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
        if (!valid) Fail("a character that XML does not allow");
        if (out) out->push_back(c);
        ++pos_;
    }

    void Misc()
    {
        for (;;) {
            SkipSpace();
            if (Starts(L"<!--")) Comment();
            else if (Starts(L"<?")) ProcessingInstruction();
            else return;
        }
    }
    void Comment()
    {
        pos_ += 4;
        const std::wstring_view body = SkipPast(L"-->", "an unclosed comment");
        if (body.find(L"--") != std::wstring_view::npos || (!body.empty() && body.back() == L'-'))
            Fail("\"--\" inside a comment");
    }
    void ProcessingInstruction()
    {
        pos_ += 2;
        const std::wstring target = Name();
        if (target.size() == 3 && (target[0] | 0x20) == L'x' && (target[1] | 0x20) == L'm' && (target[2] | 0x20) == L'l')
            Fail("an XML declaration that is not at the start");
        SkipPast(L"?>", "an unclosed processing instruction");
    }

    std::wstring Name()
    {
        if (AtEnd() || !IsNameStart(text_[pos_])) Fail("expected a name");
        const std::size_t start = pos_;
        while (!AtEnd() && IsNameChar(text_[pos_])) ++pos_;
        return std::wstring(text_.substr(start, pos_ - start));
    }

    void Reference(std::wstring& out)
    {
        ++pos_; // '&'
        const std::size_t semicolon = text_.find(L';', pos_);
        if (semicolon == std::wstring_view::npos || semicolon - pos_ > 12) Fail("an unfinished reference (a bare \"&\")");
        const std::wstring_view name = text_.substr(pos_, semicolon - pos_);
        static constexpr std::pair<std::wstring_view, wchar_t> kEntities[] = {
            {L"lt", L'<'}, {L"gt", L'>'}, {L"amp", L'&'}, {L"quot", L'"'}, {L"apos", L'\''}};
        for (const auto& [entity, c] : kEntities) {
            if (name == entity) {
                out.push_back(c);
                pos_ = semicolon + 1;
                return;
            }
        }
        if (name.size() < 2 || name[0] != L'#') Fail("an undefined entity");
        const bool hex = name[1] == L'x';
        const std::wstring_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) Fail("an empty character reference");
        std::uint32_t code = 0;
        for (wchar_t d : digits) {
            int value = -1;
            if (d >= L'0' && d <= L'9') value = d - L'0';
            else if (hex && d >= L'a' && d <= L'f') value = d - L'a' + 10;
            else if (hex && d >= L'A' && d <= L'F') value = d - L'A' + 10;
            if (value < 0) Fail("a malformed character reference");
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
            if (code > 0x10FFFF) Fail("a character reference beyond Unicode");
        }
        const bool valid = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                           (code >= 0xE000 && code <= 0xFFFD) || code >= 0x10000;
        if (!valid) Fail("a character reference to a character that XML does not allow");
        if (code >= 0x10000 && sizeof(wchar_t) == 2) {
            code -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(code));
        }
        pos_ = semicolon + 1;
    }

    std::wstring AttributeValue()
    {
        if (AtEnd() || (text_[pos_] != L'"' && text_[pos_] != L'\'')) Fail("an attribute value without quotes");
        const wchar_t quote = text_[pos_++];
        std::wstring value;
        for (;;) {
            if (AtEnd()) Fail("an unclosed attribute value");
            const wchar_t c = text_[pos_];
            if (c == quote) break;
            if (c == L'<') Fail("\"<\" inside an attribute value");
            if (c == L'&') Reference(value);
            else CharAt(&value);
        }
        ++pos_;
        return value;
    }

    Element ElementAt(int depth)
    {
        if (depth >= kDeepest) Fail("elements nested too deeply");
        ++pos_; // '<'
        Element element;
        element.name = Name();
        for (;;) {
            const bool spaced = !AtEnd() && IsSpace(text_[pos_]);
            SkipSpace();
            if (Starts(L"/>")) {
                pos_ += 2;
                return element;
            }
            if (Starts(L">")) {
                ++pos_;
                break;
            }
            if (!spaced) Fail("attributes must be separated by white space");
            std::wstring name = Name();
            SkipSpace();
            Expect(L"=", "\"=\" after an attribute name");
            SkipSpace();
            std::wstring value = AttributeValue();
            if (element.Attribute(name)) Fail("an attribute given twice");
            element.attributes.emplace_back(std::move(name), std::move(value));
        }
        std::wstring ignoredText;
        for (;;) {
            if (AtEnd()) Fail("an element that is never closed");
            if (Starts(L"</")) {
                pos_ += 2;
                if (Name() != element.name) Fail("an end tag that does not match its start tag");
                SkipSpace();
                Expect(L">", "\">\" to end the end tag");
                return element;
            }
            if (Starts(L"<!--")) Comment();
            else if (Starts(L"<![CDATA[")) {
                pos_ += 9;
                SkipPast(L"]]>", "an unclosed CDATA section");
            } else if (Starts(L"<?")) ProcessingInstruction();
            else if (Starts(L"<")) element.children.push_back(ElementAt(depth + 1));
            else if (Starts(L"&")) Reference(ignoredText);
            else if (Starts(L"]]>")) Fail("\"]]>\" in text");
            else CharAt();
        }
    }

    std::wstring_view text_;
    std::size_t pos_ = 0;
};

bool IsContainer(const Element& element)
{
    static constexpr std::wstring_view kContainers[] = {
        L"customUI", L"ribbon", L"tabs", L"tab", L"group", L"box", L"menu", L"buttonGroup",
        L"splitButton", L"dynamicMenu", L"contextualTabs", L"tabSet", L"qat", L"sharedControls",
        L"documentControls", L"officeMenu",
    };
    return std::find(std::begin(kContainers), std::end(kContainers), element.name) != std::end(kContainers);
}

// label "X", the id or idMso, and the attributes that change where or whether it shows.
std::wstring Describe(const Element& element)
{
    std::wstring line = element.name;
    if (const std::wstring* label = element.Attribute(L"label")) line += L" \"" + *label + L"\"";
    for (const wchar_t* name : {L"id", L"idMso", L"insertBeforeMso", L"insertAfterMso", L"visible",
                                L"startFromScratch", L"enabled", L"onAction"}) {
        if (const std::wstring* value = element.Attribute(name)) line += L" " + std::wstring(name) + L"=" + *value;
    }
    return line;
}

void OutlineOf(const Element& element, int depth, std::wstring& out)
{
    const std::wstring indent(static_cast<std::size_t>(depth) * 2, L' ');
    std::size_t plain = 0;
    std::wstring callbacks;
    for (const Element& child : element.children) {
        if (IsContainer(child)) continue;
        if (child.Attribute(L"onAction")) callbacks += indent + L"  " + Describe(child) + L"\n";
        else ++plain;
    }
    out += indent + Describe(element);
    if (plain) out += L": " + std::to_wstring(plain) + (plain == 1 ? L" control" : L" controls");
    out += L"\n";
    for (const Element& child : element.children) {
        if (IsContainer(child)) OutlineOf(child, depth + 1, out);
    }
    out += callbacks;
}

} // namespace

const std::wstring* Element::Attribute(std::wstring_view attributeName) const
{
    for (const auto& [name, value] : attributes)
        if (name == attributeName) return &value;
    return nullptr;
}

MarkupError::MarkupError(std::size_t offset, const std::string& reason)
    : std::runtime_error("not well-formed XML at character " + std::to_string(offset) + ": " + reason), offset_(offset)
{
}

Element Parse(std::wstring_view document) { return Reader(document).Document(); }

const Element* FindById(const Element& root, std::wstring_view id)
{
    if (const std::wstring* value = root.Attribute(L"id"); value && *value == id) return &root;
    for (const Element& child : root.children)
        if (const Element* found = FindById(child, id)) return found;
    return nullptr;
}

std::wstring Outline(const Element& root)
{
    std::wstring out;
    OutlineOf(root, 0, out);
    return out;
}

} // namespace cornice::markup
