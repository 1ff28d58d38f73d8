// One thread plays notes as FL Studio's audio thread does while the test's own thread, the
// instance's UI thread, changes the whole bank every way it can: a bank PUT through the API,
// state loads, single-field API commands, and /api served. Every note's switches must come from
// one whole bank. Under the thread sanitizer the same run also proves the two threads share
// nothing unsynchronised.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "hostkit/memory_stream.h"
#include "platform/thread_id.h"
#include "plugin/voxtrane_plug.h"
#include "support/fake_host.h"
#include "support/fake_settings.h"
#include "support/fake_sockets.h"
#include "support/notes.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace {

constexpr int kBanks = 4;
constexpr uint32_t kNoteEnd = 0xFFFFFF00;
// Bank k: every slot sends program k, keyswitch 24 + k at velocity 100 + k, then CC 1 at 10 + k.
std::string bankJson(int k) {
    std::string s = "[";
    for (int slot = 0; slot < 16; ++slot)
        s += std::string(slot ? "," : "") + "{\"name\":\"B" + std::to_string(k) + "\",\"note\":" + std::to_string(24 + k) +
             ",\"notevel\":" + std::to_string(100 + k) + ",\"prog\":" + std::to_string(k) +
             ",\"modc\":1,\"modw\":" + std::to_string(10 + k) + "}";
    return s + "]";
}

// The host side of both threads: what the audio thread calls is answered without touching
// anything the UI thread touches, so the host adds no synchronisation that could hide a race.
class ThreadedHost final : public testing_support::FakeHost {
public:
    std::atomic<uint64_t> audioThread{0};
    std::vector<uint32_t> audioMidi;  // the audio thread's alone while it runs
    std::atomic<int> audioDispatches{0};

    bool onAudio() const { return platform::currentThreadId() == audioThread.load(); }
    intptr_t FRUITY_STDCALL Dispatcher(TPluginTag sender, intptr_t id, intptr_t index, intptr_t value) override {
        if (onAudio()) {
            ++audioDispatches;
            return 0;
        }
        return hostkit::RecordingHost::Dispatcher(sender, id, index, value);
    }
    int FRUITY_STDCALL Voice_ProcessEvent(intptr_t hostVoice, intptr_t code, intptr_t value, intptr_t flags) override {
        if (onAudio()) return code == 2 ? static_cast<int>(hostVoice % 16) : 0;
        return hostkit::RecordingHost::Voice_ProcessEvent(hostVoice, code, value, flags);
    }
    void FRUITY_STDCALL Voice_Kill(intptr_t hostVoice, BOOL killHandle) override {
        if (!onAudio()) hostkit::RecordingHost::Voice_Kill(hostVoice, killHandle);
    }
    void FRUITY_STDCALL MIDIOut_Delayed(TPluginTag sender, intptr_t msg) override {
        if (onAudio()) audioMidi.push_back(static_cast<uint32_t>(msg));
        else hostkit::RecordingHost::MIDIOut_Delayed(sender, msg);
    }
};

TEST(NoteThreads, EveryNoteSwitchesToOneWholeBankWhileTheUiThreadReplacesIt) {
    testing_support::FakeSettings settings;
    settings.setDword("Software\\KRYL\\KRYL Voxtrane", "HTTP API", 1);
    testing_support::FakeSockets sockets;
    ThreadedHost host;
    TFruityPlug* plug = CreatePlugInstance(&host, 101);
    ASSERT_NE(plug, nullptr);
    InstanceCore& core = static_cast<KRYLVSTExprPlug*>(plug)->core();
    const std::string api = "/api/" + std::to_string(core.instanceId());
    const auto request = [&](const std::string& raw) {
        const size_t client = sockets.connect(raw);
        for (int i = 0; i < 50 && !sockets.clients[client].closedByServer; ++i) plug->Idle_Public();
        return sockets.clients[client].output;
    };
    const auto putBank = [&](int k) {
        const std::string body = bankJson(k);
        request("PUT " + api + "/json HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    };
    // Each bank saved as a state, to load back later.
    std::vector<std::vector<uint8_t>> states;
    for (int k = 0; k < kBanks; ++k) {
        putBank(k);
        hostkit::MemoryStream saved;
        plug->SaveRestoreState(&saved, 1);
        states.push_back(saved.data);
    }

    std::atomic<bool> stop{false};
    // Notes played so far; relaxed, so that waiting on it gives the sanitizer no order between
    // the threads.
    std::atomic<int> played{0};
    std::thread audio([&] {
        host.audioThread = platform::currentThreadId();
        for (intptr_t voice = 1; !stop.load(); ++voice) {
            TVoiceParams p = testing_support::voiceParams({60, 0});
            const intptr_t handle = plug->TriggerVoice(&p, voice);
            plug->NewTick();
            plug->Voice_Release(handle);
            plug->Voice_Kill(handle);
            host.audioMidi.push_back(kNoteEnd | static_cast<uint32_t>(voice % 16));  // the note's end and slot
            played.fetch_add(1, std::memory_order_relaxed);
        }
    });
    for (int round = 0; round < 120; ++round) {
        const int k = round % kBanks;
        switch (round / kBanks % 3) {
        case 0: putBank(k); break;
        case 1: {
            hostkit::MemoryStream stream(states[size_t(k)]);
            plug->SaveRestoreState(&stream, 0);
            break;
        }
        default:
            // One field per command: a note between two commands sees one change, never a part of one.
            request("GET " + api + "/articulations/0/prog/" + std::to_string(k) + " HTTP/1.1\r\n\r\n");
            break;
        }
        request("GET /api HTTP/1.1\r\n\r\n");
        plug->Idle_Public();
        // Some notes between two changes, however the cores are shared out.
        const int before = played.load(std::memory_order_relaxed);
        for (int spin = 0; spin < 100000 && played.load(std::memory_order_relaxed) < before + 20; ++spin)
            std::this_thread::yield();
    }
    stop = true;
    audio.join();
    EXPECT_EQ(host.audioDispatches.load(), 0);

    // Between two note ends: what one note sent. Its program, keyswitch and controller must
    // name one bank (single-field commands may leave slot 0 with another bank's program).
    int notes = 0, switched = 0;
    int program = -1, keyswitch = -1, velocity = -1, controller = -1;
    for (const uint32_t m : host.audioMidi) {
        const int type = m & 0xF0, d1 = (m >> 8) & 0xFF, d2 = (m >> 16) & 0xFF;
        if ((m & kNoteEnd) == kNoteEnd) {
            ++notes;
            if (keyswitch >= 0) {
                ++switched;
                if ((m & 0xFF) != 0 && program >= 0) {
                    EXPECT_EQ(program, keyswitch) << "program of another bank";
                }
                EXPECT_EQ(velocity, 100 + keyswitch) << "keyswitch velocity of another bank";
                if (controller >= 0) {
                    EXPECT_EQ(controller, 10 + keyswitch) << "controller of another bank";
                }
            }
            program = keyswitch = velocity = controller = -1;
        } else if (type == 0xC0) {
            program = d1;
        } else if (type == 0x90 && d1 != 60 && d2 > 0) {
            keyswitch = d1 - 24;
            velocity = d2;
        } else if (type == 0xB0 && d1 == 1) {
            controller = d2;
        }
    }
    EXPECT_GT(notes, 100);
    EXPECT_GT(switched, 50);
    plug->DestroyObject();
}

}  // namespace
