// FL Studio's native plugin interface, declared in our own words from its binary facts.
// Both the Windows DLL and the native Linux module use these very declarations, so a test
// host on Linux drives exactly the slots that FL Studio drives on Windows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/host_codes.h"

#ifdef _WIN32
// Same spellings as <windows.h>, so both may meet in one translation unit.
struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef void* HANDLE;
typedef int BOOL;
struct IStream;  // the real COM stream from <objidl.h>
#define FRUITY_STDCALL __stdcall
#else
typedef void* HWND;
typedef void* HINSTANCE;
typedef void* HANDLE;
typedef int BOOL;
#define FRUITY_STDCALL

// Stand-in for COM's IStream with the same slot order; only Read and Write are called.
struct IStream {
    virtual long QueryInterface(const void* iid, void** object) = 0;  // slot 0
    virtual unsigned long AddRef() = 0;                                // slot 1
    virtual unsigned long Release() = 0;                               // slot 2
    virtual long Read(void* buffer, uint32_t count, uint32_t* done) = 0;          // slot 3
    virtual long Write(const void* buffer, uint32_t count, uint32_t* done) = 0;   // slot 4

protected:
    ~IStream() = default;
};
#endif

using TPluginTag = intptr_t;

// The info record the host reads through TFruityPlug::Info. Packed to 4 so that the long
// name sits at offset 4: with natural alignment the host would misread every later field.
#pragma pack(push, 4)
struct PluginInfo {
    int32_t SDKVersion;
    const char* LongName;
    const char* ShortName;
    int32_t Flags;
    int32_t NumParams;
    int32_t DefPoly;
    int32_t NumOutCtrls;
    int32_t NumOutVoices;
    int32_t Reserved[30];
};
#pragma pack(pop)

// One entry of the host's own parameter menu (request 18): its text and flags (bit 0 greyed,
// bit 1 checked).
struct TParamMenuEntry {
    char* Name;
    int32_t Flags;
};

// Two records of five floats: the initial levels, then the final levels.
struct TLevelParams {
    float Pan;
    float Vol;
    float Pitch;
    float FCut;
    float FRes;
};
struct TVoiceParams {
    TLevelParams InitLevels;
    TLevelParams FinalLevels;
};

// The plugin object as the host sees it: vtable pointer, then these fields.
class TFruityPlug {
public:
    TPluginTag HostTag = 0;
    PluginInfo* Info = nullptr;
    HWND EditorHandle = nullptr;
    int32_t MonoRender = 0;
    int32_t Reserved[32] = {};

    virtual void FRUITY_STDCALL DestroyObject() = 0;                                            // 0
    virtual intptr_t FRUITY_STDCALL Dispatcher(intptr_t id, intptr_t index, intptr_t value) = 0; // 1
    virtual void FRUITY_STDCALL Idle_Public() = 0;                                              // 2
    virtual void FRUITY_STDCALL SaveRestoreState(IStream* stream, BOOL save) = 0;               // 3
    virtual void FRUITY_STDCALL GetName(int kind, int index, int value, char* name) = 0;        // 4
    virtual int FRUITY_STDCALL ProcessEvent(int eventId, int eventValue, int flags) = 0;        // 5
    virtual int FRUITY_STDCALL ProcessParam(int index, int value, int recFlags) = 0;            // 6
    virtual void FRUITY_STDCALL Eff_Render(float* src, float* dst, int length) = 0;             // 7
    virtual void FRUITY_STDCALL Gen_Render(float* dst, int& length) = 0;                        // 8
    virtual intptr_t FRUITY_STDCALL TriggerVoice(TVoiceParams* params, intptr_t hostVoice) = 0; // 9
    virtual void FRUITY_STDCALL Voice_Release(intptr_t voice) = 0;                              // 10
    virtual void FRUITY_STDCALL Voice_Kill(intptr_t voice) = 0;                                 // 11
    virtual int FRUITY_STDCALL Voice_ProcessEvent(intptr_t voice, intptr_t eventId,
                                                  intptr_t eventValue, intptr_t flags) = 0;     // 12
    virtual int FRUITY_STDCALL Voice_Render(intptr_t voice, float* dst, int& length) = 0;       // 13
    virtual void FRUITY_STDCALL NewTick() = 0;                                                  // 14
    virtual void FRUITY_STDCALL MIDITick() = 0;                                                 // 15
    virtual void FRUITY_STDCALL MIDIIn(int& msg) = 0;                                           // 16
    virtual void FRUITY_STDCALL MsgIn(intptr_t msg) = 0;                                        // 17
    virtual int FRUITY_STDCALL OutputVoice_ProcessEvent(intptr_t voice, intptr_t eventId,
                                                        intptr_t eventValue, intptr_t flags) = 0; // 18
    virtual void FRUITY_STDCALL OutputVoice_Kill(intptr_t voice) = 0;                           // 19
    virtual ~TFruityPlug() = default;  // 20 (and 21 under the Itanium ABI); never called by the host
};

// The host object the plugin calls. No virtual destructor: the host owns it.
class TFruityPlugHost {
public:
    int32_t HostVersion = 0;
    int32_t Flags = 0;
    HANDLE AppHandle = nullptr;
    float** WaveTables[10] = {};
    float* idBuffers[4] = {};
    int32_t Reserved[30] = {};

