// Process-wide tables shared by every instance on a port and channel: what switches were last
// sent there, the last controller values, and the mute state. Created by the first live
// instance and freed by the last.
#pragma once

#include <array>
#include <cstdint>

namespace engine {

inline constexpr int kPortCount = 256;
// Channel settings 0..63 (MIDI Extend) plus the per-colour setting, which has entries of its own.
inline constexpr int kChannelSlots = 65;
inline constexpr int kPortChannelCount = kPortCount * kChannelSlots;
inline constexpr int kControllerNumbers = 128;

inline constexpr int32_t kUnknownSwitch = 255;     // send again
inline constexpr int32_t kUnknownController = 128;

// Entry of a port and channel setting. Out-of-range values (only a damaged state can hold them)
// fold into the table instead of reaching past it.
inline int portChannelIndex(int32_t port, int32_t channel) {
    const int slot = channel == 256 ? kChannelSlots - 1 : (channel & 63);
    return (port & 0xFF) * kChannelSlots + slot;
}

// The four last-sent switch values of one port and channel (`CurrentArticulationState`).
struct CurrentArticulationState {
    int32_t ks1Note = kUnknownSwitch;
    int32_t ks1Velocity = kUnknownSwitch;
    int32_t program = kUnknownSwitch;
    int32_t modw = kUnknownSwitch;
};

struct SharedTables {
    // `PortChannelState`: one entry per port and channel setting.
    std::array<CurrentArticulationState, kPortChannelCount> portChannelState{};
    // Last controller values, per port, channel setting and controller number.
    std::array<int32_t, kPortChannelCount * kControllerNumbers> lastControllerValue;
    // `MuteTable`: not 0 = every message on that port and channel is dropped.
    std::array<uint8_t, kPortChannelCount> muteTable{};

    SharedTables() { lastControllerValue.fill(kUnknownController); }

    int32_t& lastController(int32_t port, int32_t channel, int controller) {
        return lastControllerValue[portChannelIndex(port, channel) * kControllerNumbers + controller];
    }
};

}  // namespace engine
