#include "plugin/voxtrane_plug.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "plugin/host_stream.h"

namespace {

// Nothing may unwind into the host: a failing slot does nothing and answers `fallback`.
template <typename Fn, typename R = decltype(std::declval<Fn>()())>
R guarded(Fn&& fn, R fallback = R()) noexcept {
    try {
        return fn();
    } catch (...) {
        return fallback;
    }
}
template <typename Fn>
void guardedVoid(Fn&& fn) noexcept {
    try {
        fn();
    } catch (...) {
    }
}

}  // namespace

KRYLVSTExprPlug::KRYLVSTExprPlug(TPluginTag tag, TFruityPlugHost* host, HINSTANCE module)
    : TCPPFruityPlug(tag, host, module), midiSender_(tag) {
    static PluginInfo info = {
        fruity::kSdkVersion, "KRYL Voxtrane", "KRYL Out", fruity::kInfoFlags, fruity::kNumParams, 0, 0, 0, {}};
    Info = &info;
    core_ = std::make_unique<InstanceCore>(static_cast<plugin::HostPort&>(*this), static_cast<plugin::MidiPort&>(*this));
    // The host finds the editor's window here for the life of the instance.
    EditorHandle = reinterpret_cast<HWND>(core_->editorWindow());
}

KRYLVSTExprPlug::~KRYLVSTExprPlug() = default;

void KRYLVSTExprPlug::DestroyObject() noexcept {
    guardedVoid([&] { core_.reset(); });
    delete this;
}

intptr_t KRYLVSTExprPlug::Dispatcher(intptr_t id, intptr_t index, intptr_t value) noexcept {
    return guarded([&] { return onHostMessage(id, index, value); }, intptr_t{0});
}

intptr_t KRYLVSTExprPlug::onHostMessage(intptr_t id, intptr_t, intptr_t value) {
    InstanceCore& core = *core_;
    switch (id) {
    case fruity::kMsgShowEditor:
        if (value) core.showEditor(value);
        else core.hideEditor();
        return 0;
    case fruity::kMsgVoiceLevelCount:
        return core.voiceLevelCount();
    case fruity::kMsgPlayingState:
        core.transportChanged(value);
        return 0;
    case fruity::kMsgLoadFile:
        core.loadDroppedFile(platform::pathFromHost(reinterpret_cast<const char*>(value)).c_str());
        return 0;
    case fruity::kMsgSamplesPerTick: {
        // The value's low 32 bits are the bits of a float.
        const uint32_t bits = static_cast<uint32_t>(value);
        float samples = 0.0f;
        std::memcpy(&samples, &bits, sizeof bits);
        core.setTickLength(samples);
        return 0;
    }
    default:
        return 0;
    }
}

void KRYLVSTExprPlug::Idle_Public() noexcept {
    guardedVoid([&] { core_->periodicUpdate(); });
}

void KRYLVSTExprPlug::SaveRestoreState(IStream* stream, BOOL save) noexcept {
    guardedVoid([&] {
        if (save) {
            HostStreamSink sink(stream);
            core_->saveState(sink);
        } else {
            HostStreamSource source(stream);
            core_->restoreState(source);
        }
    });
}

void KRYLVSTExprPlug::GetName(int kind, int index, int value, char* text) noexcept {
    guardedVoid([&] { core_->queryName(kind, index, value, text); });
}

int KRYLVSTExprPlug::ProcessEvent(int kind, int value, int) noexcept {
    guardedVoid([&] { core_->channelEvent(kind, value); });
    return 0;
}

int KRYLVSTExprPlug::ProcessParam(int index, int value, int flags) noexcept {
    return guarded([&] { return core_->parameterEvent(index, value, flags); }, value);
}

intptr_t KRYLVSTExprPlug::TriggerVoice(TVoiceParams* params, intptr_t hostVoice) noexcept {
    if (!params) return 0;
    return guarded([&] { return core_->triggerVoice(reinterpret_cast<const float*>(params), hostVoice); },
                   intptr_t{0});
}

void KRYLVSTExprPlug::Voice_Release(intptr_t voice) noexcept {
    guardedVoid([&] { core_->voiceRelease(voice); });
}

void KRYLVSTExprPlug::Voice_Kill(intptr_t voice) noexcept {
    guardedVoid([&] { core_->voiceKill(voice); });
}

int KRYLVSTExprPlug::Voice_Render(intptr_t, float* buffer, int& length) noexcept {
    // No sound: a stereo frame of silence for each requested frame.
    if (buffer && length > 0) std::memset(buffer, 0, sizeof(float) * 2 * static_cast<size_t>(length));
    return 0;
}

void KRYLVSTExprPlug::NewTick() noexcept {
    guardedVoid([&] { core_->newTick(); });
}

intptr_t KRYLVSTExprPlug::messageBox(const char* text, intptr_t flags) {
    return request(fruity::kReqMessageBox, reinterpret_cast<intptr_t>(text), flags);
}

void KRYLVSTExprPlug::showHint(const char* text) {
    // The host takes a writable pointer; hand it a copy.
    char hint[256];
    std::snprintf(hint, sizeof hint, "%s", text);
    PlugHost->OnHint(HostTag, hint);
}

void KRYLVSTExprPlug::statusText(const char* text) { request(fruity::kReqHintText, 0, reinterpret_cast<intptr_t>(text)); }

bool KRYLVSTExprPlug::prompt(const char* caption, std::string& text) {
    // The host writes the answer into the buffer it is given; the caption is writable too.
    char captionCopy[256];
    char buffer[256];
    std::snprintf(captionCopy, sizeof captionCopy, "%s", caption);
    std::snprintf(buffer, sizeof buffer, "%s", text.c_str());
    int colour = 0;
    if (!PlugHost->PromptEdit(-1, -1, captionCopy, buffer, colour)) return false;
    buffer[sizeof buffer - 1] = '\0';
    text = buffer;
    return true;
}

bool KRYLVSTExprPlug::parameterMenuEntry(int parameter, int n, std::string& text, int& flags) {
    const auto* entry = reinterpret_cast<const TParamMenuEntry*>(request(fruity::kReqParamMenuQuery, parameter, n));
    if (!entry) return false;
    text = entry->Name ? entry->Name : "";
    flags = entry->Flags;
    return true;
}

void KRYLVSTExprPlug::stateChanged() { request(fruity::kReqStateChanged, 0, 0); }

void KRYLVSTExprPlug::debugLine(const char* text) { request(fruity::kReqDebugLog, 0, reinterpret_cast<intptr_t>(text)); }

void KRYLVSTExprPlug::midiOut(uint32_t message) { PlugHost->MIDIOut_Delayed(midiSender_, static_cast<intptr_t>(message)); }

intptr_t KRYLVSTExprPlug::voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t value) {
    return PlugHost->Voice_ProcessEvent(hostVoice, code, value, 0);
}

void KRYLVSTExprPlug::voiceDone(intptr_t hostVoice) { PlugHost->Voice_Kill(hostVoice, 1); }
