// A small XML reader for the map formats: the whole document into a flat table of elements, in
// one pass without recursion, so a file nested 200,000 deep costs a table row per level and no
// stack. Names, attribute values and text are views into the caller's buffer, decoded on demand.
// It reads what map files use (elements, attributes, text, CDATA, comments, the declaration and
// a DOCTYPE) and refuses anything malformed rather than guessing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace maps {

inline constexpr uint32_t kNoElement = UINT32_MAX;

struct XmlAttribute {
    std::string_view name;
    std::string_view rawValue;  // entities not yet decoded
};

struct XmlElement {
    std::string_view name;
    uint32_t parent = kNoElement;
    uint32_t firstChild = kNoElement;
    uint32_t lastChild = kNoElement;
    uint32_t nextSibling = kNoElement;
    uint32_t firstAttribute = 0;
    uint32_t attributeCount = 0;
    std::string_view rawText;  // the first run of character data (or CDATA) inside, undecoded
    bool textIsCdata = false;
};

class XmlDocument {
public:
    // Reads `text`, which must outlive the document. False with `error()` set when it is not
    // well-formed, deeper than kMaxDepth or has no root element.
    bool parse(std::string_view text);
    const std::string& error() const { return error_; }

    uint32_t root() const { return elements_.empty() ? kNoElement : 0; }
    const XmlElement& element(uint32_t index) const { return elements_[index]; }
    std::string_view name(uint32_t index) const { return elements_[index].name; }

    // The first child named `name` (any child when empty), or kNoElement.
    uint32_t child(uint32_t parent, std::string_view name = {}) const;
    // The next sibling named `name` (any when empty), or kNoElement.
    uint32_t next(uint32_t index, std::string_view name = {}) const;
    // The attribute's decoded value; `found` false when absent.
    std::string attribute(uint32_t index, std::string_view name, bool* found = nullptr) const;
    // The element's own text, decoded and trimmed.
    std::string text(uint32_t index) const;
    // The element's text as a whole number within +-1,000,000 (trailing text ignored), else
    // `absent`; also `absent` for kNoElement.
    int integer(uint32_t index, int absent) const;

    static constexpr uint32_t kMaxDepth = 256;
    static constexpr size_t kMaxElements = 1000000;  // the largest real maps have a few tens of thousands

private:
    bool fail(const char* what, size_t at);

    std::string_view source_;
    std::vector<XmlElement> elements_;
    std::vector<XmlAttribute> attributes_;
    std::string error_;
};

// Entities (&lt; &gt; &amp; &quot; &apos; and numeric ones) replaced; an unknown one is kept as
// written.
std::string decodeXmlText(std::string_view raw);
// Text safe inside an attribute value or an element.
void appendXmlEscaped(std::string& out, std::string_view text);

}  // namespace maps
