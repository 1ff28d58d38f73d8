// The HTTP API over in-memory sockets, with instances made by the factory: when the server
// runs, the documents byte for byte (data/), every command with its clamps, the articulation
// PUT, static files and the log lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>

#include "http/http_api.h"
#include "model/defaults.h"
#include "model/json_text.h"
#include "plugin/process_wide.h"
#include "editor/layout.h"
#include "hostkit/memory_stream.h"
#include "support/fake_clock.h"
#include "support/fake_editor_platform.h"
#include "support/fake_menu.h"
#include "support/notes.h"
#include "support/fake_sockets.h"
#include "support/plugin_fixture.h"
#include "support/temp_folder.h"

namespace {

constexpr const char* kKey = "Software\\KRYL\\KRYL Voxtrane";

std::string dataFile(const std::string& name) {
    return testing_support::TempFolder::bytesOf(VOXTRANE_TESTS_DIR "/http/data/" + name);
}
// Puts `value` where "@FIELD@" stands in `text`.
std::string fill(std::string text, const std::string& field, uint32_t value) {
    return text.replace(text.find("@" + field + "@"), field.size() + 2, std::to_string(value));
}

class HttpApiTest : public testing_support::PluginTest {
protected:
    HttpApiTest() { settings.setDword(kKey, "HTTP API", 1); }

    // Sends `raw` and polls through the instances' periodic calls until the answer is complete.
    std::string request(const std::string& raw) {
        const size_t client = sockets.connect(raw);
        for (int i = 0; i < 50 && !sockets.clients[client].closedByServer; ++i)
            for (TFruityPlug* plug : live) plug->Idle_Public();
        return sockets.clients[client].output;
    }
    std::string get(const std::string& path) { return request("GET " + path + " HTTP/1.1\r\n\r\n"); }
    // The body of a JSON answer; fails the test when the head is not the API's.
    std::string getJson(const std::string& path) {
        const std::string answer = get(path), head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n";
        EXPECT_EQ(answer.substr(0, head.size()), head) << path;
        return answer.substr(std::min(head.size(), answer.size()));
    }
    std::string put(const std::string& path, const std::string& body) {
        return request("PUT " + path + " HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                       body);
    }

    static uint32_t idOf(TFruityPlug* plug) { return impl(plug).instanceId(); }
    static std::string path(TFruityPlug* plug, const std::string& rest) {
        return "/api/" + std::to_string(idOf(plug)) + rest;
    }
    static model::InstanceRecords& records(TFruityPlug* plug) { return impl(plug).records(); }
    size_t stateChanges() const { return host.dispatchesWithCode(fruity::kReqStateChanged).size(); }

    // The document listing new instances that differ only in port, channel and tab.
    struct Listed {
        TFruityPlug* plug;
        uint32_t channel, port = 0, tab = 1;
    };
    static std::string document(const std::vector<Listed>& instances) {
        static const std::string file = dataFile("instance.json");
        const std::string instance = file.substr(0, file.find_last_not_of('\n') + 1);
        std::string s = "{\n\t\"instances\":\n\t[\n";
        for (const Listed& l : instances) {
            const std::string text = fill(fill(instance, "ID", idOf(l.plug)), "PORT", l.port);
            s += (&l == instances.data() ? "" : ",\n") + fill(fill(text, "CHANNEL", l.channel), "TAB", l.tab);
        }
        return s + "\n\t]\n}\n";
    }

    testing_support::FakeSockets sockets;
    testing_support::FakeClock clock;
};

// The first instance starts the server and the last one stops it; the switch stores the flag
// and acts at once; a start that fails leaves nothing behind.
TEST_F(HttpApiTest, TheServerRunsWhileAnInstanceWantsIt) {
    settings.setString(kKey, "HTTP Port", "9123");
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    EXPECT_EQ(sockets.lastPort, "9123");
    destroy(a);
    EXPECT_EQ(getJson("/api"), document({{b, 1}}));

    impl(b).setHttpApiEnabled(false);
    EXPECT_EQ((settings.dwords[{kKey, "HTTP API"}]), 0u);
    EXPECT_EQ(sockets.openCount(), 0u);
    impl(b).setHttpApiEnabled(true);
    EXPECT_NE(get("/api"), "");
    destroy(b);
    EXPECT_FALSE(http::HttpApi_Running());
    EXPECT_EQ(sockets.openCount(), 0u);

    sockets.failListen = true;
    create()->Idle_Public();
    EXPECT_FALSE(http::HttpApi_Running());
    EXPECT_EQ(sockets.openCount(), 0u);
}

// The monitor: while the server runs, each message of every instance, in one numbering, with
// the rule that sent it; a later request gets only what came after. Nothing is kept while the
// server is off.
TEST_F(HttpApiTest, MonitorSaysWhatEachInstanceSentAndWhy) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    for (TFruityPlug* plug : {a, b}) {
        records(plug).articulations.note[0] = 24;
        records(plug).articulations.note[1] = 25;
    }
    records(b).options.port = 1;
    records(b).options.channel = 0;
    impl(a).setHttpApiEnabled(false);
    testing_support::play(a, host, 1, {60, 0});
    impl(a).setHttpApiEnabled(true);
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n";
    EXPECT_EQ(get("/monitor/0"), head + "{\"sent\": [\n]}\n");
    testing_support::play(a, host, 2, {62, 1});
    testing_support::play(b, host, 3, {64, 0});
    const std::string sent = get("/monitor/0");
    const auto line = [](uint64_t n, uint32_t id, int port, int status, int d1, int d2, const char* why, int art, int key,
                         int from) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "{\"n\": %llu, \"id\": %u, \"tick\": 0, \"port\": %i, \"status\": %i, \"data1\": %i, "
                      "\"data2\": %i, \"why\": \"%s\", \"articulation\": %i, \"key\": %i, \"from\": %i}",
                      static_cast<unsigned long long>(n), id, port, status, d1, d2, why, art, key, from);
        return std::string(text);
    };
    EXPECT_EQ(sent, head + "{\"sent\": [\n" + line(1, idOf(a), 0, 0x90, 25, 127, "keyswitch changed", 1, 62, 24) + ",\n" +
                        line(2, idOf(a), 0, 0x80, 25, 0, "keyswitch released", 1, 62, -1) + ",\n" +
                        line(3, idOf(a), 0, 0x90, 62, 100, "note", -1, 62, -1) + ",\n" +
                        line(4, idOf(b), 1, 0x90, 24, 127, "keyswitch changed", 0, 64, 255) + ",\n" +
                        line(5, idOf(b), 1, 0x80, 24, 0, "keyswitch released", 0, 64, -1) + ",\n" +
                        line(6, idOf(b), 1, 0x90, 64, 100, "note", -1, 64, -1) + "\n]}\n");
    EXPECT_EQ(get("/monitor/5"), head + "{\"sent\": [\n" + line(6, idOf(b), 1, 0x90, 64, 100, "note", -1, 64, -1) + "\n]}\n");
}

