// The text of a registry export file (.reg), as kept by the settings store on platforms without
// a registry. Only the current user's string and 32-bit values are read or written; every other
// line (other hives, other value types, comments, lines that do not parse) is kept as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

inline constexpr const char* kRegFileHeader = "Windows Registry Editor Version 5.00";
// Files larger than this are not settings files; they read as empty.
inline constexpr size_t kRegFileMaxBytes = 1 << 20;

// "text" -> "\"text\"" with \ and " escaped as the export format does.
std::string quoteRegString(const std::string& text);

class RegDocument {
public:
    // Never fails. A text that does not start with the header line (or is larger than
    // kRegFileMaxBytes) gives an empty document; lines that do not parse are kept but never read.
    static RegDocument parse(const std::string& fileText);
    // The header, then every line in order; an empty document is the header alone.
    std::string format() const;

    // `key` is below HKEY_CURRENT_USER. Keys and value names compare case-insensitively, and the
    // last line that sets a value wins, as when the file is imported. False when the value is
    // missing, of another type, or its line does not parse.
    bool readString(const char* key, const char* name, std::string& out) const;
    bool readDword(const char* key, const char* name, uint32_t& out) const;

    // Replaces the value wherever the key sets it, or appends it to the key's last section (or a
    // new section). Text after a zero byte is dropped; false, and nothing changes, when the text
    // holds a line break or another control character, which the format cannot carry.
    bool setString(const char* key, const char* name, const std::string& bytes);
    void setDword(const char* key, const char* name, uint32_t value);
    // Drops every line that sets the value; false when none did.
    bool remove(const char* key, const char* name);

private:
    enum class LineKind { Other, Section, String, Dword, OtherValue };
    struct Line {
        std::string text;  // verbatim, continuation lines included, without the final line break
        LineKind kind = LineKind::Other;
        std::string name;  // the section's full key path, or the value's name
        std::string string;
        uint32_t dword = 0;
    };

    static Line parseLine(const std::string& text);
    const Line* find(const char* key, const char* name) const;
    void set(const char* key, const char* name, Line line);

    std::vector<Line> lines_;  // after the header
    bool crlf_ = false;
};

}  // namespace platform
