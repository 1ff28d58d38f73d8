#include "plugin/instance_core.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "http/http_api.h"
#include "model/defaults.h"
#include "model/host_facts.h"
#include "editor/scale.h"
#include "platform/editor_window.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "plugin/dropped_file.h"
#include "plugin/host_codes.h"
#include "settings/file_dialogs.h"
#include "settings/registry_values.h"

namespace {

inline constexpr intptr_t kInstanceColour = 0x555599;
inline constexpr intptr_t kWantIdleCalls = 2;

float screenScale() {
    char ppi[settings::kValueBufferSize];
    settings::RegReadString(platform::kHostGeneralKey, "Main PPI", ppi, "0");
    const int dpi = std::atoi(ppi);
    return dpi ? static_cast<float>(dpi / 96.0) : 1.0f;
}

}  // namespace

InstanceCore::InstanceCore(plugin::HostPort& host, plugin::MidiPort& midi)
    : host_(host),
      midi_(midi),
      membership_(*this, host),
      session_(records_, link_, membership_.tables(), this),
      editor_(editorLink_, screenScale()) {
    constructionReset();
    session_.publishNoteView();
    ProcessWide& p = processWide();
    if (p.liveCount == 1 && p.httpApiEnabled)
        http::HttpApi_Start(instanceDirectory(), p.programFolder, instanceId());
}

InstanceCore::~InstanceCore() {
    ProcessWide& p = processWide();
    if (p.activeInstance == this) p.activeInstance = nullptr;
    session_.killAllVoices();
    for (auto& list : records_.articulations.keynames) list.reset();
    membership_.leave();
}

void InstanceCore::constructionReset() {
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
    if (!model::hostBefore12(host_.hostVersion())) {
        const float stored = settings::uiScaleSetting();
        o.uiscale = stored;
        if (stored >= editor::kSmallestStoredScale) {
            editor_.applyScale(stored);
            host_.request(fruity::kReqEditorResized, 0, 0);
        }
    }
    rebuildNoteNames();
    host_.request(fruity::kReqSetColour, 0, kInstanceColour);
    host_.request(fruity::kReqWantIdle, 0, kWantIdleCalls);
}

void InstanceCore::ResetToDefaults() {
    model::resetRecords(records_, processWide().liveCount, fresh_ && !records_.options.preserve);
    session_.clearSwitchState();
    session_.forgetSwitches();
    session_.delayNotes = false;
    processWide().singleEditor = 1;
    editor_.state().hintId = -1;
}

editor::Facts InstanceCore::editorFacts() const {
    const ProcessWide& p = processWide();
    editor::Facts facts;
    facts.hostVersion = host_.hostVersion();
    facts.httpApiEnabled = p.httpApiEnabled;
    facts.optionsTab = p.optionsTab;
    const int icons = platform::editorIconCount();
    if (icons > 0) facts.iconCount = icons;
    facts.controllerClipboardFull = p.controllerClipboardFull;
    facts.articulationParameter = params_.articulationIndex();
    return facts;
}

editor::PaintFacts InstanceCore::paintFacts() const {
    const ProcessWide& p = processWide();
    editor::PaintFacts facts;
    static_cast<editor::Facts&>(facts) = editorFacts();
    facts.playingArticulation = session_.currentArticulation;
    const engine::Route route = session_.route();
    const auto& mutes = p.engineTables->muteTable;
    facts.muted = mutes[size_t(route.index())] != 0;
    facts.othersAllMuted = true;
    for (size_t i = 0; i < mutes.size(); ++i)
        if (i != size_t(route.index()) && !mutes[i]) facts.othersAllMuted = false;
    facts.debugLog = session_.debugLog;
    facts.singleEditor = p.singleEditor != 0;
    facts.noteNames = &noteNames_;
    return facts;
}

