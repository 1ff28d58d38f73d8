#include "snapshot.h"

#include "hostkit/module_loader.h"

#ifdef VOXTRANE_HAVE_CAIRO
#include <algorithm>
#include <cstring>
#include <sys/stat.h>

#include "editor/layout.h"
#include "render.h"
#include "serve.h"
#include "platform/cairo/cairo_canvas.h"
#include "platform/editor_window.h"
#include "platform/program_folder.h"
#include "plugin/instance_core.h"
#include "plugin/process_wide.h"
#endif

namespace voxhost {

#ifdef VOXTRANE_HAVE_CAIRO
namespace {

// A host that answers nothing: the instance lives in this process, only to be painted.
class QuietHost final : public plugin::HostPort, public plugin::MidiPort {
public:
    int32_t hostVersion() const override { return 21000000; }
    intptr_t request(intptr_t, intptr_t, intptr_t) override { return 0; }
    intptr_t messageBox(const char*, intptr_t) override { return 0; }
    void showHint(const char*) override {}
    void statusText(const char*) override {}
    bool prompt(const char*, std::string&) override { return false; }
    bool parameterMenuEntry(int, int, std::string&, int&) override { return false; }
    void stateChanged() override {}
    void parameterChanged(int, int) override {}
    void debugLine(const char*) override {}
    void midiOut(uint32_t) override {}
    intptr_t voiceQuery(intptr_t, intptr_t, intptr_t) override { return 0; }
    void voiceDone(intptr_t) override {}
};

class BytesSource final : public model::ByteSource {
public:
    explicit BytesSource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    size_t read(void* buffer, size_t count) override {
        const size_t n = std::min(count, bytes_.size() - at_);
        if (n) std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

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
    if (!prepareApiSettings(false, 8000, error)) return false;
    bool ok = true;
    {
        QuietHost host;
        InstanceCore core(host, host);
        if (!stateBytes.empty()) {
            BytesSource source(stateBytes);
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
