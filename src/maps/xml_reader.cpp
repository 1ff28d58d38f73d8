#include "maps/xml_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace maps {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameChar(char c) {
    return !isSpace(c) && c != '>' && c != '/' && c != '=' && c != '<' && c != '"' && c != '\'' && c != '\0';
}

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A numeric reference's value, or 0 when it is not one we can write out.
uint32_t numericEntity(std::string_view body) {
    if (body.size() < 2 || body[0] != '#') return 0;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const size_t from = hex ? 2 : 1;
    if (from >= body.size() || body.size() - from > 8) return 0;
    uint32_t code = 0;
    for (size_t i = from; i < body.size(); ++i) {
        const char c = body[i];
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
        else if (hex && c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
        else return 0;
        code = code * (hex ? 16 : 10) + digit;
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return code;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string decodeXmlText(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12) {
            out += '&';
            continue;
        }
        const std::string_view body = raw.substr(i + 1, semi - i - 1);
        if (body == "lt") out += '<';
        else if (body == "gt") out += '>';
        else if (body == "amp") out += '&';
        else if (body == "quot") out += '"';
        else if (body == "apos") out += '\'';
        else if (const uint32_t code = numericEntity(body)) appendUtf8(out, code);
        else {
            out += '&';
            continue;
        }
        i = semi;
    }
    return out;
}

void appendXmlEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        case '\t': out += "&#9;"; break;
        default: out += c;
        }
    }
}

bool XmlDocument::fail(const char* what, size_t at) {
    // The line number makes the message useful to whoever edits the file by hand.
    size_t line = 1;
    for (size_t i = 0; i < at && i < source_.size(); ++i) line += source_[i] == '\n';
    char message[160];
    std::snprintf(message, sizeof message, "not well-formed XML: %s (line %zu)", what, line);
    error_ = message;
    elements_.clear();
    attributes_.clear();
    return false;
}

