#include "plugin/voxtrane_plug.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/note_names.h"
#include "http/http_api.h"
#include "model/defaults.h"
#include "model/state_stream.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "plugin/dropped_file.h"
#include "plugin/host_stream.h"
#include "plugin/process_wide.h"
#include "settings/registry_values.h"

namespace {

inline constexpr int kEditorWidth = 240;
inline constexpr int kEditorHeight = 237;
inline constexpr int kEditorHeightMinimised = 100;
inline constexpr intptr_t kInstanceColour = 0x555599;
inline constexpr intptr_t kWantIdleCalls = 2;

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

// Counts the instance in, running the process-wide start-up for the first one.
engine::SharedTables& joinProcess(TFruityPlugHost* host, TPluginTag tag) {
    ProcessWide& p = processWide();
    if (p.liveCount == 0) processStartUp(host, tag);
    ++p.liveCount;
    return *p.engineTables;
}

}  // namespace

KRYLVSTExprPlug::KRYLVSTExprPlug(TPluginTag tag, TFruityPlugHost* host, HINSTANCE module)
    : TCPPFruityPlug(tag, host, module), session_(records_, link_, joinProcess(host, tag), this), midiSender_(tag) {
    static PluginInfo info = {
        fruity::kSdkVersion, "KRYL Voxtrane", "KRYL Out", fruity::kInfoFlags, fruity::kNumParams, 0, 0, 0, {}};
    Info = &info;

    char ppi[settings::kValueBufferSize];
    settings::RegReadString(platform::kHostGeneralKey, "Main PPI", ppi, "0");
    if (const int dpi = std::atoi(ppi)) scale_ = static_cast<float>(dpi / 96.0);

    instanceId_ = http::HttpApi_NewInstanceId(this);
    processWide().registry.append(this);
    constructionReset();
    resizeEditor();
    if (processWide().liveCount == 1 && processWide().httpApiEnabled) http::HttpApi_Start(this);
}

KRYLVSTExprPlug::~KRYLVSTExprPlug() = default;

void KRYLVSTExprPlug::constructionReset() {
    ResetToDefaults();
    model::InstanceOptions& o = records_.options;
    session_.clearVoices();
    session_.tickLength = 0.0f;
    o.editing = 0;
    o.startart = 0;
    o.page = 1;
    o.preserve = 0;
    o.releasecc17 = 0;
    o.changeanyrule = 0;
    o.oldparams = 0;
    params_.resetForConstruction();
    session_.pan = 0;
    session_.volume = 0;
    session_.pitch = 0;
    session_.playing = false;
    if (PlugHost->HostVersion >= fruity::kHostVersion12) {
        const float stored = settings::RegReadFloat(platform::kVoxtraneKey, "UI Scale", 0.0f);
        if (stored >= 0.0005f) {
            scale_ = stored;
            resizeEditor();
            dispatch(fruity::kReqEditorResized, 0, 0);
        }
    }
    rebuildNoteNames();
    dispatch(fruity::kReqSetColour, 0, kInstanceColour);
    dispatch(fruity::kReqWantIdle, 0, kWantIdleCalls);
}

void KRYLVSTExprPlug::ResetToDefaults() {
    const ProcessWide& p = processWide();
    model::resetRecords(records_, p.liveCount, fresh_ && !records_.options.preserve);
    session_.clearSwitchState();
    session_.forgetSwitches();
    session_.delayNotes = false;
    processWide().singleEditor = 1;
}

void KRYLVSTExprPlug::resizeEditor() {
    editorWidth_ = static_cast<int>(kEditorWidth * scale_);
    editorHeight_ = static_cast<int>((records_.options.minimised ? kEditorHeightMinimised : kEditorHeight) * scale_);
}

void KRYLVSTExprPlug::DestroyObject() noexcept {
    guardedVoid([&] {
        session_.killAllVoices();
        for (auto& list : records_.articulations.keynames) list.reset();
        ProcessWide& p = processWide();
        if (--p.liveCount == 0) processTearDown();
        p.registry.remove(this);
    });
    delete this;
}

