// The editor's window size through its scale: the screen's, the stored one, the steps of the
// corner click and keys, the host's own resizing and collapsing; and the settle countdown.
#include <gtest/gtest.h>

#include "editor/scale.h"
#include "platform/settings_store.h"
#include "settings/registry_values.h"
#include "support/plugin_fixture.h"
#include "support/recording_canvas.h"

namespace {

using testing_support::PluginTest;

TEST(ScaleSteps, RunThroughTheSequenceAndBackToAutomatic) {
    std::vector<float> up{0.0f}, down{0.0f};
    for (int i = 0; i < 7; ++i) up.push_back(editor::scaleUpStep(up.back()));
    for (int i = 0; i < 7; ++i) down.push_back(editor::scaleDownStep(down.back()));
    EXPECT_EQ(up, (std::vector<float>{0.0f, 1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f, 0.0f}));
    EXPECT_EQ(down, (std::vector<float>{0.0f, 4.0f, 3.5f, 3.0f, 2.5f, 2.0f, 1.5f, 0.0f}));
}

class EditorTest : public PluginTest {
protected:
    std::pair<int, int> size(TFruityPlug* plug) { return {impl(plug).editorWidth(), impl(plug).editorHeight()}; }
    float storedScale() { return settings::RegReadFloat(platform::kVoxtraneKey, "UI Scale", -1.0f); }
};

TEST_F(EditorTest, ScreenScaleStepsAndAutomaticMeansOne) {
    settings.setString(platform::kHostGeneralKey, "Main PPI", "144");
    TFruityPlug* plug = create();
    EXPECT_EQ(size(plug), std::make_pair(360, 355));
    editor::Editor& e = impl(plug).editor();
    e.stepScale(true);
    EXPECT_EQ(size(plug), std::make_pair(360, 355));
    EXPECT_FLOAT_EQ(storedScale(), 1.5f);
    e.stepScale(true);
    EXPECT_EQ(size(plug), std::make_pair(480, 474));
    EXPECT_EQ(host.dispatchesWithCode(2).size(), 2u);
    for (int i = 0; i < 5; ++i) e.stepScale(true);  // 2.5 ... 4.0, then automatic: 1.0, not the screen's
    EXPECT_EQ(size(plug), std::make_pair(240, 237));
    EXPECT_FLOAT_EQ(storedScale(), 0.0f);
    EXPECT_FLOAT_EQ(impl(plug).records().options.uiscale, 0.0f);

    // A collapsed editor stays collapsed through the steps.
    e.setMinimised(true);
    EXPECT_EQ(size(plug), std::make_pair(240, 100));
    e.stepScale(false);
    EXPECT_EQ(size(plug), std::make_pair(960, 400));
    e.setMinimised(false);
    EXPECT_EQ(size(plug), std::make_pair(960, 948));
}

TEST_F(EditorTest, AStoredScaleWinsFromVersion12AndTheHostsResizeStoresItsOwn) {
    settings.setString(platform::kHostGeneralKey, "Main PPI", "120");
    settings::RegWriteFloat(platform::kVoxtraneKey, "UI Scale", 2.5f);
    EXPECT_EQ(size(create()), std::make_pair(600, 592));
    host.HostVersion = 11000000;
    TFruityPlug* old = create();
    EXPECT_EQ(size(old), std::make_pair(300, 296));  // 120 / 96

    host.HostVersion = 21000000;
    TFruityPlug* plug = create();
    editor::Editor& e = impl(plug).editor();
    struct Case {
        int width, height;
        float scale, stored;
    };
    for (const Case& c : {Case{480, 300, 2.0f, 2.0f}, Case{200, 200, 200.0f / 237.0f, 0.0f}, Case{240, 237, 1.0f, 0.0f}}) {
        e.hostResized(c.width, c.height);
        EXPECT_FLOAT_EQ(e.currentScale(), c.scale);
        EXPECT_FLOAT_EQ(storedScale(), c.stored);
    }
}

TEST_F(EditorTest, PaintsOnlyWhileShownAndSettlesOnceForSmallOldWindows) {
    TFruityPlug* plug = create();
    editor::Editor& e = impl(plug).editor();
    testing_support::RecordingCanvas hidden, shown;
    e.paint(hidden);
    EXPECT_TRUE(hidden.calls.empty());
    plug->Dispatcher(0, 0, 0x1000);
    e.paint(shown);
    EXPECT_FALSE(shown.calls.empty());
    EXPECT_EQ(e.state().settleCountdown, 0);  // a current host needs no settling

    // A 12.0 .. 12.4 host in a small window: the eighth periodic call clicks, once.
    host.HostVersion = 12004999;
    plug->Dispatcher(0, 0, 0);
    plug->Dispatcher(0, 0, 0x1000);
    int due = 0, dueAt = 0;
    for (int call = 1; call <= 20; ++call)
        if (e.settleClickDue()) ++due, dueAt = call;
    EXPECT_EQ(due, 1);
    EXPECT_EQ(dueAt, 8);
}

}  // namespace
