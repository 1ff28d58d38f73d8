// Notes and articulation switching through the voice slots, as the host plays them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/notes.h"
#include "support/plugin_fixture.h"

namespace {

using testing_support::Note;
using testing_support::play;
using testing_support::PluginTest;
using Strings = std::vector<std::string>;

class NotesTest : public PluginTest {
protected:
    void SetUp() override {
        plug = create();
        host.clear();
    }
    model::Articulations& arts() { return impl(plug).records().articulations; }
    model::InstanceOptions& options() { return impl(plug).records().options; }
    void setArticulation(int i, int note, int notevel, int prog, int modc, int modw) {
        arts().note[i] = note;
        arts().notevel[i] = notevel;
        arts().prog[i] = prog;
        arts().modc[i] = modc;
        arts().modw[i] = modw;
    }
    Strings takeMidi() {
        Strings out = host.midiDescribed();
        host.midi.clear();
        return out;
    }
    intptr_t note(intptr_t hostVoice, int key, int colour) { return play(plug, host, hostVoice, {key, colour}); }

    TFruityPlug* plug = nullptr;
};

TEST_F(NotesTest, FirstNoteOfANewArticulationSendsEverySwitchInWireOrder) {
    setArticulation(5, 24, 90, 3, 32, 40);
    options().releasecc17 = 1;
    host.releaseVelocity[1] = 0.5f;
    const intptr_t v = note(1, 62, 5);
    ASSERT_NE(v, 0);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 cc 17 63", "port 0 ch 0 program 3", "port 0 ch 0 note-on 24 90",
                                   "port 0 ch 0 note-off 24 0", "port 0 ch 0 cc 32 40", "port 0 ch 0 note-on 62 100"}));
    plug->Voice_Release(v);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-off 62 63"});
    ASSERT_EQ(host.voicesDone.size(), 1u);
    EXPECT_EQ(host.voicesDone[0].hostVoice, 1);
    EXPECT_EQ(host.voicesDone[0].killHandle, 1);
    plug->Voice_Kill(v);
    EXPECT_TRUE(takeMidi().empty());

    // The same articulation again: only the note.
    options().releasecc17 = 0;
    note(2, 64, 5);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 64 100"});
}

TEST_F(NotesTest, InstancesSharingAPortAndChannelDoNotRepeatEachOthersSwitches) {
    TFruityPlug* other = create();
    impl(other).records().options.channel = 0;
    setArticulation(0, 24, 127, -1, -1, -1);
    impl(other).records().articulations.note[0] = 24;
    note(1, 60, 0);
    EXPECT_EQ(takeMidi().size(), 3u);
    play(other, host, 2, {62, 0});
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 62 100"});

    // Transport start forgets what was sent on that port and channel.
    other->Dispatcher(12, 0, 2);
    host.midi.clear();
    note(3, 60, 0);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 note-on 24 127", "port 0 ch 0 note-off 24 0",
                                   "port 0 ch 0 note-on 60 100"}));
}

TEST_F(NotesTest, AProgramChangeBringsTheKeyswitchAgainAndTheSecondKeyswitchFollowsTheFirst) {
    setArticulation(0, 24, 127, 1, -1, -1);
    setArticulation(1, 24, 127, 2, -1, -1);
    note(1, 60, 0);
    takeMidi();
    note(2, 60, 1);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 program 2", "port 0 ch 0 note-on 24 127",
                                   "port 0 ch 0 note-off 24 0", "port 0 ch 0 note-on 60 100"}));

    setArticulation(2, 25, 127, -1, -2, 30);
    setArticulation(3, 26, 127, -1, -2, 30);
    note(3, 60, 2);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 note-on 25 127", "port 0 ch 0 note-off 25 0",
                                   "port 0 ch 0 note-on 30 127", "port 0 ch 0 note-off 30 0",
                                   "port 0 ch 0 note-on 60 100"}));
    // Same second keyswitch, new first one: both go out.
    note(4, 60, 3);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 note-on 26 127", "port 0 ch 0 note-off 26 0",
                                   "port 0 ch 0 note-on 30 127", "port 0 ch 0 note-off 30 0",
                                   "port 0 ch 0 note-on 60 100"}));
}

TEST_F(NotesTest, ControllerWithoutNumberSendsNothingAndPlayVelocityReplacesTheNotesVelocity) {
    setArticulation(0, -1, 127, -1, -1, 77);  // CC mode, no CC number chosen
    note(1, 60, 0);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 60 100"});
    setArticulation(1, -1, 127, -1, -3, 50);
    note(2, 61, 1);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 61 50"});
}

