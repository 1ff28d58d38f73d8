"use strict";
// Keyswitch notes as the plugin's editor writes and reads them: "C#3" or a number, middle C (60)
// being C3, or C4 with the "Alternative Middle C" option. Numbers in fields: whole, in range.
const VoxNotes = (function () {
  const kNames = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"];
  const kSemitones = { A: 9, B: 11, C: 0, D: 2, E: 4, F: 5, G: 7 };
  const kSaturation = 100000000;

  function octaveOffset(altMiddleC) {
    return altMiddleC ? 1 : 2;
  }

  // "" for no note; `highest` is 131 for the piano roll's keys, beyond MIDI's.
  function noteName(note, altMiddleC, highest = 127) {
    if (!Number.isInteger(note) || note < 0 || note > highest) return "";
    return kNames[note % 12] + (Math.floor(note / 12) - octaveOffset(altMiddleC));
  }

  // The number `text` starts with (an optional sign, then digits), 0 when none; it saturates.
  function integerOfText(text) {
    let i = 0;
    let negative = false;
    if (text[0] === "-" || text[0] === "+") negative = text[i++] === "-";
    let value = 0;
    for (; i < text.length && text[i] >= "0" && text[i] <= "9"; ++i)
      if (value < kSaturation) value = value * 10 + (text.charCodeAt(i) - 48);
    value = Math.min(value, kSaturation);
    return negative ? -value : value;
  }

  // A typed keyswitch, read as the plugin's editor reads it (both are tested against one table
  // of texts): a first character A..G (either case) makes a note name, "#" or "b" next raises or
  // lowers it, and the octave is the number the rest starts with; any other text is the number
  // it starts with. Not clamped.
  function readNote(text, altMiddleC) {
    const letter = (text[0] || "").toUpperCase();
    if (!(letter in kSemitones)) return integerOfText(text);
    let note = kSemitones[letter];
    let octaveAt = 1;
    if (text[1] === "#" || text[1] === "b") {
      note += text[1] === "#" ? 1 : -1;
      octaveAt = 2;
    }
    return note + 12 * (integerOfText(text.slice(octaveAt)) + octaveOffset(altMiddleC));
  }

  // A key 0..127 as the editor's field stores it (clamped), or -1 for an empty field: the page
  // shows no keyswitch as an empty field, and leaving it empty keeps none.
  function parseNote(text, altMiddleC) {
    if (text.trim() === "") return -1;
    return Math.min(127, Math.max(0, readNote(text, altMiddleC)));
  }

  // A whole number min..max, `empty` for an empty field, NaN for anything else.
  function parseWhole(text, min, max, empty) {
    const trimmed = text.trim();
    if (trimmed === "") return empty;
    if (!/^-?\d+$/.test(trimmed)) return NaN;
    const value = Number(trimmed);
    return value >= min && value <= max ? value : NaN;
  }

  return { noteName, readNote, parseNote, parseWhole };
})();
