#include "smf/smf.h"

#include <algorithm>
#include <cstdio>

namespace smf {

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    size_t left() const { return static_cast<size_t>(end_ - p_); }
    bool u8(uint8_t& v) {
        if (p_ >= end_) return false;
        v = *p_++;
        return true;
    }
    bool u16(uint16_t& v) {
        if (left() < 2) return false;
        v = static_cast<uint16_t>(p_[0] << 8 | p_[1]);
        p_ += 2;
        return true;
    }
    bool u32(uint32_t& v) {
        if (left() < 4) return false;
        v = uint32_t(p_[0]) << 24 | uint32_t(p_[1]) << 16 | uint32_t(p_[2]) << 8 | p_[3];
        p_ += 4;
        return true;
    }
    // Variable-length quantity: at most four bytes.
    bool vlq(uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!u8(b)) return false;
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool skip(size_t n) {
        if (left() < n) return false;
        p_ += n;
        return true;
    }
    const uint8_t* here() const { return p_; }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

bool fail(std::string& error, const char* why) {
    error = why;
    return false;
}

// Data bytes that follow a channel status.
int dataBytes(uint8_t status) {
    const int type = status & 0xF0;
    return type == 0xC0 || type == 0xD0 ? 1 : 2;
}

bool parseTrack(Reader r, int track, Song& song, std::string& error) {
    uint64_t tick = 0;
    uint8_t running = 0;
    while (r.left() > 0) {
        uint32_t delta;
        if (!r.vlq(delta)) return fail(error, "a track ends inside an event time");
        tick += delta;
        uint8_t status;
        if (!r.u8(status)) return fail(error, "a track ends before an event");
        uint8_t first = 0;
        bool haveFirst = false;
        if (status < 0x80) {
            if (!running) return fail(error, "a data byte without a running status");
            first = status;
            haveFirst = true;
            status = running;
        }
        if (status == 0xFF) {
            uint8_t type;
            uint32_t length;
            if (!r.u8(type) || !r.vlq(length)) return fail(error, "a meta event ends early");
            const uint8_t* body = r.here();
            if (!r.skip(length)) return fail(error, "a meta event is longer than its track");
            if (type == 0x51 && length >= 3)
                song.tempos.push_back({tick, uint32_t(body[0]) << 16 | uint32_t(body[1]) << 8 | body[2]});
            else if (type == 0x58 && length >= 2 && body[1] < 8)
                song.signatures.push_back({tick, std::max(1, int(body[0])), 1 << body[1],
                                           length >= 4 ? body[2] : uint8_t(24), length >= 4 ? body[3] : uint8_t(8)});
            else if (type == 0x2F)
                break;
            // Running status survives meta and system-exclusive events: the standard cancels
            // it, but files that rely on it are common and the usual readers accept them.
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length;
            if (!r.vlq(length) || !r.skip(length)) return fail(error, "a system-exclusive event ends early");
        } else if (status >= 0xF0) {
            return fail(error, "an unknown system event in a track");
        } else {
            running = status;
            ChannelEvent e;
            e.tick = tick;
            e.track = track;
            e.status = status;
            if (haveFirst) e.data1 = first;
            else if (!r.u8(e.data1)) return fail(error, "a channel event ends early");
            if (dataBytes(status) == 2 && !r.u8(e.data2)) return fail(error, "a channel event ends early");
            if ((e.data1 | e.data2) & 0x80) return fail(error, "a data byte above 127");
            song.events.push_back(e);
        }
    }
    song.trackEnds.push_back(tick);
    song.endTick = std::max(song.endTick, tick);
    return true;
}

void putU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
void putU32(std::vector<uint8_t>& out, uint32_t v) {
    putU16(out, v >> 16);
    putU16(out, v & 0xFFFF);
}
void putVlq(std::vector<uint8_t>& out, uint64_t v) {
    if (v > 0x0FFFFFFF) v = 0x0FFFFFFF;
    uint8_t bytes[4];
    int n = 0;
    do {
        bytes[n++] = uint8_t(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n > 1) out.push_back(bytes[--n] | 0x80);
    out.push_back(bytes[0]);
}

struct TrackWriter {
    std::vector<uint8_t> body;
    uint64_t last = 0;
    void delta(uint64_t tick) {
        putVlq(body, tick > last ? tick - last : 0);
        last = std::max(last, tick);
    }
    void meta(uint64_t tick, uint8_t type, const std::vector<uint8_t>& data) {
        delta(tick);
        body.push_back(0xFF);
        body.push_back(type);
        putVlq(body, data.size());
        body.insert(body.end(), data.begin(), data.end());
    }
    void append(std::vector<uint8_t>& out) {
        meta(last, 0x2F, {});
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        putU32(out, static_cast<uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }
};

}  // namespace

bool parse(const uint8_t* data, size_t size, Song& song, std::string& error) {
    song = Song{};
    Reader r(data, size);
    uint32_t id, length;
    if (!r.u32(id) || id != 0x4D546864 || !r.u32(length) || length < 6)
        return fail(error, "not a Standard MIDI File (no MThd header)");
    uint16_t format, tracks, division;
    if (!r.u16(format) || !r.u16(tracks) || !r.u16(division) || !r.skip(length - 6))
        return fail(error, "the MIDI file header ends early");
    if (format > 2) return fail(error, "unknown MIDI file format");
    if (division & 0x8000) return fail(error, "SMPTE time division is not supported");
    if (division == 0) return fail(error, "a time division of 0 ticks per quarter");
    song.format = format;
    song.ticksPerQuarter = division;
    // A note event takes three or four bytes, and files are mostly notes; a huge file of something
    // else must not claim memory for events it does not hold.
    song.events.reserve(std::min<size_t>(r.left() / 3, size_t(1) << 22));
    int found = 0;
    while (found < tracks && r.left() > 0) {
        if (!r.u32(id) || !r.u32(length)) return fail(error, "a chunk header ends early");
        const uint8_t* body = r.here();
        if (!r.skip(length)) return fail(error, "a chunk is longer than the file");
        if (id != 0x4D54726B) continue;  // unknown chunks are skipped
        if (!parseTrack(Reader(body, length), found, song, error)) return false;
        ++found;
    }
    if (found < tracks) return fail(error, "the file holds fewer tracks than its header says");
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const ChannelEvent& a, const ChannelEvent& b) { return a.tick < b.tick; });
    auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(song.tempos.begin(), song.tempos.end(), byTick);
    std::stable_sort(song.signatures.begin(), song.signatures.end(), byTick);
    return true;
}

