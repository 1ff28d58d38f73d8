// What the user types into the editor's prompts: whole numbers and note names ("C#3", "Db3").
#pragma once

#include <cstdint>
#include <string>

namespace editor {

// The decimal prefix of `text` (an optional sign, then digits), 0 when there is none; it
// saturates instead of overflowing.
int32_t integerOfText(const std::string& text);

// A note name when the text starts with a letter A..G (either case): the letter, an optional
// "#" or "b", and the octave; else the integer of the text. Middle C (60) is C3, or C4 with the
// alternative middle C. Not clamped.
int32_t noteOfText(const std::string& text, bool altMiddleC);

}  // namespace editor
