// An engine session on its own: records, shared tables and a host that records what it gets.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/session.h"
#include "model/defaults.h"
#include "hostkit/recording_host.h"

namespace testing_support {

class RecordingSessionHost final : public engine::SessionHost {
public:
    void midiOut(uint32_t message) override { midi.push_back(message); }
    intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t) override {
        if (code == engine::kVoiceColour) return colour.count(hostVoice) ? colour[hostVoice] : 0;
        if (code != engine::kVoiceReleaseVelocity) return 0;
        const float v = releaseVelocity.count(hostVoice) ? releaseVelocity[hostVoice] : 0.0f;
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
    void voiceDone(intptr_t hostVoice) override { done.push_back(hostVoice); }
    void debugLine(const char* text) override { lines.emplace_back(text); }
    void repaintEditor() override { ++repaints; }
    void stateChanged() override { ++stateChanges; }

    std::vector<std::string> described() const {
        std::vector<std::string> out;
        for (uint32_t m : midi) out.push_back(hostkit::describeMidi(m));
        return out;
    }

    std::vector<uint32_t> midi;
    std::vector<intptr_t> done;
    std::vector<std::string> lines;
    int repaints = 0;
    int stateChanges = 0;
    std::map<intptr_t, int> colour;
    std::map<intptr_t, float> releaseVelocity;
};

class SessionTest : public ::testing::Test {
protected:
    SessionTest() { model::resetRecords(records, 1, true); }

    // A second instance's session on the same shared tables.
    std::unique_ptr<engine::Session> another(model::InstanceRecords& otherRecords, RecordingSessionHost& otherHost) {
        model::resetRecords(otherRecords, 1, true);
        return std::make_unique<engine::Session>(otherRecords, otherHost, *tables, &otherRecords);
    }

    // A note as the host plays it: level (1.0 = velocity 100), bank property and pitch in the
    // voice block, and the colour the host answers for the voice.
    intptr_t play(intptr_t hostVoice, int key, int colour = 0, float level = 1.0f, float property = 0.0f) {
        host.colour[hostVoice] = colour;
        float levels[10] = {};
        levels[1] = level;
        levels[3] = property;
        levels[7] = static_cast<float>((key - 60) * 100);
        return session.TriggerVoice(levels, hostVoice);
    }
    void setArticulation(int i, int note, int notevel, int prog, int modc, int modw) {
        model::Articulations& a = records.articulations;
        a.note[i] = note;
        a.notevel[i] = notevel;
        a.prog[i] = prog;
        a.modc[i] = modc;
        a.modw[i] = modw;
    }
    std::vector<std::string> takeMidi() {
        std::vector<std::string> out = host.described();
        host.midi.clear();
        return out;
    }

    model::InstanceRecords records;
    std::unique_ptr<engine::SharedTables> tables = std::make_unique<engine::SharedTables>();
    RecordingSessionHost host;
    engine::Session session{records, host, *tables, this};
};

}  // namespace testing_support
