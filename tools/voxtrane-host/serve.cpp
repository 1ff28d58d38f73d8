#include "serve.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/files.h"
#include "platform/settings_store.h"
#include "platform/sockets.h"
#include "settings/registry_values.h"

namespace voxhost {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
void onInterrupt(int) { gInterrupted = 1; }

using settings::kHttpApiValue;
using settings::kHttpPortValue;

// The user's values as they were before the host changed them.
struct SavedSettings {
    bool active = false;
    bool apiPresent = false;
    uint32_t api = 0;
    bool portPresent = false;
    std::string port;
};
SavedSettings gSaved;
std::string gPrivateFile;

}  // namespace

bool prepareApiSettings(bool serve, int port, std::string& error) {
#ifndef _WIN32
    // A settings file of the host's own, which the module reads too: the user's settings are
    // neither read nor changed. On Windows the module reads the user's registry itself.
    const char* tmp = std::getenv("TMPDIR");
    gPrivateFile = std::string(tmp && *tmp ? tmp : "/tmp") + "/voxtrane-host-" + std::to_string(getpid()) + ".reg";
    platform::removeFile(gPrivateFile);
    setenv("KRYL_VOXTRANE_SETTINGS", gPrivateFile.c_str(), 1);
#endif
    platform::SettingsStore& store = platform::platformSettingsStore();
    gSaved.apiPresent = store.readDword(platform::kVoxtraneKey, kHttpApiValue, gSaved.api);
    gSaved.portPresent = store.readString(platform::kVoxtraneKey, kHttpPortValue, gSaved.port);
    gSaved.active = true;

    const std::string portText = std::to_string(port);
    store.writeDword(platform::kVoxtraneKey, kHttpApiValue, serve ? 1 : 0);
    store.writeString(platform::kVoxtraneKey, kHttpPortValue, portText + '\0');  // a registry string keeps its zero
    uint32_t api = 2;
    std::string written;
    if (!store.readDword(platform::kVoxtraneKey, kHttpApiValue, api) || api != (serve ? 1u : 0u) ||
        !store.readString(platform::kVoxtraneKey, kHttpPortValue, written) || written.c_str() != portText) {
        error = gPrivateFile.empty() ? std::string("cannot write the settings under HKEY_CURRENT_USER\\") +
                                           platform::kVoxtraneKey
                                     : gPrivateFile + ": cannot write the settings";
        restoreApiSettings();
        return false;
    }
    return true;
}

void restoreApiSettings() {
    if (!gSaved.active) return;
    platform::SettingsStore& store = platform::platformSettingsStore();
    if (gSaved.apiPresent) store.writeDword(platform::kVoxtraneKey, kHttpApiValue, gSaved.api);
    else platform::removePlatformSetting(platform::kVoxtraneKey, kHttpApiValue);
    if (gSaved.portPresent) store.writeString(platform::kVoxtraneKey, kHttpPortValue, gSaved.port);
    else platform::removePlatformSetting(platform::kVoxtraneKey, kHttpPortValue);
    gSaved = SavedSettings{};
    if (!gPrivateFile.empty()) platform::removeFile(gPrivateFile);
    gPrivateFile.clear();
}

bool portAvailable(int port, std::string& reason) {
    if (port < 1 || port > 65535) {
        reason = "not a TCP port number";
        return false;
    }
    if (!platform::tcpPortAvailable(static_cast<uint16_t>(port))) {
        reason = "the port is in use or refused";
        return false;
    }
    return true;
}

void serveUntilInterrupted(HostSession& session, double seconds) {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const auto start = std::chrono::steady_clock::now();
    while (!gInterrupted) {
        session.periodic();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (seconds > 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds)
            break;
    }
}

}  // namespace voxhost
