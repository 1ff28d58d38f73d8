// Arbitrary bytes as HTTP requests in chunks over in-memory connections (some hanging up), through
// the server into the API; every connection must be gone within bounded polls, and no socket left.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "hostkit/recording_host.h"
#include "http/http_api.h"
#include "http/http_server.h"
#include "plugin/process_wide.h"
#include "plugin/voxtrane_plug.h"
#include "support/fake_clock.h"
#include "support/fake_settings.h"
#include "support/fake_sockets.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace {

const std::filesystem::path kFolder = std::filesystem::temp_directory_path() / "voxtrane-http-fuzz";

struct World {
    testing_support::FakeSettings settings;
    testing_support::FakeClock clock;
    hostkit::RecordingHost host;
    TFruityPlug* plugs[2] = {};  // kept here for the whole run, so none of it is ever unreachable

    World() {
        settings.setDword("Software\\KRYL\\KRYL Voxtrane", "HTTP API", 1);
        const auto html = kFolder / "Plugins" / "Fruity" / "Generators" / "KRYL Voxtrane" / "html";
        std::filesystem::create_directories(html / "sub");
        std::ofstream(html / "index.html", std::ios::binary) << "<p>index</p>";
        std::ofstream(html / "sub" / "a.txt", std::ios::binary) << "a";
    }
};

World& world() {
    static World w;
    return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    World& w = world();
    testing_support::FakeSockets sockets;  // before the instances, whose creation starts the server
    if (!w.plugs[0]) {
        w.plugs[0] = CreatePlugInstance(&w.host, 1);
        w.plugs[1] = CreatePlugInstance(&w.host, 2);
    }
    const uint32_t id = static_cast<KRYLVSTExprPlug*>(w.plugs[0])->core().instanceId();
    http::HttpApi_Start(instanceDirectory(), kFolder.string(), id);
    if (!http::HttpApi_Running()) __builtin_trap();

    // The first byte picks the chunk size and which clients hang up; the rest is split at
    // 0xFF bytes into at most eight requests.
    const size_t chunk = size ? 1 + data[0] % 64 : 1;
    const uint8_t hangUps = size > 1 ? data[1] : 0;
    std::string request;
    int clients = 0;
    for (size_t i = size > 2 ? 2 : size; i <= size; ++i) {
        if (i == size || (data[i] == 0xFF && clients < 7))
            sockets.connect(std::exchange(request, std::string()), (hangUps >> clients++) & 1, chunk);
        else
            request += static_cast<char>(data[i]);
    }

    for (int pass = 0; pass < 2000; ++pass) {
        http::HttpApi_Poll();
        if (pass == 1000) w.clock.advance(31);  // time out whatever still waits for bytes
        const auto& all = sockets.clients;
        if (http::HttpServer_ConnectionCount(http::HttpApi_Server()) == 0 &&
            std::all_of(all.begin(), all.end(), [](const auto& c) { return c.accepted; }))
            break;
    }
    if (http::HttpServer_ConnectionCount(http::HttpApi_Server()) != 0) __builtin_trap();
    http::HttpApi_Stop(0);
    if (sockets.openCount() != 0) __builtin_trap();
    return 0;
}