TEST_F(HttpApiTest, TheDocumentShowsEveryFieldWithJsonEscapes) {
    TFruityPlug* plug = create();
    plug->ProcessEvent(engine::kEventVolume, 100, 0);
    plug->ProcessEvent(engine::kEventPan, 200, 0);
    plug->ProcessEvent(engine::kEventPitch, -300, 0);
    model::InstanceRecords& r = records(plug);
    model::Articulations& a = r.articulations;
    a.name[1] = "Say \"hi\"\\\t\x01";
    a.note[1] = 24;
    r.controllers.name[7] = "Mod/Wheel";
    r.controllers.cc[7] = 1;
    r.options.midixtend = r.options.paramknob = r.options.minimised = 1;
    a.keynamesmissing[0] = 1;
    a.keynamestitle[0] = "My \"Keys\"";
    a.keynames[2] = std::make_unique<model::KeyNameList>();
    a.keynames[2]->set(0, "Low");
    a.keynames[2]->set(131, "Top \\");
    a.keynames[5] = std::make_unique<model::KeyNameList>();  // present but empty
    EXPECT_EQ(getJson("/api"), fill(dataFile("every_field.json"), "ID", idOf(plug)));
}

TEST_F(HttpApiTest, ListsEveryInstanceAndSendsCommandsToAllWithIdZero) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    TFruityPlug* c = create();
    const std::string all = document({{a, 0}, {b, 1}, {c, 2}});
    EXPECT_EQ(getJson("/api"), all);
    EXPECT_EQ(getJson("/api/"), all);
    EXPECT_EQ(getJson("/api/0/nosuchcommand=1"), all);
    // Only one instance's "json" gives its articulation array (the bank-export text).
    EXPECT_EQ(getJson("/api/0/json"), all);
    EXPECT_EQ(getJson(path(a, "/json")), "[\n]\n");

    // One instance by id: only it is listed and changed, and the change shows in the answer.
    EXPECT_EQ(getJson(path(b, "/tab=2")), document({{b, 1, 0, 2}}));
    EXPECT_EQ(records(a).options.page, 1);
    // Ids in hexadecimal are read as such; an unknown id lists nothing.
    char hex[32];
    std::snprintf(hex, sizeof hex, "/api/0x%x", idOf(c));
    EXPECT_EQ(getJson(hex), document({{c, 2}}));
    EXPECT_EQ(getJson("/api/" + std::to_string(idOf(a) ^ idOf(b) ^ idOf(c) ^ 0x5A5A5A5Au)), document({}));
    EXPECT_EQ(getJson("/api/0/port=3"), document({{a, 0, 3}, {b, 1, 3, 2}, {c, 2, 3}}));
}

