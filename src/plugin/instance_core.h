// InstanceCore: one instance of the plugin as plain C++. It owns the records, the engine
// session and the host parameters, and reaches FL Studio only through its two ports
// (plugin/host_port.h). KRYLVSTExprPlug, the ABI glue, recovers it in every entry slot, guards
// the call and forwards here; nothing in this class knows a type of the host's interface.
// Threads: the host calls voice slots and NewTick from its audio thread ([audio]) and the rest
// from its user-interface thread ([ui]), without synchronisation.
#pragma once

#include <atomic>
#include <string>

#include "automation/piano_roll.h"
#include "editor/editor.h"
#include "engine/note_names.h"
#include "engine/session.h"
#include "http/http_api.h"
#include "http/instance_view.h"
#include "model/key_names.h"
#include "model/records.h"
#include "model/state_stream.h"
#include "model/uacc_conversion.h"
#include "plugin/host_codes.h"
#include "plugin/host_parameters.h"
#include "plugin/host_port.h"
#include "plugin/process_wide.h"

class InstanceCore final : public http::InstanceView {
public:
    // Joins the process (start-up for the first instance), resets to defaults and starts the
    // HTTP API when it is the first instance and the API is switched on. [ui]
    InstanceCore(plugin::HostPort& host, plugin::MidiPort& midi);
    // Reports every voice done, frees the key names and leaves the process. [ui]
    ~InstanceCore();
    InstanceCore(const InstanceCore&) = delete;
    InstanceCore& operator=(const InstanceCore&) = delete;

    // ---- Host messages and slots, as the glue forwards them -----------------------------
    void showEditor(intptr_t parent);  // [ui]
    void hideEditor();                 // [ui]
    int voiceLevelCount() const { return records_.options.articbanks ? 2 : 0; }
    void transportChanged(intptr_t value) { session_.transportChanged(value); }  // [ui]
    void setTickLength(float samplesPerTick) { session_.tickLength = samplesPerTick; }
    void loadDroppedFile(const char* path);  // [ui] a UTF-8 path
    // The host's periodic call: repaint when marked, the HTTP poll. [ui]
    void periodicUpdate();
    void saveState(model::ByteSink& sink);        // [ui]
    void restoreState(model::ByteSource& source);  // [ui]
    void queryName(int kind, int index, int value, char* text) { params_.QueryName(kind, index, value, text); }
    int parameterEvent(int index, int value, int flags) {
        const int result = params_.ParameterEvent(index, value, flags);
        if (flags & fruity::kParamUpdateValue) http::HttpApi_DocumentChanged();  // after the change it marks
        return result;
    }
    void channelEvent(int kind, int value) {  // [audio]
        session_.ChannelEvent(kind, value);
        http::HttpApi_DocumentChanged();
    }
    intptr_t triggerVoice(const float* levels, intptr_t hostVoice) { return session_.TriggerVoice(levels, hostVoice); }
    void voiceRelease(intptr_t voice) { session_.Voice_Release(voice); }  // [audio]
    void voiceKill(intptr_t voice) { session_.Voice_Kill(voice); }        // [audio]
    void newTick() { session_.NewTick(); }                                // [audio]

    // ---- Operations of the editor and the API ---------------------------------------------
    // Every record back to its defaults; before a state restore and at construction. [ui]
    void ResetToDefaults();

    // The editor's mute button: mute, or solo with Ctrl; ignored while the transport plays. [ui]
    void muteClicked(bool ctrlHeld);

    // Request 48 and a repaint, after any change to stored data. [ui]
    void stateChanged();
    // Marks the editor for a repaint and returns at once: no drawing, no lock, no system call,
    // so any thread may call it. The periodic call on the UI thread does the drawing. [audio][ui]
    // The HTTP API's document follows the same mark.
    void repaintEditor() {
        if (!repaintPending_.load(std::memory_order_relaxed)) repaintPending_.store(true, std::memory_order_relaxed);
        http::HttpApi_DocumentChanged();
    }
    // Takes the mark: true once per repaintEditor since the last take. [ui]
    bool takeRepaint() {
        return repaintPending_.load(std::memory_order_relaxed) && repaintPending_.exchange(false, std::memory_order_relaxed);
    }

    // The 128 key names ("C3" ...), rebuilt after a restore and when `altmiddlec` changes. [ui]
    void rebuildNoteNames();
    // The one way a change of options takes effect, from the editor, the API (the web page) or a
    // restored state: what the instance derives from them follows (note names, the parameter
    // layout, the bank). `before` is the options as they were; host messages are each path's own.
    void optionsChanged(const model::InstanceOptions& before) override;
    const engine::NoteNameTable& noteNames() const { return noteNames_; }

