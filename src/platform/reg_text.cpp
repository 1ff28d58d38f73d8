#include "platform/reg_text.h"

#include <algorithm>

namespace platform {

namespace {

constexpr const char* kCurrentUser = "HKEY_CURRENT_USER\\";

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool isSpace(char c) { return c == ' ' || c == '\t'; }

// Tabs are text; every other control byte means the line is not ours to read.
bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; }

std::string trimRight(const std::string& s) {
    size_t end = s.size();
    while (end > 0 && isSpace(s[end - 1])) --end;
    return s.substr(0, end);
}

bool isBlank(const std::string& s) { return trimRight(s).empty(); }

bool continues(const std::string& s) {
    const size_t last = s.find_last_not_of(" \t");
    return last != std::string::npos && s[last] == '\\';
}

bool isValueLine(const std::string& s) { return !s.empty() && (s[0] == '"' || s[0] == '@'); }

// Whether the line would take the next line in as its continuation when the file is read again.
bool takesNextLine(const std::string& text) {
    return isValueLine(text) && continues(text.substr(text.find_last_of('\n') + 1));
}

// Reads a quoted string starting at s[pos] == '"'; on success pos is just past the closing quote.
bool unquote(const std::string& s, size_t& pos, std::string& out) {
    if (pos >= s.size() || s[pos] != '"') return false;
    out.clear();
    for (size_t i = pos + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
            out += s[++i];
        } else {
            out += c;
        }
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string dwordText(uint32_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) out += digits[(value >> shift) & 0xF];
    return out;
}

std::string fullKey(const char* key) { return std::string(kCurrentUser) + key; }

}  // namespace

std::string quoteRegString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

RegDocument::Line RegDocument::parseLine(const std::string& text) {
    Line line;
    line.text = text;
    // A continued line reads as one: each "\" at a line's end joins it to the next, indent dropped.
    std::string s;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (start > 0) part.erase(0, std::min(part.size(), part.find_first_not_of(" \t")));
        part = trimRight(part);
        if (end == std::string::npos) {
            s += part;
            break;
        }
        if (!part.empty() && part.back() == '\\') part.pop_back();
        s += part;
        start = end + 1;
    }
    for (const char c : s)
        if (isControl(c)) return line;  // binary bytes: never read
    if (s.size() >= 2 && s.front() == '[' && s.back() == ']') {
        line.kind = LineKind::Section;
        line.name = s.substr(1, s.size() - 2);
        return line;
    }
    size_t pos = 0;
    std::string name;
    if (!unquote(s, pos, name)) return line;
    while (pos < s.size() && isSpace(s[pos])) ++pos;
    if (pos >= s.size() || s[pos] != '=') return line;
    ++pos;
    while (pos < s.size() && isSpace(s[pos])) ++pos;

    // From here the line names a value: whatever follows, it is the value's latest setting.
    line.kind = LineKind::OtherValue;
    line.name = name;
    std::string value;
    if (s.compare(pos, 1, "\"") == 0) {
        if (unquote(s, pos, value) && pos == s.size()) {
            line.kind = LineKind::String;
            line.string = value;
        }
    } else if (sameText(s.substr(pos, 6), "dword:") && s.size() == pos + 14) {
        uint32_t number = 0;
        for (size_t i = pos + 6; i < s.size(); ++i) {
            const int d = hexDigit(s[i]);
            if (d < 0) return line;
            number = (number << 4) | static_cast<uint32_t>(d);
        }
        line.kind = LineKind::Dword;
        line.dword = number;
    }
    return line;
}

RegDocument RegDocument::parse(const std::string& fileText) {
    RegDocument doc;
    if (fileText.size() > kRegFileMaxBytes) return doc;

    std::vector<std::string> physical;
    size_t start = fileText.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < fileText.size()) {
        size_t end = fileText.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = fileText.size();
        std::string line = fileText.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            if (physical.empty()) doc.crlf_ = true;
        }
        physical.push_back(std::move(line));
        start = last ? end : end + 1;
    }
    if (physical.empty() || trimRight(physical[0]) != kRegFileHeader) return RegDocument{};

    for (size_t i = 1; i < physical.size(); ++i) {
        std::string text = physical[i];
        // A value written over several lines (long binary data) ends each but the last with "\".
        if (isValueLine(text))
            while (continues(physical[i]) && i + 1 < physical.size()) text += '\n' + physical[++i];
        doc.lines_.push_back(parseLine(text));
    }
    return doc;
}

