// The state stream's reader where a stream is cut short or counts more than the arrays hold, and
// the foreign layout, without a host. (Arbitrary bytes, and a saved state that must load and save
// again unchanged, are the state stream fuzz target's.)
#include "model/state_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/defaults.h"
#include "support/stream_builder.h"

namespace model {
namespace {

using testing_support::StreamBuilder;
using Bytes = std::vector<uint8_t>;

// Loads into freshly reset records from `input`, and saves into `output`.
class StateStreamTest : public ::testing::Test, protected ByteSource, protected ByteSink {
protected:
    LoadResult load(const Bytes& bytes) {
        resetRecords(records, 1, true);
        input.assign(bytes.rbegin(), bytes.rend());
        return LoadState(records, *this, context);
    }
    size_t read(void* buffer, size_t count) override {
        size_t n = 0;
        for (; n < count && !input.empty(); ++n, input.pop_back()) static_cast<uint8_t*>(buffer)[n] = input.back();
        return n;
    }
    void write(const void* data, size_t count) override {
        output.insert(output.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + count);
    }

    InstanceRecords records;
    int32_t singleEditor = 1;
    int32_t foreignChannel = 0;
    LoadContext context{singleEditor, foreignChannel};
    Bytes input, output;
};

TEST_F(StateStreamTest, AStreamCutAnywhereKeepsResetValuesFromTheCutOn) {
    resetRecords(records, 1, true);
    for (int i = 0; i < kArticulationCount; ++i) records.articulations.note[i] = i;
    records.options.midixtend = 1;
    SaveState(records, singleEditor, *this);
    const Bytes full = output;

    for (size_t length = 0; length <= full.size(); ++length) {
        load(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)));
        for (int i = 0; i < kArticulationCount; ++i)
            ASSERT_EQ(records.articulations.note[i], 6 + 4 * (i + 1) <= static_cast<int>(length) ? i : kNone) << length;
        ASSERT_EQ(records.options.midixtend, length == full.size() ? 1 : 0) << length;  // the very last value
    }
}

TEST_F(StateStreamTest, CountsBeyondTheArraysAreReadPastSoLaterFieldsLineUp) {
    StreamBuilder b;
    b.i32(10).u16(70);  // 70 articulations
    for (int column = 0; column < 6; ++column) b.column(70, [](int i) { return i; });
    b.strs(70, "name");
    for (int i = 0; i < 70; ++i) {
        b.str("").u16(i == 5 ? 3 : 0);
        if (i == 5) b.u16(147).str("last").u16(148).str("too far").u16(60000).str("far too far");
    }
    b.u16(20).strs(20, "page").u16(100);  // 20 pages, 100 controllers
    for (int column = 0; column < 6; ++column) b.column(100, [](int i) { return i; });
    b.strs(100, "knob").i32(12).u16(3).key("PORT", 7).key("paramknob", 1).key("Channel", 4);

    const LoadResult result = load(b.bytes);
    const Articulations& a = records.articulations;
    EXPECT_EQ((std::vector<int32_t>{a.note[63], a.icon[63]}), (std::vector<int32_t>{63, 63}));
    EXPECT_EQ(a.name[63], "name");
    EXPECT_EQ((*a.keynames[5])[147], "last");
    EXPECT_EQ(std::count(a.keynames[5]->begin(), a.keynames[5]->end(), ""), kKeyNameCount - 1);
    EXPECT_EQ(records.pageNames[15] + records.controllers.name[95], "pageknob");
    EXPECT_EQ((std::vector<int32_t>{records.controllers.lock[95], records.controllerstart, records.options.port,
                                    records.options.channel}),
              (std::vector<int32_t>{95, 12, 7, 4}));
    EXPECT_EQ(result.articulationIndex, 96);  // the named layout's own index, not M
}

StreamBuilder foreignState(int32_t format, int32_t channel) {
    StreamBuilder b;
    b.i32(format).i32(channel).column(4, 99).i32(3);
    if (format >= 4) b.u8(0).u8(42);
    b.i32(12).column(72, [](int i) { return 2 * i; });
    const int extra = format >= 4 ? 3 : 2;
    b.i8(0).u16(7).u16(0).i32(0).column(extra, 0).str8("Volume").str8("unused");
    b.i8(90).u16(9).u16(0).i32(0).column(extra, 0).str8("Out of range").str8("");
    b.i8(5).u16(10).u16(0).i32(1).column(extra, 0).str8("Pan").str8("x");
    b.i8(-1);
    for (int i = 0; i < 8; ++i) b.str8("dropped");
    return b;
}

TEST_F(StateStreamTest, TheForeignLayoutBecomesNamedControllers) {
    context.foreignModule = true;
    foreignChannel = 4;
    const LoadResult result = load(foreignState(5, 0).bytes);
    const InstanceOptions& o = records.options;
    // Channel 0 takes the next of the counter.
    EXPECT_EQ((std::vector<int32_t>{o.channel, foreignChannel, o.port, o.paramknob, o.ghost, result.articulationIndex}),
              (std::vector<int32_t>{4, 5, 3, 1, 1, 96}));
    EXPECT_TRUE(result.announceParameters);

    const Controllers& c = records.controllers;
    // {cc, value, on, type} of a controller.
    auto knob = [&](int i) { return std::vector<int32_t>{c.cc[i], c.value[i], c.on[i], c.type[i]}; };
    EXPECT_EQ(knob(0), (std::vector<int32_t>{128, 12, 0, 0}));
    EXPECT_EQ(knob(1), (std::vector<int32_t>{7, 0, 1, 0}));
    EXPECT_EQ(knob(6), (std::vector<int32_t>{10, 10, 0, 0}));
    EXPECT_EQ(knob(2), (std::vector<int32_t>{255, 127, 0, 0}));
    EXPECT_EQ(knob(5), (std::vector<int32_t>{255, 0, 0, 0}));  // "Hold" was a switch
    EXPECT_EQ(c.name[0] + "|" + c.name[1] + "|" + c.name[6] + "|" + c.name[91], "General MIDI patch|Volume|Pan|");

    // Earlier versions lack the ghost byte and one field per record; a stored channel stays.
    load(foreignState(2, 9).bytes);
    EXPECT_EQ((std::vector<int32_t>{o.channel, o.ghost, foreignChannel}), (std::vector<int32_t>{9, 0, 5}));
    EXPECT_EQ(c.name[6], "Pan");

    // Format 9 and up are the plugin's own even then.
    load(StreamBuilder().i32(9).u16(0).u16(0).u16(0).i32(0).u16(1).key("port", 2).bytes);
    EXPECT_EQ((std::vector<int32_t>{o.port, o.paramknob}), (std::vector<int32_t>{2, 0}));
}

}  // namespace
}  // namespace model