// Another site's page gets a short 403 and changes nothing, whatever it asks; the plugin's own
// page, reached by the machine's name, is served as any client.
TEST_F(HttpApiTest, RefusesOtherSitesBeforeAnyCommandOrFile) {
    TFruityPlug* plug = create();
    const std::string refusal = "HTTP/1.1 403 Forbidden\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
    const std::string origin = "Host: 127.0.0.1:8000\r\nOrigin: http://evil.example\r\n";
    for (const std::string& raw :
         {"GET " + path(plug, "/port=9") + " HTTP/1.1\r\nSec-Fetch-Site: cross-site\r\n\r\n",
          "PUT " + path(plug, "/json") + " HTTP/1.1\r\n" + origin + "Content-Length: 2\r\n\r\n[]",
          std::string("GET /index.html HTTP/1.1\r\nHost: evil.example:8000\r\n\r\n")}) {
        const std::string answer = request(raw);
        EXPECT_EQ(answer.substr(0, refusal.size()), refusal) << raw;
        EXPECT_LT(answer.size(), refusal.size() + 80) << raw;
    }
    EXPECT_EQ(records(plug).options.port, 0);
    EXPECT_EQ(stateChanges(), 0u);

    const std::string own = platform::machineName() + ".local:8000";
    const std::string answer = request("GET " + path(plug, "/port=9") + " HTTP/1.1\r\nHost: " + own +
                                       "\r\nOrigin: http://" + own + "\r\nSec-Fetch-Site: same-origin\r\n\r\n");
    EXPECT_EQ(answer.substr(0, 15), "HTTP/1.1 200 OK");
    EXPECT_EQ(records(plug).options.port, 9);
}

TEST_F(HttpApiTest, CommandsClampTheirValuesAndChangeOnlyWhatTheyName) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = records(plug);
    const model::InstanceOptions& o = r.options;
    const int32_t* start = &r.controllerstart;
    const struct {
        const char* command;
        int32_t expected;
        const int32_t* field;
    } cases[] = {
        {"port=300", 255, &o.port},      {"port=-1", 255, &o.port},          {"channel=256", 256, &o.channel},
        {"channel=100", 63, &o.channel}, {"channel=-2", 63, &o.channel},     {"tab=5", 2, &o.page},
        {"tab=0", 0, &o.page},           {"editing=64", 63, &o.editing},     {"bankstart=99", 63, &o.startart},
        {"controllerstart=-5", 0, start}, {"controllerstart=200", 95, start}, {"port=abc", 0, &o.port},
        {"port=17", 17, &o.port},        {"port", 17, &o.port},  {"port=", 17, &o.port},  // no value, no change
    };
    const size_t before = stateChanges();
    for (const auto& c : cases) {
        get(path(plug, "/") + c.command);
        EXPECT_EQ(*c.field, c.expected) << c.command;
    }

    // Only "true" is true; articulation and controller numbers out of range change nothing.
    r.options.paramknob = 1;
    for (const char* command :
         {"options/parameterccs=true", "options/midiextend=true", "options/articbanks=true", "options/cc64release=yes",
          "options/showsingle=false", "options/nosuchoption=true", "articulations/3/name=Legato%20Hi",
          "articulations/3/note=36", "articulations/3/modc=-3", "articulations/3/colour=4", "articulations/64/name=x",
          "articulations/-1/name=x", "articulations/4=1", "controllers/95/cc=7", "controllers/95/name=Air",
          "controllers/96/cc=1"})
        get(path(plug, "/") + command);
    EXPECT_EQ((std::vector<int>{r.options.paramknob, r.options.midixtend, r.options.articbanks, r.options.cc64release,
                                processWide().singleEditor}),
              (std::vector<int>{0, 1, 1, 0, 0}));
    EXPECT_NE(getJson("/api").find("\"parameterccs\": true,"), std::string::npos);
    EXPECT_EQ(r.articulations.name[3], "Legato Hi");
    EXPECT_EQ((std::vector<int>{r.articulations.note[3], r.articulations.modc[3]}), (std::vector<int>{36, -3}));
    for (int i = 0; i < model::kArticulationCount; ++i)
        EXPECT_EQ(model::isArticulationEmpty(r.articulations, i), i != 3) << i;
    EXPECT_EQ(r.controllers.name[95], "Air");
    EXPECT_EQ((std::vector<int>{r.controllers.cc[94], r.controllers.cc[95]}), (std::vector<int>{255, 7}));
    EXPECT_EQ(stateChanges(), before);  // only "json" tells the host
}

