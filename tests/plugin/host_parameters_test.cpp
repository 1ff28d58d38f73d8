// Host parameters and names through slots 6 (ProcessParam) and 4 (GetName), in both layouts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/plugin_fixture.h"

namespace {

using testing_support::PluginTest;
using Strings = std::vector<std::string>;

constexpr int kSet = 1, kGet = 2, kHint = 4, kFromMidi = 32;
constexpr const char* kUntouched = "<untouched>";

// The text GetName leaves in a 256-byte buffer; kUntouched when it writes nothing.
std::string nameOf(TFruityPlug* plug, int kind, int index, int value = 0) {
    char text[256];
    std::snprintf(text, sizeof text, "%s", kUntouched);
    plug->GetName(kind, index, value, text);
    return text;
}

void useNamedLayout(InstanceCore& core, bool named) {
    core.records().options.paramknob = named;
    core.parameters().layoutChanged();
}

TEST_F(PluginTest, NameTextsOfEveryKindInBothLayouts) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = impl(plug).records();
    model::Controllers& ctl = r.controllers;
    ctl.cc[20] = ctl.cc[21] = 1;  // after "Dynamics" on CC 1: a named and an unnamed one
    ctl.name[20] = "Lyrical";
    ctl.cc[7] = 20;
    ctl.cc[9] = 32;
    r.articulations.name[63] = "Tremolo";
    r.articulations.name[3] = "Pizzicato";
    enum { kNamed = 1, kOld = 2, kUacc = 4, kBanks = 8 };
    const struct {
        int options, kind, index, value;
        const char* expected;
    } cases[] = {
        {0, 0, 5, 0, "CC 5"}, {0, 0, 1, 0, "Lyrical"}, {0, 0, 96, 0, "CC 96"}, {0, 0, 128, 0, "Articulation"},
        {0, 1, 32, 55, "CC 32: 55"}, {kUacc, 1, 32, 55, "Short Marcato longer"}, {kUacc, 1, 33, 55, "CC 33: 55"},
        {kOld, 0, 0, 0, "Lyrical"}, {kOld, 0, 127, 0, "CC 128"}, {kOld, 1, 5, 64, "CC 5: 64"},
        {0, 1, 128, 1, "By voice colour"}, {0, 1, 128, 2, "Articulation 1"}, {0, 1, 128, 126, "Articulation 63"},
        {0, 1, 128, 127, "Tremolo"}, {0, 1, 128, -1, "Tremolo"}, {0, 1, 200, 2, "Articulation 1"},
        {kNamed, 0, 0, 0, "Dynamics"}, {kNamed, 0, 6, 0, "Unused parameter 7"}, {kNamed, 0, 96, 0, "Articulation"},
        {kNamed, 0, 7, 0, "Unnamed parameter 8"}, {kNamed, 0, 128, 0, "Unused controller"}, {kNamed, 1, 0, 64, "64"},
        {kNamed, 1, 96, 0, "By voice colour"}, {kNamed, 1, 110, 127, "Tremolo"},
        {kNamed | kUacc, 1, 9, 1, "Long Generic"}, {kNamed | kUacc, 1, 32, 1, "1"},
        {0, 4, 0, 0, "Unsupported parameter 1"}, {kBanks, 5, 0, 0, "Articulation Bank"},
        {kBanks, 4, 1, 0, "Unused parameter"}, {kBanks, 4, 2, 0, kUntouched}, {0, 8, 3, 0, "Pizzicato"},
        {0, 8, 4, 0, ""}, {0, 8, 16, 0, kUntouched}, {0, 3, 0, 0, kUntouched}, {0, -1, 0, 0, kUntouched},
    };
    for (const auto& c : cases) {
        useNamedLayout(impl(plug), c.options & kNamed);
        r.options.oldparams = (c.options & kOld) != 0;
        r.options.ccuacc = (c.options & kUacc) != 0;
        r.options.articbanks = (c.options & kBanks) != 0;
        EXPECT_EQ(nameOf(plug, c.kind, c.index, c.value), c.expected)
            << "options " << c.options << " kind " << c.kind << " index " << c.index << " value " << c.value;
    }
}

TEST_F(PluginTest, PianoRollKeysAreNamedFromTheArticulationOfTheColourInTheBankOfTheLastNote) {
    TFruityPlug* plug = create();
    model::Articulations& a = impl(plug).records().articulations;
    const std::pair<int, const char*> named[] = {{0, "Sustain C3"}, {1, "Legato C3"}, {18, "Hit"}};
    for (const auto& [slot, name] : named) {
        a.keynames[slot] = std::make_unique<model::KeyNameList>();
        a.keynames[slot]->set(131 - 60, name);
    }
    a.keynames[1]->set(0, "Top");
    a.name[18] = "Col legno";
    a.note[1] = 24;
    const struct {
        int key, colour;
        const char* expected;
    } cases[] = {{60, 1, "Legato C3"}, {131, 1, "Top"}, {61, 1, ""}, {132, 1, kUntouched},
                 {60, 2, kUntouched}, {60, 70, kUntouched}, {60, 200, "Sustain C3"}};  // 128 and up: the first
    for (const auto& c : cases) EXPECT_EQ(nameOf(plug, 2, c.key, c.colour), c.expected) << c.key << " " << c.colour;

    impl(plug).session().currentBank = 1;
    EXPECT_EQ(nameOf(plug, 8, 2), "Col legno");
    EXPECT_EQ(nameOf(plug, 2, 60, 2), "Hit");
    impl(plug).session().currentBank = 0;

    // Hosts 12.0 to 12.2 name keys after the articulation in use, whatever colour they ask for.
    plug->ProcessParam(128, 4, kSet);
    ASSERT_EQ(impl(plug).session().currentArticulation, 1);
    for (int32_t version : {12000000, 12002999, 11999999, 12003000}) {
        host.HostVersion = version;
        const bool inUse = version >= 12000000 && version < 12003000;
        EXPECT_EQ(nameOf(plug, 2, 60, 0), inUse ? "Legato C3" : "Sustain C3") << version;
    }
}

