"use strict";
// Keyswitch notes as the plugin's editor writes and reads them: "C#3" or a number, middle C (60)
// being C3, or C4 with the "Alternative Middle C" option. Numbers in fields: whole, in range.
const VoxNotes = (function () {
  const kNames = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"];
  const kSemitones = { A: 9, B: 11, C: 0, D: 2, E: 4, F: 5, G: 7 };

  function octaveOffset(altMiddleC) {
    return altMiddleC ? 1 : 2;
  }

  // "" for no note.
  function noteName(note, altMiddleC) {
    if (!Number.isInteger(note) || note < 0 || note > 127) return "";
    return kNames[note % 12] + (Math.floor(note / 12) - octaveOffset(altMiddleC));
  }

  // A MIDI note 0..127, -1 for an empty field, NaN for anything else.
  function parseNote(text, altMiddleC) {
    const trimmed = text.trim();
    if (trimmed === "") return -1;
    const named = /^([A-Ga-g])([#b]?)(-?\d+)$/.exec(trimmed);
    let note = NaN;
    if (named) {
      const accidental = named[2] === "#" ? 1 : named[2] === "b" ? -1 : 0;
      note = kSemitones[named[1].toUpperCase()] + accidental + 12 * (Number(named[3]) + octaveOffset(altMiddleC));
    } else if (/^\d+$/.test(trimmed)) {
      note = Number(trimmed);
    }
    return note >= 0 && note <= 127 ? note : NaN;
  }

  // A whole number min..max, `empty` for an empty field, NaN for anything else.
  function parseWhole(text, min, max, empty) {
    const trimmed = text.trim();
    if (trimmed === "") return empty;
    if (!/^-?\d+$/.test(trimmed)) return NaN;
    const value = Number(trimmed);
    return value >= min && value <= max ? value : NaN;
  }

  return { noteName, parseNote, parseWhole };
})();