TEST_F(HttpApiTest, ClientsInOnePollShareTheDocumentUntilACommandChangesIt) {
    TFruityPlug* plug = create();
    // Connected together, answered in the same pass, newest first.
    const size_t last = sockets.connect("GET /api HTTP/1.1\r\n\r\n");
    const size_t command = sockets.connect("GET /api/0/port=3 HTTP/1.1\r\n\r\n");
    const size_t first = sockets.connect("GET /api HTTP/1.1\r\n\r\n");
    for (int i = 0; i < 50 && !sockets.clients[last].closedByServer; ++i) plug->Idle_Public();
    EXPECT_NE(sockets.clients[first].output, sockets.clients[command].output);
    EXPECT_EQ(sockets.clients[last].output, sockets.clients[command].output);
}

// A PUT builds the new bank aside: a body the API refuses leaves the bank as it was, never
// emptied, and one it takes replaces every slot, the ones beyond it reset.
TEST_F(HttpApiTest, APutReplacesTheWholeBankInOneStepOrLeavesIt) {
    TFruityPlug* plug = create();
    model::Articulations& a = records(plug).articulations;
    a.name[0] = "Old";
    a.note[0] = 30;
    a.name[10] = "Old too";
    a.keynames[10] = std::make_unique<model::KeyNameList>();
    const size_t before = stateChanges();
    std::string tooMany = "[{}";
    for (int i = 0; i < 64; ++i) tooMany += ",{}";
    for (const std::string& refused : {std::string("{\"name\": \"x\"}"), std::string("[{"), tooMany + "]"}) {
        put(path(plug, "/json"), refused);
        EXPECT_EQ(a.name[0] + a.name[10] + std::to_string(a.note[0]), "OldOld too30") << refused;
    }
    EXPECT_EQ(stateChanges(), before + 3);  // the host hears of it all the same

    put(path(plug, "/json"), "[{\"name\": \"Legato\", \"uacc\": 42}, {\"note\": 31}]");
    EXPECT_EQ(a.name[0], "Legato");
    EXPECT_EQ((std::vector<int>{a.note[0], a.prog[0], a.note[1]}), (std::vector<int>{-1, 42, 31}));
    for (int i = 2; i < model::kArticulationCount; ++i) EXPECT_TRUE(model::isArticulationEmpty(a, i)) << i;
    EXPECT_EQ(stateChanges(), before + 4);

    // No body, or a GET with one: nothing happens.
    request("PUT " + path(plug, "/json") + " HTTP/1.1\r\n\r\n");
    request("GET /api/0/json HTTP/1.1\r\nContent-Length: 2\r\n\r\n[]");
    EXPECT_EQ(a.name[0], "Legato");
    EXPECT_EQ(stateChanges(), before + 4);
}

