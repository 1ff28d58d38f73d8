#include "plugin/process_wide.h"

#include "http/http_api.h"
#include "model/articulation_template.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "settings/registry_values.h"

ProcessWide& processWide() {
    static ProcessWide shared;
    return shared;
}

void processStartUp(TFruityPlugHost* host, TPluginTag tag) {
    ProcessWide& p = processWide();
    p.programFolder = platform::programFolder();
    LoadTemplate();
    p.engineTables = std::make_unique<engine::SharedTables>();
    p.formPlaceX = kNoFormPlace;
    p.formPlaceY = kNoFormPlace;
    p.foreignChannelCounter = 0;
    p.httpApiEnabled = settings::RegReadDword(platform::kVoxtraneKey, "HTTP API", 0) != 0;
    p.hostMainWindow = host->Dispatcher(tag, fruity::kReqMainWindow, 0, 0);
}

void processTearDown() {
    ProcessWide& p = processWide();
    // The instance being destroyed is still registered: it carries the log line.
    http::HttpApi_Stop(p.registry.size() ? p.registry.instances().back() : nullptr);
    p.engineTables.reset();
    p.iconNames.clear();
}

void LoadTemplate() {
    ProcessWide& p = processWide();
    model::loadTemplateFile(platform::joinProgramPath(p.programFolder, model::kTemplateFile), p.iconNames);
}
