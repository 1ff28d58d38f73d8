// Host parameters and names through slots 6 (ProcessParam) and 4 (GetName): both layouts, the
// articulation parameter, what a parameter change sends, and every name text.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugin/host_parameters.h"
#include "support/plugin_fixture.h"
#include "support/session_fixture.h"

namespace {

using testing_support::PluginTest;
using Strings = std::vector<std::string>;

constexpr int kSet = 1, kGet = 2, kHint = 4, kRepaint = 16, kFromMidi = 32;
constexpr const char* kUntouched = "<untouched>";

// The text GetName leaves in a 256-byte buffer; kUntouched when it writes nothing.
std::string nameOf(TFruityPlug* plug, int kind, int index, int value = 0) {
    char text[256];
    std::snprintf(text, sizeof text, "%s", kUntouched);
    plug->GetName(kind, index, value, text);
    return text;
}

// Makes `plug` publish the 96 controllers, as the editor's option does.
void useNamedLayout(InstanceCore& plug) {
    plug.records().options.paramknob = 1;
    plug.parameters().layoutChanged();
}

std::unique_ptr<model::KeyNameList> keyNames(std::initializer_list<std::pair<int, const char*>> byKey) {
    auto list = std::make_unique<model::KeyNameList>();
    for (const auto& [key, name] : byKey) (*list)[static_cast<size_t>(131 - key)] = name;
    return list;
}

TEST_F(PluginTest, ControllerNumberLayoutNamesParametersAfterTheirControllers) {
    TFruityPlug* plug = create();
    model::Controllers& ctl = impl(plug).records().controllers;
    EXPECT_EQ(nameOf(plug, 0, 5), "CC 5");
    EXPECT_EQ(nameOf(plug, 0, 128), "Articulation");

    // The last named controller on the number wins (over "Dynamics"); unnamed ones are passed over.
    ctl.cc[20] = 1;
    ctl.name[20] = "Lyrical";
    ctl.cc[21] = 1;
    EXPECT_EQ(nameOf(plug, 0, 1), "Lyrical");

    EXPECT_EQ(nameOf(plug, 1, 32, 55), "CC 32: 55");
    impl(plug).records().options.ccuacc = 1;
    EXPECT_EQ(nameOf(plug, 1, 32, 55), "Short Marcato longer");
    EXPECT_EQ(nameOf(plug, 1, 33, 55), "CC 33: 55");

    impl(plug).records().options.oldparams = 1;
    EXPECT_EQ(nameOf(plug, 0, 0), "Lyrical");
    EXPECT_EQ(nameOf(plug, 0, 127), "CC 128");
    EXPECT_EQ(nameOf(plug, 0, 128), "Articulation");
    EXPECT_EQ(nameOf(plug, 1, 5, 64), "CC 5: 64");  // value texts carry the index, not the number
}

TEST_F(PluginTest, NamedLayoutNamesTheNinetySixControllers) {
    TFruityPlug* plug = create();
    useNamedLayout(impl(plug));
    model::Controllers& ctl = impl(plug).records().controllers;
    ctl.cc[7] = 20;

    EXPECT_EQ(nameOf(plug, 0, 0), "Dynamics");
    EXPECT_EQ(nameOf(plug, 0, 6), "Unused parameter 7");
    EXPECT_EQ(nameOf(plug, 0, 7), "Unnamed parameter 8");
    EXPECT_EQ(nameOf(plug, 0, 96), "Articulation");
    EXPECT_EQ(nameOf(plug, 0, 128), "Unused controller");
    EXPECT_EQ(nameOf(plug, 1, 0, 64), "64");
    EXPECT_EQ(nameOf(plug, 1, 96, 0), "By voice colour");
    ctl.cc[9] = 32;
    impl(plug).records().options.ccuacc = 1;
    EXPECT_EQ(nameOf(plug, 1, 9, 1), "Long Generic");
    EXPECT_EQ(nameOf(plug, 1, 32, 1), "1");

    // Back to controller numbers: 96 is CC 96 again.
    impl(plug).records().options.paramknob = 0;
    impl(plug).parameters().layoutChanged();
    EXPECT_EQ(nameOf(plug, 0, 96), "CC 96");
    EXPECT_EQ(nameOf(plug, 0, 128), "Articulation");
}

TEST_F(PluginTest, ArticulationParameterValueTexts) {
    TFruityPlug* plug = create();
    model::Articulations& a = impl(plug).records().articulations;
    a.name[63] = "Tremolo";
    EXPECT_EQ(nameOf(plug, 1, 128, 1), "By voice colour");
    EXPECT_EQ(nameOf(plug, 1, 128, 2), "Articulation 1");
    EXPECT_EQ(nameOf(plug, 1, 128, 4), "Articulation 2");
    EXPECT_EQ(nameOf(plug, 1, 128, 126), "Articulation 63");
    EXPECT_EQ(nameOf(plug, 1, 128, 127), "Tremolo");
    EXPECT_EQ(nameOf(plug, 1, 128, -1), "Tremolo");  // never before the first articulation
    EXPECT_EQ(nameOf(plug, 1, 200, 2), "Articulation 1");

    useNamedLayout(impl(plug));
    EXPECT_EQ(nameOf(plug, 1, 110, 127), "Tremolo");
}

TEST_F(PluginTest, NotePropertyAndColourNames) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = impl(plug).records();
    for (int kind : {4, 5}) {
        EXPECT_EQ(nameOf(plug, kind, 0), "Unsupported parameter 1");
        EXPECT_EQ(nameOf(plug, kind, 1), "Unsupported parameter 1");
    }
    r.options.articbanks = 1;
    for (int kind : {4, 5}) {
        EXPECT_EQ(nameOf(plug, kind, 0), "Articulation Bank");
        EXPECT_EQ(nameOf(plug, kind, 1), "Unused parameter");
        EXPECT_EQ(nameOf(plug, kind, 2), kUntouched);
    }