TEST_F(HttpApiTest, ServesFilesOfTheHtmlFolderAndRefusesTheRest) {
    testing_support::TempFolder folder;
    const std::string html = "Plugins/Fruity/Generators/KRYL Voxtrane/html/";
    std::string binary(3000, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
    const std::pair<std::string, std::string> files[] = {
        {"index.html", "<p>home</p>"}, {"sub/index.html", "<p>sub</p>"}, {"apix", "static"}, {"empty.txt", ""},
        {"../secret.txt", "secret"},   {"data.bin", binary},             {"a..b", "dots"}};
    for (const auto& [name, bytes] : files) folder.write(html + name, bytes);
    // The server serves from the folder it was started with.
    http::HttpApi_Start(instanceDirectory(), folder.path().string(), impl(create()).instanceId());

    const std::pair<std::string, std::string> served[] = {
        {"/", "<p>home</p>"}, {"/sub", "<p>sub</p>"}, {"\\sub\\index.html", "<p>sub</p>"}, {"/apix", "static"},
        {"/empty.txt", ""},   {"/data.bin", binary}, {"/a..b", "dots"}};
    for (const auto& [url, body] : served) EXPECT_EQ(get(url), "HTTP/1.1 200 OK\r\n\r\n" + body) << url;
    for (const std::string refused : {"/missing.html", "/../secret.txt", "/%2e%2e/secret.txt", "/..%5csecret.txt",
                                      "/sub\\..\\..\\secret.txt", "/sub/../index.html", "/CON", "/sub/nul.txt",
                                      "/C:/index.html"})
        EXPECT_EQ(get(refused), "HTTP/1.1 404 OK\r\n\r\n") << refused;
    EXPECT_EQ(get("/" + std::string(300, 'a')), "HTTP/1.1 404 OK\r\n\r\n");

    // Files already served are read again once they change, even to the same size, and a
    // deleted one is gone.
    folder.write(html + "apix", "STATIC");
    const auto written = std::filesystem::path(folder.path()) / (html + "apix");
    std::filesystem::last_write_time(written, std::filesystem::last_write_time(written) + std::chrono::seconds(5));
    EXPECT_EQ(get("/apix"), "HTTP/1.1 200 OK\r\n\r\nSTATIC");
    std::filesystem::remove(std::filesystem::path(folder.path()) / (html + "sub/index.html"));
    EXPECT_EQ(get("/sub"), "HTTP/1.1 404 OK\r\n\r\n");
}

// Lines go out through the instance that started the server (events) and the command's target.
TEST_F(HttpApiTest, LogLinesGoThroughLiveInstancesWithTheirDebugLogOn) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    auto prefix = [&](TFruityPlug* plug) {
        char text[64];
        std::snprintf(text, sizeof text, "KRYL Voxtrane [%p] : ", static_cast<void*>(&impl(plug)));
        return std::string(text);
    };
    impl(a).session().debugLog = true;
    get(path(b, "/port=4"));
    EXPECT_EQ(host.debugLines(),
              std::vector<std::string>{prefix(a) + "Server event SB_EV_REQUEST GET " + path(b, "/port=4")});
    // With the starting instance gone its lines are dropped; the target's still come.
    impl(b).session().debugLog = true;
    destroy(a);
    host.clear();
    get(path(b, "/port=5"));
    EXPECT_EQ(host.debugLines(), std::vector<std::string>{prefix(b) + "Server command port (null) (null) (5)"});
}

