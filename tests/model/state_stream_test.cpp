// The state stream's reader on damaged and oversized input, and the foreign layout, without a
// host: whatever the bytes, nothing is written outside the fixed arrays and later fields line up.
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

class BytesSource final : public ByteSource {
public:
    explicit BytesSource(const Bytes& bytes, size_t length) : bytes_(bytes), length_(std::min(length, bytes.size())) {}
    size_t read(void* buffer, size_t count) override {
        const size_t n = std::min(count, length_ - position_);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), n, static_cast<uint8_t*>(buffer));
        position_ += n;
        return n;
    }

private:
    const Bytes& bytes_;
    size_t length_;
    size_t position_ = 0;
};

class BytesSink final : public ByteSink {
public:
    void write(const void* data, size_t count) override {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + count);
    }
    Bytes bytes;
};

class StateStreamTest : public ::testing::Test {
protected:
    // Loads the first `length` bytes into freshly reset records.
    LoadResult load(const Bytes& bytes, size_t length = SIZE_MAX) {
        resetRecords(records, 1, true);
        BytesSource source(bytes, length);
        return LoadState(records, source, context);
    }
    Bytes save() {
        BytesSink sink;
        SaveState(records, singleEditor, sink);
        return sink.bytes;
    }

    InstanceRecords records;
    int32_t singleEditor = 1;
    int32_t foreignChannel = 0;
    LoadContext context{singleEditor, foreignChannel};
};

TEST_F(StateStreamTest, AStreamCutAnywhereKeepsResetValuesFromTheCutOn) {
    resetRecords(records, 1, true);
    for (int i = 0; i < kArticulationCount; ++i) records.articulations.note[i] = i;
    records.options.midixtend = 1;
    const Bytes full = save();

    for (size_t length = 0; length <= full.size(); ++length) {
        load(full, length);
        for (int i = 0; i < kArticulationCount; ++i) {
            const bool arrived = 6 + 4 * (i + 1) <= static_cast<int>(length);
            ASSERT_EQ(records.articulations.note[i], arrived ? i : kNone) << "length " << length;
        }
        // MIDI Extend is the very last value.
        ASSERT_EQ(records.options.midixtend, length == full.size() ? 1 : 0) << "length " << length;
        // Whatever got in saves and loads again as it is.
        const Bytes again = save();
        load(again);
        ASSERT_EQ(save(), again) << "length " << length;
    }
}

TEST_F(StateStreamTest, CountsBeyondTheArraysAreReadPastSoLaterFieldsLineUp) {
    StreamBuilder b;
    b.i32(10).u16(70);  // 70 articulations
    for (int column = 0; column < 6; ++column) b.column(70, [](int i) { return i; });
    b.strs(70, "name");
    for (int i = 0; i < 70; ++i) {
        b.str("");
        if (i != 5) {
            b.u16(0);
            continue;
        }
        b.u16(3).u16(147).str("last").u16(148).str("too far").u16(60000).str("far too far");
    }
    b.u16(20).strs(20, "page");          // 20 pages
    b.u16(100);                           // 100 controllers
    for (int column = 0; column < 6; ++column) b.column(100, [](int i) { return i; });
    b.strs(100, "knob").i32(12).u16(3).key("PORT", 7).key("paramknob", 1).key("Channel", 4);

    const LoadResult result = load(b.bytes);
    EXPECT_EQ(records.articulations.note[63], 63);
    EXPECT_EQ(records.articulations.icon[63], 63);
    EXPECT_EQ(records.articulations.name[63], "name");
    const KeyNameList& names = *records.articulations.keynames[5];
    EXPECT_EQ(names[147], "last");
    EXPECT_EQ(std::count(names.begin(), names.end(), ""), kKeyNameCount - 1);
    EXPECT_EQ(records.pageNames[15], "page");
    EXPECT_EQ(records.controllers.lock[95], 95);
    EXPECT_EQ(records.controllers.name[95], "knob");
    EXPECT_EQ(records.controllerstart, 12);
    EXPECT_EQ(records.options.port, 7);
    EXPECT_EQ(records.options.channel, 4);
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
    EXPECT_EQ(records.options.channel, 4);  // channel 0 takes the next of the counter
    EXPECT_EQ(foreignChannel, 5);
    EXPECT_EQ(records.options.port, 3);
    EXPECT_EQ(records.options.paramknob, 1);
    EXPECT_EQ(records.options.ghost, 1);
    EXPECT_TRUE(result.announceParameters);
    EXPECT_EQ(result.articulationIndex, 96);

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
    EXPECT_EQ(records.options.channel, 9);
    EXPECT_EQ(records.options.ghost, 0);
    EXPECT_EQ(records.controllers.name[6], "Pan");
    EXPECT_EQ(foreignChannel, 5);

    // Format 9 and up are the plugin's own even then.
    load(StreamBuilder().i32(9).u16(0).u16(0).u16(0).i32(0).u16(1).key("port", 2).bytes);
    EXPECT_EQ(records.options.port, 2);
    EXPECT_EQ(records.options.paramknob, 0);
}

}  // namespace
}  // namespace model
