// What the editor reads of the instance, as values, and what its gestures do to it: each command
// stores its change and reports it (the host requests, the notes' copy, the API's document), so
// no change the editor makes can miss its report.
#include "editor/paint.h"
#include "http/http_api.h"
#include "model/articulation_commands.h"
#include "model/defaults.h"
#include "model/key_names.h"
#include "model/options.h"
#include "plugin/host_codes.h"
#include "plugin/instance_core.h"

namespace {
// ParameterEvent flags of an edit made in the editor: store the value and update the control.
constexpr int kEditorEditFlags = fruity::kParamUpdateValue | fruity::kParamUpdateControl;

bool validSlot(int slot) { return slot >= 0 && slot < model::kArticulationCount; }
bool validController(int c) { return c >= 0 && c < model::kControllerCount; }
}  // namespace

// ---- Queries ----

model::ArticulationCore InstanceCore::EditorLink::articulation(int slot) const {
    return validSlot(slot) ? model::fieldsOf(core_.records_.articulations, slot) : model::ArticulationCore{};
}

model::KeyNamesSource InstanceCore::EditorLink::keyNames(int slot) const {
    return model::keyNamesSourceOf(core_.records_.articulations, slot);
}

bool InstanceCore::EditorLink::articulationMenuShows(int slot, int command) const {
    return model::articulationMenuShows(core_.records_.articulations, slot, command, processWide().articulationClipboard);
}

model::Controller InstanceCore::EditorLink::controller(int c) const {
    return validController(c) ? model::controllerOf(core_.records_.controllers, c) : model::Controller{};
}

std::string InstanceCore::EditorLink::pageName(int page) const {
    return page >= 0 && page < model::kControllerPageCount ? core_.records_.pageNames[size_t(page)] : std::string();
}

void InstanceCore::EditorLink::paint(const editor::EditorState& state, platform::Canvas& canvas) const {
    editor::Paint(core_.records_, state, core_.paintFacts(), canvas);
}

// ---- Commands ----

void InstanceCore::EditorLink::report(editor::Report report) {
    switch (report) {
    case editor::Report::kNamesAndState:
        core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kParameterNamesChanged);
        [[fallthrough]];
    case editor::Report::kState: core_.stateChanged(); break;  // the notes' copy and the document too
    case editor::Report::kNothing: http::HttpApi_DocumentChanged(); break;
    }
}

void InstanceCore::EditorLink::setArticulation(int slot, const model::ArticulationCore& fields) {
    if (!validSlot(slot)) return;
    model::storeFields(core_.records_.articulations, slot, fields);
    report(editor::Report::kState);
}

void InstanceCore::EditorLink::setController(int c, const model::Controller& controller, editor::Report how) {
    if (!validController(c)) return;
    model::storeController(core_.records_.controllers, c, controller);
    report(how);
}

void InstanceCore::EditorLink::copyController(int c) {
    if (!validController(c)) return;
    processWide().controllerClipboard = model::controllerOf(core_.records_.controllers, c);
    processWide().controllerClipboardFull = true;
}

void InstanceCore::EditorLink::pasteController(int c) {
    if (processWide().controllerClipboardFull) setController(c, processWide().controllerClipboard, editor::Report::kNamesAndState);
}

void InstanceCore::EditorLink::setRouting(int32_t port, int32_t channel) {
    core_.records_.options.port = port;
    core_.records_.options.channel = channel;
    core_.session_.clearSwitchState();  // what was last sent there no longer counts
    report(editor::Report::kState);
}

void InstanceCore::EditorLink::setPageName(int page, const std::string& name) {
    if (page < 0 || page >= model::kControllerPageCount) return;
    core_.records_.pageNames[size_t(page)] = name;
    report(editor::Report::kState);
}

void InstanceCore::EditorLink::setView(editor::ViewField field, int32_t value) {
    model::InstanceOptions& o = core_.records_.options;
    switch (field) {
    case editor::ViewField::kPanel: o.page = value; break;
    case editor::ViewField::kEditing: o.editing = value; break;
    case editor::ViewField::kBankStart: o.startart = value; break;
    case editor::ViewField::kControllerStart: core_.records_.controllerstart = value; break;
    case editor::ViewField::kMinimised: o.minimised = value; break;
    }
    report(editor::Report::kNothing);
}

void InstanceCore::EditorLink::setStoredScale(float stored) {
    core_.records_.options.uiscale = stored;
    report(editor::Report::kNothing);
}

void InstanceCore::EditorLink::editorResized(editor::Report how) {
    core_.host_.request(fruity::kReqEditorResized, 0, 0);
    report(how);
}

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
    report(editor::Report::kNothing);
    if (option.field == &model::InstanceOptions::articbanks) {
        core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kColourNamesChanged);
        core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kPropertyNamesChanged);
    } else if (option.field == &model::InstanceOptions::paramknob) {
        core_.host_.request(fruity::kReqSetParamCount, 0, core_.params_.parameterCountInUse());
        core_.host_.request(fruity::kReqNamesChanged, 0, fruity::kParameterNamesChanged);
    }
}

void InstanceCore::EditorLink::toggleHttpApi() { core_.setHttpApiEnabled(!processWide().httpApiEnabled); }
void InstanceCore::EditorLink::showOptionsTab(int tab) { processWide().optionsTab = tab; }

std::string InstanceCore::EditorLink::nameForPickedIcon(const std::string& current, int icon) const {
    return model::nameForPickedIcon(processWide().iconNames, current, icon);
}

std::string InstanceCore::EditorLink::httpApiAddress() const { return http::HttpApi_Address(); }

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

std::vector<platform::MenuEntry> InstanceCore::EditorLink::hostParameterMenu(int parameter, bool nonGhosted) const {
    InstanceCore* twin = nonGhosted ? nonGhostedTwin(core_) : nullptr;
    plugin::HostPort& host = twin ? twin->host_ : core_.host_;
    std::vector<platform::MenuEntry> entries;
    std::string text;
    int flags = 0;
    for (int n = 0; host.parameterMenuEntry(parameter, n, text, flags); ++n) {
        const bool dash = !text.empty() && text[0] == '-';
        if (n == 0 && dash) continue;
        platform::MenuEntry e;
        e.id = 1024 + n;
        e.text = twin ? text + " (non-ghosted)" : text;
        e.greyed = flags & 1;
        e.checked = flags & 2;
        e.separator = dash;
        entries.push_back(e);
    }
    return entries;
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

int32_t InstanceCore::EditorLink::iconForRename(const std::string& name, int32_t icon) const {
    return model::iconForRenamedArticulation(processWide().iconNames, name, icon);
}

void InstanceCore::EditorLink::selectBank(int bank) {
    core_.session_.currentBank = bank;
    core_.keyNamesChanged();
}