    // Key names of articulation `index`: load from `path` (clear without one), or run a command
    // of the key-names menu. Changed names are announced to the host (request 3). [ui]
    void loadKeyNames(int index, const char* path);
    void runKeyNamesCommand(int index, model::KeyNamesCommand command);

    // The editor: its window, scale and state; its window size in pixels is kept while closed.
    editor::Editor& editor() { return editor_; }
    float editorScale() const { return editor_.currentScale(); }
    int editorWidth() const { return editor_.width(); }
    int editorHeight() const { return editor_.height(); }
    // What the editor and a paint read of the engine, the process and the host. [ui]
    editor::Facts editorFacts() const;
    editor::PaintFacts paintFacts() const;

    // Articulation files, UACC conversions and Kontakt instruments, from the editor's menus and
    // shortcuts. Each command that changed articulations reports it (request 48). [ui]
    void ArticulationCommand(int index, int command);  // 1..9; 0, the menu itself, is the editor's
    void ExportArticulation(int index);
    void ImportArticulation(int index);
    void ExportBank();
    void ImportBank(bool append);
    void ConvertUacc(model::UaccDirection direction);
    void ImportNki(bool append);
    bool nkiImporterPresent() const;  // the NKI menu entries are offered only then

    // The options panel's HTTP API switch: stored in the settings, server started or stopped. [ui]
    void setHttpApiEnabled(bool enabled);

    model::InstanceRecords& records() override { return records_; }
    engine::Session& session() { return session_; }
    HostParameters& parameters() { return params_; }
    plugin::HostPort& host() { return host_; }
    bool editorVisible() const override { return editor_.state().visible; }
    uint32_t instanceId() const { return membership_.id(); }
    // The editor's window, 0 while there is none; owner of the file dialogs.
    intptr_t editorWindow() const { return editor_.window(); }

    // ---- The HTTP API's view ------------------------------------------------------------------
    uint32_t id() const override { return instanceId(); }
    http::Levels levels() const override { return {session_.volume, session_.pan, session_.pitch}; }
    int playingArticulation() const override { return session_.currentArticulation; }
    void readKeyNames(int slot, std::string_view text, const std::string& fileName) override;
    void keyNamesCommand(int slot, model::KeyNamesCommand command) override { runKeyNamesCommand(slot, command); }
    void changed() override { stateChanged(); }
    void repaint() override { repaintEditor(); }
    void log(const char* line) override { session_.trace("%s", line); }
    bool logging() const override { return session_.debugLog; }
    const engine::Monitor& monitor() const override { return session_.monitor(); }

private:
    // The engine's way out: MIDI and voices through the MIDI port, the rest through the core.
    class EngineLink final : public engine::SessionHost {
    public:
        explicit EngineLink(InstanceCore& core) : core_(core) {}
        void midiOut(uint32_t message) override { core_.midi_.midiOut(message); }
        intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t value) override {
            return core_.midi_.voiceQuery(hostVoice, code, value);
        }
        void voiceDone(intptr_t hostVoice) override { core_.midi_.voiceDone(hostVoice); }
        void debugLine(const char* text) override { core_.host_.debugLine(text); }
        void repaintEditor() override { core_.repaintEditor(); }
        void stateChanged() override { core_.stateChanged(); }
        bool pianoRollShiftClick() override;

