// What the user types into the editor's prompts: whole numbers and note names ("C#3", "Db3").
#pragma once

#include <cstdint>
#include <string>

namespace editor {

// The decimal prefix of `text` (an optional sign, then digits), 0 when there is none; it
// saturates instead of overflowing.
int32_t integerOfText(const std::string& text);

// A typed keyswitch, read the same way here and on the web page (resources/html/note_names.js;
// both are tested against tests/editor/note_texts.tsv). A text whose first character is a
// letter A..G (either case) is a note name: "#" or "b" next raises or lowers it, then the
// octave is the decimal prefix of the rest (none is 0), middle C (60) being C3, or C4 with the
// alternative middle C. Any other text is a number by integerOfText. Not clamped: the field does.
int32_t noteOfText(const std::string& text, bool altMiddleC);

}  // namespace editor
