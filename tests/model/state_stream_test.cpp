// The foreign layout, read without a host. (Arbitrary bytes and round trips are the fuzz target's.)
#include "model/state_stream.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/defaults.h"
#include "support/stream_builder.h"

namespace model {
namespace {

using testing_support::StreamBuilder;
using Bytes = std::vector<uint8_t>;

// Loads into freshly reset records from `input`.
class StateStreamTest : public ::testing::Test, protected ByteSource {
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

    InstanceRecords records;
    int32_t singleEditor = 1;
    int32_t foreignChannel = 0;
    LoadContext context{singleEditor, foreignChannel};
    Bytes input;
};

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
    // Cc, value and on of controllers 0 (the program), 1, 6, 2 (out of range) and 5 ("Hold" was a switch).
    EXPECT_EQ((std::vector<int32_t>{c.cc[0], c.value[0], c.on[0], c.cc[1], c.value[1], c.on[1], c.cc[6], c.value[6],
                                    c.cc[2], c.value[2], c.cc[5], c.value[5], c.type[5]}),
              (std::vector<int32_t>{128, 12, 0, 7, 0, 1, 10, 10, 255, 127, 255, 0, 0}));
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
