// The send routine, channel-level controllers, transport handling and the automation rule.
#include <gtest/gtest.h>

#include "engine/midi_message.h"
#include "support/session_fixture.h"

namespace {

using engine::MidiExtendEncoding;
using Strings = std::vector<std::string>;
using testing_support::SessionTest;

TEST(MidiMessages, BuildersTakeChannelModSixteenAndLowBytes) {
    EXPECT_EQ(engine::noteOn(2, 37, 60, 100), 0x0264'3C95u);
    EXPECT_EQ(engine::noteOff(0, 3, 300, 0), 0x0000'2C83u);
    EXPECT_EQ(engine::programChange(1, 0, 5), 0x0100'05C0u);
    EXPECT_EQ(engine::pitchBend(0, 0, 8192), 0x0040'00E0u);
}

TEST(MidiMessages, MidiExtendCarriesTheUpperChannelBitsAndSwapsTypes) {
    // Channel 37 = 0b100101: bit 5 goes to data 1, bit 4 (clear) would go to data 2.
    EXPECT_EQ(MidiExtendEncoding(engine::noteOn(2, 37, 60, 100), 37), engine::midiMessage(0x95, 60 + 128, 100, 2));
    EXPECT_EQ(MidiExtendEncoding(engine::controlChange(2, 37, 1, 64), 37), engine::midiMessage(0xC5, 1 + 128, 64, 2));
    EXPECT_EQ(MidiExtendEncoding(engine::noteOff(0, 0, 60, 0), 0), engine::midiMessage(0x80, 60, 1, 0));
    EXPECT_EQ(MidiExtendEncoding(engine::programChange(0, 0, 5), 0), engine::midiMessage(0x80, 5, 0, 0));
    EXPECT_EQ(MidiExtendEncoding(engine::midiMessage(0xA3, 1, 2, 0), 19), engine::midiMessage(0xE3, 1, 2 | 128, 0));
    EXPECT_EQ(MidiExtendEncoding(engine::pitchBend(0, 3, 0), 3), engine::midiMessage(0xA3, 0, 0, 0));
    // A real note-off keeps its velocity; the receiver always reads it as 1 or more.
    EXPECT_EQ(MidiExtendEncoding(engine::noteOff(0, 0, 60, 77), 0), engine::noteOff(0, 0, 60, 77));
}

TEST(MidiMessages, PitchInCentsMapsOntoTheBendRange) {
    EXPECT_EQ(engine::pitchToBend(0), 8192);
    EXPECT_EQ(engine::pitchToBend(1200), 16383);
    EXPECT_EQ(engine::pitchToBend(-1200), 0);
    EXPECT_EQ(engine::pitchToBend(600), 12288);
    EXPECT_EQ(engine::pitchToBend(2147483647), 16383);
    EXPECT_EQ(engine::pitchToBend(-2147483647 - 1), 0);
}

TEST_F(SessionTest, MutedPortAndChannelDropsEverythingElseGoesOut) {
    records.options.port = 3;
    records.options.channel = 9;
    tables->muteTable[engine::portChannelIndex(3, 9)] = 1;
    session.send(engine::noteOn(3, 9, 60, 100));
    EXPECT_TRUE(host.midi.empty());
    records.options.channel = 10;
    session.send(engine::noteOn(3, 10, 60, 100));
    EXPECT_EQ(host.described(), Strings{"port 3 ch 10 note-on 60 100"});
}

TEST_F(SessionTest, SendEncodesMidiExtendFromTheInstanceChannel) {
    records.options.midixtend = 1;
    records.options.channel = 37;
    records.options.port = 2;
    session.send(engine::noteOn(2, 37, 60, 100));
    ASSERT_EQ(host.midi.size(), 1u);
    EXPECT_EQ(host.midi[0], engine::midiMessage(0x95, 188, 100, 2));
}

TEST_F(SessionTest, PerColourChannelSendsControllersOnEverySixteenChannelsOrOnlyChannelZero) {
    records.options.channel = model::kPerColourChannel;
    session.transportChanged(1);
    // Pan, volume, bend and the six enabled controllers of page 1, on each channel in turn.
    ASSERT_EQ(host.midi.size(), 16u * 9u);
    for (size_t i = 0; i < host.midi.size(); ++i) EXPECT_EQ(host.midi[i] & 0x0F, i / 9) << i;

    host.midi.clear();
    records.options.allchannelomni = 0;
    session.SendChannelControllers(engine::kSendAll);
    ASSERT_EQ(host.midi.size(), 9u);
    for (uint32_t m : host.midi) EXPECT_EQ(m & 0x0F, 0u);
}

TEST_F(SessionTest, ControllerValuesSkipUnassignedAndOffControllersAndSendProgramChanges) {
    records.controllers.on[1] = 0;          // Breath off
    records.controllers.cc[6] = 128;        // a program-change controller
    records.controllers.value[6] = 12;
    session.SendChannelControllers(engine::kSendControllerValues);
    EXPECT_EQ(host.described(), (Strings{"port 0 ch 0 cc 1 127", "port 0 ch 0 cc 11 127", "port 0 ch 0 cc 16 127",
                                         "port 0 ch 0 cc 21 127", "port 0 ch 0 cc 64 0", "port 0 ch 0 program 12"}));
    host.midi.clear();
    session.SendChannelControllers(engine::kSendControllerValues, 11);
    EXPECT_EQ(host.described(), Strings{"port 0 ch 0 cc 11 127"});
}

TEST_F(SessionTest, GhostingHoldsBackChannelEventsAsTheOptionsSay) {
    struct Case {
        int ghost, ghosttransport;
        bool playing;
        bool sends;
    } cases[] = {
        {0, 0, false, true}, {0, 1, true, true},   {1, 0, false, false},
        {1, 0, true, false}, {1, 1, false, false}, {1, 1, true, true},
    };
    for (const Case& c : cases) {
        records.options.ghost = c.ghost;
        records.options.ghosttransport = c.ghosttransport;
        session.playing = c.playing;
        host.midi.clear();
        session.ChannelEvent(engine::kEventVolume, 99);
        EXPECT_EQ(host.midi.size(), c.sends ? 1u : 0u)
            << "ghost " << c.ghost << " ghosttransport " << c.ghosttransport << " playing " << c.playing;
    }
    EXPECT_EQ(session.volume, 99);
    session.ChannelEvent(7, 1);  // unknown kinds are ignored
    EXPECT_EQ(session.volume, 99);
}

TEST_F(SessionTest, TransportStopReleasesHoldControllersOnce) {
    records.controllers.cc[7] = 64;
    records.controllers.value[5] = 127;  // "Hold" on CC 64
    records.controllers.value[7] = 127;
    records.controllers.cc[8] = 64;
    records.controllers.value[8] = 10;  // below 64: left alone
    session.transportChanged(0);
    EXPECT_EQ(host.described(), Strings{"port 0 ch 0 cc 64 0"});
    EXPECT_EQ(records.controllers.value[5], 0);
    EXPECT_EQ(records.controllers.value[7], 0);
    EXPECT_EQ(records.controllers.value[8], 10);
    EXPECT_FALSE(session.playing);

    // With ghosting, or with the option off, the stop sends nothing.
    records.controllers.value[5] = 127;
    host.midi.clear();
    records.options.cc64release = 0;
    session.transportChanged(0);
    records.options.cc64release = 1;
    records.options.ghost = 1;
    session.transportChanged(0);
    EXPECT_TRUE(host.midi.empty());
    EXPECT_EQ(records.controllers.value[5], 127);
}

TEST_F(SessionTest, TransportStartForgetsSwitchesAndControllerValuesEvenWhenGhosting) {
    records.options.ghost = 1;
    auto& entry = tables->portChannelState[engine::portChannelIndex(0, 0)];
    entry = {60, 100, 5, 32};
    tables->setLastController(0, 0, 1, 50);
    session.transportChanged(2);  // started, not playing
    EXPECT_TRUE(host.midi.empty());
    EXPECT_FALSE(session.playing);
    EXPECT_EQ(entry.ks1Note, 255);
    EXPECT_EQ(entry.ks1Velocity, 255);
    EXPECT_EQ(entry.program, 255);
    EXPECT_EQ(entry.modw, 255);
    EXPECT_EQ(tables->lastController(0, 0, 1), 128);
    session.transportChanged(1);
    EXPECT_TRUE(session.playing);
}

TEST_F(SessionTest, AutomationWhilePlayingSkipsValuesAnotherInstanceAlreadySent) {
    model::InstanceRecords otherRecords;
    testing_support::RecordingSessionHost otherHost;
    auto other = another(otherRecords, otherHost);
    session.playing = other->playing = true;

    session.automateControllerNumber(1, 90, 1);
    EXPECT_EQ(host.described(), Strings{"port 0 ch 0 cc 1 90"});
    other->automateControllerNumber(1, 90, 1);
    EXPECT_TRUE(otherHost.midi.empty());
    EXPECT_EQ(otherRecords.controllers.value[0], 90);  // the value is still taken

    // Stopped, or with the optimisation off, it is sent again.
    other->playing = false;
    other->automateControllerNumber(1, 90, 1);
    EXPECT_EQ(otherHost.described(), Strings{"port 0 ch 0 cc 1 90"});
    otherHost.midi.clear();
    other->playing = true;
    otherRecords.options.optimiseautomation = 0;
    other->automateControllerNumber(1, 90, 1);
    EXPECT_EQ(otherHost.described(), Strings{"port 0 ch 0 cc 1 90"});
}

TEST_F(SessionTest, AutomationOfALockedOrUnknownControllerGoesOutAsAPlainChange) {
    records.controllers.lock[0] = 1;  // "Dynamics" on CC 1
    session.automateControllerNumber(1, 33, 1);
    EXPECT_EQ(host.described(), Strings{"port 0 ch 0 cc 1 33"});
    EXPECT_EQ(records.controllers.value[0], 127);
    host.midi.clear();
    session.automateControllerNumber(5, 44, 5);
    EXPECT_EQ(host.described(), Strings{"port 0 ch 0 cc 5 44"});
    host.midi.clear();
    session.automateControllerNumber(5, 44, -1);
    EXPECT_TRUE(host.midi.empty());
}

TEST_F(SessionTest, AutomationOfAProgramChangeControllerSendsTheProgramOnly) {
    records.controllers.cc[10] = 128;
    records.controllers.value[10] = 3;
    session.automateControllerNumber(128, 17, 128);
    EXPECT_EQ(host.described(), Strings{"port 0 ch 0 program 17"});
    EXPECT_EQ(records.controllers.value[10], 3);
}

TEST_F(SessionTest, DamagedControllerNumbersNeverReachPastTheTables) {
    records.controllers.cc[10] = 129;
    records.options.port = 999;
    records.options.channel = -5;
    session.automateControllerNumber(129, 10, -1);
    session.transportChanged(1);
    session.send(engine::noteOn(0, 0, 1, 1));
    SUCCEED();
}

TEST_F(SessionTest, TraceLinesOnlyWithTheDebugFlagExceptTheAlwaysLines) {
    session.trace("hidden %d", 1);
    EXPECT_TRUE(host.lines.empty());
    session.debugLog = true;
    session.trace("shown %d", 2);
    session.debugLog = false;
    session.traceAlways("always");
    ASSERT_EQ(host.lines.size(), 2u);
    EXPECT_EQ(host.lines[0].rfind("KRYL Voxtrane [", 0), 0u);
    EXPECT_NE(host.lines[0].find("] : shown 2"), std::string::npos);
    EXPECT_NE(host.lines[1].find("] : always"), std::string::npos);
}

}  // namespace

namespace {

// What a receiver reads as the destination of a message: port, channel nibble and the two
// channel bits that MIDI Extend carries in the data bytes.
uint32_t destination(uint32_t m) { return m & 0xFF80'800Fu; }

// A held keyswitch, a delayed note and a sounding note, all started before the user moves the
// instance (or mutes where it moves to): every end goes where its start went.
TEST_F(SessionTest, NotesAndHeldKeyswitchesEndWhereTheyStartedWhateverTheUserChangesMeanwhile) {
    struct Place {
        int port, channel, midixtend;
    };
    const struct {
        const char* change;
        Place before, after;
        bool afterMuted;
    } cases[] = {
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
        model::resetRecords(r, 1, true);
        testing_support::RecordingSessionHost h;
        auto t = std::make_unique<engine::SharedTables>();
        auto s = std::make_unique<engine::Session>(r, h, *t, &r);
        const auto place = [&](const Place& p) {
            r.options.port = p.port;
            r.options.channel = p.channel;
            r.options.midixtend = p.midixtend;
        };
        place(c.before);
        r.options.holdkeyswitch = r.options.cctimerfix = 1;
        s->tickLength = 100.0f;
        r.articulations.note[0] = 24;  // held keyswitch ...
        r.articulations.modc[0] = 32;  // ... and a controller: the first note waits
        r.articulations.modw[0] = 40;
        const auto note = [&](intptr_t hostVoice, int key) {
            h.colour[hostVoice] = 0;
            float levels[10] = {0, 1.0f};
            levels[7] = static_cast<float>((key - 60) * 100);
            return s->TriggerVoice(levels, hostVoice);
        };
        const intptr_t delayed = note(1, 60);
        s->NewTick();
        const intptr_t sounding = note(2, 62);
        place(c.after);
        if (c.afterMuted) t->muteTable[engine::portChannelIndex(c.after.port, c.after.channel)] = 1;
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
