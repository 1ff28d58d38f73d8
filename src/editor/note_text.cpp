#include "editor/note_text.h"

#include <cctype>

#include "model/note_letters.h"

namespace editor {
namespace {
constexpr int32_t kSaturation = 100000000;
}

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

int32_t noteOfText(const std::string& text, bool altMiddleC) {
    const char letter = text.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return integerOfText(text);
    int32_t note = model::pitchOfLetter(letter);
    size_t octaveAt = 1;
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
        note += text[1] == '#' ? 1 : -1;
        octaveAt = 2;
    }
    const int32_t octave = octaveAt < text.size() ? integerOfText(text.substr(octaveAt)) : 0;
    return model::keyOf(note, octave, altMiddleC);
}

}  // namespace editor
