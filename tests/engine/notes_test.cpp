// Notes at one session, for what the random model test does not play: the articulation parameter,
// muting, a full table, stray handles, note learn, and moving the instance while notes sound.
#include <gtest/gtest.h>

#include "support/session_fixture.h"

namespace {

using Strings = std::vector<std::string>;
using testing_support::SessionTest;

TEST_F(SessionTest, TheArticulationParameterOrAMutedPortSkipsSwitchingAndMutingStillRemembers) {
    setArticulation(0, 24, 127, -1, -3, 50);
    session.articulationParameter = 1;  // no colour switching, no play velocity
    play(1, 60);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 60 100"});

    session.articulationParameter = 0;
    setArticulation(0, 24, 127, -1, -1, -1);
    tables->muteTable[engine::portChannelIndex(0, 0)] = 1;
    session.Voice_Kill(play(2, 60));
    EXPECT_TRUE(host.midi.empty());
    tables->muteTable[engine::portChannelIndex(0, 0)] = 0;
    play(3, 60);
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
    session.Voice_Kill(a);
    host.midi.clear();
    for (intptr_t handle : {intptr_t{0}, intptr_t{12345}, a + 1, a}) {  // a is no longer a voice
        session.Voice_Release(handle);
        session.Voice_Kill(handle);
    }
    EXPECT_TRUE(host.midi.empty());
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
        session.setLearn(c.field, records.options.editing);
        host.stateChanges = 0;
        play(hostVoice++, 48, 0, c.level);
        const model::Articulations& a = records.articulations;
        EXPECT_EQ(std::make_tuple(a.note[3], a.notevel[3], a.modw[3]), std::make_tuple(c.note, c.notevel, c.modw))
            << hostVoice;
        EXPECT_EQ(host.stateChanges, c.modc == -1 && c.field == NoteLearn::kSecondValue ? 0 : 1) << hostVoice;
    }
}

// A held keyswitch, a delayed note and a sounding note, all started before the user moves the
// instance (or mutes where it moves to): every end goes where its start went.
TEST_F(SessionTest, NotesAndHeldKeyswitchesEndWhereTheyStartedWhateverTheUserChangesMeanwhile) {
    using Place = std::tuple<int, int, int>;  // port, channel, MIDI Extend
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
        std::tie(r.options.port, r.options.channel, r.options.midixtend) = c.before;
        r.options.holdkeyswitch = r.options.cctimerfix = 1;
        s->tickLength = 100.0f;
        auto& a = r.articulations;  // a held keyswitch and a controller: the first note waits
        std::tie(a.note[0], a.modc[0], a.modw[0]) = std::make_tuple(24, 32, 40);
        const auto note = [&](intptr_t hostVoice, int key) {
            float levels[10] = {0, 1.0f};
            levels[7] = static_cast<float>((key - 60) * 100);
            return s->TriggerVoice(levels, hostVoice);
        };
        const intptr_t delayed = note(1, 60);
        s->NewTick();
        const intptr_t sounding = note(2, 62);
        std::tie(r.options.port, r.options.channel, r.options.midixtend) = c.after;
        if (c.afterMuted) tables->muteTable[engine::portChannelIndex(r.options.port, r.options.channel)] = 1;
        s->Voice_Kill(sounding);
        s->Voice_Release(delayed);
        for (int t = 0; t < 5; ++t) s->NewTick();

        std::string notes;
        for (uint32_t m : h.midi) {
            // The destination a receiver reads: port, channel nibble and MIDI Extend's channel bits.
            EXPECT_EQ(m & 0xFF80'800Fu, h.midi[0] & 0xFF80'800Fu) << hostkit::describeMidi(m);
            if ((m & 0xE0) == 0x80) notes += ((m & 0xF0) == 0x90 ? " on " : " off ") + std::to_string((m >> 8) & 0x7F);
        }
        EXPECT_EQ(notes, " on 24 on 62 off 62 off 24 on 60 off 60");
    }
}

}  // namespace
