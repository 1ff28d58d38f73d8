// The instance through its entry slots: construction and tear-down, host messages, dropped
// files, the registry with mute, solo and the single editor.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/settings_store.h"
#include "plugin/process_wide.h"
#include "support/fake_settings.h"
#include "support/plugin_fixture.h"

namespace {

using testing_support::PluginTest;
using Codes = std::vector<intptr_t>;
using Strings = std::vector<std::string>;

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
    EXPECT_EQ(processWide().liveCount, 2);
    EXPECT_EQ(processWide().hostMainWindow, host.mainWindow);
    destroy(first);
    EXPECT_NE(processWide().engineTables, nullptr);
    destroy(second);
    EXPECT_EQ(processWide().liveCount, 0);
    EXPECT_EQ(processWide().engineTables, nullptr);
    EXPECT_EQ(processWide().registry.size(), 0u);
}

TEST_F(PluginTest, StoredUiScaleResizesTheEditorOnlyForHostVersion12AndUp) {
    testing_support::FakeSettings settings;
    settings.setString(platform::kVoxtraneKey, "UI Scale", "1.500000");
    create();
    EXPECT_EQ(codesOf(host.dispatches), (Codes{29, 46, 2, 23, 13}));
    host.clear();
    host.HostVersion = 11999999;
    create();
    EXPECT_EQ(codesOf(host.dispatches), (Codes{29, 23, 13}));
}

TEST_F(PluginTest, TheProgramPathTextIsCopiedAtMost260Bytes) {
    host.programPath = std::string(400, 'x');
    TFruityPlug* plug = create();
    EXPECT_EQ(std::strlen(static_cast<KRYLVSTExprPlug*>(plug)->ProgPath), 259u);
}

TEST_F(PluginTest, HostMessagesAnswerAsTheyShould) {
    TFruityPlug* plug = create();
    EXPECT_EQ(plug->Dispatcher(7, 0, 0), 0);
    impl(plug).records().options.articbanks = 1;
    EXPECT_EQ(plug->Dispatcher(7, 0, 0), 2);
    EXPECT_EQ(plug->Dispatcher(21, 0, 0), 0);
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
    struct Case {
        const char* path;
        const char* name;  // null: ignored
    } cases[] = {
        {"C:\\Libraries\\Spitfire.Strings\\Strings.krylvox", "Strings"},
        {"C:\\x\\Violins 1.NKI", "Violins 1"},
        {"D:\\banks\\legato.TxT", "legato"},
        {"archive.tar.krylvox", "archive.tar"},
        {"C:\\x\\sample.wav", nullptr},
        {"C:\\dotted.folder\\noextension", nullptr},
        {"", nullptr},
        {nullptr, nullptr},
#ifndef _WIN32
        {"/home/composer/My.Banks/Brass.krylvox", "Brass"},
#endif
    };
    for (const Case& c : cases) {
        host.clear();
        plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(c.path));
        const std::string label = c.path ? c.path : "(null)";
        if (!c.name) {
            EXPECT_TRUE(host.dispatches.empty()) << label;
            continue;
        }
        // The imports themselves (and their messages) are covered with the importers.
        ASSERT_GE(host.dispatches.size(), 2u) << label;
        EXPECT_EQ(host.dispatches.back().code, 48) << label;
        EXPECT_EQ(host.dispatches[0].text, c.name) << label;
    }
}

TEST_F(PluginTest, ChannelEventsGoOutOnTheInstancesOwnPortAndChannel) {
    create();
    TFruityPlug* second = create();
    host.clear();
    second->ProcessEvent(2, 64, 0);
    second->ProcessEvent(3, 100, 0);
    second->ProcessEvent(4, -1200, 0);
    EXPECT_EQ(host.midiDescribed(),
              (Strings{"port 0 ch 1 cc 10 64", "port 0 ch 1 cc 7 100", "port 0 ch 1 bend 0"}));
    for (const auto& m : host.midi) EXPECT_EQ(m.sender, second->HostTag);
}