std::string RegDocument::format() const {
    const char* eol = crlf_ ? "\r\n" : "\n";
    std::string out = std::string(kRegFileHeader) + eol;
    for (const Line& line : lines_) {
        for (const char c : line.text) {
            if (c == '\n')
                out += eol;
            else
                out += c;
        }
        out += eol;
    }
    return out;
}

const RegDocument::Line* RegDocument::find(const char* key, const char* name) const {
    const std::string wanted = fullKey(key);
    const Line* found = nullptr;
    bool inKey = false;
    for (const Line& line : lines_) {
        if (line.kind == LineKind::Section)
            inKey = sameText(line.name, wanted);
        else if (inKey && line.kind != LineKind::Other && sameText(line.name, name))
            found = &line;
    }
    return found;
}

bool RegDocument::readString(const char* key, const char* name, std::string& out) const {
    const Line* line = find(key, name);
    if (!line || line->kind != LineKind::String) return false;
    out = line->string;
    return true;
}

bool RegDocument::readDword(const char* key, const char* name, uint32_t& out) const {
    const Line* line = find(key, name);
    if (!line || line->kind != LineKind::Dword) return false;
    out = line->dword;
    return true;
}

void RegDocument::set(const char* key, const char* name, Line value) {
    const std::string wanted = fullKey(key);
    std::vector<size_t> settings;  // lines that set the value now
    bool hasSection = false;
    size_t sectionEnd = 0;  // just past the last non-blank line of the key's last section
    bool inKey = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Section) {
            inKey = sameText(line.name, wanted);
            if (inKey) sectionEnd = i + 1;
            hasSection = hasSection || inKey;
        } else if (inKey) {
            if (line.kind != LineKind::Other && sameText(line.name, name)) settings.push_back(i);
            if (!isBlank(line.text)) sectionEnd = i + 1;
        }
    }

    if (!settings.empty()) {
        lines_[settings.back()] = std::move(value);
        settings.pop_back();
        std::vector<Line> kept;
        kept.reserve(lines_.size() - settings.size());
        size_t next = 0;
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (next < settings.size() && settings[next] == i)
                ++next;
            else
                kept.push_back(std::move(lines_[i]));
        }
        lines_ = std::move(kept);
        return;
    }
    if (hasSection) {
        auto at = lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd);
        // A dangling continuation at the file's end would swallow the new line: give it a blank one.
        if (takesNextLine(lines_[sectionEnd - 1].text)) at = lines_.insert(at, parseLine("")) + 1;
        lines_.insert(at, std::move(value));
        return;
    }
    // A new section, laid out as an export lays out its sections: a blank line before and after
    // (which also ends a continuation left dangling at the file's end).
    if (lines_.empty() || !isBlank(lines_.back().text)) lines_.push_back(parseLine(""));
    lines_.push_back(parseLine("[" + wanted + "]"));
    lines_.push_back(std::move(value));
    lines_.push_back(parseLine(""));
}

bool RegDocument::setString(const char* key, const char* name, const std::string& bytes) {
    const std::string text(bytes.c_str());  // the zero padding of fixed-size values is not text
    for (const char c : text)
        if (isControl(c)) return false;
    set(key, name, parseLine(quoteRegString(name) + "=" + quoteRegString(text)));
    return true;
}

bool RegDocument::remove(const char* key, const char* name) {
    const std::string wanted = fullKey(key);
    bool inKey = false;
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (Line& line : lines_) {
        if (line.kind == LineKind::Section) inKey = sameText(line.name, wanted);
        else if (inKey && line.kind != LineKind::Other && sameText(line.name, name)) continue;
        kept.push_back(std::move(line));
    }
    const bool removed = kept.size() != lines_.size();
    lines_ = std::move(kept);
    return removed;
}

void RegDocument::setDword(const char* key, const char* name, uint32_t value) {
    set(key, name, parseLine(quoteRegString(name) + "=" + dwordText(value)));
}

}  // namespace platform
