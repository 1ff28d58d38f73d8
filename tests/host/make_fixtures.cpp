// Writes the inputs of voxtrane-host's end-to-end tests into tests/host/input/: small MIDI files
// built byte by byte, so that the reader meets what real files hold (running status, note-offs
// as zero-velocity note-ons, system-exclusive events, foreign chunks), and saved instance states
// of several formats.
//
//   make_fixtures DIR           writes every file into DIR
//   make_fixtures --check DIR   fails unless DIR holds exactly those bytes
//
// The files are checked in; the check keeps them and this program from drifting apart.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/stream_builder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testing_support::StreamBuilder;

// ---------------------------------------------------------------------------------------------
// MIDI files

void putBigEndian(Bytes& out, uint32_t v, int size) {
    for (int i = size - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

void putVlq(Bytes& out, uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = uint8_t(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n > 1) out.push_back(groups[--n] | 0x80);
    out.push_back(groups[0]);
}

Bytes chunk(const char* id, const Bytes& body) {
    Bytes out(id, id + 4);
    putBigEndian(out, uint32_t(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// One track's events in time order. Channel messages use running status, as sequencers write.
class Track {
public:
    Track& at(uint32_t tick) {
        now_ = tick;
        return *this;
    }
    Track& channelMessage(uint8_t status, uint8_t data1, int data2 = -1) {
        delta();
        if (status != running_) body_.push_back(status);
        running_ = status;
        body_.push_back(data1);
        if (data2 >= 0) body_.push_back(uint8_t(data2));
        return *this;
    }
    Track& meta(uint8_t type, const Bytes& data) {
        delta();
        body_.insert(body_.end(), {0xFF, type});
        putVlq(body_, uint32_t(data.size()));
        body_.insert(body_.end(), data.begin(), data.end());
        running_ = 0;
        return *this;
    }
    Track& name(const std::string& text) { return meta(0x03, Bytes(text.begin(), text.end())); }
    Track& tempo(int bpm) {
        const uint32_t us = uint32_t(60000000 / bpm);
        return meta(0x51, {uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
    }
    Track& timeSignature(int numerator, int denominatorPower) {
        return meta(0x58, {uint8_t(numerator), uint8_t(denominatorPower), 24, 8});
    }
    Track& sysex(const Bytes& data) {
        delta();
        body_.push_back(0xF0);
        putVlq(body_, uint32_t(data.size()));
        body_.insert(body_.end(), data.begin(), data.end());
        running_ = 0;
        return *this;
    }
    Bytes finish() {
        meta(0x2F, {});
        return chunk("MTrk", body_);
    }

private:
    void delta() {
        if (now_ < last_) {
            std::fprintf(stderr, "make_fixtures: a track goes back in time\n");
            std::exit(1);
        }
        putVlq(body_, now_ - last_);
        last_ = now_;
    }
    Bytes body_;
    uint32_t now_ = 0, last_ = 0;
    uint8_t running_ = 0;
};

// A note as a piano roll holds it: the MIDI channel is its colour (0..15).
struct Note {
    uint32_t start, length;
    int colour, key, velocity;
};

enum class NoteOff { kZeroVelocityNoteOn, kNoteOffWithVelocity64 };

// The notes' on and off messages in time order; at one tick, ends come before starts.
void addNotes(Track& track, const std::vector<Note>& notes, NoteOff style) {
    struct Edge {
        uint32_t tick;
        bool on;
        size_t note;
    };
    std::vector<Edge> edges;
    for (size_t i = 0; i < notes.size(); ++i) {
        edges.push_back({notes[i].start, true, i});
        edges.push_back({notes[i].start + notes[i].length, false, i});
    }
    std::stable_sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
        return a.tick != b.tick ? a.tick < b.tick : (!a.on && b.on);
    });
    for (const Edge& e : edges) {
        const Note& n = notes[e.note];
        track.at(e.tick);
        if (e.on) track.channelMessage(uint8_t(0x90 | n.colour), uint8_t(n.key), n.velocity);
        else if (style == NoteOff::kZeroVelocityNoteOn) track.channelMessage(uint8_t(0x90 | n.colour), uint8_t(n.key), 0);
        else track.channelMessage(uint8_t(0x80 | n.colour), uint8_t(n.key), 64);
    }
}

Bytes midiFile(int format, int ticksPerQuarter, const std::vector<Bytes>& chunks) {
    int tracks = 0;
    for (const Bytes& c : chunks) tracks += std::memcmp(c.data(), "MTrk", 4) == 0;
    Bytes body;
    putBigEndian(body, uint32_t(format), 2);
    putBigEndian(body, uint32_t(tracks), 2);
    putBigEndian(body, uint32_t(ticksPerQuarter), 2);
    Bytes out = chunk("MThd", body);
    for (const Bytes& c : chunks) out.insert(out.end(), c.begin(), c.end());
    return out;
}

// Violins through the Strings bank, 480 ticks per quarter (five song ticks per host tick), in
// 3/4 with a slower tempo from bar 3. Colours (= articulations of the bank): 0 Sustain (KS 24),
// 1 Legato (KS 25), 2 Spiccato (KS 26), 3 Staccato (KS 27), 10 Sustain sul pont (KS 24 + KS2 37),
// 11 Sustain sordino (KS 24 + KS2 38), 14 Marcato (accent) (KS 34, every note at velocity 118).
Bytes stringsSong() {
    const uint32_t q = 480, bar = 3 * q;
    Track conductor;
    conductor.name("Conductor").tempo(120).timeSignature(3, 2).at(2 * bar).tempo(90);

    Track violins;
    violins.name("Violins");
    addNotes(violins,
             {
                 {0, q, 0, 62, 100},           // Sustain
                 {q, q, 0, 64, 64},            // same articulation: no switch
                 {2 * q, q, 1, 65, 1},         // Legato, the softest velocity
                 {bar, q, 10, 67, 127},        // KS 24 + KS2 37
                 {bar + q, q, 11, 67, 126},    // KS 24 already sent: only KS2 38
                 {bar + 2 * q, q, 0, 69, 2},   // KS 24 still the last one sent: nothing
                 {2 * bar, q / 2, 2, 62, 90},  // a chord switches once
                 {2 * bar, q / 2, 2, 66, 91},
                 {2 * bar + q / 2, q / 2, 2, 69, 92},
                 {2 * bar + q, 7, 14, 74, 50},         // shorter than a host tick; velocity 118
                 {2 * bar + q + 7, 473, 3, 62, 63},    // starts between host ticks
                 {3 * bar, q, 1, 60, 80},              // the same key again while it sounds
                 {3 * bar + q / 2, q, 1, 60, 81},
             },
             NoteOff::kZeroVelocityNoteOn);
    violins.at(4 * bar);  // a bar of silence before the track ends
    return midiFile(1, int(q), {conductor.finish(), violins.finish()});
}

// Three instances (Strings, Spitfire UACC and Brass banks) at 96 ticks per quarter without a
// tempo map (120 bpm). A track of controllers only plays no notes and so gets no instance; a
// system-exclusive event and a foreign chunk are skipped.
Bytes ensembleSong() {
    const uint32_t q = 96;
    Track header;
    header.name("Ensemble").meta(0x01, {'t', 'e', 's', 't'}).sysex({0x7E, 0x7F, 0x09, 0x01, 0xF7});

    Track strings;
    strings.name("Strings");
    addNotes(strings,
             {{0, 2 * q, 0, 62, 80}, {2 * q, q, 1, 64, 85}, {3 * q, q / 2, 4, 62, 100}, {3 * q + q / 2, q / 2, 4, 57, 101}},
             NoteOff::kNoteOffWithVelocity64);

    Track uacc;
    uacc.name("UACC strings");
    addNotes(uacc, {{0, 2 * q, 0, 50, 70}, {2 * q, 2 * q, 1, 53, 72}, {4 * q, 2 * q, 0, 55, 74}},
             NoteOff::kNoteOffWithVelocity64);

    Track controllers;
    controllers.name("Modulation").channelMessage(0xB0, 1, 20).at(q).channelMessage(0xB0, 1, 90);

    Track brass;
    brass.name("Brass");
    addNotes(brass, {{0, q, 0, 48, 90}, {q, q, 3, 50, 40}, {2 * q, q, 3, 52, 41}, {3 * q, q, 1, 53, 99}},
             NoteOff::kNoteOffWithVelocity64);

    return midiFile(1, int(q),
                    {header.finish(), strings.finish(), chunk("XKRL", {1, 2, 3, 4}), uacc.finish(),
                     controllers.finish(), brass.finish()});
}

// One format-0 track at 192 ticks per quarter in 6/8, 100 bpm then 140 bpm, played through the
// format-3 state below (port 2, channel 3; articulation 0 sends CC 32 = 55, articulation 5
// CC 1 = 100, articulation 7 nothing).
Bytes format0Song() {
    const uint32_t q = 192;
    Track track;
    track.name("Format 0").tempo(100).timeSignature(6, 3);
    addNotes(track, {{0, q, 0, 60, 96}, {q, q, 5, 62, 97}, {2 * q, q, 0, 64, 98}}, NoteOff::kZeroVelocityNoteOn);
    track.at(4 * q).tempo(140);
    addNotes(track, {{4 * q, 2 * q, 7, 65, 99}, {6 * q, q, 5, 67, 100}}, NoteOff::kZeroVelocityNoteOn);
    return midiFile(0, int(q), {track.finish()});
}

// ---------------------------------------------------------------------------------------------
// Saved instance states (layouts by format number)

constexpr int kControllers = 96;
constexpr int kPages = 16;

// Names for the first articulations, empty after them.
std::vector<std::string> names(int count, std::initializer_list<const char*> first) {
    std::vector<std::string> out(first.begin(), first.end());
    out.resize(size_t(count));
    return out;
}

StreamBuilder& strings(StreamBuilder& s, const std::vector<std::string>& texts) {
    for (const std::string& t : texts) s.str(t);
    return s;
}

// Notes only; 0 means none, anything else also gives the articulation an icon.
Bytes format1State() {
    const int notes[16] = {0, 24, 25, 0, 127};
    return StreamBuilder().i32(1).i32(2).i32(1).column(16, [&](int i) { return notes[i]; }).bytes;
}

// A UACC flag turns the notes into CC 32 values.
Bytes format2State() {
    const int notes[16] = {1, 20, 0, 42};
    return StreamBuilder().i32(2).i32(5).i32(0).i32(1).i32(1).column(16, [&](int i) { return notes[i]; }).bytes;
}

// The program column held a UACC value and modw the mod wheel.
Bytes format3State() {
    StreamBuilder s;
    s.i32(3).i32(3).i32(2).i32(0);  // channel, port, ghost
    s.column(16, [](int i) { return i == 2 ? 26 : -1; });                          // note
    s.column(16, [](int i) { return i == 0 ? 55 : i == 5 ? 40 : -1; });           // prog
    s.column(16, [](int i) { return i == 5 ? 100 : -1; });                         // modw
    s.column(16, [](int i) { return i == 0 ? 52 : i == 2 ? 42 : i == 5 ? 16 : 55; });  // icon
    strings(s, names(16, {"Marcato", "", "Spiccato", "", "", "Vibrato"}));
    s.u16(kControllers).column(kControllers, [](int i) { return i == 0 ? 64 : 100; });  // value
    s.i32(0).i32(5);  // page, editing
    return s.bytes;
}

// Page names, controller columns and modes; a controller stored with CC 0 is unassigned.
Bytes format6State() {
    StreamBuilder s;
    s.i32(6).i32(7).i32(3).i32(1).i32(3).i32(1);  // channel, port, ghost, midixtend (low bit), preserve
    s.column(16, [](int i) { return i < 3 ? 30 + i : -1; });                     // note
    s.column(16, [](int i) { return i == 3 ? 9 : -1; });                         // prog
    s.column(16, [](int i) { return i == 1 ? 44 : i == 2 ? 112 : -1; });         // modw
    s.column(16, [](int i) { return i == 1 ? -2 : i == 2 ? -3 : -1; });          // modc
    s.column(16, [](int i) { return i < 4 ? 1 + i : 55; });                      // icon
    strings(s, names(16, {"Long", "Long + KS2", "Accent", "Program 10"}));
    s.u16(kPages);
    strings(s, names(kPages, {"Dynamics", "", "Extra"}));
    s.u16(kControllers);
    s.column(kControllers, [](int i) { return i; });                           // value
    s.column(kControllers, [](int i) { return i == 0 ? 1 : i == 6 ? 0 : i == 7 ? 74 : 255; });  // cc
    s.column(kControllers, [](int i) { return i == 7 ? 2 : 0; });                  // type
    s.column(kControllers, 127);                                                   // default
    s.column(kControllers, [](int i) { return i == 6 ? 0 : 1; });                  // on
    strings(s, names(kControllers, {"Dyn", "", "", "", "", "", "Zero", "Cutoff"}));
    s.i32(6).i32(2).i32(4);  // controllerstart, page, editing
    return s.bytes;
}

// Twenty articulations (beyond the first bank), no velocity column, keyed options in mixed
// case and order with one unknown key and one this format does not know.
Bytes format8State() {
    const int n = 20;
    StreamBuilder s;
    s.i32(8).u16(n);
    s.column(n, [](int i) { return i == 0 ? 24 : i == 19 ? 43 : -1; });      // note
    s.column(n, [](int i) { return i == 17 ? 4 : -1; });                     // prog
    s.column(n, [](int i) { return i == 18 ? 40 : -1; });                    // modw
    s.column(n, [](int i) { return i == 18 ? 32 : -1; });                    // modc
    s.column(n, [](int i) { return i == 0 || i >= 17 ? 60 + i : 55; });      // icon
    strings(s, names(n, {"First"}));
    s.u16(kPages);
    strings(s, names(kPages, {}));
    s.u16(kControllers);
    s.column(kControllers, 90);                                              // value
    s.column(kControllers, [](int i) { return i < 2 ? 7 + i : 255; });       // cc
    s.column(kControllers, 0);                                               // type
    s.column(kControllers, 0);                                               // default
    s.column(kControllers, 1);                                               // on
    strings(s, names(kControllers, {"Volume", "Balance"}));
    s.i32(0);  // controllerstart
    s.u16(12)
        .key("PORT", 4)
        .key("channel", 9)
        .key("preserve", 0)
        .key("Page", 0)
        .key("ghost", 3)
        .key("midixtend", 0)
        .key("cctimerfix", 1)
        .key("holdkeyswitch", 1)
        .key("unknownkey", 5)
        .key("paramknob", 1)
        .key("ccuacc", 1)
        .key("editing", 17);
    return s.bytes;
}

// Stored key names without a file; options of this format, and keys it does not know.
Bytes format9State() {
    const int n = 17;
    StreamBuilder s;
    s.i32(9).u16(n);
    s.column(n, [](int i) { return i == 16 ? 36 : -1; });  // note
    s.column(n, [](int i) { return i == 16 ? 90 : 127; });  // notevel
    s.column(n, -1);                                        // prog
    s.column(n, -1);                                        // modw
    s.column(n, -1);                                        // modc
    s.column(n, 55);                                        // icon
    strings(s, names(n, {"Names"}));
    for (int i = 0; i < n; ++i) {
        s.str("");
        if (i == 0) s.u16(2).u16(0).str("Low").u16(60).str("Middle");
        else s.u16(0);
    }
    s.u16(kPages);
    strings(s, names(kPages, {"One"}));
    s.u16(kControllers);
    s.column(kControllers, 127);                                  // value
    s.column(kControllers, [](int i) { return i == 0 ? 1 : 255; });  // cc
    s.column(kControllers, 0);                                    // type
    s.column(kControllers, 127);                                  // default
    s.column(kControllers, 1);                                    // on
    strings(s, names(kControllers, {"Dynamics"}));
    s.i32(0);
    s.u16(10)
        .key("port", 1)
        .key("channel", 1)
        .key("cctimerfix", 1)  // cleared: no articulation sends a controller
        .key("singleeditor", 0)
        .key("releasecc17", 1)
        .key("overlapping", 1)
        .key("altmiddlec", 1)
        .key("holdkeyswitch", 1)
        .key("articbanks", 1)
        .key("uiscale", 150);
    return s.bytes;
}

// Only articulation 40 used; its key names come from a file that no longer exists. The channel
// is per colour; a stored first bank other than 1 is not kept.
Bytes format10State() {
    const int n = 41;
    auto only40 = [](int used, int otherwise) { return [=](int i) { return i == 40 ? used : otherwise; }; };
    StreamBuilder s;
    s.i32(10).u16(n);
    s.column(n, only40(31, -1)).column(n, only40(100, 127)).column(n, -1).column(n, only40(12, -1));
    s.column(n, only40(1, -1)).column(n, only40(70, 55));
    strings(s, names(n, {}));
    for (int i = 0; i < n; ++i) {
        if (i == 40) s.str("/nonexistent/voxtrane-key-names.txt").u16(1).u16(72).str("Trill C4");
        else s.str("").u16(0);
    }
    s.u16(kPages);
    strings(s, names(kPages, {}));
    s.u16(kControllers);
    s.column(kControllers, 127).column(kControllers, [](int i) { return i == 5 ? 64 : 255; });
    s.column(kControllers, [](int i) { return i == 5 ? 1 : 0; }).column(kControllers, 0).column(kControllers, 1);
    s.column(kControllers, [](int i) { return i == 5 ? 1 : 0; });  // lock
    strings(s, names(kControllers, {"", "", "", "", "", "Sustain"}));
    s.i32(12);
    s.u16(14)
        .key("Channel", 256)
        .key("port", 0)
        .key("preserve", 1)
        .key("page", 3)
        .key("editing", 40)
        .key("startart", 32)
        .key("articbanks", 5)
        .key("ghosttransport", 1)
        .key("holdkeyswitch", 1)
        .key("cctimerfix", 1)
        .key("cc64release", 0)
        .key("allchannelomni", 0)
        .key("optimiseautomation", 0)
        .key("singleeditor", 0);
    return s.bytes;
}

struct Fixture {
    const char* name;
    Bytes bytes;
};

std::vector<Fixture> fixtures() {
    return {
        {"strings.mid", stringsSong()},
        {"ensemble.mid", ensembleSong()},
        {"format0.mid", format0Song()},
        {"format1.state", format1State()},
        {"format2.state", format2State()},
        {"format3.state", format3State()},
        {"format6.state", format6State()},
        {"format8.state", format8State()},
        {"format9.state", format9State()},
        {"format10.state", format10State()},
        {"format99.state", StreamBuilder().i32(99).column(16, -1).bytes},  // no such format
    };
}

bool readAll(const std::string& path, Bytes& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: make_fixtures [--check] DIR\n");
        return 2;
    }
    const std::string dir = argv[argc - 1];
    int status = 0;
    for (const Fixture& f : fixtures()) {
        const std::string path = dir + "/" + f.name;
        if (check) {
            Bytes present;
            if (!readAll(path, present) || present != f.bytes) {
                std::fprintf(stderr, "%s differs from what make_fixtures writes; run it on %s\n", path.c_str(),
                             dir.c_str());
                status = 1;
            }
            continue;
        }
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(f.bytes.data()), std::streamsize(f.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            status = 1;
        }
    }
    return status;
}