    virtual intptr_t FRUITY_STDCALL Dispatcher(TPluginTag sender, intptr_t id, intptr_t index,
                                               intptr_t value) = 0;                             // 0
    virtual void FRUITY_STDCALL OnParamChanged(TPluginTag sender, int index, int value) = 0;    // 1
    virtual void FRUITY_STDCALL OnHint(TPluginTag sender, char* text) = 0;                      // 2
    virtual void FRUITY_STDCALL ComputeLRVol_Old(float& left, float& right, int pan, float volume) = 0; // 3
    virtual void FRUITY_STDCALL Voice_Release(intptr_t hostVoice) = 0;                          // 4
    virtual void FRUITY_STDCALL Voice_Kill(intptr_t hostVoice, BOOL killHandle) = 0;            // 5
    virtual int FRUITY_STDCALL Voice_ProcessEvent(intptr_t hostVoice, intptr_t eventId,
                                                  intptr_t eventValue, intptr_t flags) = 0;     // 6
    virtual void FRUITY_STDCALL LockMix_Old() = 0;                                              // 7
    virtual void FRUITY_STDCALL UnlockMix_Old() = 0;                                            // 8
    virtual void FRUITY_STDCALL MIDIOut_Delayed(TPluginTag sender, intptr_t msg) = 0;           // 9
    virtual void FRUITY_STDCALL MIDIOut(TPluginTag sender, intptr_t msg) = 0;                   // 10
    // 11..26: wave, sample, timing and buffer helpers the plugin never calls. Declared only to
    // keep PromptEdit at slot 27; their real signatures do not matter to the plugin.
    virtual void FRUITY_STDCALL AddWave_32FM_32FS_Ramp() = 0;   // 11
    virtual void FRUITY_STDCALL AddWave_32FS_32FS_Ramp() = 0;   // 12
    virtual void FRUITY_STDCALL LoadSample() = 0;               // 13
    virtual void FRUITY_STDCALL GetSampleData() = 0;            // 14
    virtual void FRUITY_STDCALL CloseSample() = 0;              // 15
    virtual void FRUITY_STDCALL GetSongMixingTime() = 0;        // 16
    virtual void FRUITY_STDCALL GetSongMixingTime_A() = 0;      // 17
    virtual void FRUITY_STDCALL GetSongPlayingTime() = 0;       // 18
    virtual void FRUITY_STDCALL OnControllerChanged() = 0;      // 19
    virtual void FRUITY_STDCALL GetSendBuffer() = 0;            // 20
    virtual void FRUITY_STDCALL PlugMsg_Delayed() = 0;          // 21
    virtual void FRUITY_STDCALL PlugMsg_Kill() = 0;             // 22
    virtual void FRUITY_STDCALL GetSampleInfo() = 0;            // 23
    virtual void FRUITY_STDCALL DistWave_32FM() = 0;            // 24
    virtual void FRUITY_STDCALL GetMixBuffer() = 0;             // 25
    virtual void FRUITY_STDCALL GetInsBuffer() = 0;             // 26
    virtual BOOL FRUITY_STDCALL PromptEdit(int x, int y, char* caption, char* text,
                                           int& colour) = 0;    // 27

protected:
    ~TFruityPlugHost() = default;
};


// The binary layout FL Studio relies on (x64, both builds).
static_assert(sizeof(void*) == 8, "the plugin is 64-bit only");
static_assert(sizeof(PluginInfo) == 160);
static_assert(offsetof(PluginInfo, LongName) == 4);
static_assert(offsetof(PluginInfo, ShortName) == 12);
static_assert(offsetof(PluginInfo, Flags) == 20);
static_assert(offsetof(PluginInfo, NumParams) == 24);
static_assert(offsetof(PluginInfo, DefPoly) == 28);
static_assert(offsetof(PluginInfo, NumOutCtrls) == 32);
static_assert(offsetof(PluginInfo, NumOutVoices) == 36);
static_assert(offsetof(PluginInfo, Reserved) == 40);
static_assert(sizeof(TVoiceParams) == 40);
static_assert(offsetof(TVoiceParams, InitLevels.Vol) == 1 * sizeof(float));
static_assert(offsetof(TVoiceParams, InitLevels.FCut) == 3 * sizeof(float));
static_assert(offsetof(TVoiceParams, FinalLevels.Pitch) == 7 * sizeof(float));

// Classes with a vtable are not standard-layout, so offsetof is only conditionally supported;
// GCC and MinGW give the Itanium layout the host expects, which is exactly what we check.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(TFruityPlug, HostTag) == 8);
static_assert(offsetof(TFruityPlug, Info) == 16);
static_assert(offsetof(TFruityPlug, EditorHandle) == 24);
static_assert(offsetof(TFruityPlug, MonoRender) == 32);
static_assert(offsetof(TFruityPlug, Reserved) == 36);
static_assert(sizeof(TFruityPlug) == 168);
static_assert(offsetof(TFruityPlugHost, HostVersion) == 8);
static_assert(offsetof(TFruityPlugHost, Flags) == 12);
static_assert(offsetof(TFruityPlugHost, AppHandle) == 16);
static_assert(offsetof(TFruityPlugHost, WaveTables) == 24);
static_assert(offsetof(TFruityPlugHost, idBuffers) == 104);
static_assert(offsetof(TFruityPlugHost, Reserved) == 136);
static_assert(sizeof(TFruityPlugHost) == 256);
#pragma GCC diagnostic pop
