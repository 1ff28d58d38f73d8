#include "render.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <set>

#include "model/note_letters.h"
#include "platform/files.h"

namespace voxhost {

namespace {

std::string noteName(int key) {
    return std::string(1, model::kNoteLetters[key % 12]) + (model::isSharp(key % 12) ? "#" : "") +
           std::to_string(model::octaveOfKey(key, false));
}

std::string describe(uint32_t raw) {
    const int d1 = (raw >> 8) & 0xFF, d2 = (raw >> 16) & 0xFF;
    char text[64];
    switch (raw & 0xF0) {
    case 0x80: std::snprintf(text, sizeof text, "note-off %-4s (%d) %d", noteName(d1 & 0x7F).c_str(), d1, d2); break;
    case 0x90: std::snprintf(text, sizeof text, "note-on  %-4s (%d) %d", noteName(d1 & 0x7F).c_str(), d1, d2); break;
    case 0xA0: std::snprintf(text, sizeof text, "aftertouch %d %d", d1, d2); break;
    case 0xB0: std::snprintf(text, sizeof text, "CC %d = %d", d1, d2); break;
    case 0xC0: std::snprintf(text, sizeof text, "program %d", d1); break;
    case 0xD0: std::snprintf(text, sizeof text, "pressure %d", d1); break;
    case 0xE0: std::snprintf(text, sizeof text, "pitch bend %d", (d1 & 0x7F) | (d2 & 0x7F) << 7); break;
    default: std::snprintf(text, sizeof text, "%02X %02X %02X", raw & 0xFF, d1, d2); break;
    }
    return text;
}

double tempoAt(const smf::Song& song, size_t& next, uint64_t tick, double current) {
    while (next < song.tempos.size() && song.tempos[next].tick <= tick)
        current = 60e6 / std::max<uint32_t>(1, song.tempos[next++].microsecondsPerQuarter);
    return current;
}

}  // namespace

std::vector<int> assignTracks(const smf::Song& song, int instances) {
    std::set<int> noteTracks;
    for (const smf::ChannelEvent& e : song.events)
        if (e.isNoteOn()) noteTracks.insert(e.track);
    int maxTrack = 0;
    for (const smf::ChannelEvent& e : song.events) maxTrack = std::max(maxTrack, e.track);
    std::vector<int> assignment(static_cast<size_t>(maxTrack) + 1, 0);
    int turn = 0;
    for (int track : noteTracks) assignment[static_cast<size_t>(track)] = instances > 0 ? turn++ % instances : 0;
    return assignment;
}

void playSong(HostSession& session, const smf::Song& song) {
    const std::vector<int> instanceOf = assignTracks(song, session.instanceCount());
    const uint64_t ppq = static_cast<uint64_t>(song.ticksPerQuarter);
    // About one message per note event, plus switches: room for them at once rather than by doubling.
    session.expectMessages(song.events.size() + song.events.size() / 4);
    auto hostTickOf = [&](uint64_t songTick) { return songTick * kHostTicksPerQuarter / ppq; };
    auto songTickOf = [&](uint64_t hostTick) { return hostTick * ppq / kHostTicksPerQuarter; };

    size_t nextTempo = 0;
    double bpm = tempoAt(song, nextTempo, 0, 120.0);
    session.setClock(0);
    session.setTempo(bpm);
    session.transport(1);

    // A note whose track ends before its note-off ends with its track.
    std::vector<std::pair<uint64_t, int>> trackEnds;  // (tick, track) in order
    for (size_t t = 0; t < song.trackEnds.size(); ++t) trackEnds.push_back({song.trackEnds[t], int(t)});
    std::sort(trackEnds.begin(), trackEnds.end());
    size_t nextEnd = 0;
    // Half a bar after the last event nothing waits for a tick any more (delayed notes take
    // five, held keyswitches a few): a long silence is skipped rather than ticked through.
    constexpr uint64_t kSettleTicks = 2 * kHostTicksPerQuarter;
    uint64_t lastActive = 0;
    auto endTracksUntil = [&](uint64_t hostTick) {
        for (; nextEnd < trackEnds.size() && hostTickOf(trackEnds[nextEnd].first) <= hostTick; ++nextEnd) {
            session.setClock(trackEnds[nextEnd].first);
            session.releaseAll(trackEnds[nextEnd].second);
            lastActive = hostTick;
        }
    };

    // The periodic call comes about every 20 ms of song time.
    double seconds = 0.0, nextPeriodic = 0.0;
    size_t e = 0;
    const uint64_t lastHostTick = hostTickOf(song.endTick);
    for (uint64_t h = 0; h <= lastHostTick; ++h) {
        if (h > lastActive + kSettleTicks) {
            uint64_t next = UINT64_MAX;
            if (e < song.events.size()) next = hostTickOf(song.events[e].tick);
            if (nextEnd < trackEnds.size()) next = std::min(next, hostTickOf(trackEnds[nextEnd].first));
            if (next == UINT64_MAX) break;
            if (next > h) h = next;
        }
        const uint64_t songTick = songTickOf(h);
        const double tempoNow = tempoAt(song, nextTempo, songTick, bpm);
        if (tempoNow != bpm) session.setTempo(bpm = tempoNow);
        for (; e < song.events.size() && hostTickOf(song.events[e].tick) <= h; ++e) {
            const smf::ChannelEvent& ev = song.events[e];
            const double tempo = tempoAt(song, nextTempo, ev.tick, bpm);
            session.setClock(ev.tick);
            if (tempo != bpm) session.setTempo(bpm = tempo);
            const int instance = instanceOf[static_cast<size_t>(ev.track)];
            if (ev.isNoteOn()) session.noteOn(instance, ev.track, ev.channel(), ev.data1, ev.data2);
            else if (ev.isNoteOff())
                session.noteOff(instance, ev.track, ev.channel(), ev.data1, (ev.status & 0xF0) == 0x80 ? ev.data2 : 0);
            lastActive = h;
        }
        endTracksUntil(h);
        session.setClock(songTick);
        session.tick();
        seconds += 60.0 / (bpm * kHostTicksPerQuarter);
        if (seconds >= nextPeriodic) {
            session.periodic();
            nextPeriodic += 0.02;
        }
    }
    // Whatever still sounds ends with its track; a few more ticks let delayed notes and held
    // keyswitches finish before the transport stops.
    endTracksUntil(lastHostTick);
    session.setClock(song.endTick);
    session.releaseAll();
    for (int t = 0; t < 2 * kHostTicksPerQuarter; ++t) {
        session.setClock(songTickOf(lastHostTick + 1 + static_cast<uint64_t>(t)));
        session.tick();
    }
    session.transport(0);
}

std::vector<uint8_t> renderedFile(const smf::Song& song, const std::vector<SentMessage>& sent) {
    // Tracks in port, then channel order. Counted first so that each track's events are allocated
    // once: a long song's result is megabytes, and fresh memory is a large part of a render's time.
    auto slotOf = [](uint32_t raw) { return size_t(raw >> 24) * 16 + (raw & 0x0F); };
    std::vector<size_t> counts(256 * 16, 0);
    for (const SentMessage& m : sent) ++counts[slotOf(m.raw)];
    std::vector<size_t> trackOf(counts.size(), 0);
    std::vector<smf::OutTrack> tracks;
    for (size_t slot = 0; slot < counts.size(); ++slot) {
        if (!counts[slot]) continue;
        trackOf[slot] = tracks.size();
        smf::OutTrack track;
        const int port = int(slot / 16), channel = int(slot % 16);
        track.name = "Port " + std::to_string(port) + " Channel " + std::to_string(channel + 1);
        track.port = port;
        track.events.reserve(counts[slot]);
        tracks.push_back(std::move(track));
    }
    for (const SentMessage& m : sent) {
        smf::ChannelEvent e;
        e.tick = m.tick;
        e.status = static_cast<uint8_t>(m.raw & 0xFF);
        e.data1 = static_cast<uint8_t>((m.raw >> 8) & 0x7F);
        e.data2 = static_cast<uint8_t>((m.raw >> 16) & 0x7F);
        tracks[trackOf[slotOf(m.raw)]].events.push_back(e);
    }
    // A message sent at a host tick can carry a song tick just before one sent earlier (several
    // song ticks to one host tick); such tracks are put in order.
    auto byTick = [](const smf::ChannelEvent& a, const smf::ChannelEvent& b) { return a.tick < b.tick; };
    for (smf::OutTrack& track : tracks)
        if (!std::is_sorted(track.events.begin(), track.events.end(), byTick))
            std::stable_sort(track.events.begin(), track.events.end(), byTick);
    return smf::write(song.ticksPerQuarter, song.tempos, song.signatures, tracks);
}

void printListing(FILE* out, const smf::Song& song, const std::vector<SentMessage>& sent) {
    std::fprintf(out, "%-11s %10s  %4s  %3s  %-3s %-26s %s\n", "time", "seconds", "port", "ch", "in", "message",
                 "switch for");
    for (const SentMessage& m : sent) {
        std::fprintf(out, "%-11s %10.3f  %4u  %3u  %-3d %-26s %s\n", smf::barsBeatsTicks(song, m.tick).c_str(),
                     smf::secondsAt(song, m.tick), m.raw >> 24, (m.raw & 0x0F) + 1, m.instance + 1,
                     describe(m.raw).c_str(), m.cause);
    }
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    FILE* f = platform::openFile(path, "rb");
    if (!f) {
        error = std::strerror(errno);
        return false;
    }
    bytes.clear();
    unsigned char buffer[65536];
    size_t n;
    errno = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    const bool failed = std::ferror(f) != 0;
    const int why = errno;
    std::fclose(f);
    if (failed) error = why ? std::strerror(why) : "read error";  // a folder opens but reads "Is a directory"
    return !failed;
}

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    const std::string temporary = path + ".part";
    FILE* f = platform::openFile(temporary, "wb");
    if (!f) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        error = "write error";
        platform::removeFile(temporary);
        return false;
    }
    if (!platform::replaceFile(temporary, path)) {
        error = std::strerror(errno);
        platform::removeFile(temporary);
        return false;
    }
    return true;
}

}  // namespace voxhost
