// Restoring the instance through slot 3: what the instance adds to the state stream's reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hostkit/memory_stream.h"
#include "plugin/process_wide.h"
#include "support/plugin_fixture.h"
#include "support/stream_builder.h"
#include "support/temp_folder.h"

namespace {

using hostkit::MemoryStream;
using testing_support::StreamBuilder;
using testing_support::TempFolder;
using Bytes = std::vector<uint8_t>;
using Keys = std::vector<std::pair<std::string, int32_t>>;
using Row = std::vector<int32_t>;

// A state of format 9 or 10 with empty articulations and default controllers, and `keys`.
Bytes modernState(int32_t format, const Keys& keys) {
    StreamBuilder b;
    b.i32(format).u16(16).column(16, -1).column(16, 127).column(16 * 3, -1).column(16, 55).strs(16);
    for (int i = 0; i < 16; ++i) b.str("").u16(0);
    b.u16(16).strs(16).u16(96).column(96, 127).column(96, 255).column(96, 0).column(96, 127).column(96, 1);
    if (format >= 10) b.column(96, 0);
    b.strs(96).i32(0).u16(static_cast<uint16_t>(keys.size()));
    for (const auto& key : keys) b.key(key.first, key.second);
    return b.bytes;
}

// Formats 3 to 7: channel, port and flags up front, then an empty bank 1 and no controllers.
Bytes oldState(int32_t format, int32_t channel, int32_t port, int32_t preserve, int32_t page) {
    StreamBuilder b;
    b.i32(format).i32(channel).i32(port).i32(3);  // ghost
    if (format >= 4) b.i32(1);                    // midixtend
    if (format >= 7) b.i32(3);                    // cctimerfix
    if (format >= 5) b.i32(preserve);
    b.column(16 * (format >= 6 ? 5 : 4), -1).strs(16);
    if (format >= 6) b.u16(0);  // pages
    b.u16(0);                   // controllers
    if (format >= 6) b.i32(0);  // controllerstart
    return b.i32(page).i32(7).bytes;
}

// Routing as {port, channel, page, preserve, midixtend}.
Row routing(const model::InstanceOptions& o) { return {o.port, o.channel, o.page, o.preserve, o.midixtend}; }

class StateExchangeTest : public testing_support::PluginTest {
protected:
    void load(TFruityPlug* plug, const Bytes& bytes) {
        MemoryStream stream(bytes);
        stream.readLimit = 3;  // the host may hand out a few bytes at a time
        plug->SaveRestoreState(&stream, 0);
    }
    TFruityPlug* loaded(const Bytes& bytes) {
        TFruityPlug* plug = create();
        host.clear();
        load(plug, bytes);
        return plug;
    }
    model::InstanceOptions& options(TFruityPlug* plug) { return impl(plug).records().options; }
    std::vector<intptr_t> requests(intptr_t code) {
        std::vector<intptr_t> out;
        for (const auto& call : host.dispatchesWithCode(code)) out.push_back(call.value);
        return out;
    }
};

TEST_F(StateExchangeTest, PortAndChannelAreTakenOnlyWhileFreshOrUnpreserved) {
    TFruityPlug* plug = loaded(modernState(10, {{"port", 2}, {"channel", 9}, {"page", 2}, {"preserve", 1},
                                                {"midixtend", 1}, {"paramknob", 1}, {"singleeditor", 0},
                                                {"altmiddlec", 1}}));
    model::InstanceOptions& o = options(plug);
    EXPECT_EQ(routing(o), (Row{2, 9, 2, 1, 1}));
    EXPECT_EQ(processWide().singleEditor, 0);
    EXPECT_EQ(requests(27), (std::vector<intptr_t>{97}));  // the named layout's parameter count
    EXPECT_EQ(impl(plug).parameters().articulationIndex(), 96);
    EXPECT_STREQ(impl(plug).noteNames()[60].data(), "C4");

    const Bytes moved = modernState(10, {{"port", 5}, {"channel", 3}, {"page", 0}, {"preserve", 0}});
    load(plug, moved);
    EXPECT_EQ(routing(o), (Row{2, 9, 2, 1, 1}));
    EXPECT_EQ(impl(plug).parameters().articulationIndex(), 128);
    EXPECT_EQ(processWide().singleEditor, 1);
    o.preserve = 0;
    load(plug, moved);
    EXPECT_EQ(routing(o), (Row{5, 3, 0, 0, 0}));

    // Old formats keep port, channel and page the same way, and announce no parameter layout.
    host.clear();
    plug = loaded(oldState(5, 3, 1, 1, 2));
    EXPECT_EQ(routing(options(plug)), (Row{1, 3, 2, 1, 1}));
    load(plug, oldState(5, 8, 4, 0, 0));
    EXPECT_EQ(routing(options(plug)), (Row{1, 3, 2, 1, 1}));
    EXPECT_TRUE(host.dispatchesWithCode(27).empty());
}

TEST_F(StateExchangeTest, WhatEachFormatKnows) {
    TFruityPlug* plug = loaded(oldState(3, 3, 1, 0, 0));
    model::InstanceOptions& o = options(plug);
    EXPECT_EQ(o.ghost, 3);  // format 3 kept the whole value
    // A loaded instance opens on bank 1 and drops a timing fix with no controller switch to wait for.
    load(plug, modernState(10, {{"startart", 32}, {"cctimerfix", 1}}));
    EXPECT_EQ((Row{o.startart, o.cctimerfix}), (Row{0, 0}));
    // Format 9 knows no "ghosttransport" yet; format 8 neither "altmiddlec" nor "ghost", and takes
    // MIDI Extend even while port and channel are preserved.
    load(plug, modernState(9, {{"ghosttransport", 1}, {"ALTMIDDLEC", 1}, {"changeanyrule", 1}, {"preserve", 1}}));
    EXPECT_EQ((Row{o.ghosttransport, o.altmiddlec, o.changeanyrule}), (Row{0, 1, 1}));
    StreamBuilder b;
    b.i32(8).u16(0).u16(0).u16(0).i32(0);
    b.u16(5).key("midixtend", 3).key("altmiddlec", 1).key("port", 4).key("oldparams", 1).key("ghost", 2);
    load(plug, b.bytes);
    EXPECT_EQ((Row{o.midixtend, o.altmiddlec, o.oldparams, o.ghost, o.port}), (Row{1, 0, 1, 0, 0}));
    o.preserve = 0;  // unpreserved, its port as well
    load(plug, b.bytes);
    EXPECT_EQ((Row{o.midixtend, o.port}), (Row{1, 4}));
}

TEST_F(StateExchangeTest, AStoredScaleResizesTheEditorFromVersion12On) {
    const Bytes scaled = modernState(10, {{"uiscale", 150}, {"minimised", 1}});
    TFruityPlug* plug = loaded(scaled);
    EXPECT_FLOAT_EQ(impl(plug).editorScale(), 1.5f);
    EXPECT_EQ(impl(plug).editorHeight(), 150);
    EXPECT_EQ(host.dispatchesWithCode(2).size(), 1u);

    host.HostVersion = 11000000;
    plug = loaded(scaled);
    EXPECT_TRUE(host.dispatchesWithCode(2).empty());
    // Format 9 resizes whatever the version, at the scale the editor has.
    load(plug, modernState(9, {{"minimised", 1}, {"uiscale", 300}}));
    EXPECT_EQ(impl(plug).editorHeight(), 100);
    EXPECT_EQ(host.dispatchesWithCode(2).size(), 1u);
}

TEST_F(StateExchangeTest, KeyNameFilesAreReadAgainWhenThereAndKeptWhenGone) {
    TempFolder folder;
    TFruityPlug* source = create();
    impl(source).loadKeyNames(0, folder.write("strings.legato.txt", "old top\n").c_str());
    impl(source).loadKeyNames(1, folder.write("brass.txt", "brass top\n").c_str());
    EXPECT_EQ(requests(3), (std::vector<intptr_t>{2, 2}));
    MemoryStream saved;
    source->SaveRestoreState(&saved, 1);

    folder.write("strings.legato.txt", "new top\n");
    std::filesystem::remove(folder.file("brass.txt"));
    TFruityPlug* plug = loaded(saved.data);
    const model::Articulations& a = impl(plug).records().articulations;
    EXPECT_EQ((*a.keynames[0])[0], "new top");
    EXPECT_EQ((*a.keynames[1])[0], "brass top");
    EXPECT_EQ((Row{a.keynamesmissing[0], a.keynamesmissing[1]}), (Row{0, 1}));
    EXPECT_EQ(requests(3), (std::vector<intptr_t>{2}));
    char name[256] = {};
    plug->GetName(2, 131, 1, name);  // the highest key of colour 1
    EXPECT_STREQ(name, "brass top");
}

}  // namespace
