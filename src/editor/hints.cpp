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
    const model::InstanceRecords& r = host_.records();
    switch (region.kind) {
    case RegionKind::kGridCell: {
        const size_t art = size_t(r.options.bankStart() + region.index);
        char cell[160];  // a long name is cut here
        if (r.articulations.name[art].empty())
            std::snprintf(cell, sizeof cell, "Articulation %i. Edit the properties below or right click for more",
                          int(art) + 1);
        else
            std::snprintf(cell, sizeof cell, "%s - An articulation. Edit the properties below or right click for more",
                          r.articulations.name[art].c_str());
        return cell;
    }
    case RegionKind::kControl: {
        const int shown = r.shownController(region.index);
        const size_t c = size_t(shown);
        const model::Controllers& ctl = r.controllers;
        if (shown < 0 || ctl.cc[c] == model::kUnassignedCc) return kControllerText;
        char line[256];
        std::snprintf(line, sizeof line, "%s (CC %i @ %i) - %s", ctl.name[c].c_str(), ctl.cc[c], ctl.value[c],
                      kControllerText);
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
