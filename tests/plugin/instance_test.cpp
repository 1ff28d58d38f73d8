// The instance through its entry slots: life cycle, host messages, dropped files, mute, solo, editors.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "platform/settings_store.h"
#include "plugin/process_wide.h"
#include "support/plugin_fixture.h"

namespace {

using testing_support::PluginTest;
using Codes = std::vector<intptr_t>;

// Only the first live instance runs the start-up and only the last one the tear-down; an
// instance whose host throws while it is half made leaves the process as if never tried.
TEST_F(PluginTest, ProcessStartUpTearDownAndInstancesThatFailHalfWay) {
    bool refuse = false;
    host.onDispatch = [&](const hostkit::DispatchCall& call) -> intptr_t {
        if (call.code == 23 && refuse) throw std::runtime_error("no colour today");
        if (call.code == 29) return reinterpret_cast<intptr_t>(host.programPath.c_str());
        return call.code == 46 ? host.mainWindow : 0;
    };
    auto requests = [&] {
        Codes codes;
        for (const auto& d : host.dispatches) codes.push_back(d.code);
        host.clear();
        return codes;
    };
    TFruityPlug* first = create();
    EXPECT_EQ(host.dispatchesWithCode(23).at(0).value, 0x555599);
    EXPECT_EQ(host.dispatchesWithCode(13).at(0).value, 2);
    EXPECT_EQ(requests(), (Codes{29, 46, 23, 13}));
    TFruityPlug* second = create();
    EXPECT_EQ(host.dispatches.at(0).sender, second->HostTag);
    EXPECT_EQ(requests(), (Codes{29, 23, 13}));
    refuse = true;
    EXPECT_EQ(create(), nullptr);  // beside live instances
    EXPECT_EQ(processWide().registry.size(), 2u);
    EXPECT_EQ(processWide().liveCount, 2);
    destroy(first);
    EXPECT_NE(processWide().engineTables, nullptr);
    destroy(second);
    EXPECT_EQ(processWide().engineTables, nullptr);
    EXPECT_EQ(create(), nullptr);  // alone
    EXPECT_EQ(processWide().registry.size(), 0u);
    EXPECT_EQ(processWide().liveCount, 0);
    EXPECT_EQ(processWide().engineTables, nullptr);
    refuse = false;
    host.clear();
    settings.setString(platform::kVoxtraneKey, "UI Scale", "1.500000");  // resizes from version 12 on
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(requests(), (Codes{29, 46, 2, 23, 13}));
    host.HostVersion = 11999999;
    create();
    EXPECT_EQ(requests(), (Codes{29, 23, 13}));
}

TEST_F(PluginTest, HostMessagesAnswerAsTheyShould) {
    host.programPath = std::string(400, 'x');
    TFruityPlug* plug = create();
    EXPECT_EQ(std::strlen(static_cast<KRYLVSTExprPlug*>(plug)->ProgPath), 259u);

    float tick = 441.5f;
    uint32_t bits;
    std::memcpy(&bits, &tick, 4);
    plug->Dispatcher(20, 0, static_cast<intptr_t>(bits) | (intptr_t{0x7F} << 40));  // high bits are not ours
    EXPECT_EQ(impl(plug).session().tickLength, 441.5f);
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
    for (const auto& c : cases) {
        host.clear();
        plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(c.path));
        EXPECT_EQ(host.dispatches.empty() ? "" : host.dispatches[0].text, c.name ? c.name : "")
            << (c.path ? c.path : "(null)");
    }
}

TEST_F(PluginTest, MuteAndSoloToggleWithStatusTextsAndSilenceTheOutput) {
    TFruityPlug* a = create();
    destroy(create());
    TFruityPlug* b = create();  // the second live one: channel 1, after the first in the registry
    EXPECT_EQ(processWide().registry.instances(), (std::vector<InstanceCore*>{&impl(a), &impl(b)}));
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
    click(b, false);  // solo unmutes this one and mutes the rest
    EXPECT_EQ(click(b, true), "Port 0, Channel 2 is now solo");
    EXPECT_EQ(heard(), std::vector<TPluginTag>{b->HostTag});
    EXPECT_EQ(click(b, true), "All ports/channels unmuted");

    a->Dispatcher(12, 0, 1);  // while the transport plays the button does nothing
    EXPECT_EQ(click(a, false), "All ports/channels unmuted");
    a->Dispatcher(12, 0, 0);
    EXPECT_EQ(click(a, false), "Port 0, Channel 1 muted");  // a mute that must not outlive the last instance
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

    host.clear();
    host.HostVersion = 11000000;  // before version 12, editors stay open
    create()->Dispatcher(0, 0, 0x4000);
    EXPECT_TRUE(host.dispatchesWithCode(53).empty());
}

}  // namespace
