// How a key is spelled, said once for every reader: the plugin's note names, typed keyswitches,
// the piano roll's rename caption and the host tool's listing. Key 0 is C-2, so key 60 is C3
// (C4 with the alternative middle C).
#pragma once

namespace model {

// The letter of each pitch class from C; the black keys repeat the letter below and take a sharp.
inline constexpr char kNoteLetters[] = "CCDDEFFGGAAB";
inline constexpr bool isSharp(int pitch) { return pitch == 1 || pitch == 3 || pitch == 6 || pitch == 8 || pitch == 10; }
// The pitch class of letter 'A'..'G'.
inline constexpr int pitchOfLetter(char letter) {
    constexpr int kPitches[] = {9, 11, 0, 2, 4, 5, 7};
    return kPitches[letter - 'A'];
}
inline constexpr int kLowestOctave = -2;
inline constexpr int octaveOfKey(int key, bool altMiddleC) { return key / 12 + kLowestOctave + (altMiddleC ? 1 : 0); }
inline constexpr int keyOf(int pitch, int octave, bool altMiddleC) {
    return pitch + 12 * (octave - kLowestOctave - (altMiddleC ? 1 : 0));
}

}  // namespace model