double secondsAt(const Song& song, uint64_t tick) {
    double seconds = 0.0;
    uint64_t at = 0;
    uint32_t tempo = 500000;
    for (const TempoChange& t : song.tempos) {
        if (t.tick >= tick) break;
        seconds += double(t.tick - at) * tempo / 1e6 / song.ticksPerQuarter;
        at = t.tick;
        tempo = t.microsecondsPerQuarter;
    }
    return seconds + double(tick - at) * tempo / 1e6 / song.ticksPerQuarter;
}

std::string barsBeatsTicks(const Song& song, uint64_t tick) {
    uint64_t bar = 0, at = 0;
    int num = 4, den = 4;
    auto beatTicks = [&] { return uint64_t(song.ticksPerQuarter) * 4 / uint64_t(den); };
    for (const TimeSignature& s : song.signatures) {
        if (s.tick > tick) break;
        const uint64_t barTicks = beatTicks() * uint64_t(num);
        bar += barTicks ? (s.tick - at + barTicks - 1) / barTicks : 0;
        at = s.tick;
        num = s.numerator;
        den = s.denominator;
    }
    const uint64_t beat = std::max<uint64_t>(1, beatTicks());
    const uint64_t barTicks = beat * uint64_t(num);
    const uint64_t into = tick - at;
    bar += into / barTicks;
    char text[48];
    std::snprintf(text, sizeof text, "%llu:%llu:%02llu", static_cast<unsigned long long>(bar + 1),
                  static_cast<unsigned long long>(into % barTicks / beat + 1),
                  static_cast<unsigned long long>(into % beat));
    return text;
}

std::vector<uint8_t> write(int ticksPerQuarter, const std::vector<TempoChange>& tempos,
                           const std::vector<TimeSignature>& signatures, const std::vector<OutTrack>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    putU32(out, 6);
    putU16(out, 1);
    putU16(out, static_cast<uint32_t>(tracks.size() + 1));
    putU16(out, static_cast<uint32_t>(ticksPerQuarter));

    // Track 0: the tempo map and time signatures, merged in tick order.
    TrackWriter conductor;
    size_t t = 0, s = 0;
    while (t < tempos.size() || s < signatures.size()) {
        if (s >= signatures.size() || (t < tempos.size() && tempos[t].tick <= signatures[s].tick)) {
            const uint32_t us = tempos[t].microsecondsPerQuarter;
            conductor.meta(tempos[t++].tick, 0x51, {uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
        } else {
            int shift = 0;
            while ((1 << shift) < signatures[s].denominator && shift < 7) ++shift;
            conductor.meta(signatures[s].tick, 0x58,
                           {uint8_t(signatures[s].numerator), uint8_t(shift), signatures[s].clocksPerClick,
                            signatures[s].thirtySecondsPerQuarter});
            ++s;
        }
    }
    std::vector<TrackWriter> writers(tracks.size() + 1);
    writers[0] = std::move(conductor);
    for (size_t i = 0; i < tracks.size(); ++i) {
        const OutTrack& track = tracks[i];
        TrackWriter& w = writers[i + 1];
        w.body.reserve(track.events.size() * 4 + track.name.size() + 16);  // a short delta and three bytes each
        if (!track.name.empty()) w.meta(0, 0x03, std::vector<uint8_t>(track.name.begin(), track.name.end()));
        if (track.port >= 0) w.meta(0, 0x21, {uint8_t(track.port)});
        for (const ChannelEvent& e : track.events) {
            w.delta(e.tick);
            w.body.push_back(e.status);
            w.body.push_back(e.data1 & 0x7F);
            if (dataBytes(e.status) == 2) w.body.push_back(e.data2 & 0x7F);
        }
    }
    size_t total = out.size();
    for (TrackWriter& w : writers) total += 8 + w.body.size() + 4;
    out.reserve(total);
    for (TrackWriter& w : writers) w.append(out);
    return out;
}

}  // namespace smf
