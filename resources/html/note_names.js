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

  // A typed keyswitch, read as the plugin's editor reads it (both are tested against one table
  // of texts): null for no key (an empty text or a negative number), NaN for a text that is no
  // note ("C", "C#3x"), else the key, which may lie outside 0..127. Blanks around the text and
  // between a name's letter, sharp or flat and octave are allowed.
  function readNote(text, altMiddleC) {
    const trimmed = text.replace(/^[ \t]+|[ \t]+$/g, "");
    if (trimmed === "") return null;
    if (/^-?\d+$/.test(trimmed)) return trimmed.startsWith("-") ? null : Number(trimmed);
    const named = /^([A-Ga-g])[ \t]*([#b\u266F\u266D]?)[ \t]*(-?\d+)$/.exec(trimmed);
    if (!named) return NaN;
    const accidental = { "#": 1, "\u266F": 1, b: -1, "\u266D": -1 }[named[2]] || 0;
    return kSemitones[named[1].toUpperCase()] + accidental + 12 * (Number(named[3]) + octaveOffset(altMiddleC));
  }

  // A MIDI note 0..127, -1 for no key, NaN for anything else.
  function parseNote(text, altMiddleC) {
    const note = readNote(text, altMiddleC);
    if (note === null) return -1;
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

  return { noteName, readNote, parseNote, parseWhole };
})();