TEST_F(NotesTest, ChangeAnyRuleDecidesWhetherAnUnusedKindOfSwitchIsSentAgain) {
    for (int rule = 0; rule < 2; ++rule) {
        plug->Dispatcher(12, 0, 2);  // forget
        options().changeanyrule = rule;
        setArticulation(0, 24, 127, -1, -1, -1);   // A: keyswitch
        setArticulation(1, -1, 127, -1, 1, 64);    // B: CC 1 only
        note(1, 60, 0);
        note(2, 60, 1);
        host.midi.clear();
        note(3, 60, 0);
        const Strings again = {"port 0 ch 0 note-on 24 127", "port 0 ch 0 note-off 24 0", "port 0 ch 0 note-on 60 100"};
        EXPECT_EQ(takeMidi(), rule ? again : Strings{"port 0 ch 0 note-on 60 100"}) << "rule " << rule;
    }
}

TEST_F(NotesTest, PerColourChannelSendsKeyswitchesAndNotesOnTheColoursChannel) {
    options().channel = model::kPerColourChannel;
    options().articbanks = 1;
    setArticulation(18, 40, 127, 4, -1, -1);  // bank 1, colour 2
    note(1, 60, 2);  // property 0: bank 0, articulation 2 (empty)
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 2 note-on 60 100"});
    play(plug, host, 2, {60, 2, 1.0f, -0.25f});  // bank 1
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 program 4", "port 0 ch 2 note-on 40 127", "port 0 ch 2 note-off 40 0",
                                   "port 0 ch 2 note-on 60 100"}));
    play(plug, host, 3, {61, 5, 1.0f, 0.25f});  // colour 5 in bank 2: articulation 37
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 5 note-on 61 100"});
}

TEST_F(NotesTest, TheNotePropertyPicksTheBank) {
    options().articbanks = 1;
    const struct {
        float property;
        int bank;
    } cases[] = {{0.0f, 0}, {0.0000005f, 0}, {-1.0f, 0}, {-0.6f, 0}, {-0.5f, 1}, {-0.01f, 1},
                 {0.01f, 2}, {0.49f, 2},      {0.5f, 3},  {0.99f, 3}, {1.0f, 3},  {7.0f, 3}, {-9.0f, 0}};
    for (int b = 0; b < 4; ++b) setArticulation(16 * b + 1, 30 + b, 127, -1, -1, -1);
    intptr_t hostVoice = 1;
    for (const auto& c : cases) {
        plug->Dispatcher(12, 0, 2);
        host.midi.clear();
        play(plug, host, hostVoice++, {60, 1, 1.0f, c.property});
        const Strings out = takeMidi();
        ASSERT_EQ(out.size(), 3u) << c.property;
        EXPECT_EQ(out[0], "port 0 ch 0 note-on " + std::to_string(30 + c.bank) + " 127") << c.property;
        EXPECT_EQ(impl(plug).session().currentBank, c.bank);
    }
}

TEST_F(NotesTest, VelocityCurveAndKeyMapping) {
    const struct {
        float level;
        int velocity;
    } levels[] = {{0.0f, 1}, {1.0f, 100}, {0.5f, 74}, {2.0f, 127}, {50.0f, 127}, {-3.0f, 1}};
    intptr_t hostVoice = 1;
    for (const auto& l : levels) {
        play(plug, host, hostVoice++, {60, 0, l.level});
        EXPECT_EQ(host.midi.back().data2(), l.velocity) << l.level;
    }
    play(plug, host, hostVoice++, {0, 0});
    EXPECT_EQ(host.midi.back().data1(), 0);
    play(plug, host, hostVoice++, {127, 0});
    EXPECT_EQ(host.midi.back().data1(), 127);
}

TEST_F(NotesTest, ReleaseAndKillPairEveryNoteOnWithOneNoteOff) {
    const intptr_t a = note(1, 60, 0);
    const intptr_t b = note(2, 62, 0);
    host.midi.clear();
    plug->Voice_Kill(a);  // never released: the kill sends its note-off
    plug->Voice_Release(b);
    plug->Voice_Kill(b);  // released: nothing more
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 note-off 60 0", "port 0 ch 0 note-off 62 0"}));
    // Handles that are not (or no longer) voices of this instance are ignored.
    plug->Voice_Release(a);
    plug->Voice_Kill(a);
    plug->Voice_Release(12345);
    plug->Voice_Kill(0);
    plug->Voice_Release(b + 1);
    EXPECT_TRUE(takeMidi().empty());
    // The freed slot is taken again by the next note.
    EXPECT_EQ(note(3, 64, 0), a);
}