void InstanceCore::showEditor(intptr_t parent) {
    ProcessWide& p = processWide();
    if (!model::hostBefore12(host_.hostVersion()) && p.singleEditor) {
        // Single editor: the host hides every other open editor, and this one takes over the
        // tab and the place where the last one stood.
        for (InstanceCore* other : p.registry) {
            if (other != this && other->editorVisible()) other->host_.request(fruity::kReqHideEditor, 0, 0);
        }
        records_.options.page = p.sharedEditorTab;
        editor_.state().repositionRequest = true;
    }
    p.activeInstance = this;
    editor_.show(parent);
    http::HttpApi_DocumentChanged();
}

void InstanceCore::hideEditor() {
    ProcessWide& p = processWide();
    if (!model::hostBefore12(host_.hostVersion()) && p.singleEditor) {
        p.sharedEditorTab = records_.options.page;
        automation::RememberPluginFormPlace(platform::windowSystem(), p.hostMainWindow, editor_.window(), p.formPlaceX,
                                            p.formPlaceY);
    }
    editor_.hide();
    http::HttpApi_DocumentChanged();
}

void InstanceCore::loadDroppedFile(const char* path) {
    DroppedFile file = classifyDroppedFile(path);
    if (file.kind == DroppedFileKind::kIgnored) return;
    // A map that does not load changes nothing, the instance's name included; one that does
    // names the instance after the bank, one of many in the file perhaps.
    if (file.kind == DroppedFileKind::kMapFile && !importMap(path, false, &file.displayName)) return;
    host_.request(fruity::kReqSetName, 0, reinterpret_cast<intptr_t>(file.displayName.c_str()));
    if (file.kind == DroppedFileKind::kKontaktInstrument) importDroppedNki(path);
    else if (file.kind == DroppedFileKind::kArticulationFile) importDroppedArticulations(path);
    stateChanged();
}

void InstanceCore::periodicUpdate() {
    platform::WindowSystem& ws = platform::windowSystem();
    ProcessWide& p = processWide();
    session_.monitor().drain();
    session_.traceQueue().drain([&](engine::TraceQueue::Sink sink, const char* line) {
        if (sink == engine::TraceQueue::Sink::kHostLog) host_.debugLine(line);
        else ws.debugOutput(line);
    });
    if (session_.repaintsAsked() != repaintsSeen_) {
        repaintsSeen_ = session_.repaintsAsked();
        repaintEditor();
    }
    if (editor_.settleClickDue()) automation::SettleClick(ws, editor_.window());
    if (takeRepaint()) editor_.invalidate(false);
    if (p.httpApiEnabled) http::HttpApi_Poll();
    renamePianoRollKey();
    if (editor_.state().repositionRequest) {
        editor_.state().repositionRequest = false;
        automation::MovePluginFormsToPlace(ws, p.hostMainWindow, p.formPlaceX, p.formPlaceY, [&p](intptr_t window) {
            for (InstanceCore* instance : p.registry)
                if (instance->editorWindow() == window) return true;
            return false;
        });
    }
    // Only the instance that answered the host's key-name query follows the colour popup.
    if (colourPopup_.queriedFrom(editor_.window())) {
        pickArticulationFromPopup(colourPopup_.measured);
        automation::FollowColourPopup(ws, p.hostMainWindow, colourPopup_);
    }
    session_.applyLearntNote();
    // Whatever changed the records since the last call (the API, the editor, the host) reaches
    // the notes now, as one step.
    session_.publishChangedNoteView();
}

void InstanceCore::setHttpApiEnabled(bool enabled) {
    ProcessWide& p = processWide();
    p.httpApiEnabled = enabled;
    settings::setHttpApiEnabledSetting(enabled);
    if (enabled) http::HttpApi_Start(instanceDirectory(), p.programFolder, instanceId());
    else http::HttpApi_Stop(instanceId());
}

void InstanceCore::saveState(model::ByteSink& sink) { model::SaveState(records_, processWide().singleEditor, sink); }

