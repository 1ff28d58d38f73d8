// The staged module, run from the staged installation, finds the importer beside itself through
// the host program's folder and loads it for a dropped instrument.
#include <gtest/gtest.h>

#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"

namespace {

TEST(StagedModule, ADroppedInstrumentIsReadByTheImporterBesideThePlugin) {
    hostkit::PluginModule module;
    ASSERT_TRUE(module.load(hostkit::stagedModulePath(hostkit::executableFolder()))) << module.error();
    hostkit::RecordingHost host;
    TFruityPlug* plug = module.create()(&host, 1);
    ASSERT_NE(plug, nullptr);
    host.clear();
    const char* path = "C:\\Sounds\\Cellos found.nki";
    plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(path));
    const auto boxes = host.dispatchesWithCode(19);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Imported 3 articulations");
    EXPECT_EQ(boxes[0].value, 16);
    EXPECT_EQ(host.dispatchesWithCode(48).size(), 1u);
    plug->DestroyObject();
}

}  // namespace
