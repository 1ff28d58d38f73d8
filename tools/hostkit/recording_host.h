// A host that records every call the plugin makes, decoded, and answers queries with values
// set beforehand. voxtrane-host runs instances through it and the tests drive the plugin with
// it, so the host side of the interface exists once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

#include "plugin/fruity_abi.h"

namespace hostkit {

struct MidiEvent {
    TPluginTag sender;
    uint32_t raw;
    uint64_t clock = 0;  // the host's clock when it was sent
    int status() const { return raw & 0xFF; }
    int type() const { return raw & 0xF0; }
    int channel() const { return raw & 0x0F; }
    int data1() const { return (raw >> 8) & 0xFF; }
    int data2() const { return (raw >> 16) & 0xFF; }
    int port() const { return raw >> 24; }
    std::string describe() const;  // "port 0 ch 1 note-on 60 100"
};

struct DispatchCall {
    TPluginTag sender;
    intptr_t code;
    intptr_t index;
    intptr_t value;
    std::string text;  // the text that index or value points at, for codes that carry one
};

struct VoiceDone {
    intptr_t hostVoice;
    BOOL killHandle;
};

class RecordingHost : public TFruityPlugHost {
public:
    RecordingHost();

    // Answers.
    int colourOf(intptr_t hostVoice) const;
    std::unordered_map<intptr_t, int> voiceColour;        // host voice -> colour 0..15
    std::unordered_map<intptr_t, float> releaseVelocity;  // host voice -> 0..1
    float defaultReleaseVelocity = 0.0f;
    intptr_t mainWindow = 0x4242;
    std::string programPath = "C:\\Program Files\\Image-Line\\FL Studio 21\\";
    std::string promptAnswer;
    bool promptConfirms = false;
    intptr_t messageBoxAnswer = 6;
    std::function<intptr_t(const DispatchCall&)> onDispatch;  // overrides the canned answers
    // The host's own entries of every parameter's menu (request 18): text and flags.
    std::vector<std::pair<std::string, int>> parameterMenu;

    // Stamped on every recorded MIDI message: whatever time unit the driver keeps (song ticks).
    uint64_t clock = 0;

    // Records.
    std::vector<MidiEvent> midi;
    std::vector<DispatchCall> dispatches;
    std::vector<std::string> hints;
    std::vector<std::pair<int, int>> paramChanges;
    std::vector<VoiceDone> voicesDone;
    std::vector<std::pair<intptr_t, intptr_t>> voiceQueries;  // (host voice, code)
    std::vector<std::string> prompts;
    std::vector<std::string> promptPrefills;  // what each prompt showed before the answer

    void clear();
    std::vector<DispatchCall> dispatchesWithCode(intptr_t code) const;
    std::vector<std::string> midiDescribed() const;
    std::vector<std::string> debugLines() const;

    // The host side of the interface.
    intptr_t FRUITY_STDCALL Dispatcher(TPluginTag sender, intptr_t id, intptr_t index, intptr_t value) override;
    void FRUITY_STDCALL OnParamChanged(TPluginTag sender, int index, int value) override;
    void FRUITY_STDCALL OnHint(TPluginTag sender, char* text) override;
    void FRUITY_STDCALL ComputeLRVol_Old(float&, float&, int, float) override {}
    void FRUITY_STDCALL Voice_Release(intptr_t) override {}
    void FRUITY_STDCALL Voice_Kill(intptr_t hostVoice, BOOL killHandle) override;
    int FRUITY_STDCALL Voice_ProcessEvent(intptr_t hostVoice, intptr_t code, intptr_t value, intptr_t flags) override;
    void FRUITY_STDCALL LockMix_Old() override {}
    void FRUITY_STDCALL UnlockMix_Old() override {}
    void FRUITY_STDCALL MIDIOut_Delayed(TPluginTag sender, intptr_t msg) override;
    void FRUITY_STDCALL MIDIOut(TPluginTag sender, intptr_t msg) override;
    void FRUITY_STDCALL AddWave_32FM_32FS_Ramp() override {}
    void FRUITY_STDCALL AddWave_32FS_32FS_Ramp() override {}
    void FRUITY_STDCALL LoadSample() override {}
    void FRUITY_STDCALL GetSampleData() override {}
    void FRUITY_STDCALL CloseSample() override {}
    void FRUITY_STDCALL GetSongMixingTime() override {}
    void FRUITY_STDCALL GetSongMixingTime_A() override {}
    void FRUITY_STDCALL GetSongPlayingTime() override {}
    void FRUITY_STDCALL OnControllerChanged() override {}
    void FRUITY_STDCALL GetSendBuffer() override {}
    void FRUITY_STDCALL PlugMsg_Delayed() override {}
    void FRUITY_STDCALL PlugMsg_Kill() override {}
    void FRUITY_STDCALL GetSampleInfo() override {}
    void FRUITY_STDCALL DistWave_32FM() override {}
    void FRUITY_STDCALL GetMixBuffer() override {}
    void FRUITY_STDCALL GetInsBuffer() override {}
    BOOL FRUITY_STDCALL PromptEdit(int x, int y, char* caption, char* text, int& colour) override;
};

// Describes a MIDI message the way the tests and the demo print it.
std::string describeMidi(uint32_t raw);

}  // namespace hostkit