intptr_t KRYLVSTExprPlug::Dispatcher(intptr_t id, intptr_t index, intptr_t value) noexcept {
    return guarded([&] { return onHostMessage(id, index, value); }, intptr_t{0});
}

intptr_t KRYLVSTExprPlug::onHostMessage(intptr_t id, intptr_t, intptr_t value) {
    switch (id) {
    case fruity::kMsgShowEditor:
        if (value) showEditor(value);
        else hideEditor();
        return 0;
    case fruity::kMsgVoiceLevelCount:
        return records_.options.articbanks ? 2 : 0;
    case fruity::kMsgPlayingState:
        session_.transportChanged(value);
        return 0;
    case fruity::kMsgLoadFile:
        loadDroppedFile(reinterpret_cast<const char*>(value));
        return 0;
    case fruity::kMsgSamplesPerTick: {
        const uint32_t bits = static_cast<uint32_t>(value);
        std::memcpy(&session_.tickLength, &bits, sizeof bits);
        return 0;
    }
    default:
        return 0;
    }
}

void KRYLVSTExprPlug::showEditor(intptr_t parent) {
    ProcessWide& p = processWide();
    if (PlugHost->HostVersion >= fruity::kHostVersion12 && p.singleEditor) {
        // Single editor: the host hides every other open editor, and this one takes over the
        // tab and the place where the last one stood.
        for (KRYLVSTExprPlug* other : p.registry) {
            if (other != this && other->editorVisible_)
                other->PlugHost->Dispatcher(other->HostTag, fruity::kReqHideEditor, 0, 0);
        }
        records_.options.page = p.sharedEditorTab;
        placeWindowsPending_ = true;
    }
    editorParent_ = parent;
    editorVisible_ = true;
}

void KRYLVSTExprPlug::hideEditor() {
    ProcessWide& p = processWide();
    if (PlugHost->HostVersion >= fruity::kHostVersion12 && p.singleEditor) p.sharedEditorTab = records_.options.page;
    editorParent_ = 0;
    editorVisible_ = false;
}

void KRYLVSTExprPlug::loadDroppedFile(const char* path) {
    const DroppedFile file = classifyDroppedFile(path);
    if (file.kind == DroppedFileKind::kIgnored) return;
    dispatch(fruity::kReqSetName, 0, reinterpret_cast<intptr_t>(file.displayName.c_str()));
    if (file.kind == DroppedFileKind::kKontaktInstrument) importDroppedNki(path);
    else importDroppedArticulations(path);
    stateChanged();
}

void KRYLVSTExprPlug::Idle_Public() noexcept {
    guardedVoid([&] {
        if (processWide().httpApiEnabled) http::HttpApi_Poll();
    });
}

void KRYLVSTExprPlug::SaveRestoreState(IStream* stream, BOOL save) noexcept {
    guardedVoid([&] {
        if (save) saveState(stream);
        else restoreState(stream);
    });
}

void KRYLVSTExprPlug::saveState(IStream* stream) {
    HostStreamSink sink(stream);
    model::SaveState(records_, processWide().singleEditor, sink);
}

void KRYLVSTExprPlug::restoreState(IStream* stream) {
    const int32_t midixtend = records_.options.midixtend;
    ResetToDefaults();

    ProcessWide& p = processWide();
    model::LoadContext context(p.singleEditor, p.foreignChannelCounter);
    context.fresh = fresh_;
    // Installed under the other plugin's name, the module reads that plugin's states.
    context.foreignModule = platform::modulePath().find("MIDI Out") != std::string::npos;
    context.hostVersion = PlugHost->HostVersion;
    context.scale = scale_;
    context.editorHeight = editorHeight_;
    context.midixtendBefore = midixtend;
    HostStreamSource source(stream);
    const model::LoadResult result = model::LoadState(records_, source, context);
    loadedFormat_ = result.format;

    if (result.announceParameters) {
        params_.setArticulationIndex(result.articulationIndex);
        dispatch(fruity::kReqSetParamCount, 0, params_.parameterCountInUse());
    }
    if (result.resizeEditor) {
        scale_ = result.scale;
        resizeEditor();
        dispatch(fruity::kReqEditorResized, 0, 0);
    }
    rebuildNoteNames();
    if (result.keyNamesChanged) keyNamesChanged();
    repaintEditor();
    fresh_ = false;
}

