#include "engine/note_names.h"

#include <cstddef>

#include "model/note_letters.h"

namespace engine {

void buildNoteNames(bool altMiddleC, NoteNameTable& table) {
    // By hand rather than with a formatted print: every state load rebuilds the table.
    for (int key = 0; key < 128; ++key) {
        const int step = key % 12;
        const int octave = model::octaveOfKey(key, altMiddleC);  // -2..9: one digit
        char* out = table[size_t(key)].data();
        *out++ = model::kNoteLetters[step];
        if (model::isSharp(step)) *out++ = '#';
        if (octave < 0) *out++ = '-';
        *out++ = static_cast<char>('0' + (octave < 0 ? -octave : octave));
        *out = '\0';
    }
}

}  // namespace engine
