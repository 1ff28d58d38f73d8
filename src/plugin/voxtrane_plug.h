// KRYLVSTExprPlug: the instance FL Studio creates for each channel that uses the plugin. It is
// the ABI glue: every entry slot lands here, is made exception-proof, and is forwarded to the
// model and the engine. Threads: the host calls voice slots and NewTick from its audio thread
// ([audio]) and the rest from its user-interface thread ([ui]), without synchronisation.
#pragma once

#include <string>

#include "engine/note_names.h"
#include "engine/session.h"
#include "model/key_names.h"
#include "model/records.h"
#include "model/uacc_conversion.h"
#include "plugin/cpp_fruity_plug.h"
#include "plugin/host_parameters.h"

class KRYLVSTExprPlug final : public TCPPFruityPlug {
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

    // The names used in the rest of the program for the slots above.
    void DestroyInstance() { DestroyObject(); }

    // Every record back to its defaults; before a state restore and at construction. [ui]
    void ResetToDefaults();

    // The editor's mute button: mute, or solo with Ctrl; ignored while the transport plays. [ui]
    void muteClicked(bool ctrlHeld);

    // Request 48 and a repaint, after any change to stored data. [ui]
    void stateChanged();
    void repaintEditor() {}

    // The 128 key names ("C3" ...), rebuilt after a restore and when `altmiddlec` changes. [ui]
    void rebuildNoteNames();
    const engine::NoteNameTable& noteNames() const { return noteNames_; }

    // Key names of articulation `index`: load from `path` (clear without one), or run a command
    // of the key-names menu. Changed names are announced to the host (request 3). [ui]
    void loadKeyNames(int index, const char* path);
    void runKeyNamesCommand(int index, model::KeyNamesCommand command);

    // The editor's scale and its window height in pixels, kept while the window is closed.
    float editorScale() const { return scale_; }
    int editorHeight() const { return editorHeight_; }

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

    model::InstanceRecords& records() { return records_; }
    engine::Session& session() { return session_; }
    HostParameters& parameters() { return params_; }
    bool editorVisible() const { return editorVisible_; }
    // The HTTP API's name for this instance, unique among live instances.
    uint32_t instanceId() const { return instanceId_; }
    TFruityPlugHost* host() const { return PlugHost; }

private:
    // The engine's way to the host: MIDI out under the sender tag, voice queries, trace lines.
    class EngineLink final : public engine::SessionHost {
    public:
        explicit EngineLink(KRYLVSTExprPlug& plug) : plug_(plug) {}
        void midiOut(uint32_t message) override;
        intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t value) override;
        void voiceDone(intptr_t hostVoice) override;
        void debugLine(const char* text) override;
        void repaintEditor() override { plug_.repaintEditor(); }
        void stateChanged() override { plug_.stateChanged(); }

    private:
        KRYLVSTExprPlug& plug_;
    };

    // The host parameters' way to the host: hints, repaints and what the editor shows.
    class ParamLink final : public ParameterHost {
    public:
        explicit ParamLink(KRYLVSTExprPlug& plug) : plug_(plug) {}
        void showHint(const char* text) override;
        void repaintEditor() override { plug_.repaintEditor(); }
        bool editorVisible() const override { return plug_.editorVisible_; }
        int32_t hostVersion() const override { return plug_.PlugHost->HostVersion; }
        intptr_t editorWindow() const override { return reinterpret_cast<intptr_t>(plug_.EditorHandle); }

    private:
        KRYLVSTExprPlug& plug_;
    };

    intptr_t dispatch(intptr_t code, intptr_t index, intptr_t value) {
        return PlugHost->Dispatcher(HostTag, code, index, value);
    }
    intptr_t onHostMessage(intptr_t id, intptr_t index, intptr_t value);
    void showEditor(intptr_t parent);
    void hideEditor();
    void loadDroppedFile(const char* path);
    void showMessage(const char* text, intptr_t flag);
    void importDroppedArticulations(const char* path);
    void importDroppedNki(const char* path);
    std::string runNkiImport(const char* path, int startSlot);
    void constructionReset();
    void resizeEditor();
    void saveState(IStream* stream);
    void restoreState(IStream* stream);
    void keyNamesChanged();

    model::InstanceRecords records_;
    EngineLink link_{*this};
    engine::Session session_;
    ParamLink paramLink_{*this};
    HostParameters params_{records_, session_, paramLink_};

    TPluginTag midiSender_;  // the tag copy every MIDI-out call is sent under
    bool fresh_ = true;      // no state restored yet
    int32_t loadedFormat_ = 0;  // format of the last restored state

    // Editor state; the window itself is the editor's.
    bool editorVisible_ = false;
    uint32_t instanceId_ = 0;
    intptr_t editorParent_ = 0;
    bool placeWindowsPending_ = false;
    float scale_ = 1.0f;
    int editorWidth_ = 0;
    int editorHeight_ = 0;

    engine::NoteNameTable noteNames_{};

    int32_t lastClickedKey_ = -1;
    int32_t lastClickedColour_ = 0;
};