void KRYLVSTExprPlug::loadKeyNames(int index, const char* path) {
    if (model::LoadKeyNames(records_.articulations, index, path)) keyNamesChanged();
    repaintEditor();
}

void KRYLVSTExprPlug::runKeyNamesCommand(int index, model::KeyNamesCommand command) {
    if (model::runKeyNamesCommand(records_.articulations, index, command, EditorHandle)) keyNamesChanged();
    repaintEditor();
}

void KRYLVSTExprPlug::keyNamesChanged() { dispatch(fruity::kReqNamesChanged, 0, 2); }

void KRYLVSTExprPlug::GetName(int kind, int index, int value, char* text) noexcept {
    guardedVoid([&] { params_.QueryName(kind, index, value, text); });
}

int KRYLVSTExprPlug::ProcessEvent(int kind, int value, int) noexcept {
    guardedVoid([&] { session_.ChannelEvent(kind, value); });
    return 0;
}

int KRYLVSTExprPlug::ProcessParam(int index, int value, int flags) noexcept {
    return guarded([&] { return params_.ParameterEvent(index, value, flags); }, value);
}

intptr_t KRYLVSTExprPlug::TriggerVoice(TVoiceParams* params, intptr_t hostVoice) noexcept {
    if (!params) return 0;
    return guarded([&] { return session_.TriggerVoice(reinterpret_cast<const float*>(params), hostVoice); },
                   intptr_t{0});
}

void KRYLVSTExprPlug::Voice_Release(intptr_t voice) noexcept {
    guardedVoid([&] { session_.Voice_Release(voice); });
}

void KRYLVSTExprPlug::Voice_Kill(intptr_t voice) noexcept {
    guardedVoid([&] { session_.Voice_Kill(voice); });
}

int KRYLVSTExprPlug::Voice_Render(intptr_t, float* buffer, int& length) noexcept {
    // No sound: a stereo frame of silence for each requested frame.
    if (buffer && length > 0) std::memset(buffer, 0, sizeof(float) * 2 * static_cast<size_t>(length));
    return 0;
}

void KRYLVSTExprPlug::NewTick() noexcept {
    guardedVoid([&] { session_.NewTick(); });
}

void KRYLVSTExprPlug::muteClicked(bool ctrlHeld) {
    if (session_.playing) return;
    char status[96];
    engine::SharedTables& tables = session_.shared();
    if (ctrlHeld) toggleSolo(tables, records_.options.port, records_.options.channel, status, sizeof status);
    else toggleMute(tables, records_.options.port, records_.options.channel, status, sizeof status);
    dispatch(fruity::kReqHintText, 0, reinterpret_cast<intptr_t>(status));
    repaintEditor();
}

void KRYLVSTExprPlug::stateChanged() {
    dispatch(fruity::kReqStateChanged, 0, 0);
    repaintEditor();
}

void KRYLVSTExprPlug::ParamLink::showHint(const char* text) {
    // The host takes a writable pointer; hand it a copy.
    char hint[64];
    std::snprintf(hint, sizeof hint, "%s", text);
    plug_.PlugHost->OnHint(plug_.HostTag, hint);
}

void KRYLVSTExprPlug::EngineLink::midiOut(uint32_t message) {
    plug_.PlugHost->MIDIOut_Delayed(plug_.midiSender_, static_cast<intptr_t>(message));
}

intptr_t KRYLVSTExprPlug::EngineLink::voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t value) {
    return plug_.PlugHost->Voice_ProcessEvent(hostVoice, code, value, 0);
}

void KRYLVSTExprPlug::EngineLink::voiceDone(intptr_t hostVoice) { plug_.PlugHost->Voice_Kill(hostVoice, 1); }

void KRYLVSTExprPlug::rebuildNoteNames() { engine::buildNoteNames(records_.options.altmiddlec != 0, noteNames_); }

void KRYLVSTExprPlug::EngineLink::debugLine(const char* text) {
    plug_.dispatch(fruity::kReqDebugLog, 0, reinterpret_cast<intptr_t>(text));
}
