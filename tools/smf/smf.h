// Standard MIDI Files: a reader for what real files contain (formats 0 and 1, several tracks,
// running status, tempo and time-signature maps, meta and system-exclusive events skipped) and
// a writer of format 1 files. Ours because the Windows build cannot link Debian's native
// libraries and the host needs the same code on both.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace smf {

struct ChannelEvent {
    uint64_t tick = 0;
    int track = 0;
    uint8_t status = 0;  // 0x80..0xEF
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    // Note-on with velocity 0 arrives as a note-off.
    bool isNoteOn() const { return (status & 0xF0) == 0x90 && data2 > 0; }
    bool isNoteOff() const { return (status & 0xF0) == 0x80 || ((status & 0xF0) == 0x90 && data2 == 0); }
    int channel() const { return status & 0x0F; }
};

struct TempoChange {
    uint64_t tick = 0;
    uint32_t microsecondsPerQuarter = 500000;
};

struct TimeSignature {
    uint64_t tick = 0;
    int numerator = 4;
    int denominator = 4;
    uint8_t clocksPerClick = 24;          // MIDI clocks per metronome click
    uint8_t thirtySecondsPerQuarter = 8;  // notated 32nd notes in a quarter note
};

struct Song {
    int format = 1;
    int ticksPerQuarter = 96;
    std::vector<ChannelEvent> events;  // every track, sorted by tick (stable: file order)
    std::vector<TempoChange> tempos;   // sorted by tick; empty means 120 bpm
    std::vector<TimeSignature> signatures;
    std::vector<uint64_t> trackEnds;  // per track: its end-of-track event, else its last event
    uint64_t endTick = 0;             // the last track's end
};

// Parses a whole file held in memory. False with a one-line reason in `error` when the bytes
// are not a Standard MIDI File or end early.
bool parse(const uint8_t* data, size_t size, Song& song, std::string& error);

// Seconds at `tick` through the tempo map.
double secondsAt(const Song& song, uint64_t tick);

// "bar:beat:tick" (1-based bar and beat) through the time-signature map.
std::string barsBeatsTicks(const Song& song, uint64_t tick);

// One output track of the writer.
struct OutTrack {
    std::string name;
    int port = -1;  // written as a port meta event when 0 or more
    std::vector<ChannelEvent> events;  // sorted by tick
};

// A format 1 file: track 0 holds the tempo and time-signature maps, then one track each.
std::vector<uint8_t> write(int ticksPerQuarter, const std::vector<TempoChange>& tempos,
                           const std::vector<TimeSignature>& signatures, const std::vector<OutTrack>& tracks);

}  // namespace smf