    r.articulations.name[3] = "Pizzicato";
    EXPECT_EQ(nameOf(plug, 8, 3), "Pizzicato");
    EXPECT_EQ(nameOf(plug, 9, 3), "Pizzicato");
    EXPECT_EQ(nameOf(plug, 8, 4), "");
    EXPECT_EQ(nameOf(plug, 8, 16), kUntouched);
    EXPECT_EQ(nameOf(plug, 8, -1), kUntouched);
    for (int kind : {3, 6, 7, 10, -1}) EXPECT_EQ(nameOf(plug, kind, 0), kUntouched) << kind;
}

TEST_F(PluginTest, PianoRollKeysAreNamedFromTheColoursArticulation) {
    TFruityPlug* plug = create();
    model::Articulations& a = impl(plug).records().articulations;
    HostParameters& params = impl(plug).parameters();
    a.keynames[0] = keyNames({{60, "Sustain C3"}});
    a.keynames[1] = keyNames({{60, "Legato C3"}, {131, "Top"}, {0, "Bottom"}});
    a.note[1] = 24;

    EXPECT_EQ(nameOf(plug, 2, 60, 1), "Legato C3");
    EXPECT_EQ(nameOf(plug, 2, 131, 1), "Top");
    EXPECT_EQ(nameOf(plug, 2, 0, 1), "Bottom");
    EXPECT_EQ(nameOf(plug, 2, 61, 1), "");
    EXPECT_EQ(nameOf(plug, 2, 132, 1), kUntouched);
    EXPECT_EQ(nameOf(plug, 2, 60, 2), kUntouched);  // no list
    EXPECT_EQ(params.keyNameArticulation(), 2);
    EXPECT_EQ(nameOf(plug, 2, 60, 70), kUntouched);  // a bank that does not exist
    EXPECT_EQ(params.keyNameArticulation(), 70);
    EXPECT_EQ(nameOf(plug, 2, 60, 200), "Sustain C3");  // 128 and above fall back to the first
    EXPECT_EQ(params.keyNameArticulation(), 0);

    // Hosts 12.0 to 12.2 name keys after the articulation in use, whatever colour they ask for.
    plug->ProcessParam(128, 4, kSet);
    ASSERT_EQ(impl(plug).session().currentArticulation, 1);
    for (int32_t version : {12000000, 12002999}) {
        host.HostVersion = version;
        EXPECT_EQ(nameOf(plug, 2, 60, 0), "Legato C3") << version;
        EXPECT_EQ(params.keyNameArticulation(), 1);
    }
    for (int32_t version : {11999999, 12003000}) {
        host.HostVersion = version;
        EXPECT_EQ(nameOf(plug, 2, 60, 0), "Sustain C3") << version;
    }
}

