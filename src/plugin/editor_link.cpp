// What the editor's gestures do to the instance: the host requests, the engine's switch state,
// the parameters and the process-wide switches they touch.
#include <cstring>

#include "http/http_api.h"
#include "model/key_names.h"
#include "plugin/host_codes.h"
#include "plugin/instance_core.h"

namespace {
// ParameterEvent flags of an edit made in the editor: store the value and update the control.
constexpr int kEditorEditFlags = fruity::kParamUpdateValue | fruity::kParamUpdateControl;
// Request 3 values after the banks option toggled: note-colour names, then note-property names.
constexpr intptr_t kColourNamesChanged = 4;
constexpr intptr_t kPropertyNamesChanged = 5;
constexpr intptr_t kParameterNamesChanged = 0;
}  // namespace

void InstanceCore::EditorLink::editorResized() { core_.host_.request(fruity::kReqEditorResized, 0, 0); }

void InstanceCore::EditorLink::renameInstance(const char* name) {
    core_.host_.request(fruity::kReqSetName, 0, reinterpret_cast<intptr_t>(name));
}

void InstanceCore::EditorLink::setControllerValue(int parameterIndex, int value) {
    core_.params_.ParameterEvent(parameterIndex, value, kEditorEditFlags);
    core_.host_.parameterChanged(parameterIndex, value);
}

void InstanceCore::EditorLink::optionToggled(const char* stateKey) {
    model::InstanceOptions& o = core_.records_.options;
    if (!std::strcmp(stateKey, "altmiddlec")) {
        core_.rebuildNoteNames();
    } else if (!std::strcmp(stateKey, "articbanks")) {
        if (!o.articbanks) {
            core_.session_.currentBank = 0;
            o.startart = 0;
        }
        core_.host_.request(fruity::kReqNamesChanged, 0, kColourNamesChanged);
        core_.host_.request(fruity::kReqNamesChanged, 0, kPropertyNamesChanged);
    } else if (!std::strcmp(stateKey, "paramknob")) {
        core_.params_.layoutChanged();
        core_.host_.request(fruity::kReqSetParamCount, 0, core_.params_.parameterCountInUse());
        core_.host_.request(fruity::kReqNamesChanged, 0, kParameterNamesChanged);
    }
}

bool InstanceCore::EditorLink::httpApiEnabled() const { return processWide().httpApiEnabled; }
int32_t& InstanceCore::EditorLink::singleEditor() { return processWide().singleEditor; }
int& InstanceCore::EditorLink::optionsTab() { return processWide().optionsTab; }

void InstanceCore::EditorLink::keyNamesBox(int articulation, bool shift, bool ctrl) {
    core_.runKeyNamesCommand(articulation,
                             model::keyNamesBoxCommand(core_.records_.articulations, articulation, shift, ctrl));
}

std::string InstanceCore::EditorLink::nameForPickedIcon(const std::string& current, int icon) const {
    return model::nameForPickedIcon(processWide().iconNames, current, icon);
}

std::string InstanceCore::EditorLink::httpApiAddress() const { return http::HttpApi_Address(); }
