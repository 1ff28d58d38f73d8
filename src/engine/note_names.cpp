#include "engine/note_names.h"

#include <cstdio>

namespace engine {

void buildNoteNames(bool altMiddleC, NoteNameTable& table) {
    static const char kLetters[] = "CCDDEFFGGAAB";
    static const char kSharps[] = " # #  # # # ";
    for (int key = 0; key < 128; ++key) {
        const int step = key % 12;
        const int octave = key / 12 - 2 + (altMiddleC ? 1 : 0);
        if (kSharps[step] == '#') std::snprintf(table[key].data(), table[key].size(), "%c#%d", kLetters[step], octave);
        else std::snprintf(table[key].data(), table[key].size(), "%c%d", kLetters[step], octave);
    }
}

}  // namespace engine
