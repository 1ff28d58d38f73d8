#include "demo.h"

#include <algorithm>

namespace voxhost {

namespace {

struct PhraseNote {
    int beat16;    // position in sixteenth notes
    int length16;  // length in sixteenth notes
    int key;
    int colour;
    int velocity;
};

void add(smf::Song& song, int track, const PhraseNote& n) {
    const uint64_t sixteenth = uint64_t(song.ticksPerQuarter) / 4;
    const uint8_t channel = static_cast<uint8_t>(n.colour & 15);
    song.events.push_back({uint64_t(n.beat16) * sixteenth, track, uint8_t(0x90 | channel), uint8_t(n.key),
                           uint8_t(n.velocity)});
    song.events.push_back({uint64_t(n.beat16 + n.length16) * sixteenth, track, uint8_t(0x80 | channel),
                           uint8_t(n.key), 0});
}

}  // namespace

smf::Song demoPhrase() {
    smf::Song song;
    song.format = 1;
    song.ticksPerQuarter = 96;
    song.tempos = {{0, 600000}};  // 100 bpm
    song.signatures = {{0, 4, 4}};
    // Strings: a sustained line, a legato answer, spiccato and pizzicato, a sordino close.
    const PhraseNote strings[] = {
        {0, 8, 62, 0, 90},   {8, 8, 65, 0, 95},   {16, 4, 69, 1, 100}, {20, 4, 67, 1, 100},
        {24, 8, 65, 1, 96},  {32, 1, 62, 2, 110}, {33, 1, 62, 2, 90},  {34, 1, 65, 2, 100},
        {35, 1, 69, 2, 90},  {36, 2, 62, 4, 100}, {38, 2, 57, 4, 100}, {40, 8, 62, 11, 70},
        {48, 16, 62, 10, 60},
    };
    // UACC strings: long, legato, short and marcato through CC 32.
    const PhraseNote uacc[] = {
        {0, 16, 50, 0, 80},  {16, 4, 53, 1, 90},  {20, 4, 57, 1, 90},  {24, 8, 55, 1, 92},
        {32, 2, 50, 3, 110}, {34, 2, 50, 3, 105}, {36, 2, 53, 6, 120}, {38, 2, 57, 6, 120},
        {40, 8, 50, 8, 85},  {48, 16, 50, 0, 70},
    };
    // Brass: program changes for each patch, a sforzando at a fixed velocity.
    const PhraseNote brass[] = {
        {0, 16, 50, 0, 80},  {16, 2, 53, 1, 100}, {18, 2, 53, 1, 100}, {20, 4, 57, 2, 110},
        {24, 8, 55, 3, 64},  {32, 8, 50, 6, 80},  {40, 8, 62, 8, 100}, {48, 16, 50, 0, 90},
    };
    for (const PhraseNote& n : strings) add(song, 0, n);
    for (const PhraseNote& n : uacc) add(song, 1, n);
    for (const PhraseNote& n : brass) add(song, 2, n);
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const smf::ChannelEvent& a, const smf::ChannelEvent& b) { return a.tick < b.tick; });
    song.endTick = song.events.back().tick;
    return song;
}

}  // namespace voxhost
