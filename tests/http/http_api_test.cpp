// The HTTP API over in-memory sockets, with instances made by the factory: when the server
// runs, the documents byte for byte, every command with its clamps, the articulation PUT, static
// files and the log lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/session.h"
#include "http/expected_document.h"
#include "http/http_api.h"
#include "model/defaults.h"
#include "plugin/process_wide.h"
#include "support/fake_clock.h"
#include "support/fake_settings.h"
#include "support/fake_sockets.h"
#include "support/plugin_fixture.h"
#include "support/temp_folder.h"

namespace {

using testing_support::ExpectedInstance;
using testing_support::expectedDocument;
using testing_support::FakeClock;
using testing_support::FakeSettings;
using testing_support::FakeSockets;

constexpr const char* kKey = "Software\\KRYL\\KRYL Voxtrane";
constexpr const char* kJsonHead = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n";

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
        const std::string answer = get(path);
        EXPECT_EQ(answer.substr(0, std::strlen(kJsonHead)), kJsonHead) << path;
        return answer.size() >= std::strlen(kJsonHead) ? answer.substr(std::strlen(kJsonHead)) : "";
    }
    std::string put(const std::string& path, const std::string& body) {
        return request("PUT " + path + " HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    }

    static uint32_t idOf(TFruityPlug* plug) { return impl(plug).instanceId(); }
    static std::string path(TFruityPlug* plug, const std::string& rest) {
        return "/api/" + std::to_string(idOf(plug)) + rest;
    }
    static model::InstanceRecords& records(TFruityPlug* plug) { return impl(plug).records(); }
    size_t stateChanges() const { return host.dispatchesWithCode(fruity::kReqStateChanged).size(); }
    uint32_t storedFlag() { return settings.dwords[{kKey, "HTTP API"}]; }

    ExpectedInstance expected(TFruityPlug* plug, int channel) const {
        ExpectedInstance e;
        e.id = idOf(plug);
        e.channel = channel;
        return e;
    }

    FakeSettings settings;
    FakeSockets sockets;
    FakeClock clock;
};

TEST_F(HttpApiTest, TheFirstInstanceStartsTheServerAndTheLastOneStopsIt) {
    settings.setString(kKey, "HTTP Port", "9123");
    TFruityPlug* a = create();
    EXPECT_TRUE(http::HttpApi_Running());
    EXPECT_EQ(sockets.lastPort, "9123");
    TFruityPlug* b = create();
    EXPECT_EQ(sockets.openCount(), 1u);

    // The instance that started the server may go; the others keep it answering.
    destroy(a);
    EXPECT_EQ(getJson("/api"), expectedDocument({expected(b, 1)}));
    destroy(b);
    EXPECT_FALSE(http::HttpApi_Running());
    EXPECT_EQ(sockets.openCount(), 0u);
}

TEST_F(HttpApiTest, TheSwitchStoresTheFlagAndStartsOrStopsAtOnce) {
    settings.setDword(kKey, "HTTP API", 0);
    TFruityPlug* a = create();
    EXPECT_FALSE(http::HttpApi_Running());
    a->Idle_Public();
    EXPECT_EQ(sockets.waits, 0);

    impl(a).setHttpApiEnabled(true);
    EXPECT_EQ(storedFlag(), 1u);
    EXPECT_TRUE(http::HttpApi_Running());
    EXPECT_EQ(sockets.lastPort, "8000");
    EXPECT_NE(get("/api"), "");

    impl(a).setHttpApiEnabled(false);
    EXPECT_EQ(storedFlag(), 0u);
    EXPECT_FALSE(http::HttpApi_Running());
    EXPECT_EQ(sockets.openCount(), 0u);
}

TEST_F(HttpApiTest, AFailedStartLeavesNoServer) {
    sockets.failListen = true;
    TFruityPlug* a = create();
    EXPECT_FALSE(http::HttpApi_Running());
    a->Idle_Public();
    EXPECT_EQ(sockets.openCount(), 0u);
}

TEST_F(HttpApiTest, TheDocumentShowsEveryFieldWithJsonEscapes) {
    TFruityPlug* plug = create();
    plug->ProcessEvent(engine::kEventVolume, 100, 0);
    plug->ProcessEvent(engine::kEventPan, 200, 0);
    plug->ProcessEvent(engine::kEventPitch, -300, 0);
    model::InstanceRecords& r = records(plug);
    r.articulations.name[1] = "Say \"hi\"\\\t\x01";
    r.articulations.note[1] = 24;
    r.controllers.name[7] = "Mod/Wheel";
    r.controllers.cc[7] = 1;
    r.options.midixtend = 1;
    r.options.paramknob = 1;
    r.options.minimised = 1;
    r.articulations.keynamesmissing[0] = 1;
    r.articulations.keynamestitle[0] = "My \"Keys\"";
    r.articulations.keynames[2] = std::make_unique<model::KeyNameList>();
    (*r.articulations.keynames[2])[0] = "Low";
    (*r.articulations.keynames[2])[131] = "Top \\";
    r.articulations.keynames[5] = std::make_unique<model::KeyNameList>();  // present but empty

    ExpectedInstance e = expected(plug, 0);
    e.volume = 100;
    e.pan = 200;
    e.pitch = -300;
    e.minimised = true;
    e.options = {{"midiextend", true}, {"parameterccs", false}};
    e.articulations[1] =
        "{\"name\": \"Say \\\"hi\\\"\\\\\\t\\u0001\", \"icon\": 55, \"note\": 24, \"notev\": 127, \"prog\": -1, "
        "\"modw\": -1, \"modc\": -1}";
    e.controllers[7] =
        "{\"name\": \"Mod/Wheel\", \"type\": 0, \"default\": 127, \"cc\": 1, \"on\": 1, \"value\": 127, \"lock\": 0}";
    e.keyNamesMissing = true;
    e.keyNamesTitle = "My \\\"Keys\\\"";
    e.mappings[2] = "{\"0\": \"Low\", \"131\": \"Top \\\\\"}";
    e.mappings[5] = "{}";
    EXPECT_EQ(getJson("/api"), expectedDocument({e}));
}

TEST_F(HttpApiTest, ListsEveryInstanceAndSendsCommandsToAllWithIdZero) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    TFruityPlug* c = create();
    const std::string all = expectedDocument({expected(a, 0), expected(b, 1), expected(c, 2)});
    EXPECT_EQ(getJson("/api"), all);
    EXPECT_EQ(getJson("/api/"), all);
    EXPECT_EQ(getJson("/api/0/nosuchcommand=1"), all);

    // One instance by id: only it is listed and changed.
    ExpectedInstance eb = expected(b, 1);
    eb.tab = 2;
    EXPECT_EQ(getJson(path(b, "/tab=2")), expectedDocument({eb}));
    EXPECT_EQ(records(a).options.page, 1);

    // Ids in hexadecimal are read as such; an unknown id lists nothing.
    char hex[32];
    std::snprintf(hex, sizeof hex, "/api/0x%x", idOf(c));
    EXPECT_EQ(getJson(hex), expectedDocument({expected(c, 2)}));
    const uint32_t unknown = idOf(a) ^ idOf(b) ^ idOf(c) ^ 0x5A5A5A5Au;
    EXPECT_EQ(getJson("/api/" + std::to_string(unknown)), expectedDocument({}));

    // The changes show in the same answer.
    ExpectedInstance ea = expected(a, 0), ec = expected(c, 2);
    ea.port = eb.port = ec.port = 3;
    EXPECT_EQ(getJson("/api/0/port=3"), expectedDocument({ea, eb, ec}));
}

