// The staged module file, loaded as FL Studio does. One host is built from raw slot numbers, so
// that a slot-order mistake shared by the plugin's declarations and our host class is caught.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"

namespace {

using hostkit::RecordingHost;

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = hostkit::stagedModulePath(hostkit::executableFolder());
        ASSERT_TRUE(module.load(path)) << module.error();
    }
    hostkit::PluginModule module;
};

TEST_F(ModuleTest, InfoRecordAndTagAreReadyAndInstancesTakePortsAndChannelsFromTheLiveCount) {
    RecordingHost host;
    TFruityPlug* plug = module.create()(&host, 7777);
    ASSERT_NE(plug, nullptr);
    EXPECT_EQ(plug->HostTag, 7777);
    const auto* raw = reinterpret_cast<const unsigned char*>(plug->Info);
    auto int32At = [&](int offset) {
        int32_t v;
        std::memcpy(&v, raw + offset, 4);
        return v;
    };
    auto textAt = [&](int offset) {
        const char* p;
        std::memcpy(&p, raw + offset, 8);
        return std::string(p);
    };
    EXPECT_EQ(int32At(0), 1);
    EXPECT_EQ(textAt(4), "KRYL Voxtrane");
    EXPECT_EQ(textAt(12), "KRYL Out");
    EXPECT_EQ(int32At(20), 0x00204460);
    EXPECT_EQ(int32At(24), 129);
    for (int offset = 28; offset < 160; offset += 4) EXPECT_EQ(int32At(offset), 0) << "offset " << offset;

    // Seventeen instances take ports and channels from the live count.
    auto expectPortsAndChannelsInOrder = [&](const std::vector<TFruityPlug*>& plugs) {
        for (size_t i = 0; i < plugs.size(); ++i) {
            host.clear();
            plugs[i]->Dispatcher(12, 0, 1);
            ASSERT_FALSE(host.midi.empty());
            for (const auto& m : host.midi) EXPECT_EQ(m.port() * 16 + m.channel(), int(i));
        }
    };
    std::vector<TFruityPlug*> plugs = {plug};
    for (int i = 1; i < 17; ++i) plugs.push_back(module.create()(&host, 100 + i));
    expectPortsAndChannelsInOrder(plugs);
    for (TFruityPlug* plug : plugs) plug->DestroyObject();
    TFruityPlug* again = module.create()(&host, 500);
    expectPortsAndChannelsInOrder({again});  // the process tear-down ran
    again->DestroyObject();
}

// A host whose vtable is an array of functions that each record their own slot number.
struct RawCall {
    int slot;
    intptr_t a, b, c, d;
};
std::vector<RawCall> gRawCalls;

template <int Slot>
intptr_t rawSlot(void*, intptr_t a, intptr_t b, intptr_t c, intptr_t d) {
    gRawCalls.push_back({Slot, a, b, c, d});
    return 0;
}

template <int... Slots>
std::vector<void*> rawTable(std::integer_sequence<int, Slots...>) {
    return {reinterpret_cast<void*>(&rawSlot<Slots>)...};
}

struct RawHost {
    void** vtable;
    int32_t hostVersion;
    int32_t flags;
    void* appHandle;
    unsigned char rest[256 - 24];
};

TEST_F(ModuleTest, PluginCallsTheHostAndIsCalledThroughTheDocumentedSlotNumbers) {
    std::vector<void*> table = rawTable(std::make_integer_sequence<int, 45>{});
    RawHost host{table.data(), 21000000, 0, nullptr, {}};
    gRawCalls.clear();

    TFruityPlug* plug = module.create()(reinterpret_cast<TFruityPlugHost*>(&host), 55);
    ASSERT_NE(plug, nullptr);
    std::vector<intptr_t> codes;
    for (const RawCall& c : gRawCalls) {
        EXPECT_EQ(c.slot, 0);
        EXPECT_EQ(c.a, 55);
        codes.push_back(c.b);
    }
    EXPECT_EQ(codes, (std::vector<intptr_t>{29, 46, 23, 13}));

    void** vt = *reinterpret_cast<void***>(plug);
    using DispatcherFn = intptr_t (*)(TFruityPlug*, intptr_t, intptr_t, intptr_t);
    using ProcessEventFn = int (*)(TFruityPlug*, int, int, int);
    using ProcessParamFn = int (*)(TFruityPlug*, int, int, int);
    using VoiceEventFn = int (*)(TFruityPlug*, intptr_t, intptr_t, intptr_t, intptr_t);
    using VoiceRenderFn = int (*)(TFruityPlug*, intptr_t, float*, int&);
    using DestroyFn = void (*)(TFruityPlug*);

    gRawCalls.clear();
    reinterpret_cast<ProcessEventFn>(vt[5])(plug, 2, 64, 0);  // pan
    ASSERT_EQ(gRawCalls.size(), 1u);
    EXPECT_EQ(gRawCalls[0].slot, 9);  // MIDIOut_Delayed
    EXPECT_EQ(gRawCalls[0].a, 55);
    EXPECT_EQ(static_cast<uint32_t>(gRawCalls[0].b), 0x0040'0AB0u);  // CC 10 = 64, channel 0, port 0

    EXPECT_EQ(reinterpret_cast<DispatcherFn>(vt[1])(plug, 7, 0, 0), 0);
    EXPECT_EQ(reinterpret_cast<VoiceEventFn>(vt[12])(plug, 0, 0, 0, 0), 0);
    EXPECT_EQ(reinterpret_cast<ProcessParamFn>(vt[6])(plug, 200, 33, 0), 33);

    float buffer[8];
    for (float& f : buffer) f = 1.0f;
    int frames = 3;
    EXPECT_EQ(reinterpret_cast<VoiceRenderFn>(vt[13])(plug, 0, buffer, frames), 0);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(buffer[i], 0.0f);
    EXPECT_EQ(buffer[6], 1.0f);

    reinterpret_cast<DestroyFn>(vt[0])(plug);
}

}  // namespace