TEST_F(PluginTest, NamesNeverOverrunTheHostBufferNorSplitACharacter) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = impl(plug).records();
    std::string longName;
    for (int i = 0; i < 200; ++i) longName += "\xC3\xA9";  // é, two bytes
    r.controllers.name[0] = longName;
    r.articulations.name[0] = "x" + longName;

    for (int kind : {0, 1}) {
        char text[400];
        std::memset(text, 'Z', sizeof text);
        plug->GetName(kind, kind == 0 ? 1 : 128, 2, text);
        const size_t length = std::strlen(text);
        EXPECT_EQ(length, kind == 0 ? 254u : 255u) << kind;
        for (size_t i = 256; i < sizeof text; ++i) ASSERT_EQ(text[i], 'Z') << kind;
    }
}

TEST_F(PluginTest, MidiScaleValuesAndHintsUseTheConvertedValue) {
    TFruityPlug* plug = create();
    EXPECT_EQ(plug->ProcessParam(5, 65535, kFromMidi), 126);
    EXPECT_EQ(plug->ProcessParam(5, 32768, kFromMidi), 63);
    EXPECT_EQ(plug->ProcessParam(129, 65535, kFromMidi), 126);
    plug->ProcessParam(5, 64, kHint);  // a hint goes with a change only
    EXPECT_TRUE(host.midi.empty());
    EXPECT_TRUE(host.hints.empty());

    plug->ProcessParam(5, 65535, kSet | kHint | kFromMidi);
    plug->ProcessParam(5, 64, kSet | kHint);
    plug->ProcessParam(128, 127, kSet | kHint);
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 0 ch 0 cc 5 126", "port 0 ch 0 cc 5 64"}));
    EXPECT_EQ(host.hints, (Strings{"99", "50", "100"}));
}

TEST_F(PluginTest, ControllerNumberAutomationGoesThroughTheControllers) {
    create();
    TFruityPlug* plug = create();  // port 0, channel 1
    model::Controllers& ctl = impl(plug).records().controllers;
    host.clear();

    EXPECT_EQ(plug->ProcessParam(1, 50, kSet), 50);
    EXPECT_EQ(ctl.value[0], 50);
    plug->ProcessParam(5, 70, kSet);  // no controller: a plain controller change
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 0 ch 1 cc 1 50", "port 0 ch 1 cc 5 70"}));

    host.clear();
    impl(plug).records().options.oldparams = 1;
    plug->ProcessParam(0, 33, kSet);
    EXPECT_EQ(ctl.value[0], 33);
    EXPECT_EQ(host.midiDescribed(), Strings{"port 0 ch 1 cc 1 33"});

    host.clear();
    EXPECT_EQ(plug->ProcessParam(129, 7, kSet), 7);
    EXPECT_EQ(plug->ProcessParam(-1, 7, kSet), 7);
    EXPECT_TRUE(host.midi.empty());
}

