// Every region of every panel with every gesture it takes: it answers at its centre (no region
// before it hides it there), a hover has a hint, and each gesture acts there on a damaged state
// without reading past a table.
#include <gtest/gtest.h>

#include "editor/regions.h"
#include "plugin/process_wide.h"
#include "support/editor_fixture.h"
#include "support/fake_file_dialog.h"

namespace {

using namespace editor;
using platform::HeldKey;
using platform::InputEvent;

class RegionWalk : public testing_support::EditorFixture {
protected:
    testing_support::FakeFileDialog dialogs;  // the key-names box asks for a file
};

int32_t modcFor(When when) {
    return when == When::kSecondKeyswitch || when == When::kNoteMode ? model::kModSecondKeyswitch
           : when == When::kPlayVelocity                            ? model::kModPlayVelocity
                                                                    : 1;
}

TEST_F(RegionWalk, EveryGestureOnEveryRegionOfEveryPanel) {
    constexpr Gesture kGestures[] = {kPress, kClick, kRightClick, kMiddleClick, kWheel, kHover};
    for (const int panel : {kArticulationPanel, kControllerPanel, kOptionsPanel, kIconPicker}) {
        for (const Region& region : panelRegions(panel)) {
            const Point at = region.kind == RegionKind::kPanel ? Point{120, 120} : in(region.box);
            const RegionContext context{modcFor(region.when), region.when == When::kKeyNames,
                                        region.tab < 0 ? kGeneralTab : region.tab};
            const std::string what = std::to_string(panel) + "/" + std::to_string(int(region.kind)) + "/" +
                                     std::to_string(region.index);
            ASSERT_NE(region.gestures, 0) << what;
            for (const Gesture g : kGestures) {
                if (!(region.gestures & g)) continue;
                const Region* found = regionAt(panel, context, at, g);
                ASSERT_NE(found, nullptr) << what;
                EXPECT_TRUE(found->kind == region.kind && found->index == region.index) << what << " gesture " << int(g);
            }
            if (region.gestures & kHover) {
                EXPECT_TRUE(region.hint || region.kind == RegionKind::kGridCell || region.kind == RegionKind::kControl)
                    << what;
            }

            // A state that names places past the tables: each reader takes the nearest valid one.
            for (const std::set<HeldKey>& keys : {std::set<HeldKey>{}, {HeldKey::kAlt, HeldKey::kShift}}) {
                r().options.page = panel;
                r().options.editing = 4000;
                r().options.startart = -77;
                r().controllerstart = 93;
                r().articulations.modc[size_t(model::kArticulationCount - 1)] = context.modc;
                processWide().optionsTab = context.optionsTab;
                os.keys = keys;
                send(InputEvent::Kind::kMouseMove, at);
                click(at);
                for (const int button : {InputEvent::kRight, InputEvent::kMiddle}) {
                    send(InputEvent::Kind::kButtonDown, at, button);
                    send(InputEvent::Kind::kButtonUp, at, button);
                }
                InputEvent wheel;
                wheel.kind = InputEvent::Kind::kWheel;
                wheel.wheelDelta = -120;
                ed().input(wheel);
            }
        }
    }
    processWide().optionsTab = kGeneralTab;
}

}  // namespace