TEST_F(HttpApiTest, CommandsClampTheirValues) {
    TFruityPlug* plug = create();
    const model::InstanceOptions& o = records(plug).options;
    struct Case {
        const char* command;
        int32_t expected;
        const int32_t* field;
    };
    const int32_t* start = &records(plug).controllerstart;
    const Case cases[] = {
        {"port=300", 255, &o.port},      {"port=-1", 255, &o.port},       {"port=17", 17, &o.port},
        {"channel=256", 256, &o.channel}, {"channel=100", 63, &o.channel}, {"channel=-2", 63, &o.channel},
        {"channel=9", 9, &o.channel},     {"tab=5", 2, &o.page},           {"tab=0", 0, &o.page},
        {"editing=64", 63, &o.editing},   {"editing=12", 12, &o.editing},  {"bankstart=99", 63, &o.startart},
        {"bankstart=16", 16, &o.startart}, {"controllerstart=-5", 0, start}, {"controllerstart=200", 95, start},
        {"controllerstart=12", 12, start}, {"port=abc", 0, &o.port},       {"port=17", 17, &o.port},
    };
    const size_t before = stateChanges();
    for (const Case& c : cases) {
        get(path(plug, "/") + c.command);
        EXPECT_EQ(*c.field, c.expected) << c.command;
    }
    // A command without a value changes nothing.
    get(path(plug, "/port"));
    get(path(plug, "/port="));
    EXPECT_EQ(o.port, 17);
    // Commands other than "json" do not tell the host that the state changed.
    EXPECT_EQ(stateChanges(), before);
}

