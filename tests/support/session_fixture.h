// An engine session on its own: records, shared tables and a host that records what it gets.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/session.h"
#include "hostkit/recording_host.h"
#include "model/defaults.h"

namespace testing_support {

// Answers each voice's colour; every release velocity is 0.
class RecordingSessionHost final : public engine::SessionHost {
public:
    void midiOut(uint32_t message) override { midi.push_back(message); }
    intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t) override {
        return code == engine::kVoiceColour && colour.count(hostVoice) ? colour[hostVoice] : 0;
    }
    void voiceDone(intptr_t hostVoice) override { done.push_back(hostVoice); }
    void debugLine(const char* text) override { lines.emplace_back(text); }
    void repaintEditor() override {}
    void stateChanged() override { ++stateChanges; }
    bool pianoRollShiftClick() override { return false; }

    std::vector<std::string> described() const {
        std::vector<std::string> out;
        for (uint32_t m : midi) out.push_back(hostkit::describeMidi(m));
        return out;
    }

    std::vector<uint32_t> midi;
    std::vector<intptr_t> done;
    std::vector<std::string> lines;
    int stateChanges = 0;
    std::map<intptr_t, int> colour;
};

class SessionTest : public ::testing::Test {
protected:
    SessionTest() { model::resetRecords(records, 1, true); }

    // A second instance's session on the same shared tables.
    std::unique_ptr<engine::Session> another(model::InstanceRecords& otherRecords, RecordingSessionHost& otherHost) {
        model::resetRecords(otherRecords, 1, true);
        return std::make_unique<engine::Session>(otherRecords, otherHost, *tables, &otherRecords);
    }

    // A note as the host plays it: level (1.0 = velocity 100) and pitch in the voice block, and
    // the colour the host answers for the voice.
    intptr_t play(intptr_t hostVoice, int key, int colour = 0, float level = 1.0f) {
        host.colour[hostVoice] = colour;
        float levels[10] = {0, level};
        levels[7] = static_cast<float>((key - 60) * 100);
        return session.TriggerVoice(levels, hostVoice);
    }
    void setArticulation(int i, int note, int notevel, int prog, int modc, int modw) {
        model::Articulations& a = records.articulations;
        std::tie(a.note[i], a.notevel[i], a.prog[i], a.modc[i], a.modw[i]) =
            std::make_tuple(note, notevel, prog, modc, modw);
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
