// An instance with a scripted file dialog and a scratch folder, for articulation files.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/keyboard.h"
#include "support/fake_file_dialog.h"
#include "support/plugin_fixture.h"
#include "support/temp_folder.h"

namespace testing_support {

class FileImportTest : public PluginTest {
protected:
    using Codes = std::vector<intptr_t>;
    using Messages = std::vector<std::pair<std::string, intptr_t>>;

    void SetUp() override {
        plug = create();
        host.clear();
    }
    void TearDown() override {
        PluginTest::TearDown();
        platform::setCtrlKeyOverride(std::nullopt);
    }

    std::string path(const std::string& name) const { return folder.file(name); }
    std::string write(const std::string& name, const std::string& bytes) const { return folder.write(name, bytes); }
    void drop(const std::string& file) { plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(file.c_str())); }
    model::Articulations& articulations() { return impl(plug).records().articulations; }
    Codes codes() const {  // of every host dispatch
        Codes out;
        for (const auto& d : host.dispatches) out.push_back(d.code);
        return out;
    }
    Messages messages() const {  // the message boxes, as (text, flag)
        Messages out;
        for (const auto& d : host.dispatchesWithCode(19)) out.emplace_back(d.text, d.value);
        return out;
    }

    TempFolder folder;
    FakeFileDialog dialog;
    TFruityPlug* plug = nullptr;
};

}  // namespace testing_support
