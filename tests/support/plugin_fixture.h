// A test fixture that creates instances through the factory, as FL Studio does, and destroys
// them through slot 0, so every test starts and ends with no live instance in the process.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "plugin/fruity_abi.h"
#include "plugin/voxtrane_plug.h"
#include "support/fake_host.h"
#include "support/fake_settings.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace testing_support {

class PluginTest : public ::testing::Test {
protected:
    // Instances get tags 101, 102, ... in creation order.
    TFruityPlug* create() {
        TFruityPlug* plug = CreatePlugInstance(&host, 101 + static_cast<TPluginTag>(created_++));
        if (plug) live.push_back(plug);
        return plug;
    }
    void destroy(TFruityPlug* plug) {
        for (auto it = live.begin(); it != live.end(); ++it)
            if (*it == plug) {
                live.erase(it);
                break;
            }
        plug->DestroyObject();
    }
    void TearDown() override {
        while (!live.empty()) destroy(live.back());
    }

    // The instance core behind the interface, for the editor-only actions that have no slot.
    static InstanceCore& impl(TFruityPlug* plug) { return static_cast<KRYLVSTExprPlug*>(plug)->core(); }

    // Instances read their settings from here, never from the developer's own.
    FakeSettings settings;
    FakeHost host;
    std::vector<TFruityPlug*> live;

private:
    int created_ = 0;
};

}  // namespace testing_support
