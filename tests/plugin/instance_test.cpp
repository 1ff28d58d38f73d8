// The instance through its entry slots: construction and tear-down, host messages, dropped
// files, the registry with mute, solo and the single editor.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "platform/settings_store.h"
#include "plugin/process_wide.h"
#include "support/plugin_fixture.h"

namespace {

using testing_support::PluginTest;
using Codes = std::vector<intptr_t>;

Codes codesOf(const std::vector<hostkit::DispatchCall>& calls) {
    Codes out;
    for (const auto& c : calls) out.push_back(c.code);
    return out;
}

TEST_F(PluginTest, OnlyTheFirstInstanceRunsTheProcessStartUp) {
    TFruityPlug* first = create();
    EXPECT_EQ(codesOf(host.dispatches), (Codes{29, 46, 23, 13}));
    EXPECT_EQ(host.dispatches[2].value, 0x555599);
    EXPECT_EQ(host.dispatches[3].value, 2);
    host.clear();
    TFruityPlug* second = create();
    EXPECT_EQ(codesOf(host.dispatches), (Codes{29, 23, 13}));
    EXPECT_EQ(host.dispatches[0].sender, second->HostTag);
    EXPECT_EQ(processWide().hostMainWindow, host.mainWindow);
    destroy(first);
    EXPECT_NE(processWide().engineTables, nullptr);
    destroy(second);
    EXPECT_EQ(processWide().engineTables, nullptr);
}

// A host that throws while the instance is half made: the factory answers null, and the process
// is left as if the instance had never been tried.
TEST_F(PluginTest, AnInstanceThatFailsHalfWayLeavesNoTraceInTheProcess) {
    bool refuse = true;
    host.onDispatch = [&](const hostkit::DispatchCall& call) -> intptr_t {
        if (call.code == 23 && refuse) throw std::runtime_error("no colour today");
        if (call.code == 29) return reinterpret_cast<intptr_t>(host.programPath.c_str());
        return call.code == 46 ? host.mainWindow : 0;
    };
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(processWide().registry.size(), 0u);
    EXPECT_EQ(processWide().liveCount, 0);
    EXPECT_EQ(processWide().engineTables, nullptr);

    refuse = false;
    TFruityPlug* survivor = create();
    refuse = true;
    EXPECT_EQ(create(), nullptr);  // beside a live instance: it keeps the process as it was
    EXPECT_EQ(processWide().registry.size(), 1u);
    EXPECT_EQ(processWide().liveCount, 1);
    EXPECT_NE(processWide().engineTables, nullptr);
    destroy(survivor);

    refuse = false;
    host.clear();
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(codesOf(host.dispatches), (Codes{29, 46, 23, 13}));
    EXPECT_EQ(processWide().registry.size(), 1u);
}

TEST_F(PluginTest, StoredUiScaleResizesTheEditorOnlyForHostVersion12AndUp) {
    settings.setString(platform::kVoxtraneKey, "UI Scale", "1.500000");
    create();
    EXPECT_EQ(codesOf(host.dispatches), (Codes{29, 46, 2, 23, 13}));
    host.clear();
    host.HostVersion = 11999999;
    create();
    EXPECT_EQ(codesOf(host.dispatches), (Codes{29, 23, 13}));
}

TEST_F(PluginTest, HostMessagesAnswerAsTheyShould) {
    host.programPath = std::string(400, 'x');
    TFruityPlug* plug = create();
    EXPECT_EQ(std::strlen(static_cast<KRYLVSTExprPlug*>(plug)->ProgPath), 259u);
    EXPECT_EQ(plug->Dispatcher(7, 0, 0), 0);
    impl(plug).records().options.articbanks = 1;
    EXPECT_EQ(plug->Dispatcher(7, 0, 0), 2);
    EXPECT_EQ(plug->Dispatcher(-1, 0, 0), 0);

    float tick = 441.5f;
    uint32_t bits;
    std::memcpy(&bits, &tick, 4);
    plug->Dispatcher(20, 0, static_cast<intptr_t>(bits) | (intptr_t{0x7F} << 40));  // high bits are not ours
    EXPECT_EQ(impl(plug).session().tickLength, 441.5f);
    plug->Dispatcher(12, 0, 1);
    EXPECT_TRUE(impl(plug).session().playing);
    plug->Dispatcher(12, 0, 0);
    EXPECT_FALSE(impl(plug).session().playing);
}

TEST_F(PluginTest, DroppedFilesAreRecognisedByExtensionAndNamedAfterTheirTitle) {
    TFruityPlug* plug = create();
    const struct {
        const char* path;
        const char* name;  // null: ignored
    } cases[] = {
        {"C:\\Libraries\\Spitfire.Strings\\Strings.krylvox", "Strings"}, {"C:\\x\\Violins 1.NKI", "Violins 1"},
        {"D:\\banks\\legato.TxT", "legato"}, {"archive.tar.krylvox", "archive.tar"}, {"C:\\x\\sample.wav", nullptr},
        {"C:\\dotted.folder\\noextension", nullptr}, {"", nullptr}, {nullptr, nullptr},
#ifndef _WIN32
        {"/home/composer/My.Banks/Brass.krylvox", "Brass"},
#endif
    };
    for (const auto& c : cases) {  // the imports themselves are covered with the importers
        host.clear();
        plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(c.path));
        EXPECT_EQ(host.dispatches.empty() ? "" : host.dispatches[0].text, c.name ? c.name : "")
            << (c.path ? c.path : "(null)");
    }
}