TEST_F(PluginTest, NamesNeverOverrunTheHostBufferNorSplitACharacter) {
    TFruityPlug* plug = create();
    std::string longName;
    for (int i = 0; i < 200; ++i) longName += "\xC3\xA9";  // é, two bytes
    impl(plug).records().controllers.name[0] = longName;
    impl(plug).records().articulations.name[0] = "x" + longName;
    for (int kind : {0, 1}) {
        char text[400];
        std::memset(text, 'Z', sizeof text);
        plug->GetName(kind, kind == 0 ? 1 : 128, 2, text);
        EXPECT_EQ(std::strlen(text), kind == 0 ? 254u : 255u) << kind;
        for (size_t i = 256; i < sizeof text; ++i) ASSERT_EQ(text[i], 'Z') << kind;
    }
}

TEST_F(PluginTest, AutomationReachesTheControllerOfTheParameter) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = impl(plug).records();
    model::Controllers& ctl = r.controllers;
    host.clear();
    // MIDI-scale values are converted first; a hint goes with a change only.
    EXPECT_EQ(plug->ProcessParam(5, 32768, kFromMidi | kHint), 63);
    EXPECT_EQ(plug->ProcessParam(1, 65535, kSet | kHint | kFromMidi), 126);
    plug->ProcessParam(5, 64, kSet | kHint);
    plug->ProcessParam(128, 127, kSet | kHint);
    EXPECT_EQ(host.hints, (Strings{"99", "50", "100"}));
    r.options.oldparams = 1;
    plug->ProcessParam(0, 33, kSet);
    EXPECT_EQ(plug->ProcessParam(129, 7, kSet), 7);
    EXPECT_EQ(plug->ProcessParam(-1, 7, kSet), 7);
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 0 ch 0 cc 1 126", "port 0 ch 0 cc 5 64", "port 0 ch 0 cc 1 33"}));
    ctl.cc[10] = 2;  // reading gives the first controller on the number
    ctl.value[10] = 3;
    EXPECT_EQ(plug->ProcessParam(0, 0, kGet), 33);
    EXPECT_EQ(plug->ProcessParam(1, 0, kGet), 127);  // CC 2, "Breath"

    // The named layout sends the controller itself unless locked or unassigned; beyond 96, nothing.
    host.clear();
    useNamedLayout(impl(plug), true);
    r.options.port = 3;
    r.options.channel = 18;
    ctl.cc[6] = 128;
    ctl.cc[7] = 40;
    ctl.lock[7] = 1;
    for (int index : {0, 6, 7, 8, 97}) plug->ProcessParam(index, index == 6 ? 300 : 50, kSet);
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 3 ch 2 cc 1 50", "port 3 ch 2 program 44"}));
    EXPECT_EQ((std::vector<int>{ctl.value[0], ctl.value[6], ctl.value[7], ctl.value[8]}),
              (std::vector<int>{50, 300, 127, 127}));
}

TEST_F(PluginTest, ArticulationParameterSwitchesOnlyWhatDiffersAndIsNoControllerNumber) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = impl(plug).records();
    const engine::Session& session = impl(plug).session();
    r.articulations.note[2] = r.articulations.note[5] = 24;  // articulations 3 and 6 share one keyswitch
    r.controllers.cc[6] = 128;  // a program-change controller must not take the articulation value
    host.clear();
    EXPECT_EQ(plug->ProcessParam(128, 6, kSet), 6);
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 0 ch 0 note-on 24 127", "port 0 ch 0 note-off 24 0"}));
    host.clear();
    const int values[] = {6, 12, 0, 1, 127};  // 6 is already in place on the receiver; 0 and 1 mean by colour
    const int parameter[] = {3, 6, 0, 0, 64};
    for (int i = 0; i < 5; ++i) {
        plug->ProcessParam(128, values[i], kSet);
        EXPECT_EQ(session.articulationParameter, parameter[i]) << values[i];
        EXPECT_EQ(session.currentArticulation, 2) << values[i];
    }
    EXPECT_TRUE(host.midi.empty());
    r.options.oldparams = 1;  // the parameter that does stand for controller number 128 drives it
    plug->ProcessParam(127, 33, kSet);
    EXPECT_EQ(host.midiDescribed(), Strings{"port 0 ch 0 program 33"});
}

}  // namespace