TEST_F(NotesTest, OverlappingNotesHoldTheKeyUntilTheLastOneGoes) {
    options().overlapping = 1;
    const intptr_t a = note(1, 60, 0);
    const intptr_t b = note(2, 60, 0);
    host.midi.clear();
    plug->Voice_Release(a);
    EXPECT_TRUE(takeMidi().empty());
    EXPECT_EQ(host.voicesDone.size(), 1u);  // the host is told all the same
    plug->Voice_Kill(a);
    plug->Voice_Release(b);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-off 60 0"});

    // Without the option either release sends its own note-off.
    options().overlapping = 0;
    const intptr_t c = note(3, 62, 0);
    note(4, 62, 0);
    host.midi.clear();
    plug->Voice_Release(c);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-off 62 0"});
}

TEST_F(NotesTest, HeldKeyswitchesAreReleasedByTheTicksTheyLast) {
    options().holdkeyswitch = 1;
    float tick = 100.0f;
    uint32_t bits;
    std::memcpy(&bits, &tick, 4);
    plug->Dispatcher(20, 0, bits);
    setArticulation(0, 24, 127, -1, -1, -1);
    note(1, 60, 0);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 note-on 24 127", "port 0 ch 0 note-on 60 100"}));
    host.dispatches.clear();
    for (int t = 1; t <= 3; ++t) {
        plug->NewTick();
        EXPECT_TRUE(takeMidi().empty()) << "tick " << t;
    }
    // The waiting lines go out without the debug flag.
    const Strings lines = host.debugLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("Waiting on KS trigger (24, 0) 300.000000 till release"), std::string::npos);
    plug->NewTick();
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-off 24 0"});
    plug->NewTick();
    EXPECT_TRUE(takeMidi().empty());
}

TEST_F(NotesTest, AKeyswitchHeldOnOneColourChannelIsReleasedWhenAnotherTakesItsTimer) {
    options().holdkeyswitch = 1;
    options().channel = model::kPerColourChannel;
    setArticulation(0, 24, 100, -1, -1, -1);
    setArticulation(1, 24, 90, -1, -1, -1);
    note(1, 60, 0);
    note(2, 60, 1);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 note-on 24 100", "port 0 ch 0 note-on 60 100",
                                   "port 0 ch 1 note-on 24 90", "port 0 ch 0 note-off 24 0",
                                   "port 0 ch 1 note-on 60 100"}));
}

TEST_F(NotesTest, KontaktTimingFixDelaysNotesAfterAControllerSwitchByFiveTicks) {
    options().cctimerfix = 1;
    setArticulation(0, -1, 127, -1, 32, 40);
    setArticulation(1, 24, 127, -1, -1, -1);
    const intptr_t a = note(1, 60, 0);
    const intptr_t b = note(2, 62, 1);  // triggered before the next tick: delayed too
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 cc 32 40", "port 0 ch 0 note-on 24 127", "port 0 ch 0 note-off 24 0"}));
    plug->Voice_Release(b);  // released while still waiting
    EXPECT_TRUE(takeMidi().empty());
    EXPECT_TRUE(host.voicesDone.empty());
    for (int t = 1; t <= 4; ++t) plug->NewTick();
    EXPECT_TRUE(takeMidi().empty());
    plug->NewTick();
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 note-on 60 100", "port 0 ch 0 note-on 62 100"}));
    plug->NewTick();  // the released one stops at the next tick
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-off 62 0"});
    ASSERT_EQ(host.voicesDone.size(), 1u);
    EXPECT_EQ(host.voicesDone[0].hostVoice, 2);
    plug->Voice_Kill(b);
    plug->Voice_Release(a);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-off 60 0"});

    // A switch that sends only a keyswitch does not delay.
    note(3, 64, 0);  // CC 32 already 40: nothing to send
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 64 100"});
}

TEST_F(NotesTest, KillingADelayedNoteThatPlayedAfterItsReleaseStopsIt) {
    options().cctimerfix = 1;
    setArticulation(0, -1, 127, -1, 32, 40);
    const intptr_t a = note(1, 60, 0);
    plug->Voice_Release(a);
    for (int t = 0; t < 5; ++t) plug->NewTick();
    host.midi.clear();
    plug->Voice_Kill(a);  // e.g. the transport stopped before the next tick
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-off 60 0"});
}

