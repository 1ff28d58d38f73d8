// The HTTP API's costs on the host's user-interface thread: one idle poll of the server (what
// every instance's periodic call pays while the API is on and nobody connects), and building
// the instances document for 64 instances (the largest answer a browser page asks for).
#include <benchmark/benchmark.h>

#include <vector>

#include "hostkit/recording_host.h"
#include "http/http_api.h"
#include "http/http_server.h"
#include "plugin/fruity_abi.h"
#include "platform/settings_store.h"
#include "support/fake_settings.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace {

void BM_IdlePoll(benchmark::State& state) {
    http::HttpServerOptions options{};
    options.handler = [](const http::HttpEvent*) { return 0; };
    options.port = "0";  // any free port
    http::HttpServer* server = http::HttpServer_Create(&options);
    if (!server) {
        state.SkipWithError("no server");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(http::HttpServer_Poll(server, 0));
    http::HttpServer_Close(server);
}
BENCHMARK(BM_IdlePoll);

void BM_InstancesDocument(benchmark::State& state) {
    testing_support::FakeSettings settings;  // keeps the user's own settings out of it
    settings.setDword(platform::kVoxtraneKey, "HTTP API", 1);
    settings.setString(platform::kVoxtraneKey, "HTTP Port", "0");  // any free port
    hostkit::RecordingHost host;
    std::vector<TFruityPlug*> plugs;
    for (int i = 0; i < state.range(0); ++i) plugs.push_back(CreatePlugInstance(&host, 100 + i));

    http::HttpConnection connection{};
    http::HttpEvent event{http::SB_EV_REQUEST, nullptr, http::HttpApi_Server(), &connection, "", "GET", "/api"};
    for (auto _ : state) {
        ++event.server->pass;  // each request in a pass of its own: the document is built every time
        connection.state = http::AWAITING_STATUS;
        connection.send.length = 0;
        http::HttpApi_OnEvent(&event);
        benchmark::DoNotOptimize(connection.send.data);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * connection.send.length));
    state.counters["bytes"] = static_cast<double>(connection.send.length);
    http::ByteBuffer_Free(&connection.send);
    for (auto it = plugs.rbegin(); it != plugs.rend(); ++it) (*it)->DestroyObject();
}
BENCHMARK(BM_InstancesDocument)->Arg(1)->Arg(64)->Unit(benchmark::kMicrosecond);

}  // namespace
