#include "plugin/process_wide.h"

#include "http/http_api.h"
#include "model/articulation_template.h"
#include "platform/editor_window.h"
#include "platform/program_folder.h"
#include "plugin/host_codes.h"
#include "plugin/instance_core.h"
#include "settings/registry_values.h"

namespace {

// [ui] first live instance, before it is counted.
void processStartUp(plugin::HostPort& host) {
    ProcessWide& p = processWide();
    p.programFolder = platform::programFolder();
    LoadTemplate();
    platform::loadEditorArtwork(p.programFolder);
    p.optionsTab = 0;
    p.sharedEditorTab = 1;
    p.activeInstance = nullptr;
    p.engineTables = std::make_unique<engine::SharedTables>();
    p.formPlaceX = kNoFormPlace;
    p.formPlaceY = kNoFormPlace;
    p.foreignChannelCounter = 0;
    p.httpApiEnabled = settings::httpApiEnabledSetting();
    p.hostMainWindow = host.request(fruity::kReqMainWindow, 0, 0);
}

// [ui] last live instance, after the count reached 0.
void processTearDown(uint32_t lastId) {
    ProcessWide& p = processWide();
    http::HttpApi_Stop(lastId);
    p.engineTables.reset();
    p.iconNames.clear();
    platform::releaseEditorArtwork();
}

class RegistryDirectory final : public http::InstanceDirectory {
public:
    size_t count() const override { return processWide().registry.size(); }
    http::InstanceView& at(size_t index) override { return *processWide().registry.instances()[index]; }
    http::InstanceView* find(uint32_t id) override { return processWide().registry.find(id); }
    int32_t& singleEditor() override { return processWide().singleEditor; }
    void setMonitoring(bool on) override {
        if (processWide().engineTables) processWide().engineTables->monitoring = on;
    }
};

}  // namespace

ProcessWide& processWide() {
    static ProcessWide shared;
    return shared;
}

http::InstanceDirectory& instanceDirectory() {
    static RegistryDirectory directory;
    return directory;
}

ProcessMembership::ProcessMembership(InstanceCore& instance, plugin::HostPort& host) : instance_(instance) {
    ProcessWide& p = processWide();
    if (p.liveCount == 0) processStartUp(host);
    id_ = p.registry.append(&instance_);
    ++p.liveCount;
    http::HttpApi_DocumentChanged();
    joined_ = true;
}

void ProcessMembership::leave() noexcept {
    if (!joined_) return;
    joined_ = false;
    ProcessWide& p = processWide();
    if (--p.liveCount == 0) {
        try {
            processTearDown(id_);
        } catch (...) {
        }
    }
    p.registry.remove(&instance_);
    http::HttpApi_DocumentChanged();
}

ProcessMembership::~ProcessMembership() {
    if (!joined_) return;
    // Construction failed after joining: the instance is half made, so it leaves the registry
    // before anything (the tear-down's report) could reach it.
    processWide().registry.remove(&instance_);
    leave();
}

void LoadTemplate() {
    ProcessWide& p = processWide();
    model::loadTemplateFile(platform::joinProgramPath(p.programFolder, model::kTemplateFile), p.iconNames);
}
