// Saving and restoring the instance through slot 3, as FL Studio does with projects and presets:
// the bytes of format 10, what older formats add, the preserve rule, key-name files, and damaged
// states that must leave a working instance.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "hostkit/module_loader.h"
#include "model/defaults.h"
#include "plugin/process_wide.h"
#include "support/fake_settings.h"
#include "hostkit/memory_stream.h"
#include "support/notes.h"
#include "support/plugin_fixture.h"
#include "support/stream_builder.h"
#include "support/temp_folder.h"

namespace {

using hostkit::MemoryStream;
using testing_support::StreamBuilder;
using testing_support::TempFolder;
using Bytes = std::vector<uint8_t>;
using Keys = std::vector<std::pair<std::string, int32_t>>;

Bytes saveThrough(TFruityPlug* plug) {
    MemoryStream stream;
    plug->SaveRestoreState(&stream, 1);
    return stream.data;
}

void loadThrough(TFruityPlug* plug, const Bytes& bytes, uint32_t readLimit = UINT32_MAX) {
    MemoryStream stream(bytes);
    stream.readLimit = readLimit;
    plug->SaveRestoreState(&stream, 0);
}

// A state of format 8, 9 or 10 with empty articulations and default controllers, and `keys`.
Bytes modernState(int32_t format, const Keys& keys) {
    StreamBuilder b;
    b.i32(format).u16(16).column(16, -1);
    if (format >= 9) b.column(16, 127);
    b.column(16, -1).column(16, -1).column(16, -1).column(16, 55).strs(16);
    if (format >= 9)
        for (int i = 0; i < 16; ++i) b.str("").u16(0);
    b.u16(16).strs(16).u16(96).column(96, 127).column(96, 255).column(96, 0).column(96, 127).column(96, 1);
    if (format >= 10) b.column(96, 0);
    b.strs(96).i32(0).u16(static_cast<uint16_t>(keys.size()));
    for (const auto& key : keys) b.key(key.first, key.second);
    return b.bytes;
}

// One articulation as {note, notevel, prog, modw, modc, icon}.
using Row = std::vector<int32_t>;
Row row(const model::Articulations& a, int i) {
    return {a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i], a.icon[i]};
}
// Routing as {port, channel, page, preserve, midixtend}.
Row routing(const model::InstanceOptions& o) { return {o.port, o.channel, o.page, o.preserve, o.midixtend}; }

class StateExchangeTest : public testing_support::PluginTest {
protected:
    testing_support::FakeSettings settings;  // no stored editor scale

    model::InstanceRecords& records(TFruityPlug* plug) { return impl(plug).records(); }
    model::InstanceOptions& options(TFruityPlug* plug) { return records(plug).options; }

    TFruityPlug* loaded(const Bytes& bytes) {
        TFruityPlug* plug = create();
        host.clear();
        loadThrough(plug, bytes);
        return plug;
    }

    // Plays one note and returns its note-on, after any switch and any delay the state asks for.
    hostkit::MidiEvent playedNote(TFruityPlug* plug) {
        host.clear();
        const intptr_t voice = testing_support::play(plug, host, 1, {});
        for (int tick = 0; tick < 6; ++tick) plug->NewTick();
        plug->Voice_Release(voice);
        plug->Voice_Kill(voice);
        for (const auto& m : host.midi)
            if (m.type() == 0x90 && (m.data1() & 0x7F) == 60) return m;  // MIDI Extend may set the top bit
        ADD_FAILURE() << "no note-on";
        return {};
    }

    std::vector<intptr_t> dispatchValues(intptr_t code) {
        std::vector<intptr_t> out;
        for (const auto& call : host.dispatchesWithCode(code)) out.push_back(call.value);
        return out;
    }
};

TEST_F(StateExchangeTest, OnlyArticulationsUpToTheLastUsedOneAreWritten) {
    const Bytes fresh = saveThrough(create());
    ASSERT_EQ(fresh.size(), 3440u);
    EXPECT_EQ(Bytes(fresh.begin(), fresh.begin() + 6), (Bytes{0x0A, 0, 0, 0, 0x10, 0}));
    EXPECT_EQ(Bytes(fresh.begin() + 6, fresh.begin() + 70), Bytes(64, 0xFF));  // sixteen notes of -1

    TFruityPlug* source = create();
    records(source).articulations.prog[40] = 3;  // a program alone makes it used
    const Bytes bytes = saveThrough(source);
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 41);
    TFruityPlug* plug = loaded(bytes);
    EXPECT_EQ(records(plug).articulations.prog[40], 3);
    EXPECT_TRUE(model::isArticulationEmpty(records(plug).articulations, 41));
}

