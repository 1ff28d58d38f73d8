// Key names C-2 .. G8 as the editor shows keyswitch notes.
#pragma once

#include <array>

namespace engine {

using NoteName = std::array<char, 8>;
using NoteNameTable = std::array<NoteName, 128>;

// Key 60 is C3, or C4 with the alternative middle C.
void buildNoteNames(bool altMiddleC, NoteNameTable& table);

}  // namespace engine
