// Notes at one instance's session, for what the random model test does not play: the
// articulation parameter, muting, a full table, handles that are not voices, note learn, trace
// lines, and where a note ends when the user moves the instance while it sounds.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/session_fixture.h"

namespace {

using Strings = std::vector<std::string>;
using testing_support::SessionTest;

TEST_F(SessionTest, TheArticulationParameterSkipsColourSwitchingAndPlayVelocity) {
    setArticulation(0, 24, 127, -1, -3, 50);
    session.articulationParameter = 1;
    play(1, 60);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 60 100"});
}

TEST_F(SessionTest, AMutedPortAndChannelDropsEverythingYetRemembersTheSwitches) {
    setArticulation(0, 24, 127, -1, -1, -1);
    tables->muteTable[engine::portChannelIndex(0, 0)] = 1;
    session.Voice_Kill(play(1, 60));
    EXPECT_TRUE(host.midi.empty());
    tables->muteTable[engine::portChannelIndex(0, 0)] = 0;
    play(2, 60);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 60 100"});
}

TEST_F(SessionTest, AFullTableRefusesTheNoteAndSendsNothing) {
    for (int i = 0; i < engine::kVoiceSlots; ++i) ASSERT_NE(play(i + 1, 60), 0) << i;
    host.midi.clear();
    session.debugLog = true;
    EXPECT_EQ(play(999999, 61), 0);
    EXPECT_TRUE(host.midi.empty());
    ASSERT_FALSE(host.lines.empty());
    EXPECT_NE(host.lines.back().find("ERROR: KRYL Instance out of voices"), std::string::npos);
}

TEST_F(SessionTest, HandlesThatAreNotVoicesOfThisInstanceAreIgnored) {
    const intptr_t a = play(1, 60);
    const auto ignored = [&](std::initializer_list<intptr_t> handles) {
        host.midi.clear();
        for (intptr_t handle : handles) {
            session.Voice_Release(handle);
            session.Voice_Kill(handle);
        }
        EXPECT_TRUE(host.midi.empty());
    };
    ignored({0, 12345, a + 1});
    session.Voice_Kill(a);
    ignored({a});  // no longer a voice
    EXPECT_TRUE(host.done.empty());
    EXPECT_EQ(play(2, 62), a);  // the freed slot is the lowest empty one again
}

TEST_F(SessionTest, NoteLearnFillsTheDraggedFieldOfTheEditedArticulation) {
    using engine::NoteLearn;
    records.options.editing = 3;
    const struct { NoteLearn field; int modc; float level; int note, notevel, modw; } cases[] = {
        {NoteLearn::kKeyswitch, -1, 1.0f, 48, 127, -1},
        {NoteLearn::kKeyswitchVelocity, -1, 3.0f, -1, 143, -1},  // the curve without its limit
        {NoteLearn::kSecondValue, -1, 1.0f, -1, 127, -1},        // a controller: nothing to learn
        {NoteLearn::kSecondValue, -2, 1.0f, -1, 127, 48},
        {NoteLearn::kSecondValue, -3, 0.5f, -1, 127, 74},
    };
    intptr_t hostVoice = 1;
    for (const auto& c : cases) {
        setArticulation(3, -1, 127, -1, c.modc, -1);
        session.learn = c.field;
        host.stateChanges = 0;
        play(hostVoice++, 48, 0, c.level);
        const model::Articulations& a = records.articulations;
        EXPECT_EQ(std::make_tuple(a.note[3], a.notevel[3], a.modw[3]), std::make_tuple(c.note, c.notevel, c.modw))
            << hostVoice;
        EXPECT_EQ(host.stateChanges, c.modc == -1 && c.field == NoteLearn::kSecondValue ? 0 : 1) << hostVoice;
    }
}

TEST_F(SessionTest, TraceLinesNameEachStepAndOnlyTheHoldWaitIgnoresTheDebugFlag) {
    setArticulation(0, 24, 90, 3, -1, -1);
    records.options.holdkeyswitch = 1;
    session.tickLength = 100.0f;
    session.debugLog = true;
    play(1, 60);
    session.debugLog = false;
    session.NewTick();
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "KRYL Voxtrane [%p] : ", static_cast<void*>(this));
    const Strings expected = {"TriggerVoice(", "Session_CheckArticulation(0) : PROG changed from 255 to 3",
                              "Session_CheckArticulation(0) : KS1 changed from 255:255 to 24:90",
                              "MIDI out 0 0 24 90 (0)", "Waiting on KS trigger (24, 0) 300.000000 till release"};
    ASSERT_EQ(host.lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(host.lines[i].rfind(prefix + expected[i], 0), 0u) << i;
}

// What a receiver reads as the destination of a message: port, channel nibble and the two
// channel bits that MIDI Extend carries in the data bytes.
uint32_t destination(uint32_t m) { return m & 0xFF80'800Fu; }

// A held keyswitch, a delayed note and a sounding note, all started before the user moves the
// instance (or mutes where it moves to): every end goes where its start went.
TEST_F(SessionTest, NotesAndHeldKeyswitchesEndWhereTheyStartedWhateverTheUserChangesMeanwhile) {
    struct Place { int port, channel, midixtend; };
    const struct { const char* change; Place before, after; bool afterMuted; } cases[] = {
        {"port", {0, 5, 0}, {3, 5, 0}, false},
        {"port, to a muted one", {1, 5, 0}, {2, 5, 0}, true},
        {"channel", {0, 21, 1}, {0, 9, 1}, false},
        {"per colour to a muted channel", {0, 256, 0}, {0, 5, 0}, true},
        {"channel to muted per colour", {0, 5, 0}, {0, 256, 0}, true},
        {"MIDI Extend off", {0, 21, 1}, {0, 21, 0}, false},
        {"MIDI Extend on", {0, 37, 0}, {0, 37, 1}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        model::InstanceRecords r;
        testing_support::RecordingSessionHost h;
        auto s = another(r, h);
        tables->muteTable.fill(0);
        tables->portChannelState.fill({});
        const auto place = [&](const Place& p) {
            std::tie(r.options.port, r.options.channel, r.options.midixtend) = std::tie(p.port, p.channel, p.midixtend);
        };
        place(c.before);
        r.options.holdkeyswitch = r.options.cctimerfix = 1;
        s->tickLength = 100.0f;
        r.articulations.note[0] = 24;  // held keyswitch ...
        r.articulations.modc[0] = 32;  // ... and a controller: the first note waits
        r.articulations.modw[0] = 40;
        const auto note = [&](intptr_t hostVoice, int key) {
            float levels[10] = {0, 1.0f};
            levels[7] = static_cast<float>((key - 60) * 100);
            return s->TriggerVoice(levels, hostVoice);
        };
        const intptr_t delayed = note(1, 60);
        s->NewTick();
        const intptr_t sounding = note(2, 62);
        place(c.after);
        if (c.afterMuted) tables->muteTable[engine::portChannelIndex(c.after.port, c.after.channel)] = 1;
        s->Voice_Kill(sounding);
        s->Voice_Release(delayed);
        for (int t = 0; t < 5; ++t) s->NewTick();

        std::string notes;
        for (uint32_t m : h.midi) {
            EXPECT_EQ(destination(m), destination(h.midi[0])) << hostkit::describeMidi(m);
            if ((m & 0xE0) == 0x80) notes += ((m & 0xF0) == 0x90 ? " on " : " off ") + std::to_string((m >> 8) & 0x7F);
        }
        EXPECT_EQ(notes, " on 24 on 62 off 62 off 24 on 60 off 60");
    }
}

}  // namespace