// The requests beyond /api: the moving values of every instance, page names and where key names
// come from; page names and key names change only by PUT or POST, as the editor changes them.
TEST_F(HttpApiTest, InstanceRequestsShowAndChangeWhatOnlyTheEditorShowed) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    records(b).articulations.note[3] = 24;
    testing_support::play(b, host, 1, {60, 3});
    b->ProcessEvent(engine::kEventVolume, 100, 0);
    b->ProcessEvent(engine::kEventPitch, -300, 0);
    for (TFruityPlug* plug : {a, b}) records(plug).controllers.value.fill(0);
    records(b).controllers.value[95] = 77;
    const auto values = [](int last) {
        std::string text;
        for (int c = 0; c < model::kControllerCount; ++c) text += (c ? ", " : "") + std::to_string(c == 95 ? last : 0);
        return text;
    };
    EXPECT_EQ(getJson("/live"), "{\n\t\"instances\":\n\t[\n\t\t{\"id\": " + std::to_string(idOf(a)) +
                                    ", \"playing\": 0, \"volume\": 0, \"pan\": 0, \"pitch\": 0, \"values\": [" + values(0) +
                                    "]},\n\t\t{\"id\": " + std::to_string(idOf(b)) +
                                    ", \"playing\": 3, \"volume\": 100, \"pan\": 0, \"pitch\": -300, \"values\": [" +
                                    values(77) + "]}\n\t]\n}\n");

    const std::string id = "/instance/" + std::to_string(idOf(b));
    const size_t changes = stateChanges();
    put(id + "/pages/2", "Dyn \"amics\"\r\nsecond line");
    EXPECT_EQ(records(b).pageNames[2], "Dyn \"amics\"");
    EXPECT_EQ(stateChanges(), changes + 1);
    std::string pages = "\"pages\": [";
    for (int p = 0; p < model::kControllerPageCount; ++p) pages += (p ? ", " : "") + std::string(p == 2 ? "\"Dyn \\\"amics\\\"\"" : "\"\"");
    const std::string head = "{\n\t\"id\": " + std::to_string(idOf(b)) + ",\n\t" + pages + "],\n\t\"keynames\":\n\t[\n\t\t{";
    EXPECT_EQ(getJson(id).substr(0, head.size()), head);
    put(id + "/pages/2", "");
    EXPECT_EQ(records(b).pageNames[2], "");
    put(id + "/pages/3", std::string(300, 'n'));
    EXPECT_EQ(records(b).pageNames[3].size(), 255u);
    records(b).pageNames[4] = "Kept";
    for (const std::string& refused : {"GET " + id + "/pages/4", "PUT " + id + "/pages/16", "PUT " + id + "/pages/4/x",
                                       "PUT " + id + "/keynames/64/clear", "PUT " + id + "/keynames/1/save",
                                       "PUT " + id + "/other", std::string("PUT /live")}) {
        const std::string answer = request(refused + " HTTP/1.1\r\nContent-Length: 1\r\n\r\nx");
        EXPECT_EQ(answer.substr(0, 24), "HTTP/1.1 400 Bad Request") << refused;
    }
    EXPECT_EQ(records(b).pageNames[4], "Kept");
    EXPECT_EQ(get("/instance/0").substr(0, 22), "HTTP/1.1 404 Not Found");

    // A sent text reads as the same file loaded from disk: 132 lines, long ones cut where fgets
    // cuts them, each to 64 bytes; the sent one has no path, and the host hears of both.
    std::string text = std::string(2000, 'L') + "\r\n\n";
    for (int i = 0; i < 140; ++i) text += "key " + std::to_string(i) + "\n";
    testing_support::TempFolder folder;
    const std::string file = folder.write("strings.legato.txt", text);
    impl(b).loadKeyNames(5, file.c_str());
    host.clear();
    const std::string loaded = put(id + "/keynames/4/load/My%20Keys.txt", text);
    EXPECT_EQ(host.dispatchesWithCode(fruity::kReqNamesChanged).size(), 1u);
    model::Articulations& names = records(b).articulations;
    ASSERT_TRUE(names.keynames[4]);
    EXPECT_EQ(*names.keynames[4], *names.keynames[5]);
    EXPECT_EQ((*names.keynames[4])[1], std::string(64, 'L'));
    EXPECT_NE(loaded.find("{\"list\": true, \"named\": 131, \"missing\": false, \"title\": \"My Keys\", \"path\": \"\"}"),
              std::string::npos);
    std::string stored;
    model::appendJsonString(stored, file);  // Windows paths hold backslashes
    EXPECT_NE(loaded.find("{\"list\": true, \"named\": 131, \"missing\": false, \"title\": \"strings.legato\", \"path\": \"" +
                          stored + "\"}"),
              std::string::npos);

    folder.write("strings.legato.txt", "new top\n");
    put(id + "/keynames/5/reload", "");
    EXPECT_EQ((*names.keynames[5])[0], "new top");
    request("POST " + id + "/keynames/4/clear HTTP/1.1\r\n\r\n");
    EXPECT_FALSE(names.keynames[4]);
    EXPECT_EQ(host.dispatchesWithCode(fruity::kReqNamesChanged).size(), 3u);
}

