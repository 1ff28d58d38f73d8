// The instance's side of the piano-roll automation: the note start's Shift-click test, the
// key rename and the colour popup's pick in the periodic call, the Ctrl-click from the editor.
#include "automation/piano_roll.h"
#include "model/host_facts.h"
#include "plugin/host_codes.h"
#include "plugin/instance_core.h"

namespace {
constexpr int kAltKey = platform::vk::kAlt;
constexpr int kShiftKey = platform::vk::kShift;
}  // namespace

namespace {
// The Shift-click test's lines: on the audio thread into the instance's queue, for the periodic
// call to write out.
class QueuedTrace final : public automation::TraceLines {
public:
    explicit QueuedTrace(engine::TraceQueue& queue) : queue_(queue) {}
    void write(const char* line) override {
        if (queue_.onOwnerThread()) platform::windowSystem().debugOutput(line);
        else queue_.push(engine::TraceQueue::Sink::kDebugger, line);
    }

private:
    engine::TraceQueue& queue_;
};
}  // namespace

bool InstanceCore::EngineLink::pianoRollShiftClick() {
    QueuedTrace trace(core_.session_.traceQueue());
    return automation::IsPianoRollShiftClick(platform::windowSystem(), processWide().hostMainWindow, trace);
}

void InstanceCore::EditorLink::pianoRollPick(int cell) {
    const intptr_t mainWindow = core_.host_.request(fruity::kReqMainWindow, 0, 0);
    automation::SelectPianoRollColour(platform::windowSystem(), mainWindow,
                                      model::hostBefore12(core_.host_.hostVersion()), cell);
}

void InstanceCore::renamePianoRollKey() {
    const int key = session_.lastClickedKey;
    if (key < 0) return;
    const int32_t version = host_.hostVersion();
    // Without a colour in the query slot 0 takes every name.
    const int slot = model::colourlessKeyQuery(version) ? 0 : session_.lastClickedColour.load();
    model::Articulations& a = records_.articulations;
    // A colour of a bank that does not exist names no slot: the click is dropped.
    if (slot >= 0 && slot < model::kArticulationCount && key < 128) {
        const size_t s = size_t(slot);
        const int entry = automation::keyNameEntry(key);
        std::string text = a.keynames[s] ? std::string((*a.keynames[s])[entry]) : std::string();
        if (host_.prompt(automation::renameKeyCaption(a.name[s], key, records_.options.altmiddlec != 0).c_str(), text)) {
            // The list no longer equals its file, whose title it showed.
            a.keynamestitle[s].clear();
            if (!a.keynames[s]) a.keynames[s] = std::make_unique<model::KeyNameList>();
            a.keynames[s]->set(entry, text);
        }
    }
    keyNamesChanged();
    session_.lastClickedKey = -1;
    repaintEditor();
}

void InstanceCore::pickArticulationFromPopup(bool popupMeasured) {
    const int p = colourPopup_.takePendingPick();
    if (p < 0) return;
    if (!popupMeasured) return;
    model::InstanceOptions& o = records_.options;
    const platform::WindowSystem& ws = platform::windowSystem();
    const bool alt = ws.keyDown(kAltKey, false), shift = ws.keyDown(kShiftKey, false);
    const int slot = p + o.bankStart();
    if (p >= model::kArticulationCount || ((alt || shift) && slot >= model::kArticulationCount)) return;
    session_.currentArticulation = p;
    if (alt || shift) o.editing = slot;
    if (shift && !alt) {
        std::string name = records_.articulations.name[size_t(slot)];
        if (host_.prompt("Articulation name", name)) {
            records_.articulations.name[size_t(slot)] = name;
            host_.stateChanged();
        }
    }
    repaintEditor();
}