TEST_F(NotesTest, ArticulationParameterSkipsColourSwitchingAndPlayVelocity) {
    setArticulation(0, -1, 127, -1, -3, 50);
    impl(plug).session().articulationParameter = 1;
    note(1, 60, 0);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 60 100"});
    EXPECT_TRUE(host.voiceQueries.end() ==
                std::find(host.voiceQueries.begin(), host.voiceQueries.end(), std::make_pair(intptr_t{1}, intptr_t{2})));
}

TEST_F(NotesTest, MidiExtendEncodesNotesAndSwitches) {
    options().midixtend = 1;
    options().channel = 37;
    options().port = 2;
    setArticulation(0, 24, 100, 5, 1, 64);
    note(1, 60, 0);
    std::vector<uint32_t> raw;
    for (const auto& m : host.midi) raw.push_back(m.raw);
    EXPECT_EQ(raw, (std::vector<uint32_t>{
                       0x02008585u,  // program 5 (+ 128) as a note-off with data 2 = 0
                       0x02649895u,  // keyswitch 24 + 128, velocity 100
                       0x02019885u,  // its note-off, velocity 0 -> 1
                       0x024081C5u,  // CC 1 + 128 = 64 under type 0xC0
                       0x0264BC95u,  // the note 60 + 128
                   }));
}

TEST_F(NotesTest, AMutedChannelStillRemembersTheSwitchesItDropped) {
    setArticulation(0, 24, 127, -1, -1, -1);
    impl(plug).muteClicked(false);
    note(1, 60, 0);
    EXPECT_TRUE(takeMidi().empty());
    impl(plug).muteClicked(false);
    note(2, 60, 0);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 note-on 60 100"});
}

TEST_F(NotesTest, AFullTableRefusesTheNoteAndSendsNothing) {
    impl(plug).session().debugLog = true;
    for (int i = 0; i < engine::kVoiceSlots; ++i) ASSERT_NE(note(i + 1, 60, 0), 0) << i;
    host.clear();
    EXPECT_EQ(note(999999, 61, 0), 0);
    EXPECT_TRUE(host.midi.empty());
    const Strings lines = host.debugLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("ERROR: KRYL Instance out of voices"), std::string::npos);
    // Transport stop reports every voice done, in table order, and frees nothing.
    host.clear();
    plug->Dispatcher(12, 0, 0);
    ASSERT_EQ(host.voicesDone.size(), static_cast<size_t>(engine::kVoiceSlots));
    EXPECT_EQ(host.voicesDone.front().hostVoice, 1);
    EXPECT_EQ(host.voicesDone.back().hostVoice, engine::kVoiceSlots);
    EXPECT_EQ(note(1000000, 61, 0), 0);
}

TEST_F(NotesTest, NoteLearnFillsTheDraggedFieldOfTheEditedArticulation) {
    options().editing = 3;
    engine::Session& s = impl(plug).session();
    s.learn = engine::NoteLearn::kKeyswitch;
    play(plug, host, 1, {48, 0, 0.5f});
    EXPECT_EQ(arts().note[3], 48);
    s.learn = engine::NoteLearn::kKeyswitchVelocity;
    play(plug, host, 2, {50, 0, 3.0f});
    EXPECT_EQ(arts().notevel[3], 143);  // the curve without its limit
    s.learn = engine::NoteLearn::kSecondValue;
    play(plug, host, 3, {52, 0});  // CC mode: nothing to learn
    EXPECT_EQ(arts().modw[3], -1);
    arts().modc[3] = -2;
    play(plug, host, 4, {52, 0});
    EXPECT_EQ(arts().modw[3], 52);
    arts().modc[3] = -3;
    play(plug, host, 5, {52, 0, 0.5f});
    EXPECT_EQ(arts().modw[3], 74);
    EXPECT_EQ(host.dispatchesWithCode(48).size(), 4u);
}

TEST_F(NotesTest, DebugTraceNamesEachSwitchAndKeyswitch) {
    impl(plug).session().debugLog = true;
    setArticulation(0, 24, 90, 3, -1, -1);
    note(1, 60, 0);
    const Strings lines = host.debugLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[0].find("] : TriggerVoice("), std::string::npos);
    EXPECT_NE(lines[1].find("] : Session_CheckArticulation(0) : PROG changed from 255 to 3"), std::string::npos);
    EXPECT_NE(lines[2].find("] : Session_CheckArticulation(0) : KS1 changed from 255:255 to 24:90"), std::string::npos);
    EXPECT_NE(lines[3].find("] : MIDI out 0 0 24 90 (0)"), std::string::npos);
    EXPECT_NE(lines[4].find("] : MIDI out 0 0 24 0 (1)"), std::string::npos);
}

}  // namespace
