// Arbitrary bytes as what HTTP clients send: through the server's receive path (split into
// chunks and spread over several connections, some of which hang up) and on into the API's
// routing, commands, articulation PUT and static files, on in-memory sockets. Beyond not
// crashing, every connection must be gone within a bounded number of polls, and no socket left.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "hostkit/recording_host.h"
#include "http/http_api.h"
#include "http/http_server.h"
#include "plugin/fruity_abi.h"
#include "plugin/process_wide.h"
#include "plugin/voxtrane_plug.h"
#include "support/fake_clock.h"
#include "support/fake_settings.h"
#include "support/fake_sockets.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace {

using testing_support::FakeSockets;

struct World {
    testing_support::FakeSettings settings;
    testing_support::FakeClock clock;
    hostkit::RecordingHost host;
    TFruityPlug* plugs[2] = {};

    World() {
        settings.setDword("Software\\KRYL\\KRYL Voxtrane", "HTTP API", 1);
        const auto folder = std::filesystem::temp_directory_path() / "voxtrane-http-fuzz";
        const auto html = folder / "Plugins" / "Fruity" / "Generators" / "KRYL Voxtrane" / "html";
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
    FakeSockets sockets;
    if (!w.plugs[0]) {
        w.plugs[0] = CreatePlugInstance(&w.host, 1);
        w.plugs[1] = CreatePlugInstance(&w.host, 2);
    }
    const std::string folder = (std::filesystem::temp_directory_path() / "voxtrane-http-fuzz").string();
    http::HttpApi_Start(instanceDirectory(), folder, static_cast<KRYLVSTExprPlug*>(w.plugs[0])->core().instanceId());
    if (!http::HttpApi_Running()) __builtin_trap();

    // The first byte picks the chunk size and which clients hang up; the rest is split at
    // 0xFF bytes into at most eight requests.
    const size_t chunk = size ? 1 + data[0] % 64 : 1;
    const uint8_t hangUps = size > 1 ? data[1] : 0;
    std::string request;
    int clients = 0;
    for (size_t i = size > 2 ? 2 : size; i <= size; ++i) {
        if (i == size || (data[i] == 0xFF && clients < 7)) {
            sockets.connect(request, (hangUps >> clients) & 1, chunk);
            ++clients;
            request.clear();
        } else {
            request += static_cast<char>(data[i]);
        }
    }

    for (int pass = 0; pass < 2000; ++pass) {
        http::HttpApi_Poll();
        if (pass == 1000) w.clock.advance(31);  // time out whatever still waits for bytes
        if (http::HttpServer_ConnectionCount(http::HttpApi_Server()) == 0 && pass > 0) {
            bool allAccepted = true;
            for (const auto& c : sockets.clients) allAccepted = allAccepted && c.accepted;
            if (allAccepted) break;
        }
    }
    if (http::HttpServer_ConnectionCount(http::HttpApi_Server()) != 0) __builtin_trap();
    http::HttpApi_Stop(0);
    if (sockets.openCount() != 0) __builtin_trap();
    return 0;
}
