// The MIDI file reader (the writer is pinned by the fuzz round trip and the golden renders).
#include <gtest/gtest.h>

#include <initializer_list>

#include "smf/smf.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes chunk(const char* id, const Bytes& body) {
    const uint32_t n = static_cast<uint32_t>(body.size());
    Bytes out = {uint8_t(id[0]), uint8_t(id[1]), uint8_t(id[2]), uint8_t(id[3]),
                 uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    for (uint8_t b : body) out.push_back(b);
    return out;
}

Bytes header(int format, int tracks, int division) {
    return chunk("MThd", {0, uint8_t(format), 0, uint8_t(tracks), uint8_t(division >> 8), uint8_t(division)});
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        for (uint8_t b : p) out.push_back(b);
    return out;
}

bool parse(const Bytes& b, smf::Song& song, std::string& error) { return smf::parse(b.data(), b.size(), song, error); }

TEST(Smf, ReadsRunningStatusMetaSysexAndSeveralTracks) {
    const Bytes conductor = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // 120 bpm
                             0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08,  // 3/4
                             0x83, 0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // tick 384: 60 bpm
                             0x00, 0xFF, 0x2F, 0x00};
    const Bytes notes = {0x00, 0x92, 0x3C, 0x64,                  // note-on ch 2
                         0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,      // sysex, skipped
                         0x60, 0x3C, 0x00,                        // running status after it; velocity 0 = off
                         0x00, 0xC1, 0x05,                        // program change: one data byte
                         0x10, 0xFF, 0x01, 0x02, 'h', 'i',        // text meta
                         0x00, 0x3E,                              // running status after it too
                         0x00, 0xFF, 0x2F, 0x00};
    const Bytes file = cat({header(1, 2, 96), chunk("XFIH", {1, 2, 3}), chunk("MTrk", conductor), chunk("MTrk", notes)});
    smf::Song song;
    std::string error;
    ASSERT_TRUE(parse(file, song, error)) << error;
    ASSERT_EQ(song.events.size(), 4u);
    EXPECT_EQ(song.events[0].channel(), 2);
    EXPECT_TRUE(song.events[1].isNoteOff());
    EXPECT_EQ(song.events[1].tick, 96u);
    EXPECT_EQ(song.events[3].status, 0xC1);
    EXPECT_EQ(song.events[3].data1, 0x3E);
    EXPECT_EQ(song.events[3].tick, 112u);
    ASSERT_EQ(song.tempos.size(), 2u);
    EXPECT_DOUBLE_EQ(smf::secondsAt(song, 480), 3.0);
    EXPECT_EQ(smf::barsBeatsTicks(song, 288 + 96 + 5), "2:2:05");
}

TEST(Smf, BrokenFilesGiveAReasonNotACrash) {
    const Bytes good = cat({header(0, 1, 96), chunk("MTrk", {0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00})});
    smf::Song song;
    std::string error;
    ASSERT_TRUE(parse(good, song, error));
    for (size_t n = 0; n < good.size() - 4; ++n) {
        Bytes cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_FALSE(parse(cut, song, error)) << n;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(parse(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}, song, error));
    EXPECT_FALSE(parse(header(1, 1, 0xE250), song, error));  // SMPTE
    EXPECT_FALSE(parse(cat({header(0, 1, 96), chunk("MTrk", {0x00, 0x3C, 0x64})}), song, error));
    EXPECT_FALSE(parse(cat({header(0, 1, 96), chunk("MTrk", {0xFF, 0xFF, 0xFF, 0xFF, 0x7F})}), song, error));
}

}  // namespace