void randomise(model::InstanceRecords& r, std::mt19937& rng, const TempFolder& folder) {
    auto num = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto text = [&] {
        std::string s(static_cast<size_t>(num(0, 12)), ' ');
        for (char& c : s) c = static_cast<char>(num(1, 255));  // stored strings end at a zero byte
        return s;
    };
    model::Articulations& a = r.articulations;
    for (int i = 0, used = num(0, 63); i <= used; ++i) {
        for (int32_t* field : {&a.note[i], &a.notevel[i], &a.prog[i], &a.modw[i], &a.icon[i]}) *field = num(-1, 127);
        a.modc[i] = num(-3, 127);
        a.name[i] = text();
        if (num(0, 2)) continue;
        a.keynamespath[i] = folder.file("gone-" + std::to_string(i) + ".txt");
        a.keynames[i] = std::make_unique<model::KeyNameList>();
        for (int k = num(0, 5); k > 0; --k) (*a.keynames[i])[num(0, 147)] = text();
    }
    a.modc[0] = 1;  // keeps the timing fix meaningful
    for (auto& page : r.pageNames) page = text();
    model::Controllers& c = r.controllers;
    for (int i = 0; i < model::kControllerCount; ++i) {
        c.name[i] = text();
        for (int32_t* field : {&c.type[i], &c.defaultValue[i], &c.cc[i], &c.on[i], &c.value[i], &c.lock[i]})
            *field = num(0, 255);
    }
    r.controllerstart = 6 * num(0, 15);
    model::InstanceOptions& o = r.options;
    for (int32_t* flag : {&o.preserve, &o.paramknob, &o.oldparams, &o.ghost, &o.ghosttransport, &o.holdkeyswitch,
                          &o.midixtend, &o.cctimerfix, &o.cc64release, &o.allchannelomni, &o.overlapping,
                          &o.altmiddlec, &o.ccuacc, &o.releasecc17, &o.changeanyrule, &o.optimiseautomation})
        *flag = num(0, 1);
    o.port = num(0, 255);
    o.channel = num(0, 63);
    o.page = num(0, 3);
    o.editing = num(0, 63);
    o.minimised = static_cast<uint8_t>(num(0, 1));
    o.articbanks = static_cast<uint8_t>(num(0, 1));
}

TEST_F(StateExchangeTest, ARandomInstanceSavedAndRestoredSavesTheSameBytes) {
    std::mt19937 rng(7);
    TempFolder folder;
    for (int round = 0; round < 20; ++round) {
        TFruityPlug* source = create();
        randomise(records(source), rng, folder);
        processWide().singleEditor = round % 2;
        const Bytes bytes = saveThrough(source);

        TFruityPlug* copy = create();
        loadThrough(copy, bytes, round % 2 ? 3 : UINT32_MAX);  // the host may hand out a few bytes at a time
        EXPECT_EQ(saveThrough(copy), bytes) << "round " << round;
        destroy(copy);
        destroy(source);
    }
}

TEST_F(StateExchangeTest, Format10TakesPortAndChannelOnlyWhileFreshOrUnpreserved) {
    TFruityPlug* plug = loaded(modernState(10, {{"port", 2}, {"channel", 9}, {"page", 2}, {"preserve", 1},
                                                {"midixtend", 1}, {"startart", 32}, {"paramknob", 1},
                                                {"singleeditor", 0}, {"cctimerfix", 1}}));
    model::InstanceOptions& o = options(plug);
    EXPECT_EQ(routing(o), (Row{2, 9, 2, 1, 1}));
    EXPECT_EQ(o.startart, 0);    // a loaded instance opens on bank 1
    EXPECT_EQ(o.cctimerfix, 0);  // no articulation sends a controller to wait for
    EXPECT_EQ(processWide().singleEditor, 0);
    EXPECT_EQ(dispatchValues(27), (std::vector<intptr_t>{97}));
    EXPECT_EQ(impl(plug).parameters().articulationIndex(), 96);
    EXPECT_TRUE(host.dispatchesWithCode(2).empty());  // no stored scale, nothing to resize
    const hostkit::MidiEvent note = playedNote(plug);
    EXPECT_EQ(note.port(), 2);
    EXPECT_EQ(note.channel(), 9);

    const Bytes second = modernState(10, {{"port", 5}, {"channel", 3}, {"page", 0}, {"preserve", 0}});
    loadThrough(plug, second);
    EXPECT_EQ(routing(o), (Row{2, 9, 2, 1, 1}));
    EXPECT_EQ(impl(plug).parameters().articulationIndex(), 128);
    o.preserve = 0;
    loadThrough(plug, second);
    EXPECT_EQ(routing(o), (Row{5, 3, 0, 0, 0}));
}

