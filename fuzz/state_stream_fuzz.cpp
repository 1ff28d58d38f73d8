// Arbitrary bytes as a saved state, read by the plugin's own module and by one named "MIDI Out".
// A state of the written layout saves as it loaded; older layouts may keep values whole that the
// written one narrows, so theirs must settle after one save. And the instance still plays without
// leaving a key sounding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <set>
#include <tuple>
#include <vector>

#include "engine/session.h"
#include "engine/shared_tables.h"
#include "model/defaults.h"
#include "model/state_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

struct Memory final : model::ByteSource, model::ByteSink {
    Bytes bytes;
    size_t position = 0;
    size_t read(void* buffer, size_t count) override {
        const size_t n = std::min(count, bytes.size() - position);
        if (n) std::memcpy(buffer, bytes.data() + position, n);
        position += n;
        return n;
    }
    void write(const void* data, size_t count) override {
        bytes.insert(bytes.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + count);
    }
};

struct Loaded {
    model::InstanceRecords records;
    int32_t singleEditor = 0;
    int32_t foreignChannel = 0;
    int32_t format = 0;

    Loaded(const Bytes& bytes, bool foreignModule) {
        model::resetRecords(records, 1, true);
        model::LoadContext context(singleEditor, foreignChannel);
        context.foreignModule = foreignModule;
        context.hostVersion = 12000000;
        Memory in;
        in.bytes = bytes;
        format = model::LoadState(records, in, context).format;
    }
    Bytes save() const {
        Memory out;
        model::SaveState(records, singleEditor, out);
        return out.bytes;
    }
};

// Which keys sound on which port and channel; a note-off ends every note-on of its key.
class Receiver final : public engine::SessionHost {
public:
    explicit Receiver(bool midiExtend) : midiExtend_(midiExtend) {}
    void midiOut(uint32_t m) override {
        const uint32_t type = m & 0xF0, velocity = (m >> 16) & 0x7F;
        const auto key = std::make_tuple(m >> 24, m & 0x0F, (m >> 8) & 0xFF);
        // MIDI Extend sends program changes as note-offs of velocity 0, and note-offs never so.
        if (type == 0x90) sounding.insert(key);
        else if (type == 0x80 && !(midiExtend_ && velocity == 0)) sounding.erase(key);
    }
    intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t) override {
        return code == engine::kVoiceColour ? hostVoice & 15 : 0;
    }
    void voiceDone(intptr_t) override {}
    void debugLine(const char*) override {}
    void repaintEditor() override {}
    void stateChanged() override {}
    bool pianoRollShiftClick() override { return false; }

    std::set<std::tuple<uint32_t, uint32_t, uint32_t>> sounding;  // port, channel, key

private:
    bool midiExtend_;
};

// Notes of every colour and bank, let go after the timing fix's delay, before it, just after the
// delayed note-on with a kill, or at once with a kill.
void play(model::InstanceRecords& records, int firstColour) {
    static engine::SharedTables tables;
    tables.portChannelState[engine::portChannelIndex(records.options.port, records.options.channel)] = {};
    Receiver receiver(records.options.midixtend != 0);
    // In place: allocating its voice pool anew each run would cost more than all the rest.
    alignas(engine::Session) static unsigned char storage[sizeof(engine::Session)];
    engine::Session* session = new (storage) engine::Session(records, receiver, tables, nullptr);
    session->tickLength = 100.0f;  // held keyswitches end after four ticks
    session->debugLog = true;
    session->SendChannelControllers(engine::kSendAll);
    for (int note = 0; note < 8; ++note) {
        float levels[10] = {};
        levels[1] = 0.8f;
        levels[3] = static_cast<float>(note % 5 - 2) * 0.45f;
        levels[7] = static_cast<float>(note * 100);
        const intptr_t voice = session->TriggerVoice(levels, (firstColour + 5 * note) & 15);
        const int end = note % 4;
        if (end) session->Voice_Release(voice);
        for (int tick = (end == 3 ? 7 : end == 2 ? 2 : 0); tick < 7; ++tick) session->NewTick();
        if (!end) session->Voice_Release(voice);
        session->Voice_Kill(voice);
    }
    for (int tick = 0; tick < 5; ++tick) session->NewTick();
    check(session->voices().used().size() == 0);
    check(receiver.sounding.empty());
    session->~Session();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes input(data, data + size);
    for (const bool foreignModule : {false, true}) {
        Loaded first(input, foreignModule);
        const Bytes saved = first.save();
        const Bytes again = Loaded(saved, false).save();
        if (first.format >= 9 || (first.format == 8 && !foreignModule)) check(again == saved);
        else check(Loaded(again, false).save() == again);
        play(first.records, size ? data[size - 1] : 0);
    }
    return 0;
}
