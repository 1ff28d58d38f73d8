// The one-line hints of the host's hint bar, from the region under the mouse.
#include <cstdio>
#include <string>

#include "editor/editor.h"
#include "editor/regions.h"
#include "model/host_facts.h"

namespace editor {
namespace {
constexpr const char* kControllerText = "A parameter controller. Right click to configure";
}  // namespace

void Editor::updateHint() {
    const Region* region = regionAt(state_.lastPoint, kHover);
    if (region && region->kind == RegionKind::kOption && !optionLive(kOptionRowsTable[size_t(region->index)]))
        region = nullptr;
    const int id = region ? hintIdOf(*region) : -1;
    if (id == state_.hintId) return;
    state_.hintId = id;
    host_.showHint(region ? hintText(*region).c_str() : "");
}

std::string Editor::hintText(const Region& region) const {
    switch (region.kind) {
    case RegionKind::kGridCell: {
        const int art = host_.options().bankStart() + region.index;
        const std::string name = host_.articulation(art).name;
        char cell[160];  // a long name is cut here
        if (name.empty())
            std::snprintf(cell, sizeof cell, "Articulation %i. Edit the properties below or right click for more",
                          art + 1);
        else
            std::snprintf(cell, sizeof cell, "%s - An articulation. Edit the properties below or right click for more",
                          name.c_str());
        return cell;
    }
    case RegionKind::kControl: {
        const int c = shownController(region.index);
        const model::Controller ctl = c >= 0 ? host_.controller(c) : model::Controller{};
        if (ctl.cc == model::kUnassignedCc) return kControllerText;
        char line[256];
        std::snprintf(line, sizeof line, "%s (CC %i @ %i) - %s", ctl.name.c_str(), ctl.cc, ctl.value, kControllerText);
        return line;
    }
    case RegionKind::kOption:
        // The API's row ends with its address.
        if (!optionOf(kOptionRowsTable[size_t(region.index)]))
            return std::string(region.hint) + " (" + host_.httpApiAddress() + ")";
        return region.hint;
    default: return region.hint;
    }
}

}  // namespace editor
