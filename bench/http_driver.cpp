// A server for an HTTP load generator to measure, in one of two kinds:
//   plugin    the module staged beside this program, with 16 instances and the HTTP API on,
//             their periodic calls made round after round with 20 µs between rounds (FL Studio
//             makes them every 20 ms; here the server's own throughput is what is measured)
//   civetweb  civetweb serving a folder, and /api as a fixed document read from a file (also as
//             /api-framed, with civetweb's own head)
// Each prints "port <n>" once it listens, then serves until SIGINT, SIGTERM or --seconds.
//
//   voxtrane_http_driver plugin [--instances 16] [--seconds 0]
//   voxtrane_http_driver civetweb --root <folder> --api <file> [--threads 1] [--seconds 0]
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <civetweb.h>

#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"
#include "serve.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void onStop(int) { gStop = 1; }

struct Options {
    std::string kind;
    int instances = 16;
    double seconds = 0;
    std::string root;
    std::string api;
    int threads = 1;
};

bool parse(int argc, char** argv, Options& o) {
    if (argc < 2) return false;
    o.kind = argv[1];
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--instances") o.instances = std::atoi(value);
        else if (name == "--seconds") o.seconds = std::atof(value);
        else if (name == "--root") o.root = value;
        else if (name == "--api") o.api = value;
        else if (name == "--threads") o.threads = std::atoi(value);
        else return false;
    }
    if (o.kind == "plugin") return o.instances > 0;
    return o.kind == "civetweb" && !o.root.empty() && !o.api.empty() && o.threads > 0;
}

// A port nothing listens on, as the kernel picks one. The plugin binds every interface, so
// the port is looked for there.
int freePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

class Deadline {
public:
    explicit Deadline(double seconds) : seconds_(seconds), start_(std::chrono::steady_clock::now()) {}
    bool passed() const {
        return gStop || (seconds_ > 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start_)
                                                 .count() >= seconds_);
    }

private:
    double seconds_;
    std::chrono::steady_clock::time_point start_;
};

void announce(int port) {
    std::printf("port %d\n", port);
    std::fflush(stdout);
}

int runPlugin(const Options& o) {
    const int port = freePort();
    std::string error;
    if (!port || !voxhost::prepareApiSettings(true, port, error)) {
        std::fprintf(stderr, "no settings for the API: %s\n", error.c_str());
        return 1;
    }
    hostkit::PluginModule module;
    const std::string path = hostkit::stagedModulePath(hostkit::executableFolder());
    if (!module.load(path)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), module.error().c_str());
        voxhost::restoreApiSettings();
        return 1;
    }
    int status = 0;
    {
        hostkit::RecordingHost host;
        std::vector<TFruityPlug*> plugs;
        for (int i = 0; i < o.instances; ++i)
            if (TFruityPlug* plug = module.create()(&host, static_cast<TPluginTag>(i + 1))) plugs.push_back(plug);
        if (static_cast<int>(plugs.size()) == o.instances) {
            announce(port);
            const Deadline deadline(o.seconds);
            while (!deadline.passed()) {
                for (int round = 0; round < 256; ++round) {
                    for (TFruityPlug* plug : plugs) plug->Idle_Public();
                    // A short rest, as a host's timer gives: spinning without one costs the
                    // server's own sends and closes up to a fifth of their rate on this machine.
                    std::this_thread::sleep_for(std::chrono::microseconds(20));
                }
                host.clear();  // whatever the instances told the host: a long run stays flat
            }
        } else {
            std::fprintf(stderr, "the module made %zu of %d instances\n", plugs.size(), o.instances);
            status = 1;
        }
        for (auto it = plugs.rbegin(); it != plugs.rend(); ++it) (*it)->DestroyObject();
    }
    module.unload();
    voxhost::restoreApiSettings();
    return status;
}

// /api answers with exactly the plugin's bytes: its head, then the body up to the close.
int serveDocument(mg_connection* connection, void* data) {
    const std::string& document = *static_cast<const std::string*>(data);
    static const char head[] = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n";
    mg_write(connection, head, sizeof head - 1);
    mg_write(connection, document.data(), document.size());
    return 200;
}

// /api-framed answers as civetweb would by itself, with a Content-Length: a client then knows
// the end without waiting for the close.
int serveFramedDocument(mg_connection* connection, void* data) {
    const std::string& document = *static_cast<const std::string*>(data);
    mg_send_http_ok(connection, "application/json", static_cast<long long>(document.size()));
    mg_write(connection, document.data(), document.size());
    return 200;
}

int runCivetweb(const Options& o) {
    std::ifstream in(o.api, std::ios::binary);
    const std::string document((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in || document.empty()) {
        std::fprintf(stderr, "%s: nothing to serve as /api\n", o.api.c_str());
        return 1;
    }
    const int port = freePort();
    const std::string listening = "127.0.0.1:" + std::to_string(port);
    const std::string threads = std::to_string(o.threads);
    // Connections close after one response, as the plugin's do.
    const char* settings[] = {"listening_ports", listening.c_str(), "document_root", o.root.c_str(),
                              "num_threads", threads.c_str(), "enable_keep_alive", "no", nullptr};
    mg_init_library(0);
    mg_callbacks callbacks{};
    mg_context* context = port ? mg_start(&callbacks, nullptr, settings) : nullptr;
    if (!context) {
        std::fprintf(stderr, "civetweb did not start on %s\n", listening.c_str());
        mg_exit_library();
        return 1;
    }
    mg_set_request_handler(context, "/api$", serveDocument, const_cast<std::string*>(&document));
    mg_set_request_handler(context, "/api-framed$", serveFramedDocument, const_cast<std::string*>(&document));
    announce(port);
    const Deadline deadline(o.seconds);
    while (!deadline.passed()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    mg_stop(context);
    mg_exit_library();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: %s plugin [--instances N] [--seconds S]\n"
                     "       %s civetweb --root FOLDER --api FILE [--threads N] [--seconds S]\n",
                     argv[0], argv[0]);
        return 2;
    }
    std::signal(SIGINT, onStop);
    std::signal(SIGTERM, onStop);
    return o.kind == "plugin" ? runPlugin(o) : runCivetweb(o);
}
