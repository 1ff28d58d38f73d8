// What the user types into the editor's prompts: whole numbers and note names ("C#3", "Db3").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace editor {

// The decimal prefix of `text` (an optional sign, then digits), 0 when there is none; it
// saturates instead of overflowing.
int32_t integerOfText(const std::string& text);

// A typed keyswitch, read the same way here and on the web page (resources/html/note_names.js;
// both are tested against tests/editor/note_texts.tsv). Blanks around the text are ignored.
// - A note name: a letter A..G in either case, an optional sharp ("#", "♯") or flat ("b", "♭"),
//   then the octave, blanks allowed between the parts. Middle C (60) is C3, or C4 with the
//   alternative middle C. The key may lie outside 0..127: the field clamps or refuses it.
// - Digits: that key. A negative number, like an empty text, means no key (-1 is how every
//   view writes "none").
// - Anything else ("C", "C#3x", "60abc") is no note: the field keeps its value.
struct NoteReading {
    enum class Kind { kKey, kNone, kInvalid };
    Kind kind;
    int32_t key;  // kKey only
};
NoteReading readNoteText(std::string_view text, bool altMiddleC);

}  // namespace editor