TEST_F(PluginTest, NamedLayoutAutomationSetsAndSendsTheController) {
    TFruityPlug* plug = create();
    useNamedLayout(impl(plug));
    model::InstanceRecords& r = impl(plug).records();
    model::Controllers& ctl = r.controllers;
    r.options.oldparams = 1;  // the offset is about controller numbers, not controller order
    r.options.port = 3;
    r.options.channel = 18;
    ctl.cc[6] = 128;
    ctl.cc[7] = 40;
    ctl.lock[7] = 1;

    plug->ProcessParam(0, 50, kSet);
    plug->ProcessParam(6, 300, kSet);
    plug->ProcessParam(7, 60, kSet);   // locked
    plug->ProcessParam(8, 60, kSet);   // unassigned
    plug->ProcessParam(97, 60, kSet);  // unused
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 3 ch 2 cc 1 50", "port 3 ch 2 program 44"}));
    EXPECT_EQ(ctl.value[0], 50);
    EXPECT_EQ(ctl.value[6], 300);
    EXPECT_EQ(ctl.value[7], 127);
    EXPECT_EQ(ctl.value[8], 127);
}

TEST_F(PluginTest, ArticulationParameterSwitchesOnlyWhatDiffers) {
    TFruityPlug* plug = create();
    model::Articulations& a = impl(plug).records().articulations;
    const engine::Session& session = impl(plug).session();
    // Articulations 3 and 6 share one keyswitch.
    a.note[2] = a.note[5] = 24;
    a.notevel[2] = a.notevel[5] = 100;
    host.clear();

    EXPECT_EQ(plug->ProcessParam(128, 6, kSet), 6);
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 0 ch 0 note-on 24 100", "port 0 ch 0 note-off 24 0"}));
    EXPECT_EQ(session.articulationParameter, 3);
    EXPECT_EQ(session.currentArticulation, 2);

    host.clear();
    plug->ProcessParam(128, 12, kSet);  // articulation 6: already in place on the receiver
    EXPECT_TRUE(host.midi.empty());
    EXPECT_EQ(session.articulationParameter, 6);
    EXPECT_EQ(session.currentArticulation, 2);

    for (int byColour : {0, 1}) {
        plug->ProcessParam(128, byColour, kSet);
        EXPECT_EQ(session.articulationParameter, 0);
    }
    EXPECT_TRUE(host.midi.empty());
    plug->ProcessParam(128, 127, kSet);
    EXPECT_EQ(session.articulationParameter, 64);

    // The named layout's articulation parameter does the same.
    useNamedLayout(impl(plug));
    a.note[0] = 30;
    host.clear();
    plug->ProcessParam(96, 2, kSet);
    EXPECT_EQ(host.midiDescribed(), (Strings{"port 0 ch 0 note-on 30 127", "port 0 ch 0 note-off 30 0"}));
    EXPECT_EQ(session.currentArticulation, 0);
    EXPECT_EQ(session.articulationParameter, 1);
}

TEST_F(PluginTest, TheArticulationParameterIsNoControllerNumber) {
    TFruityPlug* plug = create();
    model::Controllers& ctl = impl(plug).records().controllers;
    ctl.cc[6] = 128;  // a program-change controller
    ctl.value[6] = 10;
    host.clear();

    plug->ProcessParam(128, 127, kSet);
    EXPECT_TRUE(host.midi.empty());
    EXPECT_EQ(ctl.value[6], 10);
    EXPECT_EQ(impl(plug).session().articulationParameter, 64);

    // The parameter that does stand for controller number 128 still drives it.
    impl(plug).records().options.oldparams = 1;
    plug->ProcessParam(127, 33, kSet);
    EXPECT_EQ(host.midiDescribed(), Strings{"port 0 ch 0 program 33"});
}