TEST(InstanceIdTest, CollisionsAndZeroMoveToTheNextFreeNumber) {
    EXPECT_EQ(chooseInstanceId(0x1234'0000'ABCDull, {}), 0xABCDu);
    EXPECT_EQ(chooseInstanceId(0x1234'0000'ABCDull, {0xABCD, 0xABCE}), 0xABCFu);
    EXPECT_EQ(chooseInstanceId(0x1'0000'0000ull, {}), 1u);
    EXPECT_EQ(chooseInstanceId(0xFFFF'FFFFull, {0xFFFF'FFFFu, 1u}), 2u);
}

}  // namespace

// The document is kept between requests: after any change of any kind, what is served must be
// what a fresh build gives.
TEST_F(HttpApiTest, TheKeptDocumentFollowsEveryKindOfChange) {
    testing_support::FakeEditorPlatform os;
    testing_support::TempFolder folder;
    const std::string keyNames = folder.write("names.txt", "top\nnext\n");
    const std::string bank = VOXTRANE_TESTS_DIR "/plugin/data/bank.krylvox";
    std::vector<TFruityPlug*> plugs{create(), create()};
    std::mt19937 random(7);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    testing_support::FakeMenu menus;
    const auto click = [](TFruityPlug* plug, editor::Hit box, platform::InputEvent::Kind kind,
                          int button = platform::InputEvent::kLeft) {
        platform::InputEvent e;
        e.kind = kind;
        e.button = button;
        e.x = (box.left + box.right) / 2;
        e.y = (box.top + box.bottom) / 2;
        impl(plug).editor().input(e);
    };
    for (int step = 0; step < 300; ++step) {
        TFruityPlug* plug = plugs[size_t(pick(int(plugs.size())))];
        const int kind = pick(12);
        switch (kind) {
        case 0: get(path(plug, "/port=" + std::to_string(pick(4)))); break;
        case 1: plug->ProcessParam(pick(129), pick(128), fruity::kParamUpdateValue); break;
        case 2: plug->ProcessEvent(2 + pick(3), pick(200) - 100, 0); break;
        case 3: plug->Voice_Release(testing_support::play(plug, host, step + 1, {48 + pick(24), pick(16)})); break;
        case 4: plug->Dispatcher(fruity::kMsgShowEditor, 0, pick(2) ? 0x1000 : 0); break;
        case 5: {
            const editor::Hit boxes[] = {editor::panelTabHit(pick(3)), editor::gridHit(pick(16)),
                                         editor::optionHit(pick(2), pick(3)), editor::kMuteSoloHit};
            const editor::Hit box = boxes[pick(4)];
            click(plug, box, platform::InputEvent::Kind::kButtonDown);
            click(plug, box, platform::InputEvent::Kind::kButtonUp);
            break;
        }
        case 6: {
            platform::InputEvent e;
            e.kind = platform::InputEvent::Kind::kKeyDown;
            e.key = pick(2) ? 0x27 : 0x25;  // Right, Left
            impl(plug).editor().input(e);
            break;
        }
        case 7: {
            hostkit::MemoryStream saved;
            plugs[0]->SaveRestoreState(&saved, 1);
            hostkit::MemoryStream load(saved.data);
            plug->SaveRestoreState(&load, 0);
            break;
        }
        case 8: plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(bank.c_str())); break;
        case 9: impl(plug).loadKeyNames(pick(4), pick(2) ? keyNames.c_str() : nullptr); break;
        case 10:
            if (plugs.size() > 1 && pick(2)) {
                destroy(plugs.back());
                plugs.pop_back();
            } else {
                plugs.push_back(create());
            }
            break;
        case 11: {  // a controller's name switches it on or off; its menu locks it
            click(plug, editor::panelTabHit(editor::kControllerPanel), platform::InputEvent::Kind::kButtonDown);
            click(plug, editor::panelTabHit(editor::kControllerPanel), platform::InputEvent::Kind::kButtonUp);
            const int k = 1 + pick(5), button = pick(2) ? platform::InputEvent::kLeft : platform::InputEvent::kRight;
            menus.answers = {131};
            const editor::Hit box = button == platform::InputEvent::kLeft ? editor::controlNameHit(k) : editor::controlHit(k);
            click(plug, box, platform::InputEvent::Kind::kButtonDown, button);
            click(plug, box, platform::InputEvent::Kind::kButtonUp, button);
            break;
        }
        }
        const std::string kept = getJson("/api");
        http::HttpApi_DocumentChanged();
        ASSERT_EQ(kept, getJson("/api")) << "step " << step << ", change of kind " << kind;
    }
}
