#include "snapshot.h"

#include "hostkit/module_loader.h"

#ifdef VOXTRANE_HAVE_CAIRO
#include <algorithm>
#include <cstring>
#include <sys/stat.h>

#include "editor/layout.h"
#include "render.h"
#include "serve.h"
#include "settings/registry_values.h"
#include "hostkit/quiet_host.h"
#include "platform/cairo/cairo_canvas.h"
#include "platform/editor_window.h"
#include "platform/program_folder.h"
#include "plugin/instance_core.h"
#include "plugin/process_wide.h"
#endif

namespace voxhost {

#ifdef VOXTRANE_HAVE_CAIRO
namespace {

struct Shot {
    const char* file;
    int panel;
    int optionsTab;
};
constexpr Shot kShots[] = {
    {"articulations.png", editor::kArticulationPanel, 0},  {"controllers.png", editor::kControllerPanel, 0},
    {"options-general.png", editor::kOptionsPanel, 0},     {"options-automation.png", editor::kOptionsPanel, 1},
    {"options-advanced.png", editor::kOptionsPanel, 2},    {"icon-picker.png", editor::kIconPicker, 0},
};

}  // namespace

bool writeSnapshots(const SnapshotRequest& request, std::string& error) {
    std::vector<uint8_t> stateBytes;
    if (!request.state.empty() && !readFile(request.state, stateBytes, error)) {
        error = request.state + ": " + error;
        return false;
    }
    mkdir(request.folder.c_str(), 0777);
    // The instance must not start the HTTP API of the user's settings.
    if (!prepareApiSettings(false, settings::kDefaultHttpPort, error)) return false;
    bool ok = true;
    {
        hostkit::QuietHost host;
        InstanceCore core(host, host);
        if (!stateBytes.empty()) {
            model::MemorySource source(stateBytes);
            core.restoreState(source);
        }
        if (!request.bank.empty()) core.loadDroppedFile(request.bank.c_str());
        const std::string folder = hostkit::executableFolder();
        const platform::CairoSheets sheets(platform::joinProgramPath(folder, platform::kArtworkFolder),
                                           platform::joinProgramPath(folder, platform::kNotationFile));
        if (!sheets.surface(platform::Sheet::kSkin)) {
            error = "the artwork is missing beside the plugin";
            ok = false;
        }
        model::InstanceOptions& o = core.records().options;
        for (const Shot& shot : kShots) {
            if (!ok) break;
            o.page = shot.panel;
            processWide().optionsTab = shot.optionsTab;
            platform::CairoCanvas canvas(sheets, editor::kCanvasWidth, editor::kCanvasHeight, request.scale);
            core.editor().paintTo(canvas);
            const std::string path = request.folder + "/" + shot.file;
            if (!platform::writePng(path, canvas.image())) {
                error = path + ": cannot write";
                ok = false;
            }
        }
    }
    restoreApiSettings();
    return ok;
}

#else

bool writeSnapshots(const SnapshotRequest&, std::string& error) {
    error = "snapshot: this build has no picture canvas; use the native build";
    return false;
}

#endif

}  // namespace voxhost
