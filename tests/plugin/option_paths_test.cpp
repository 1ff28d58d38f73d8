// Every option switched on and off again through each way in (the editor's switch, the API the
// web page uses, a restored state) leaves the same instance: names, parameter names, the saved
// state and what automation and the next notes send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/layout.h"
#include "hostkit/memory_stream.h"
#include "model/options.h"
#include "plugin/host_codes.h"
#include "plugin/process_wide.h"
#include "support/fake_sockets.h"
#include "support/notes.h"
#include "support/plugin_fixture.h"

namespace {

enum class Path { kEditor, kApi, kState };

class OptionPathsTest : public testing_support::PluginTest {
protected:
    OptionPathsTest() { settings.setDword(platform::kVoxtraneKey, "HTTP API", 1); }

    void set(TFruityPlug* plug, const model::OptionInfo& option, bool ticked, Path path) {
        InstanceCore& core = impl(plug);
        model::InstanceOptions& o = core.records().options;
        if (path == Path::kEditor) {
            for (const editor::OptionRow& row : editor::kOptionRowsTable) {
                if (!row.stateKey || std::string(row.stateKey) != option.stateKey) continue;
                o.page = editor::kOptionsPanel;
                processWide().optionsTab = row.tab;
                const editor::Hit box = editor::optionHit(row.column, row.row, row.tab == editor::kAdvancedTab);
                platform::InputEvent e;
                e.x = (box.left + box.right) / 2;
                e.y = (box.top + box.bottom) / 2;
                for (const auto kind : {platform::InputEvent::Kind::kButtonDown, platform::InputEvent::Kind::kButtonUp})
                    core.editor().input((e.kind = kind, e));
                o.page = 1;
                processWide().optionsTab = 0;
            }
        } else if (path == Path::kApi) {
            const std::string raw = "GET /api/" + std::to_string(core.instanceId()) + "/options/" + option.apiKey +
                                    (ticked ? "=true" : "=false") + " HTTP/1.1\r\n\r\n";
            const size_t client = sockets.connect(raw);
            for (int i = 0; i < 20 && !sockets.clients[client].closedByServer; ++i) plug->Idle_Public();
        } else {
            // The same instance saved with the option changed, and loaded back.
            const model::InstanceOptions before = o;
            const int32_t singleBefore = processWide().singleEditor;
            model::setOptionTicked(option, o, processWide().singleEditor, ticked);
            hostkit::MemoryStream saved;
            plug->SaveRestoreState(&saved, 1);
            o = before;
            processWide().singleEditor = singleBefore;
            hostkit::MemoryStream load(saved.data);
            plug->SaveRestoreState(&load, 0);
        }
        ASSERT_EQ(model::optionTicked(option, o, processWide().singleEditor), ticked) << option.apiKey;
    }

    // What anyone can see of the instance, and then what it sends when automated and played.
    std::vector<std::string> seen(TFruityPlug* plug) {
        std::vector<std::string> out;
        for (const engine::NoteName& name : impl(plug).noteNames()) out.push_back(name.data());
        for (const auto& [kind, count] : {std::pair{fruity::kNameParam, 129}, {fruity::kNameColour, 16}})
            for (int i = 0; i < count; ++i) {
                char text[256] = "";
                plug->GetName(kind, i, 0, text);
                out.push_back(text);
            }
        hostkit::MemoryStream saved;
        plug->SaveRestoreState(&saved, 1);
        out.emplace_back(saved.data.begin(), saved.data.end());
        out.push_back("single editor " + std::to_string(processWide().singleEditor));
        // A restore forgets what was sent and played; the other paths are made to forget it too.
        impl(plug).session().clearSwitchState();
        impl(plug).session().forgetSwitches();
        host.clear();
        for (const int parameter : {96, 128}) {
            plug->ProcessParam(parameter, 5, fruity::kParamUpdateValue);
            plug->Voice_Release(testing_support::play(plug, host, parameter, {64, 0}));
            plug->ProcessParam(parameter, 0, fruity::kParamUpdateValue);
        }
        plug->Voice_Release(testing_support::play(plug, host, 1, {62, 3, 1.0f, 0.6f}));
        for (const std::string& m : host.midiDescribed()) out.push_back(m);
        return out;
    }

    testing_support::FakeSockets sockets;
};

TEST_F(OptionPathsTest, EachOptionByEachPathLeavesTheSameInstance) {
    for (const model::OptionInfo& option : model::kOptions) {
        std::vector<std::string> expected[2];
        for (const Path path : {Path::kEditor, Path::kApi, Path::kState}) {
            // A restored project cannot switch off "Preserve Port/Channel": keeping the
            // instance's own routing over a load is what it is for.
            if (path == Path::kState && option.keptByReset) continue;
            TFruityPlug* plug = create();
            model::Articulations& a = impl(plug).records().articulations;
            for (int i = 0; i < model::kArticulationCount; ++i) {
                a.note[i] = 24 + i;
                a.name[i] = "Articulation " + std::to_string(i);
            }
            a.modc[63] = 7;  // one CC articulation, or a restore drops the CC timing fix as idle
            if (option.field == &model::InstanceOptions::articbanks) {
                // On, and a note of the third bank played, so that switching them off has a bank to leave.
                impl(plug).records().options.articbanks = 1;
                plug->Voice_Release(testing_support::play(plug, host, 9, {60, 2, 1.0f, 0.3f}));
            }
            const bool from = model::optionTicked(option, impl(plug).records().options, processWide().singleEditor);
            for (const bool ticked : {!from, from}) {
                set(plug, option, ticked, path);
                std::vector<std::string> now = seen(plug);
                std::vector<std::string>& first = expected[ticked == from];
                if (path == Path::kEditor) first = now;
                else EXPECT_EQ(now, first) << option.apiKey << (ticked ? " on" : " off") << " by path " << int(path);
            }
            destroy(plug);
        }
    }
}

}  // namespace
