#include "editor/note_text.h"

#include <utility>

namespace editor {
namespace {
constexpr int32_t kSaturation = 100000000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

void skipBlanks(std::string_view& text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
}

// The whole of `text` as an optionally negative decimal number.
bool wholeNumber(std::string_view text, int32_t& value) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return false;
    value = 0;
    for (const char c : text) {
        if (!isDigit(c)) return false;
        if (value < kSaturation) value = value * 10 + (c - '0');
    }
    if (value > kSaturation) value = kSaturation;
    if (negative) value = -value;
    return true;
}

bool startsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }
}  // namespace

int32_t integerOfText(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < kSaturation) value = value * 10 + (text[i] - '0');
    value = value < kSaturation ? value : kSaturation;
    return negative ? -value : value;
}

NoteReading readNoteText(std::string_view text, bool altMiddleC) {
    skipBlanks(text);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return {NoteReading::Kind::kNone, 0};
    int32_t number = 0;
    if (wholeNumber(text, number))
        return number < 0 ? NoteReading{NoteReading::Kind::kNone, 0} : NoteReading{NoteReading::Kind::kKey, number};

    static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    const char letter = static_cast<char>(text.front() & ~0x20);  // upper case for letters
    if (letter < 'A' || letter > 'G') return {NoteReading::Kind::kInvalid, 0};
    int32_t key = kSemitones[letter - 'A'];
    text.remove_prefix(1);
    skipBlanks(text);
    for (const auto& [mark, step] : {std::pair<std::string_view, int>{"#", 1}, {"\u266F", 1}, {"b", -1}, {"\u266D", -1}}) {
        if (startsWith(text, mark)) {
            key += step;
            text.remove_prefix(mark.size());
            break;
        }
    }
    skipBlanks(text);
    int32_t octave = 0;
    if (!wholeNumber(text, octave)) return {NoteReading::Kind::kInvalid, 0};
    return {NoteReading::Kind::kKey, key + 12 * (octave + 2 - (altMiddleC ? 1 : 0))};
}

}  // namespace editor
