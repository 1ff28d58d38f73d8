// Arbitrary bytes as a Standard MIDI File. Beyond not crashing: a refused file says why, an
// accepted one is in order and in range, and what the writer makes of it reads back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "smf/smf.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

void checkAccepted(const smf::Song& song) {
    check(song.ticksPerQuarter >= 1 && song.ticksPerQuarter <= 0x7FFF);
    for (size_t i = 0; i < song.events.size(); ++i) {
        const smf::ChannelEvent& e = song.events[i];
        check(e.status >= 0x80 && e.status <= 0xEF);
        check(e.data1 < 0x80 && e.data2 < 0x80);
        check(e.tick <= song.endTick);
        check(i == 0 || song.events[i - 1].tick <= e.tick);
    }
    for (size_t i = 0; i < song.tempos.size(); ++i) {
        check(song.tempos[i].tick <= song.endTick);
        check(i == 0 || song.tempos[i - 1].tick <= song.tempos[i].tick);
    }
    for (size_t i = 0; i < song.signatures.size(); ++i) {
        const smf::TimeSignature& s = song.signatures[i];
        check(s.numerator >= 1 && s.denominator >= 1 && s.denominator <= 128);
        check((s.denominator & (s.denominator - 1)) == 0);
        check(i == 0 || song.signatures[i - 1].tick <= s.tick);
    }
    const double seconds = smf::secondsAt(song, song.endTick);
    check(std::isfinite(seconds) && seconds >= 0.0);
    check(!smf::barsBeatsTicks(song, song.endTick).empty());
}

// Each source track becomes an output track of its own, one place after the conductor.
void checkRoundTrip(const smf::Song& song) {
    if (song.endTick > 0x0FFFFFFF) return;  // the writer's delta times stop there
    std::vector<smf::OutTrack> tracks;
    for (const smf::ChannelEvent& e : song.events) {
        if (tracks.size() <= size_t(e.track)) tracks.resize(size_t(e.track) + 1);
        tracks[size_t(e.track)].events.push_back(e);
    }
    const std::vector<uint8_t> bytes = smf::write(song.ticksPerQuarter, song.tempos, song.signatures, tracks);
    smf::Song back;
    std::string error;
    check(smf::parse(bytes.data(), bytes.size(), back, error));
    check(back.ticksPerQuarter == song.ticksPerQuarter);
    auto event = [](const smf::ChannelEvent& e, int track) {
        return std::make_tuple(e.tick, track, e.status, e.data1, e.data2);
    };
    auto tempo = [](const smf::TempoChange& t) { return std::make_tuple(t.tick, t.microsecondsPerQuarter); };
    auto signature = [](const smf::TimeSignature& s) {
        return std::make_tuple(s.tick, s.numerator, s.denominator, s.clocksPerClick, s.thirtySecondsPerQuarter);
    };
    check(back.events.size() == song.events.size() && back.tempos.size() == song.tempos.size() &&
          back.signatures.size() == song.signatures.size());
    for (size_t i = 0; i < song.events.size(); ++i)
        check(event(song.events[i], song.events[i].track + 1) == event(back.events[i], back.events[i].track));
    for (size_t i = 0; i < song.tempos.size(); ++i) check(tempo(song.tempos[i]) == tempo(back.tempos[i]));
    for (size_t i = 0; i < song.signatures.size(); ++i)
        check(signature(song.signatures[i]) == signature(back.signatures[i]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    smf::Song song;
    std::string error;
    if (!smf::parse(data, size, song, error)) {
        check(!error.empty());
        return 0;
    }
    checkAccepted(song);
    checkRoundTrip(song);
    return 0;
}
