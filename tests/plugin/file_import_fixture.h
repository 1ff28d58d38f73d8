// Instances with a scripted file dialog and a scratch folder, for the commands that read and
// write articulation files and instruments.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/keyboard.h"
#include "support/fake_file_dialog.h"
#include "support/plugin_fixture.h"

namespace testing_support {

class FileImportTest : public PluginTest {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 (std::string("voxtrane-") + test->test_suite_name() + "-" + test->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        plug = create();
        host.clear();
    }
    void TearDown() override {
        PluginTest::TearDown();
        platform::setCtrlKeyOverride(std::nullopt);
        std::filesystem::remove_all(folder);
    }

    // `name` may hold folders, written with "/".
    std::filesystem::path at(const std::string& name) const {
        return folder / std::filesystem::path(name).make_preferred();
    }
    std::string path(const std::string& name) const { return at(name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(at(name).parent_path());
        std::ofstream(at(name), std::ios::binary) << bytes;
        return path(name);
    }
    static std::string contents(const std::string& file) {
        std::stringstream s;
        s << std::ifstream(file, std::ios::binary).rdbuf();
        return s.str();
    }

    void drop(const std::string& file) { plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(file.c_str())); }
    model::Articulations& articulations() { return impl(plug).records().articulations; }

    std::vector<intptr_t> codes() const {
        std::vector<intptr_t> out;
        for (const auto& d : host.dispatches) out.push_back(d.code);
        return out;
    }
    // The message boxes shown, as (text, flag).
    std::vector<std::pair<std::string, intptr_t>> messages() const {
        std::vector<std::pair<std::string, intptr_t>> out;
        for (const auto& d : host.dispatchesWithCode(19)) out.emplace_back(d.text, d.value);
        return out;
    }

    FakeFileDialog dialog;
    std::filesystem::path folder;
    TFruityPlug* plug = nullptr;
};

}  // namespace testing_support
