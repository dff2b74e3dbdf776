// A strict reader of the XML that add-ins hand Excel as their ribbon, for the Excel stand-in:
// well-formedness as Excel checks it before it looks at the schema, and the element tree for
// finding a control by id. Portable; knows nothing of COM.
//
// Accepted: an optional XML declaration, comments, processing instructions, CDATA sections,
// the five predefined entities and character references, in UTF-16 or UTF-32 text.
// Refused: anything not well-formed, a document type declaration (ribbon documents have none),
// and nesting deeper than 256 elements.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cornice::markup {

struct Element {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes; // references resolved
    std::vector<Element> children;

    // The value of the attribute, or nullptr when the element has none of that name.
    const std::wstring* Attribute(std::wstring_view attributeName) const;
};

class MarkupError : public std::runtime_error {
public:
    MarkupError(std::size_t offset, const std::string& reason);
    std::size_t Offset() const noexcept { return offset_; }

private:
    std::size_t offset_;
};

// The root element. Throws MarkupError with the character offset of the first fault.
Element Parse(std::wstring_view document);

// The first element, in document order, whose id attribute is `id`; nullptr if none.
const Element* FindById(const Element& root, std::wstring_view id);

// The ribbon for people to read: one line per container (tab, group, box, menu, ...) with its
// label and id, its plain controls counted, and every control that calls back into the add-in
// (onAction) named with its callback.
std::wstring Outline(const Element& root);

} // namespace cornice::markup
