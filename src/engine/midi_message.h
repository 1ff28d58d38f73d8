// A MIDI message as the host's MIDI-out takes it: one 32-bit value, bytes from the lowest:
// status, data 1, data 2, port. Builders take the channel mod 16 and the low 8 bits of the rest.
#pragma once

#include <cstdint>

namespace engine {

constexpr uint32_t midiMessage(uint32_t status, uint32_t data1, uint32_t data2, uint32_t port) {
    return (status & 0xFF) | (data1 & 0xFF) << 8 | (data2 & 0xFF) << 16 | (port & 0xFF) << 24;
}
constexpr uint32_t channelStatus(uint32_t type, int32_t channel) {
    return type | (static_cast<uint32_t>(channel) & 0x0F);
}
constexpr uint32_t noteOn(int32_t port, int32_t channel, int32_t key, int32_t velocity) {
    return midiMessage(channelStatus(0x90, channel), key, velocity, port);
}
constexpr uint32_t noteOff(int32_t port, int32_t channel, int32_t key, int32_t velocity) {
    return midiMessage(channelStatus(0x80, channel), key, velocity, port);
}
constexpr uint32_t controlChange(int32_t port, int32_t channel, int32_t controller, int32_t value) {
    return midiMessage(channelStatus(0xB0, channel), controller, value, port);
}
constexpr uint32_t programChange(int32_t port, int32_t channel, int32_t program) {
    return midiMessage(channelStatus(0xC0, channel), program, 0, port);
}
// `bend` 0..16383, 8192 = centre.
constexpr uint32_t pitchBend(int32_t port, int32_t channel, int32_t bend) {
    return midiMessage(channelStatus(0xE0, channel), bend % 128, (bend / 128) % 128, port);
}

constexpr uint32_t statusOf(uint32_t m) { return m & 0xFF; }
constexpr uint32_t data1Of(uint32_t m) { return (m >> 8) & 0xFF; }
constexpr uint32_t data2Of(uint32_t m) { return (m >> 16) & 0xFF; }
constexpr uint32_t portOf(uint32_t m) { return m >> 24; }

// MIDI Extend: 64 channels through one port. The channel's bits 4 and 5 ride in bit 7 of the
// data bytes, and message types are swapped so that the receiver can tell them apart again.
constexpr uint32_t MidiExtendEncoding(uint32_t message, int32_t channelSetting) {
    uint32_t status = statusOf(message);
    uint32_t d1 = data1Of(message);
    uint32_t d2 = data2Of(message);
    const uint32_t channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0xB0: status = 0xC0 | channel; break;
    case 0x80: if (d2 == 0) d2 = 1; break;
    case 0xC0: status = 0x80 | channel; d2 = 0; break;
    default: break;
    }
    if ((status & 0xF0) == 0xA0) status = 0xE0 | channel;
    else if ((status & 0xF0) == 0xE0) status = 0xA0 | channel;
    if (channelSetting & 0x20) d1 |= 0x80;
    if (channelSetting & 0x10) d2 |= 0x80;
    return midiMessage(status, d1, d2, portOf(message));
}

// Pitch in cents to a 14-bit bend, in 32-bit floats as the receiver's +/-1200 cent range.
inline int32_t pitchToBend(int32_t cents) {
    float scaled = static_cast<float>(cents) / 1200.0f * -8192.0f;
    // Far outside the range either way; also keeps the conversion to int defined.
    if (scaled > 16384.0f) scaled = 16384.0f;
    if (scaled < -16384.0f) scaled = -16384.0f;
    int32_t bend = 8192 - static_cast<int32_t>(scaled);
    if (bend < 0) bend = 0;
    if (bend > 16383) bend = 16383;
    return bend;
}

}  // namespace engine
