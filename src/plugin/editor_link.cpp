// What the editor's gestures do to the instance: the host requests, the engine's switch state,
// the parameters and the process-wide switches they touch.
#include "http/http_api.h"
#include "model/key_names.h"
#include "model/options.h"
#include "plugin/host_codes.h"
#include "plugin/instance_core.h"

namespace {
// ParameterEvent flags of an edit made in the editor: store the value and update the control.
constexpr int kEditorEditFlags = fruity::kParamUpdateValue | fruity::kParamUpdateControl;
}  // namespace

void InstanceCore::EditorLink::editorResized() { core_.host_.request(fruity::kReqEditorResized, 0, 0); }

void InstanceCore::EditorLink::renameInstance(const char* name) {
    core_.host_.request(fruity::kReqSetName, 0, reinterpret_cast<intptr_t>(name));
}

void InstanceCore::EditorLink::setControllerValue(int parameterIndex, int value) {
    core_.params_.ParameterEvent(parameterIndex, value, kEditorEditFlags);
    core_.host_.parameterChanged(parameterIndex, value);
}

void InstanceCore::optionsChanged(const model::InstanceOptions& before) {
    model::InstanceOptions& o = records_.options;
    if (o.altmiddlec != before.altmiddlec) rebuildNoteNames();
    if (o.paramknob != before.paramknob) params_.layoutChanged();
    if (before.articbanks && !o.articbanks) {
        session_.currentBank = 0;
        o.startart = 0;
    }
}

void InstanceCore::EditorLink::toggleOption(const model::OptionInfo& option) {
    model::InstanceOptions& o = core_.records_.options;
    const model::InstanceOptions before = o;
    if (option.field) o.*option.field = o.*option.field ? 0 : 1;
    else processWide().singleEditor = processWide().singleEditor ? 0 : 1;
    core_.optionsChanged(before);
    if (option.field == &model::InstanceOptions::articbanks) {
        core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kColourNamesChanged);
        core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kPropertyNamesChanged);
    } else if (option.field == &model::InstanceOptions::paramknob) {
        core_.host_.request(fruity::kReqSetParamCount, 0, core_.params_.parameterCountInUse());
        core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kParameterNamesChanged);
    }
}

bool InstanceCore::EditorLink::httpApiEnabled() const { return processWide().httpApiEnabled; }
int InstanceCore::EditorLink::optionsTab() const { return processWide().optionsTab; }
void InstanceCore::EditorLink::setOptionsTab(int tab) { processWide().optionsTab = tab; }

std::string InstanceCore::EditorLink::nameForPickedIcon(const std::string& current, int icon) const {
    return model::nameForPickedIcon(processWide().iconNames, current, icon);
}

std::string InstanceCore::EditorLink::httpApiAddress() const { return http::HttpApi_Address(); }

bool InstanceCore::EditorLink::articulationClipboardFull() const { return processWide().articulationClipboard.full; }

void InstanceCore::EditorLink::bankCommand(editor::BankCommand command) {
    using editor::BankCommand;
    switch (command) {
    case BankCommand::kUaccKeyswitchToCc: core_.ConvertUacc(model::UaccDirection::kKeyswitchToCc); break;
    case BankCommand::kUaccCcToKeyswitch: core_.ConvertUacc(model::UaccDirection::kCcToKeyswitch); break;
    case BankCommand::kExport: core_.ExportBank(); break;
    case BankCommand::kImport: core_.ImportBank(false); break;
    case BankCommand::kAppend: core_.ImportBank(true); break;
    case BankCommand::kImportNki: core_.ImportNki(false); break;
    case BankCommand::kAppendNki: core_.ImportNki(true); break;
    }
}

namespace {
// With Ctrl on a ghosting instance, a controller's host entries belong to the last other
// instance on the same port and channel that does not ghost.
InstanceCore* nonGhostedTwin(const InstanceCore& self) {
    const model::InstanceOptions& o = const_cast<InstanceCore&>(self).records().options;
    InstanceCore* twin = nullptr;
    for (InstanceCore* other : processWide().registry) {
        const model::InstanceOptions& p = other->records().options;
        if (other != &self && p.port == o.port && p.channel == o.channel && !p.ghost) twin = other;
    }
    return twin;
}
}  // namespace

bool InstanceCore::EditorLink::hostParameterMenu(int parameter, bool nonGhosted,
                                                 std::vector<platform::MenuEntry>& entries) {
    InstanceCore* twin = nonGhosted ? nonGhostedTwin(core_) : nullptr;
    plugin::HostPort& host = twin ? twin->host_ : core_.host_;
    std::string text;
    int flags = 0;
    for (int n = 0; host.parameterMenuEntry(parameter, n, text, flags); ++n) {
        const bool dash = !text.empty() && text[0] == '-';
        if (n == 0 && dash) continue;
        platform::MenuEntry e;
        e.id = 1024 + n;
        e.text = text;
        e.greyed = flags & 1;
        e.checked = flags & 2;
        e.separator = dash;
        entries.push_back(e);
    }
    return twin != nullptr;
}

void InstanceCore::EditorLink::runHostParameterEntry(int parameter, int entry, bool nonGhosted) {
    bool sent = false;
    if (nonGhosted) {
        const model::InstanceOptions& o = core_.records_.options;
        for (InstanceCore* other : processWide().registry) {
            const model::InstanceOptions& p = other->records().options;
            if (other == &core_ || p.port != o.port || p.channel != o.channel || p.ghost) continue;
            other->host_.request(fruity::kReqParamMenuEntry, parameter, entry);
            sent = true;
        }
    }
    if (!sent) core_.host_.request(fruity::kReqParamMenuEntry, parameter, entry);
}

editor::ControllerClipboard InstanceCore::EditorLink::controllerClipboard() const {
    return processWide().controllerClipboard;
}
void InstanceCore::EditorLink::setControllerClipboard(const editor::ControllerClipboard& clipboard) {
    processWide().controllerClipboard = clipboard;
}

void InstanceCore::EditorLink::namesChanged() {
    core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kParameterNamesChanged);
}

int32_t InstanceCore::EditorLink::iconForRename(const std::string& name, int32_t icon) const {
    return model::iconForRenamedArticulation(processWide().iconNames, name, icon);
}

void InstanceCore::EditorLink::selectBank(int bank) {
    core_.session_.currentBank = bank;
    core_.keyNamesChanged();
}
