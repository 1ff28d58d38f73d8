// The SDK-style base: every entry slot with a harmless default, the host pointer and the text
// the host gives for its program path. The plugin class overrides what it uses.
#pragma once

#include "plugin/fruity_abi.h"

class TCPPFruityPlug : public TFruityPlug {
public:
    TCPPFruityPlug(TPluginTag tag, TFruityPlugHost* host, HINSTANCE module) noexcept;

    // Every slot is noexcept: nothing may unwind into the host.
    void FRUITY_STDCALL DestroyObject() noexcept override;
    intptr_t FRUITY_STDCALL Dispatcher(intptr_t, intptr_t, intptr_t) noexcept override { return 0; }
    void FRUITY_STDCALL Idle_Public() noexcept override {}
    void FRUITY_STDCALL SaveRestoreState(IStream*, BOOL) noexcept override {}
    void FRUITY_STDCALL GetName(int, int, int, char*) noexcept override {}
    int FRUITY_STDCALL ProcessEvent(int, int, int) noexcept override { return 0; }
    int FRUITY_STDCALL ProcessParam(int, int value, int) noexcept override { return value; }
    void FRUITY_STDCALL Eff_Render(float*, float*, int) noexcept override {}
    void FRUITY_STDCALL Gen_Render(float*, int&) noexcept override {}
    intptr_t FRUITY_STDCALL TriggerVoice(TVoiceParams*, intptr_t) noexcept override { return 0; }
    void FRUITY_STDCALL Voice_Release(intptr_t) noexcept override {}
    void FRUITY_STDCALL Voice_Kill(intptr_t) noexcept override {}
    int FRUITY_STDCALL Voice_ProcessEvent(intptr_t, intptr_t, intptr_t, intptr_t) noexcept override { return 0; }
    int FRUITY_STDCALL Voice_Render(intptr_t, float*, int&) noexcept override { return 0; }
    void FRUITY_STDCALL NewTick() noexcept override {}
    void FRUITY_STDCALL MIDITick() noexcept override {}
    void FRUITY_STDCALL MIDIIn(int&) noexcept override {}
    void FRUITY_STDCALL MsgIn(intptr_t) noexcept override {}
    int FRUITY_STDCALL OutputVoice_ProcessEvent(intptr_t, intptr_t, intptr_t, intptr_t) noexcept override { return 0; }
    void FRUITY_STDCALL OutputVoice_Kill(intptr_t) noexcept override {}
    ~TCPPFruityPlug() override = default;
    virtual void Idle() noexcept {}  // after the destructor; never called by the host

    TFruityPlugHost* PlugHost = nullptr;
    char ProgPath[260] = {};
};