void InstanceCore::restoreState(model::ByteSource& source) {
    const model::InstanceOptions before = records_.options;
    const int32_t midixtend = records_.options.midixtend;
    ResetToDefaults();

    ProcessWide& p = processWide();
    model::LoadContext context(p.singleEditor, p.foreignChannelCounter);
    context.fresh = fresh_;
    // Installed under the other plugin's name, the module reads that plugin's states.
    context.foreignModule = platform::modulePath().find("MIDI Out") != std::string::npos;
    context.hostVersion = host_.hostVersion();
    context.scale = editor_.currentScale();
    context.editorHeight = editor_.height();
    context.midixtendBefore = midixtend;
    const model::LoadResult result = model::LoadState(records_, source, context);
    // Notes played during the load kept the old bank; from here they take the loaded one whole.
    session_.publishNoteView();
    loadedFormat_ = result.format;
    const bool keyNamesRead = reloadKeyNames(result.keyNamesToReload);
    optionsChanged(before);  // before the load's own articulation parameter, which older formats place

    if (result.announceParameters) {
        params_.setArticulationIndex(result.articulationIndex);
        host_.request(fruity::kReqSetParamCount, 0, params_.parameterCountInUse());
    }
    if (result.resizeEditor) {
        editor_.applyScale(result.scale);
        host_.request(fruity::kReqEditorResized, 0, 0);
    }
    rebuildNoteNames();
    if (keyNamesRead) keyNamesChanged();
    repaintEditor();
    fresh_ = false;
}

bool InstanceCore::reloadKeyNames(const std::vector<int>& articulations) {
    model::Articulations& a = records_.articulations;
    bool read = false;
    for (const int i : articulations) {
        // Older projects may hold a path in the code page of the machine that saved it.
        const std::string path = platform::pathFromHost(a.keynamespath[i].c_str());
        if (model::LoadKeyNames(a, i, path.c_str())) read = true;
    }
    return read;
}

void InstanceCore::loadKeyNames(int index, const char* path) {
    if (model::LoadKeyNames(records_.articulations, index, path)) keyNamesChanged();
    repaintEditor();
}

void InstanceCore::readKeyNames(int slot, std::string_view text, const std::string& fileName) {
    if (model::ReadKeyNames(records_.articulations, slot, text, fileName)) keyNamesChanged();
    repaintEditor();
}

void InstanceCore::runKeyNamesCommand(int index, model::KeyNamesCommand command) {
    const model::KeyNamesStep step = model::keyNamesStep(records_.articulations, index, command);
    settings::FileDialogRequest request;
    request.defaultExtension = settings::kTextFileExtension;
    request.filter = settings::kTextFileFilter;
    request.owner = reinterpret_cast<void*>(editorWindow());
    request.setFileName(step.path.c_str());
    bool changed = false;
    switch (step.kind) {
    case model::KeyNamesStep::kAskOpen:
        request.title = settings::kOpenTextFileTitle;
        changed = settings::ShowOpenDialog(request) && model::LoadKeyNames(records_.articulations, index, request.fileName);
        break;
    case model::KeyNamesStep::kAskSave:
        request.title = settings::kSaveTextFileTitle;
        if (settings::ShowSaveDialog(request)) model::SaveKeyNames(records_.articulations, index, request.fileName);
        break;
    case model::KeyNamesStep::kLoad:
        changed = model::LoadKeyNames(records_.articulations, index, step.path.c_str());
        break;
    case model::KeyNamesStep::kClear: changed = model::LoadKeyNames(records_.articulations, index, nullptr); break;
    case model::KeyNamesStep::kNothing: break;
    }
    if (changed) keyNamesChanged();
    repaintEditor();
}

void InstanceCore::keyNamesChanged() { host_.request(fruity::kReqNamesChanged, 0, fruity::kPianoKeyNamesChanged); }

void InstanceCore::muteClicked(bool ctrlHeld) {
    if (session_.playing) return;
    char status[96];
    engine::SharedTables& tables = session_.shared();
    if (ctrlHeld) toggleSolo(tables, records_.options.port, records_.options.channel, status, sizeof status);
    else toggleMute(tables, records_.options.port, records_.options.channel, status, sizeof status);
    host_.statusText(status);
    repaintEditor();
}

void InstanceCore::stateChanged() {
    session_.publishNoteView();
    host_.stateChanged();
    repaintEditor();
}

void InstanceCore::rebuildNoteNames() { engine::buildNoteNames(records_.options.altmiddlec != 0, noteNames_); }