TEST_F(HttpApiTest, OptionsArticulationsAndControllers) {
    TFruityPlug* plug = create();
    model::InstanceRecords& r = records(plug);

    r.options.paramknob = 1;
    getJson(path(plug, "/options/parameterccs=true"));
    EXPECT_EQ(r.options.paramknob, 0);
    EXPECT_NE(getJson("/api").find("\"parameterccs\": true,"), std::string::npos);
    // Only "true" is true.
    for (const char* command : {"midiextend=true", "articbanks=true", "cc64release=yes", "showsingle=false",
                                "nosuchoption=true"})
        get(path(plug, "/options/") + command);
    EXPECT_EQ(r.options.midixtend, 1);
    EXPECT_EQ(r.options.articbanks, 1);
    EXPECT_EQ(r.options.cc64release, 0);
    EXPECT_EQ(processWide().singleEditor, 0);
    processWide().singleEditor = 1;

    for (const char* command : {"3/name=Legato%20Hi", "3/note=36", "3/modc=-3", "3/colour=4", "64/name=x",
                                "-1/name=x", "4=1"})
        get(path(plug, "/articulations/") + command);
    EXPECT_EQ(r.articulations.name[3], "Legato Hi");
    EXPECT_EQ(r.articulations.note[3], 36);
    EXPECT_EQ(r.articulations.modc[3], -3);
    for (int i = 0; i < model::kArticulationCount; ++i)
        EXPECT_EQ(model::isArticulationEmpty(r.articulations, i), i != 3) << i;

    for (const char* command : {"95/cc=7", "95/name=Air", "96/cc=1"}) get(path(plug, "/controllers/") + command);
    EXPECT_EQ(r.controllers.cc[95], 7);
    EXPECT_EQ(r.controllers.name[95], "Air");
    EXPECT_EQ(r.controllers.cc[94], 255);
}

// The array is the bank-export text, whose bytes the articulation file tests pin down.
TEST_F(HttpApiTest, TheArticulationArrayOfOneInstance) {
    TFruityPlug* plug = create();
    EXPECT_EQ(getJson(path(plug, "/json")), "[\n]\n");
    records(plug).articulations.note[2] = 26;
    const std::string array = getJson(path(plug, "/json"));
    size_t objects = 0;
    for (size_t at = array.find("\t{\n"); at != std::string::npos; at = array.find("\t{\n", at + 1)) ++objects;
    EXPECT_EQ(objects, 3u);  // slots 0 to 2: up to the last one in use
    EXPECT_NE(array.find("\"note\": 26"), std::string::npos);
    // Only a GET of one instance's "json" gives the array; id 0 gives the document.
    EXPECT_EQ(getJson("/api/0/json").substr(0, 2), "{\n");
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
    EXPECT_NE(sockets.clients[last].output.find("\"port\":\t\t3"), std::string::npos);
}

TEST_F(HttpApiTest, APutOfJsonReplacesEveryArticulation) {
    TFruityPlug* plug = create();
    TFruityPlug* other = create();
    model::Articulations& a = records(plug).articulations;
    a.name[10] = "Old";
    a.keynames[10] = std::make_unique<model::KeyNameList>();
    const size_t before = stateChanges();

    // Read as a bank file is (the articulation file tests cover the members).
    put(path(plug, "/json"), "[{\"name\": \"Legato\", \"uacc\": 42}, {\"note\": 30}]");
    EXPECT_EQ(a.name[0], "Legato");
    EXPECT_EQ(a.prog[0], 42);
    EXPECT_EQ(a.note[1], 30);
    for (int i = 2; i < model::kArticulationCount; ++i) EXPECT_TRUE(model::isArticulationEmpty(a, i)) << i;
    EXPECT_TRUE(model::isArticulationEmpty(records(other).articulations, 0));
    EXPECT_EQ(stateChanges(), before + 1);

    // A body that is no bank, or does not parse: nothing changes, but the host hears of it
    // all the same.
    put(path(plug, "/json"), "{\"name\": \"x\"}");
    put(path(plug, "/json"), "[{");
    EXPECT_EQ(a.name[0], "Legato");
    EXPECT_EQ(stateChanges(), before + 3);

    // No body at all: the request ends at its blank line, and nothing happens.
    request("PUT " + path(plug, "/json") + " HTTP/1.1\r\n\r\n");
    put(path(plug, "/json"), "");
    EXPECT_EQ(stateChanges(), before + 3);
    // A GET of "json" never replaces anything.
    request("GET /api/0/json HTTP/1.1\r\nContent-Length: 2\r\n\r\n[]");
    EXPECT_EQ(a.name[0], "Legato");
}

