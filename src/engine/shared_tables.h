// Process-wide tables shared by every instance on a port and channel: what switches were last
// sent there, the last controller values, and the mute state. Created by the first live
// instance and freed by the last.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "engine/relaxed.h"

namespace engine {

inline constexpr int kPortCount = 256;
// Channel settings 0..63 (MIDI Extend) plus the per-colour setting, which has entries of its own.
inline constexpr int kChannelSlots = 65;
inline constexpr int kPortChannelCount = kPortCount * kChannelSlots;
inline constexpr int kControllerNumbers = 128;

inline constexpr int32_t kUnknownSwitch = 255;     // send again
inline constexpr int32_t kUnknownController = 128;

inline constexpr int kPerColourSlot = kChannelSlots - 1;

// Slot of a channel setting: 0..63 keep their bits 4 and 5 (MIDI Extend reads them), the
// per-colour setting has none set. Out-of-range values (only a damaged state can hold them)
// fold into the table instead of reaching past it.
constexpr int channelSlot(int32_t channel) { return channel == 256 ? kPerColourSlot : (channel & 63); }

// Entry of a port and channel setting.
constexpr int portChannelIndex(int32_t port, int32_t channel) {
    return (port & 0xFF) * kChannelSlots + channelSlot(channel);
}

// Where a message goes and how it is encoded: the instance's port, channel setting and MIDI
// Extend option as one value. A note or a held keyswitch keeps the route its note-on took, so
// that its note-off reaches the same receiver channel whatever the user changes meanwhile.
struct Route {
    uint8_t port = 0;
    uint8_t slot = 0;  // channelSlot() of the channel setting
    uint8_t midixtend = 0;

    bool perColour() const { return slot == kPerColourSlot; }
    int channel() const { return slot & 15; }  // the setting mod 16 (0 for per colour)
    int index() const { return port * kChannelSlots + slot; }
    bool operator==(const Route& o) const { return port == o.port && slot == o.slot && midixtend == o.midixtend; }
    bool operator!=(const Route& o) const { return !(*this == o); }
};

// The four last-sent switch values of one port and channel (`CurrentArticulationState`). Notes
// write them on the audio thread, the editor and a state load forget them on the UI thread:
// each value is shared whole (a forget crossing a switch at worst sends a switch again).
struct CurrentArticulationState {
    Relaxed<int32_t> ks1Note = kUnknownSwitch;
    Relaxed<int32_t> ks1Velocity = kUnknownSwitch;
    Relaxed<int32_t> program = kUnknownSwitch;
    Relaxed<int32_t> modw = kUnknownSwitch;
};

struct SharedTables {
    // `PortChannelState`: one entry per port and channel setting.
    std::array<CurrentArticulationState, kPortChannelCount> portChannelState{};
    // `MuteTable`: not 0 = every message on that port and channel is dropped.
    std::array<uint8_t, kPortChannelCount> muteTable{};
    // Whether instances keep their live monitor (someone watches it). [ui] writes, [audio] reads
    Relaxed<bool> monitoring = false;
    uint64_t monitorNumbering = 0;  // entries kept by every instance's monitor [ui]

    SharedTables() {
        if (!lastControllerBias_) throw std::bad_alloc();
    }

    // Last controller values, per port, channel setting and controller number; 128 = unknown.
    int32_t lastController(int32_t port, int32_t channel, int controller) const {
        return lastControllerBias_[slot(port, channel, controller)] + kUnknownController;
    }
    void setLastController(int32_t port, int32_t channel, int controller, int32_t value) {
        lastControllerBias_[slot(port, channel, controller)] = value - kUnknownController;
    }

private:
    static size_t slot(int32_t port, int32_t channel, int controller) {
        return static_cast<size_t>(portChannelIndex(port, channel)) * kControllerNumbers +
               static_cast<size_t>(controller & (kControllerNumbers - 1));
    }
    struct Free {
        void operator()(int32_t* p) const { std::free(p); }
    };
    // 8.5 MB kept as value - 128, so that "all unknown" is all zero: calloc hands out zeroed
    // pages without touching them, and the first instance starts without filling the table.
    std::unique_ptr<int32_t[], Free> lastControllerBias_{
        static_cast<int32_t*>(std::calloc(size_t{kPortChannelCount} * kControllerNumbers, sizeof(int32_t)))};
};

}  // namespace engine