TEST_F(PluginTest, TheRegistryKeepsCreationOrderAcrossRemovals) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    TFruityPlug* c = create();
    destroy(b);
    const auto& list = processWide().registry.instances();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], &impl(a));
    EXPECT_EQ(list[1], &impl(c));
    // A new instance counts the live ones: it is the third, channel 2.
    TFruityPlug* d = create();
    host.clear();
    d->ProcessEvent(2, 1, 0);
    EXPECT_EQ(host.midi.at(0).channel(), 2);
}

TEST_F(PluginTest, MuteAndSoloToggleWithStatusTextsAndSilenceTheOutput) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    host.clear();
    impl(a).muteClicked(false);
    EXPECT_EQ(host.dispatches.back().text, "Port 0, Channel 1 muted");
    a->ProcessEvent(2, 5, 0);
    b->ProcessEvent(2, 5, 0);
    ASSERT_EQ(host.midi.size(), 1u);
    EXPECT_EQ(host.midi[0].sender, b->HostTag);
    impl(a).muteClicked(false);
    EXPECT_EQ(host.dispatches.back().text, "Port 0, Channel 1 unmuted");

    // Solo: everyone else muted, even when this one was muted itself.
    impl(b).muteClicked(false);
    impl(b).muteClicked(true);
    EXPECT_EQ(host.dispatches.back().text, "Port 0, Channel 2 is now solo");
    host.clear();
    a->ProcessEvent(2, 5, 0);
    b->ProcessEvent(2, 5, 0);
    ASSERT_EQ(host.midi.size(), 1u);
    EXPECT_EQ(host.midi[0].sender, b->HostTag);
    impl(b).muteClicked(true);
    EXPECT_EQ(host.dispatches.back().text, "All ports/channels unmuted");

    // While the transport plays the button does nothing.
    a->Dispatcher(12, 0, 1);
    host.clear();
    impl(a).muteClicked(false);
    EXPECT_TRUE(host.dispatches.empty());
}

TEST_F(PluginTest, MuteStateDoesNotOutliveTheLastInstance) {
    TFruityPlug* a = create();
    impl(a).muteClicked(false);
    destroy(a);
    TFruityPlug* b = create();
    host.clear();
    b->ProcessEvent(2, 5, 0);
    EXPECT_EQ(host.midi.size(), 1u);
}

TEST_F(PluginTest, SingleEditorHidesTheOthersAndHandsOverTheTab) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    TFruityPlug* c = create();
    a->Dispatcher(0, 0, 0x1000);
    c->Dispatcher(0, 0, 0x3000);  // a still open: the host is asked to hide it
    EXPECT_EQ(host.dispatchesWithCode(53).size(), 1u);
    EXPECT_EQ(host.dispatchesWithCode(53).at(0).sender, a->HostTag);
    impl(c).records().options.page = 2;
    c->Dispatcher(0, 0, 0);
    EXPECT_FALSE(impl(c).editorVisible());
    host.clear();
    b->Dispatcher(0, 0, 0x2000);
    EXPECT_EQ(impl(b).records().options.page, 2);
    ASSERT_EQ(host.dispatchesWithCode(53).size(), 1u);  // a is still marked visible
    EXPECT_EQ(host.dispatchesWithCode(53).at(0).sender, a->HostTag);
}

TEST_F(PluginTest, WithoutSingleEditorOrOnOldHostsEditorsStayOpen) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    processWide().singleEditor = 0;
    a->Dispatcher(0, 0, 0x1000);
    impl(b).records().options.page = 0;
    b->Dispatcher(0, 0, 0x2000);
    EXPECT_TRUE(host.dispatchesWithCode(53).empty());
    EXPECT_EQ(impl(b).records().options.page, 0);

    processWide().singleEditor = 1;
    host.HostVersion = 11000000;
    TFruityPlug* c = create();
    c->Dispatcher(0, 0, 0x3000);
    EXPECT_TRUE(host.dispatchesWithCode(53).empty());
}

}  // namespace