class HttpStaticTest : public HttpApiTest {
protected:
    void SetUp() override {
        TFruityPlug* plug = create();
        html = folder.path() / "Plugins" / "Fruity" / "Generators" / "KRYL Voxtrane" / "html";
        std::filesystem::create_directories(html / "sub");
        write(html / "index.html", "<p>home</p>");
        write(html / "sub" / "index.html", "<p>sub</p>");
        write(html / "apix", "static");
        write(html / "empty.txt", "");
        write(html.parent_path() / "secret.txt", "secret");
        write(html / "data.bin", binary());
        // The server serves from the folder it was started with.
        http::HttpApi_Start(instanceDirectory(), folder.path().string(), impl(plug).instanceId());
    }
    static void write(const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string binary() {
        std::string bytes(3000, '\0');
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
        return bytes;
    }

    testing_support::TempFolder folder;
    std::filesystem::path html;
};

TEST_F(HttpStaticTest, ServesFilesOfTheHtmlFolder) {
    EXPECT_EQ(get("/"), "HTTP/1.1 200 OK\r\n\r\n<p>home</p>");
    EXPECT_EQ(get("/index.html"), "HTTP/1.1 200 OK\r\n\r\n<p>home</p>");
    EXPECT_EQ(get("/sub"), "HTTP/1.1 200 OK\r\n\r\n<p>sub</p>");
    EXPECT_EQ(get("\\sub\\index.html"), "HTTP/1.1 200 OK\r\n\r\n<p>sub</p>");
    EXPECT_EQ(get("/apix"), "HTTP/1.1 200 OK\r\n\r\nstatic");
    EXPECT_EQ(get("/empty.txt"), "HTTP/1.1 200 OK\r\n\r\n");
    EXPECT_EQ(get("/data.bin"), "HTTP/1.1 200 OK\r\n\r\n" + binary());
}

TEST_F(HttpStaticTest, MissingAndRefusedPathsGetThe404Answer) {
    for (const std::string& refused : {std::string("/missing.html"), std::string("/../secret.txt"),
                                       std::string("/%2e%2e/secret.txt"), std::string("/..%5csecret.txt"),
                                       std::string("/sub\\..\\..\\secret.txt"), std::string("/sub/../index.html"),
                                       "/" + std::string(300, 'a'), std::string("/CON"), std::string("/sub/nul.txt"),
                                       std::string("/C:/index.html")})
        EXPECT_EQ(get(refused), "HTTP/1.1 404 OK\r\n\r\n") << refused;
    // A name that merely contains two dots is an ordinary name.
    write(html / "a..b", "dots");
    EXPECT_EQ(get("/a..b"), "HTTP/1.1 200 OK\r\n\r\ndots");
}

TEST_F(HttpApiTest, LogLinesGoThroughLiveInstancesWithTheirDebugLogOn) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    get(path(b, "/port=3"));
    EXPECT_TRUE(host.debugLines().empty());

    impl(a).session().debugLog = true;
    impl(b).session().debugLog = true;
    get(path(b, "/port=4"));
    char prefixA[64], prefixB[64];
    std::snprintf(prefixA, sizeof prefixA, "KRYL Voxtrane [%p] : ", static_cast<void*>(&impl(a)));
    std::snprintf(prefixB, sizeof prefixB, "KRYL Voxtrane [%p] : ", static_cast<void*>(&impl(b)));
    const std::vector<std::string> expectedLines = {
        std::string(prefixA) + "Server event SB_EV_REQUEST GET " + path(b, "/port=4"),
        std::string(prefixB) + "Server command port (null) (null) (4)"};
    EXPECT_EQ(host.debugLines(), expectedLines);

    // With the starting instance gone its lines are dropped; the target's still come.
    destroy(a);
    host.clear();
    get(path(b, "/port=5"));
    EXPECT_EQ(host.debugLines(), std::vector<std::string>{std::string(prefixB) + "Server command port (null) (null) (5)"});
    EXPECT_EQ(records(b).options.port, 5);
}

TEST(InstanceIdTest, CollisionsAndZeroMoveToTheNextFreeNumber) {
    EXPECT_EQ(chooseInstanceId(0x1234'0000'ABCDull, {}), 0xABCDu);
    EXPECT_EQ(chooseInstanceId(0x1234'0000'ABCDull, {0xABCD, 0xABCE}), 0xABCFu);
    EXPECT_EQ(chooseInstanceId(0x1'0000'0000ull, {}), 1u);
    EXPECT_EQ(chooseInstanceId(0xFFFF'FFFFull, {0xFFFF'FFFFu, 1u}), 2u);
}

}  // namespace