TEST_F(PluginTest, TheRegistryKeepsCreationOrderAndANewInstanceCountsTheLiveOnes) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    TFruityPlug* c = create();
    destroy(b);
    const auto& list = processWide().registry.instances();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], &impl(a));
    EXPECT_EQ(list[1], &impl(c));
    TFruityPlug* d = create();  // the third live one: channel 2
    host.clear();
    d->ProcessEvent(2, 64, 0);
    EXPECT_EQ(host.midiDescribed(), std::vector<std::string>{"port 0 ch 2 cc 10 64"});
    EXPECT_EQ(host.midi.at(0).sender, d->HostTag);
}

TEST_F(PluginTest, MuteAndSoloToggleWithStatusTextsAndSilenceTheOutput) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    // Which instances are heard, as sender tags.
    auto heard = [&] {
        host.clear();
        a->ProcessEvent(2, 5, 0);
        b->ProcessEvent(2, 5, 0);
        std::vector<TPluginTag> out;
        for (const auto& m : host.midi) out.push_back(m.sender);
        return out;
    };
    auto click = [&](TFruityPlug* plug, bool ctrl) {
        impl(plug).muteClicked(ctrl);
        return host.dispatches.back().text;
    };
    EXPECT_EQ(click(a, false), "Port 0, Channel 1 muted");
    EXPECT_EQ(heard(), std::vector<TPluginTag>{b->HostTag});
    EXPECT_EQ(click(a, false), "Port 0, Channel 1 unmuted");
    // Solo: everyone else muted, even when this one was muted itself.
    click(b, false);
    EXPECT_EQ(click(b, true), "Port 0, Channel 2 is now solo");
    EXPECT_EQ(heard(), std::vector<TPluginTag>{b->HostTag});
    EXPECT_EQ(click(b, true), "All ports/channels unmuted");

    a->Dispatcher(12, 0, 1);  // while the transport plays the button does nothing
    host.clear();
    impl(a).muteClicked(false);
    EXPECT_TRUE(host.dispatches.empty());

    // Mutes do not outlive the last instance.
    a->Dispatcher(12, 0, 0);
    impl(a).muteClicked(false);
    destroy(a);
    destroy(b);
    a = create();
    b = create();
    EXPECT_EQ(heard().size(), 2u);
}

TEST_F(PluginTest, SingleEditorHidesTheOthersAndHandsOverTheTab) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    TFruityPlug* c = create();
    a->Dispatcher(0, 0, 0x1000);
    c->Dispatcher(0, 0, 0x3000);  // a still open: the host is asked to hide it
    ASSERT_EQ(host.dispatchesWithCode(53).size(), 1u);
    EXPECT_EQ(host.dispatchesWithCode(53)[0].sender, a->HostTag);
    impl(c).records().options.page = 2;
    c->Dispatcher(0, 0, 0);
    EXPECT_FALSE(impl(c).editorVisible());
    host.clear();
    b->Dispatcher(0, 0, 0x2000);
    EXPECT_EQ(impl(b).records().options.page, 2);
    ASSERT_EQ(host.dispatchesWithCode(53).size(), 1u);  // a is still marked visible
    EXPECT_EQ(host.dispatchesWithCode(53)[0].sender, a->HostTag);

    // Without the option, or on hosts before 12, editors stay open and keep their tab.
    host.clear();
    processWide().singleEditor = 0;
    impl(c).records().options.page = 0;
    c->Dispatcher(0, 0, 0x3000);
    EXPECT_EQ(impl(c).records().options.page, 0);
    processWide().singleEditor = 1;
    host.HostVersion = 11000000;
    create()->Dispatcher(0, 0, 0x4000);
    EXPECT_TRUE(host.dispatchesWithCode(53).empty());
}

}  // namespace