TEST_F(PluginTest, GettingAValueReadsTheFirstControllerOnTheNumber) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = impl(plug).records();
    r.controllers.cc[10] = 1;
    r.controllers.value[10] = 3;
    EXPECT_EQ(plug->ProcessParam(1, 0, kGet), 127);
    EXPECT_EQ(plug->ProcessParam(5, 65535, kGet | kFromMidi), 126);
    plug->ProcessParam(1, 20, kSet);
    EXPECT_EQ(plug->ProcessParam(1, 0, kGet), 20);
    r.options.oldparams = 1;
    EXPECT_EQ(plug->ProcessParam(0, 0, kGet), 20);
    EXPECT_EQ(plug->ProcessParam(1, 0, kGet), 127);  // CC 2, "Breath"
}

// Below the slots: what only the editor can see (repaints) and the bank of the last note.
class HostParametersTest : public testing_support::SessionTest, public ParameterHost {
protected:
    void showHint(const char* text) override { hints.emplace_back(text); }
    void repaintEditor() override { ++repaints; }
    bool editorVisible() const override { return visible; }
    int32_t hostVersion() const override { return 21000000; }
    intptr_t editorWindow() const override { return 0x77; }

    int repaintsFor(int index) {
        repaints = 0;
        params.ParameterEvent(index, 0, kRepaint);
        return repaints;
    }
    std::string nameOf(int kind, int index, int value) {
        char text[256];
        std::snprintf(text, sizeof text, "%s", kUntouched);
        params.QueryName(kind, index, value, text);
        return text;
    }

    Strings hints;
    int repaints = 0;
    bool visible = true;
    HostParameters params{records, session, *this};
};

TEST_F(HostParametersTest, RepaintsOnlyForWhatTheControllerPageShows) {
    records.options.page = 1;
    EXPECT_EQ(repaintsFor(1), 1);   // "Dynamics" on CC 1
    EXPECT_EQ(repaintsFor(64), 1);  // "Hold"
    EXPECT_EQ(repaintsFor(3), 0);
    EXPECT_EQ(repaintsFor(128), 1);
    records.options.oldparams = 1;
    EXPECT_EQ(repaintsFor(63), 1);
    EXPECT_EQ(repaintsFor(64), 0);

    records.options.paramknob = 1;
    params.layoutChanged();
    records.controllerstart = 6;
    EXPECT_EQ(repaintsFor(5), 0);
    EXPECT_EQ(repaintsFor(6), 1);
    EXPECT_EQ(repaintsFor(11), 1);
    EXPECT_EQ(repaintsFor(12), 0);
    EXPECT_EQ(repaintsFor(97), 1);

    records.options.page = 0;
    EXPECT_EQ(repaintsFor(6), 0);
    records.options.page = 1;
    visible = false;
    EXPECT_EQ(repaintsFor(6), 0);

    // A switch by the parameter is shown whatever the tab: the editor highlights it.
    records.articulations.prog[4] = 9;
    repaints = 0;
    params.ParameterEvent(96, 10, kSet);  // articulation 5
    params.ParameterEvent(96, 10, kSet);  // nothing to send, nothing to show
    EXPECT_EQ(host.described(), Strings{"port 0 ch 0 program 9"});
    EXPECT_EQ(repaints, 1);
}

TEST_F(HostParametersTest, ColourAndKeyNamesFollowTheBankOfTheLastNote) {
    records.articulations.name[18] = "Col legno";
    records.articulations.keynames[18] = keyNames({{60, "Hit"}});
    session.currentBank = 1;
    EXPECT_EQ(nameOf(8, 2, 0), "Col legno");
    EXPECT_EQ(nameOf(2, 60, 2), "Hit");
    EXPECT_EQ(params.keyNameArticulation(), 18);
    EXPECT_EQ(params.keyNameEditorWindow(), 0x77);
    session.currentBank = 3;
    EXPECT_EQ(nameOf(8, 2, 0), "");
    EXPECT_EQ(nameOf(2, 60, 2), kUntouched);
    EXPECT_EQ(params.keyNameArticulation(), 50);
}

}  // namespace
