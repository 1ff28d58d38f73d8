// MIDI Extend, channel controllers with ghosting, transport and automation.
#include <gtest/gtest.h>

#include "engine/midi_message.h"
#include "support/session_fixture.h"

namespace {

using Strings = std::vector<std::string>;
using testing_support::SessionTest;

TEST(MidiMessages, MidiExtendCarriesTheUpperChannelBitsAndSwapsTypes) {
    using namespace engine;
    const struct { uint32_t message; int channel; uint32_t wire; } cases[] = {
        // Channel 37 = 0b100101: bit 5 goes to data 1, bit 4 to data 2.
        {noteOn(2, 37, 60, 100), 37, midiMessage(0x95, 60 + 128, 100, 2)},
        {controlChange(2, 37, 1, 64), 37, midiMessage(0xC5, 1 + 128, 64, 2)},
        {noteOff(0, 0, 60, 0), 0, midiMessage(0x80, 60, 1, 0)},
        {noteOff(0, 0, 60, 77), 0, noteOff(0, 0, 60, 77)},
        {programChange(0, 0, 5), 0, midiMessage(0x80, 5, 0, 0)},
        {midiMessage(0xA3, 1, 2, 0), 19, midiMessage(0xE3, 1, 2 + 128, 0)},
        {pitchBend(0, 3, 0), 3, midiMessage(0xA3, 0, 0, 0)},
    };
    for (const auto& c : cases) EXPECT_EQ(MidiExtendEncoding(c.message, c.channel), c.wire) << std::hex << c.message;
}

TEST_F(SessionTest, ChannelControllersSkipWhatIsOffAndCoverEveryColourChannelOrOnlyChannelZero) {
    records.controllers.on[1] = 0;  // "Breath" off
    records.controllers.cc[6] = 128;
    records.controllers.value[6] = 12;
    session.SendChannelControllers(engine::kSendControllerValues);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 cc 1 127", "port 0 ch 0 cc 11 127", "port 0 ch 0 cc 16 127",
                                   "port 0 ch 0 cc 21 127", "port 0 ch 0 cc 64 0", "port 0 ch 0 program 12"}));
    session.SendChannelControllers(engine::kSendControllerValues, 11);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 cc 11 127"});

    records.options.channel = model::kPerColourChannel;
    for (int omni : {1, 0}) {
        records.options.allchannelomni = omni;
        session.SendChannelControllers(engine::kSendAll);  // pan, volume, bend and six controllers
        ASSERT_EQ(host.midi.size(), (omni ? 16u : 1u) * 9u);
        for (size_t i = 0; i < host.midi.size(); ++i) EXPECT_EQ(host.midi[i] & 0x0F, i / 9) << i;
        host.midi.clear();
    }
}

TEST_F(SessionTest, GhostingHoldsBackChannelEventsAsTheOptionsSay) {
    const struct { int ghost, ghosttransport; bool playing, sends; } cases[] = {
        {0, 0, false, true}, {1, 0, true, false}, {1, 1, false, false}, {1, 1, true, true}};
    for (const auto& c : cases) {
        records.options.ghost = c.ghost;
        records.options.ghosttransport = c.ghosttransport;
        session.playing = c.playing;
        session.ChannelEvent(engine::kEventVolume, 99);
        EXPECT_EQ(takeMidi(), c.sends ? Strings{"port 0 ch 0 cc 7 99"} : Strings{}) << &c - cases;
    }
}

// A stop releases held controllers with one message unless ghosting or off; a start forgets the
// receiver's switches and controller values even when ghosting, and only 1 is playing.
TEST_F(SessionTest, TransportStopReleasesHoldControllersAndStartForgetsWhatWasSent) {
    model::Controllers& c = records.controllers;
    c.cc[7] = c.cc[8] = 64;
    c.value[5] = c.value[7] = 127;  // 5 is "Hold" on CC 64
    c.value[8] = 10;                // below 64: left alone
    session.transportChanged(0);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 cc 64 0"});
    EXPECT_EQ(std::make_tuple(c.value[5], c.value[7], c.value[8]), std::make_tuple(0, 0, 10));

    c.value[5] = 127;
    records.options.cc64release = 0;
    session.transportChanged(0);
    records.options.cc64release = records.options.ghost = 1;
    session.transportChanged(0);
    EXPECT_EQ(c.value[5], 127);

    auto& entry = tables->portChannelState[engine::portChannelIndex(0, 0)];
    entry = {60, 100, 5, 32};
    tables->setLastController(0, 0, 1, 50);
    session.transportChanged(2);
    EXPECT_TRUE(host.midi.empty());
    EXPECT_EQ(std::make_tuple(entry.ks1Note, entry.ks1Velocity, entry.program, entry.modw),
              std::make_tuple(255, 255, 255, 255));
    EXPECT_EQ(tables->lastController(0, 0, 1), 128);
    EXPECT_FALSE(session.playing);
    session.transportChanged(1);
    EXPECT_TRUE(session.playing);
}

TEST_F(SessionTest, AutomationWhilePlayingSkipsValuesAnotherInstanceAlreadySent) {
    model::InstanceRecords otherRecords;
    testing_support::RecordingSessionHost otherHost;
    auto other = another(otherRecords, otherHost);
    session.playing = other->playing = true;
    session.automateControllerNumber(1, 90, 1);
    other->automateControllerNumber(1, 90, 1);
    EXPECT_EQ(takeMidi(), Strings{"port 0 ch 0 cc 1 90"});
    EXPECT_TRUE(otherHost.midi.empty());
    EXPECT_EQ(otherRecords.controllers.value[0], 90);  // the value is still taken

    // Stopped, or with the optimisation off, it is sent again.
    for (const auto& [playing, optimise] : {std::pair{false, 1}, std::pair{true, 0}}) {
        other->playing = playing;
        otherRecords.options.optimiseautomation = optimise;
        other->automateControllerNumber(1, 90, 1);
    }
    EXPECT_EQ(otherHost.described(), (Strings{"port 0 ch 0 cc 1 90", "port 0 ch 0 cc 1 90"}));
}

// A locked controller gets a plain change and keeps its value; CC 128 is a program change.
TEST_F(SessionTest, AutomationOfALockedOrProgramChangeController) {
    records.controllers.lock[0] = 1;  // "Dynamics" on CC 1
    records.controllers.cc[10] = 128;
    records.controllers.value[10] = 3;
    session.automateControllerNumber(1, 33, 1);
    session.automateControllerNumber(5, 44, -1);  // no plain controller: nothing
    session.automateControllerNumber(128, 17, 128);
    EXPECT_EQ(takeMidi(), (Strings{"port 0 ch 0 cc 1 33", "port 0 ch 0 program 17"}));
    EXPECT_EQ(std::make_tuple(records.controllers.value[0], records.controllers.value[10]), std::make_tuple(127, 3));
}

}  // namespace