    private:
        InstanceCore& core_;
    };

    // The host parameters' way to the host: hints, repaints and what the editor shows.
    class ParamLink final : public ParameterHost {
    public:
        explicit ParamLink(InstanceCore& core) : core_(core) {}
        void showHint(const char* text) override { core_.host_.showHint(text); }
        void repaintEditor() override { core_.repaintEditor(); }
        bool editorVisible() const override { return core_.editorVisible(); }
        int32_t hostVersion() const override { return core_.host_.hostVersion(); }
        void keyNamesQueried(int articulation) override {
            core_.colourPopup_.keyNamesQueried(articulation, core_.editorWindow());
        }

    private:
        InstanceCore& core_;
    };

    // The editor's way to the instance (editor_link.cpp): values out, commands in.
    class EditorLink final : public editor::EditorHost {
    public:
        explicit EditorLink(InstanceCore& core) : core_(core) {}
        model::InstanceOptions options() const override { return core_.records_.options; }
        model::ArticulationCore articulation(int slot) const override;
        model::KeyNamesSource keyNames(int slot) const override;
        bool articulationMenuShows(int slot, int command) const override;
        model::Controller controller(int c) const override;
        int32_t controllerStart() const override { return core_.records_.controllerstart; }
        std::string pageName(int page) const override;
        editor::Facts facts() const override { return core_.editorFacts(); }
        bool nkiImporterPresent() const override { return core_.nkiImporterPresent(); }
        std::string nameForPickedIcon(const std::string& current, int icon) const override;
        int32_t iconForRename(const std::string& name, int32_t icon) const override;
        std::string httpApiAddress() const override;
        std::vector<platform::MenuEntry> hostParameterMenu(int parameter, bool nonGhosted) const override;
        void paint(const editor::EditorState& state, platform::Canvas& canvas) const override;

        void setArticulation(int slot, const model::ArticulationCore& fields) override;
        void setController(int c, const model::Controller& controller, editor::Report report) override;
        void setControllerValue(int parameterIndex, int value) override;
        void setRouting(int32_t port, int32_t channel) override;
        void setPageName(int page, const std::string& name) override;
        void setView(editor::ViewField field, int32_t value) override;
        void setStoredScale(float stored) override;
        void toggleOption(const model::OptionInfo& option) override;
        void articulationCommand(int slot, int command) override { core_.ArticulationCommand(slot, command); }
        void bankCommand(editor::BankCommand command) override;
        void keyNamesCommand(int slot, model::KeyNamesCommand command) override {
            core_.runKeyNamesCommand(slot, command);
        }
        void copyController(int c) override;
        void pasteController(int c) override;

        void setNoteLearn(engine::NoteLearn learn) override {
            core_.session_.setLearn(learn, core_.records_.options.editingSlot());
        }
        void muteClicked(bool ctrl) override { core_.muteClicked(ctrl); }
        void selectBank(int bank) override;
        void toggleHttpApi() override;
        void showOptionsTab(int tab) override;
        void toggleDebugLog() override { core_.session_.debugLog = !core_.session_.debugLog; }
        void pianoRollPick(int cell) override;
        void sendMidi(uint32_t message) override { core_.midi_.midiOut(message); }
        void runHostParameterEntry(int parameter, int entry, bool nonGhosted) override;

        void editorResized(editor::Report report) override;
        void renameInstance(const char* name) override;
        void showHint(const char* text) override { core_.host_.showHint(text); }
        void statusText(const char* text) override { core_.host_.statusText(text); }
        void traceLine(const char* text) override { core_.session_.trace("%s", text); }
        bool prompt(const char* caption, std::string& text) override { return core_.host_.prompt(caption, text); }
        intptr_t messageBox(const char* text, intptr_t flags) override { return core_.host_.messageBox(text, flags); }

    private:
        // What a change tells the host; every change marks the API's document.
        void report(editor::Report report);

        InstanceCore& core_;
    };

    void constructionReset();
    // The periodic steps of the piano-roll automation (piano_roll_steps.cpp). [ui]
    void renamePianoRollKey();
    void pickArticulationFromPopup(bool popupMeasured);
    void showMessage(const char* text, intptr_t flags) { host_.messageBox(text, flags); }
    void importDroppedArticulations(const char* path);
    void importDroppedNki(const char* path);
    // Another program's articulation map: one bank straight in, several offered in a menu; it
    // replaces the bank or, with `append`, follows its last used articulation. What was left out
    // is said in one message. False when nothing was loaded (not a map, menu dismissed); else
    // `loadedName`, when given, takes the bank's name. [ui]
    bool importMap(const std::string& path, bool append, std::string* loadedName = nullptr);
    std::string runNkiImport(model::Articulations& into, const char* path, int startSlot);
    std::string replaceWithNki(const char* path);  // the whole bank, built aside
    bool reloadKeyNames(const std::vector<int>& articulations);  // true when some file was read
    void keyNamesChanged();

    plugin::HostPort& host_;
    plugin::MidiPort& midi_;
    // First member: counted in before anything else exists, counted out after everything else
    // is gone, whatever throws in between.
    ProcessMembership membership_;

    model::InstanceRecords records_;
    EngineLink link_{*this};
    engine::Session session_;
    ParamLink paramLink_{*this};
    HostParameters params_{records_, session_, paramLink_};

    bool fresh_ = true;         // no state restored yet
    int32_t loadedFormat_ = 0;  // format of the last restored state
    // Written by the UI thread at every periodic call: away from what the notes read.
    alignas(64) std::atomic<bool> repaintPending_{false};
    uint32_t repaintsSeen_ = 0;  // the session's count of repaints the audio thread asked for

    engine::NoteNameTable noteNames_{};
    automation::ColourPopupState colourPopup_;
    EditorLink editorLink_{*this};
    editor::Editor editor_;
};