bool XmlDocument::parse(std::string_view text) {
    source_ = text;
    elements_.clear();
    attributes_.clear();
    error_.clear();
    const char* s = text.data();
    const size_t n = text.size();
    size_t i = 0;
    if (n >= 3 && std::memcmp(s, "\xEF\xBB\xBF", 3) == 0) i = 3;  // byte order mark
    uint32_t open = kNoElement;  // innermost unclosed element
    uint32_t depth = 0;
    bool rootClosed = false;

    auto startsWith = [&](size_t at, const char* word) {
        const size_t len = std::strlen(word);
        return at + len <= n && std::memcmp(s + at, word, len) == 0;
    };
    auto skipPast = [&](size_t from, const char* end) -> size_t {
        const size_t at = text.find(end, from);
        return at == std::string_view::npos ? std::string_view::npos : at + std::strlen(end);
    };

    while (i < n) {
        if (s[i] != '<') {
            const size_t lt = text.find('<', i);
            const size_t end = lt == std::string_view::npos ? n : lt;
            const std::string_view run = text.substr(i, end - i);
            if (open == kNoElement) {
                if (!trimmed(run).empty()) return fail("text outside the root element", i);
            } else if (elements_[open].rawText.empty() && !trimmed(run).empty()) {
                elements_[open].rawText = run;
            }
            i = end;
            continue;
        }
        if (startsWith(i, "<!--")) {
            i = skipPast(i + 4, "-->");
            if (i == std::string_view::npos) return fail("a comment is not closed", n);
            continue;
        }
        if (startsWith(i, "<![CDATA[")) {
            const size_t end = text.find("]]>", i + 9);
            if (end == std::string_view::npos) return fail("a CDATA section is not closed", n);
            if (open == kNoElement) return fail("CDATA outside the root element", i);
            if (elements_[open].rawText.empty()) {
                elements_[open].rawText = text.substr(i + 9, end - i - 9);
                elements_[open].textIsCdata = true;
            }
            i = end + 3;
            continue;
        }
        if (startsWith(i, "<?")) {
            i = skipPast(i + 2, "?>");
            if (i == std::string_view::npos) return fail("a processing instruction is not closed", n);
            continue;
        }
        if (startsWith(i, "<!")) {
            // A DOCTYPE without an internal subset (a bracketed one is not used by map files).
            size_t j = i + 2;
            while (j < n && s[j] != '>' && s[j] != '[') ++j;
            if (j >= n || s[j] == '[') return fail("an unsupported declaration", i);
            i = j + 1;
            continue;
        }
        if (startsWith(i, "</")) {
            size_t j = i + 2;
            while (j < n && isNameChar(s[j])) ++j;
            const std::string_view closing = text.substr(i + 2, j - i - 2);
            while (j < n && isSpace(s[j])) ++j;
            if (j >= n || s[j] != '>') return fail("a closing tag is cut off", i);
            if (open == kNoElement || elements_[open].name != closing) return fail("a closing tag does not match", i);
            open = elements_[open].parent;
            --depth;
            if (open == kNoElement) rootClosed = true;
            i = j + 1;
            continue;
        }
        // A start tag.
        if (rootClosed) return fail("a second root element", i);
        size_t j = i + 1;
        while (j < n && isNameChar(s[j])) ++j;
        if (j == i + 1) return fail("a tag without a name", i);
        if (depth >= kMaxDepth) return fail("elements nested too deep", i);
        if (elements_.size() >= kMaxElements) return fail("too many elements", i);
        const uint32_t index = static_cast<uint32_t>(elements_.size());
        XmlElement e;
        e.name = text.substr(i + 1, j - i - 1);
        e.parent = open;
        e.firstAttribute = static_cast<uint32_t>(attributes_.size());
        bool selfClosing = false;
        for (;;) {
            while (j < n && isSpace(s[j])) ++j;
            if (j >= n) return fail("a tag is cut off", i);
            if (s[j] == '>') {
                ++j;
                break;
            }
            if (s[j] == '/') {
                if (j + 1 >= n || s[j + 1] != '>') return fail("a stray / in a tag", j);
                selfClosing = true;
                j += 2;
                break;
            }
            const size_t nameStart = j;
            while (j < n && isNameChar(s[j])) ++j;
            if (j == nameStart) return fail("a bad attribute", j);
            const std::string_view attrName = text.substr(nameStart, j - nameStart);
            while (j < n && isSpace(s[j])) ++j;
            if (j >= n || s[j] != '=') return fail("an attribute without a value", j);
            ++j;
            while (j < n && isSpace(s[j])) ++j;
            if (j >= n || (s[j] != '"' && s[j] != '\'')) return fail("an attribute value without quotes", j);
            const char quote = s[j];
            const size_t close = text.find(quote, j + 1);
            if (close == std::string_view::npos) return fail("an attribute value is not closed", j);
            attributes_.push_back({attrName, text.substr(j + 1, close - j - 1)});
            ++e.attributeCount;
            j = close + 1;
        }
        if (open != kNoElement) {
            XmlElement& parent = elements_[open];
            if (parent.lastChild == kNoElement) parent.firstChild = index;
            else elements_[parent.lastChild].nextSibling = index;
            parent.lastChild = index;
        } else if (index != 0) {
            return fail("a second root element", i);
        }
        elements_.push_back(e);
        if (selfClosing) {
            if (open == kNoElement) rootClosed = true;
        } else {
            open = index;
            ++depth;
        }
        i = j;
    }
    if (open != kNoElement) return fail("the file ends inside an element", n);
    if (elements_.empty()) return fail("no root element", n);
    return true;
}

uint32_t XmlDocument::child(uint32_t parent, std::string_view name) const {
    if (parent >= elements_.size()) return kNoElement;
    const uint32_t first = elements_[parent].firstChild;
    if (first == kNoElement || name.empty() || elements_[first].name == name) return first;
    return next(first, name);
}

uint32_t XmlDocument::next(uint32_t index, std::string_view name) const {
    if (index >= elements_.size()) return kNoElement;
    for (uint32_t at = elements_[index].nextSibling; at != kNoElement; at = elements_[at].nextSibling)
        if (name.empty() || elements_[at].name == name) return at;
    return kNoElement;
}

std::string XmlDocument::attribute(uint32_t index, std::string_view name, bool* found) const {
    if (found) *found = false;
    if (index >= elements_.size()) return {};
    const XmlElement& e = elements_[index];
    for (uint32_t a = e.firstAttribute; a < e.firstAttribute + e.attributeCount; ++a) {
        if (attributes_[a].name != name) continue;
        if (found) *found = true;
        return decodeXmlText(attributes_[a].rawValue);
    }
    return {};
}

std::string XmlDocument::text(uint32_t index) const {
    if (index >= elements_.size()) return {};
    const XmlElement& e = elements_[index];
    if (e.textIsCdata) return std::string(e.rawText);
    return decodeXmlText(trimmed(e.rawText));
}

int XmlDocument::integer(uint32_t index, int absent) const {
    if (index >= elements_.size()) return absent;
    const std::string value = text(index);
    char* end = nullptr;
    const long v = std::strtol(value.c_str(), &end, 10);
    return end != value.c_str() && v >= -1000000 && v <= 1000000 ? static_cast<int>(v) : absent;
}

}  // namespace maps
