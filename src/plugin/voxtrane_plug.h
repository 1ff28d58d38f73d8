// KRYLVSTExprPlug: the object FL Studio creates for each channel that uses the plugin, and the
// ABI glue and nothing else. Each entry slot recovers the instance core, guards the call so
// nothing unwinds into the host, translates the host's types and forwards; the host ports the
// core talks through are implemented here over the host object.
#pragma once

#include <memory>
#include <string>

#include "plugin/cpp_fruity_plug.h"
#include "plugin/host_port.h"
#include "plugin/instance_core.h"

class KRYLVSTExprPlug final : public TCPPFruityPlug, private plugin::HostPort, private plugin::MidiPort {
public:
    KRYLVSTExprPlug(TPluginTag tag, TFruityPlugHost* host, HINSTANCE module);

    // Entry slots, in slot order.
    void FRUITY_STDCALL DestroyObject() noexcept override;                                         // 0 [ui]
    intptr_t FRUITY_STDCALL Dispatcher(intptr_t id, intptr_t index, intptr_t value) noexcept override;  // 1 [ui]
    void FRUITY_STDCALL Idle_Public() noexcept override;                                           // 2 [ui]
    void FRUITY_STDCALL SaveRestoreState(IStream* stream, BOOL save) noexcept override;            // 3 [ui]
    void FRUITY_STDCALL GetName(int kind, int index, int value, char* text) noexcept override;     // 4 [ui]
    int FRUITY_STDCALL ProcessEvent(int kind, int value, int flags) noexcept override;             // 5 [audio]
    int FRUITY_STDCALL ProcessParam(int index, int value, int flags) noexcept override;            // 6 [audio][ui]
    intptr_t FRUITY_STDCALL TriggerVoice(TVoiceParams* params, intptr_t hostVoice) noexcept override;  // 9 [audio]
    void FRUITY_STDCALL Voice_Release(intptr_t voice) noexcept override;                           // 10 [audio]
    void FRUITY_STDCALL Voice_Kill(intptr_t voice) noexcept override;                              // 11 [audio]
    int FRUITY_STDCALL Voice_Render(intptr_t voice, float* buffer, int& length) noexcept override; // 13 [audio]
    void FRUITY_STDCALL NewTick() noexcept override;                                               // 14 [audio]
    ~KRYLVSTExprPlug() override;
    virtual intptr_t Reserved22() noexcept { return 0; }

    InstanceCore& core() { return *core_; }

private:
    // plugin::HostPort over the host object.
    int32_t hostVersion() const override { return PlugHost->HostVersion; }
    intptr_t request(intptr_t code, intptr_t index, intptr_t value) override {
        return PlugHost->Dispatcher(HostTag, code, index, value);
    }
    intptr_t messageBox(const char* text, intptr_t flags) override;
    void showHint(const char* text) override;
    void statusText(const char* text) override;
    bool prompt(const char* caption, std::string& text) override;
    bool parameterMenuEntry(int parameter, int n, std::string& text, int& flags) override;
    void stateChanged() override;
    void parameterChanged(int index, int value) override { PlugHost->OnParamChanged(HostTag, index, value); }
    void debugLine(const char* text) override;

    // plugin::MidiPort over the host object.
    void midiOut(uint32_t message) override;
    intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t value) override;
    void voiceDone(intptr_t hostVoice) override;

    intptr_t onHostMessage(intptr_t id, intptr_t index, intptr_t value);

    TPluginTag midiSender_;  // the tag copy every MIDI-out call is sent under
    std::unique_ptr<InstanceCore> core_;
};