TEST_F(StateExchangeTest, AStoredScaleResizesTheEditorFromVersion12On) {
    const Bytes scaled = modernState(10, {{"uiscale", 150}, {"minimised", 1}});
    TFruityPlug* plug = loaded(scaled);
    EXPECT_FLOAT_EQ(impl(plug).editorScale(), 1.5f);
    EXPECT_EQ(impl(plug).editorHeight(), 150);
    EXPECT_EQ(host.dispatchesWithCode(2).size(), 1u);

    host.HostVersion = 11000000;
    plug = loaded(scaled);
    EXPECT_FLOAT_EQ(impl(plug).editorScale(), 1.0f);
    EXPECT_TRUE(host.dispatchesWithCode(2).empty());
    // Format 9 resizes whatever the version, at the scale the editor has.
    loadThrough(plug, modernState(9, {{"minimised", 1}, {"uiscale", 300}}));
    EXPECT_EQ(impl(plug).editorHeight(), 100);
    EXPECT_EQ(host.dispatchesWithCode(2).size(), 1u);
}

TEST_F(StateExchangeTest, Formats8And9KnowFewerKeysAndPutTheArticulationParameterAt96) {
    TFruityPlug* plug = loaded(modernState(9, {{"paramknob", 1}, {"ghosttransport", 1}, {"ALTMIDDLEC", 1},
                                               {"changeanyrule", 1}, {"preserve", 1}}));
    model::InstanceOptions& o = options(plug);
    EXPECT_EQ((Row{o.ghosttransport, o.altmiddlec, o.changeanyrule}), (Row{0, 1, 1}));
    EXPECT_STREQ(impl(plug).noteNames()[60].data(), "C4");
    EXPECT_EQ(impl(plug).parameters().articulationIndex(), 96);

    // Format 8: no key-velocity column, and MIDI Extend is applied even while preserved.
    StreamBuilder b;
    b.i32(8).u16(1).i32(40).i32(5).i32(-1).i32(-1).i32(7).str("Pizz");
    b.u16(0).u16(1).i32(64).i32(1).i32(0).i32(0).i32(1).str("Mod").i32(0);
    b.u16(5).key("midixtend", 3).key("altmiddlec", 1).key("port", 4).key("oldparams", 1).key("ghost", 2);
    loadThrough(plug, b.bytes);
    const model::InstanceRecords& r = records(plug);
    EXPECT_EQ(row(r.articulations, 0), (Row{40, 127, 5, -1, -1, 7}));
    EXPECT_EQ(r.articulations.name[0], "Pizz");
    EXPECT_EQ((Row{r.controllers.value[0], r.controllers.cc[1]}), (Row{64, 2}));  // beyond M: reset values
    EXPECT_EQ(r.controllers.name[0], "Mod");
    EXPECT_EQ((Row{o.midixtend, o.altmiddlec, o.oldparams, o.ghost, o.port}), (Row{1, 0, 1, 0, 0}));
}

// Formats 3 to 7: an empty bank 1 and no controllers. Format 4 added MIDI Extend, 5 "preserve",
// 6 the controller columns and 7 the timing fix. (How each format's records read is checked
// against the state dumps of voxtrane-host.)
Bytes oldState(int32_t format, int32_t preserve, int32_t page) {
    StreamBuilder b;
    b.i32(format).i32(3).i32(1).i32(3);  // channel, port, ghost
    if (format >= 4) b.i32(1);           // midixtend
    if (format >= 7) b.i32(3);           // cctimerfix
    if (format >= 5) b.i32(preserve);
    b.column(16 * (format >= 6 ? 5 : 4), -1).strs(16);
    if (format >= 6) b.u16(0);           // pages
    b.u16(0);                            // controllers
    if (format >= 6) b.i32(0);           // controllerstart
    return b.i32(page).i32(7).bytes;     // page, editing
}

TEST_F(StateExchangeTest, OldFormatsTakeTheirFlagsAndKeepPortAndChannelWhilePreserved) {
    TFruityPlug* plug = loaded(oldState(3, 0, 0));
    EXPECT_EQ(options(plug).ghost, 3);                  // format 3 kept the whole value
    EXPECT_TRUE(host.dispatchesWithCode(27).empty());  // and announced no parameter layout
    plug = loaded(oldState(7, 0, 0));
    EXPECT_EQ((Row{options(plug).ghost, options(plug).cctimerfix}), (Row{1, 1}));

    // Once "preserve" is set, a later state keeps port, channel and page.
    plug = loaded(oldState(5, 1, 2));
    EXPECT_EQ(routing(options(plug)), (Row{1, 3, 2, 1, 1}));
    StreamBuilder moved;
    moved.i32(5).i32(8).i32(4).i32(0).i32(0).i32(0).column(16 * 4, -1).strs(16).u16(0).i32(0).i32(5);
    loadThrough(plug, moved.bytes);
    EXPECT_EQ(routing(options(plug)), (Row{1, 3, 2, 1, 0}));
    EXPECT_EQ(options(plug).editing, 5);
}

