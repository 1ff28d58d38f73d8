#include "plugin/process_wide.h"

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
    p.engineTables = std::make_unique<engine::SharedTables>();
    p.formPlaceX = kNoFormPlace;
    p.formPlaceY = kNoFormPlace;
    p.httpApiEnabled = settings::RegReadDword(platform::kVoxtraneKey, "HTTP API", 0) != 0;
    p.hostMainWindow = host->Dispatcher(tag, fruity::kReqMainWindow, 0, 0);
}

void processTearDown() {
    ProcessWide& p = processWide();
    p.engineTables.reset();
}