TEST_F(StateExchangeTest, KeyNameFilesAreReadAgainWhenThereAndKeptWhenGone) {
    TempFolder folder;
    TFruityPlug* source = create();
    impl(source).loadKeyNames(0, folder.write("strings.legato.txt", "old top\n").c_str());
    impl(source).loadKeyNames(1, folder.write("brass.txt", "brass top\n").c_str());
    EXPECT_EQ(dispatchValues(3), (std::vector<intptr_t>{2, 2}));
    const Bytes bytes = saveThrough(source);

    folder.write("strings.legato.txt", "new top\n");
    std::filesystem::remove(folder.file("brass.txt"));
    TFruityPlug* plug = loaded(bytes);
    const model::Articulations& a = records(plug).articulations;
    EXPECT_EQ((*a.keynames[0])[0], "new top");
    EXPECT_EQ((*a.keynames[1])[0], "brass top");
    EXPECT_EQ((Row{a.keynamesmissing[0], a.keynamesmissing[1]}), (Row{0, 1}));
    EXPECT_EQ(a.keynamestitle[1], "brass");
    EXPECT_EQ(dispatchValues(3), (std::vector<intptr_t>{2}));
    char name[256] = {};
    plug->GetName(2, 131, 1, name);  // the highest key of colour 1
    EXPECT_STREQ(name, "brass top");
}

TEST_F(StateExchangeTest, DamagedStatesLeaveAnInstanceThatStillPlays) {
    TFruityPlug* source = create();
    std::mt19937 rng(11);
    TempFolder folder;
    randomise(records(source), rng, folder);
    const Bytes good = saveThrough(source);

    TFruityPlug* plug = create();
    for (size_t length = 0; length <= good.size(); ++length) {
        loadThrough(plug, Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
        ASSERT_EQ(playedNote(plug).type(), 0x90) << "cut at " << length;
    }
    for (int round = 0; round < 300; ++round) {
        Bytes bytes(std::uniform_int_distribution<size_t>(4, 5000)(rng));
        for (auto& byte : bytes) byte = static_cast<uint8_t>(rng());
        bytes[0] = static_cast<uint8_t>(round % 12);
        bytes[1] = bytes[2] = bytes[3] = 0;
        loadThrough(plug, bytes);
        ASSERT_EQ(playedNote(plug).type(), 0x90) << "round " << round;
    }
    // Counts at their largest, with nothing behind them.
    for (int32_t format : {3, 6, 8, 9, 10}) {
        loadThrough(plug, StreamBuilder().i32(format).u16(0xFFFF).column(200, -1).u16(0xFFFF).bytes);
        ASSERT_EQ(playedNote(plug).type(), 0x90) << "format " << format;
    }
}

// The module finds its own file name, so a copy named "MIDI Out" reads the foreign layout.
TEST(ForeignLayout, AModuleInstalledAsMidiOutReadsThatPluginsStates) {
    const std::string staged = hostkit::stagedModulePath(hostkit::executableFolder() + "/../test-stage");
    if (!std::filesystem::exists(staged)) GTEST_SKIP() << "no staged module at " << staged;
    TempFolder folder;
    const std::string copy = folder.file("KRYL MIDI Out_x64" + std::filesystem::path(staged).extension().string());
    std::filesystem::copy_file(staged, copy);
    {
        hostkit::PluginModule module;
        ASSERT_TRUE(module.load(copy)) << module.error();
        hostkit::RecordingHost host;
        TFruityPlug* plug = module.create()(&host, 5);
        StreamBuilder b;
        b.i32(1).i32(5).column(4, 0).i32(2).i32(0).column(72, 0).i8(-1);
        for (int i = 0; i < 8; ++i) b.str8("");
        host.clear();
        MemoryStream stream(b.bytes);
        plug->SaveRestoreState(&stream, 0);
        ASSERT_EQ(host.dispatchesWithCode(27).size(), 1u);
        EXPECT_EQ(host.dispatchesWithCode(27)[0].value, 97);

        host.clear();
        const intptr_t voice = testing_support::play(plug, host, 1, {});
        ASSERT_FALSE(host.midi.empty());
        EXPECT_EQ(host.midi.back().port(), 2);
        EXPECT_EQ(host.midi.back().channel(), 5);
        plug->Voice_Kill(voice);
        plug->DestroyObject();
    }
}

}  // namespace
