#include "serve.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "render.h"

namespace voxhost {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
void onInterrupt(int) { gInterrupted = 1; }

#ifdef _WIN32
const char* kKey = "Software\\KRYL\\KRYL Voxtrane";
struct SavedValue {
    bool present = false;
    DWORD type = 0;
    std::string bytes;
};
SavedValue gSavedApi, gSavedPort;
bool gSaved = false;

SavedValue readValue(HKEY key, const char* name) {
    SavedValue v;
    char buffer[512];
    DWORD size = sizeof buffer;
    if (key && RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
        v.present = true;
        v.bytes.assign(buffer, size);
    }
    return v;
}

void putValue(HKEY key, const char* name, const SavedValue& v) {
    if (v.present)
        RegSetValueExA(key, name, 0, v.type, reinterpret_cast<const BYTE*>(v.bytes.data()), DWORD(v.bytes.size()));
    else
        RegDeleteValueA(key, name);
}
#else
std::string gSettingsFile;
#endif

}  // namespace

bool prepareApiSettings(bool serve, int port, std::string& error) {
    const std::string portText = std::to_string(port);
#ifdef _WIN32
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        error = "cannot open the registry key HKEY_CURRENT_USER\\Software\\KRYL\\KRYL Voxtrane";
        return false;
    }
    gSavedApi = readValue(key, "HTTP API");
    gSavedPort = readValue(key, "HTTP Port");
    gSaved = true;
    const DWORD on = serve ? 1 : 0;
    RegSetValueExA(key, "HTTP API", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
    RegSetValueExA(key, "HTTP Port", 0, REG_SZ, reinterpret_cast<const BYTE*>(portText.c_str()),
                   DWORD(portText.size() + 1));
    RegCloseKey(key);
    return true;
#else
    // A settings file of the demo's own, so the user's settings are neither read nor changed.
    const char* tmp = std::getenv("TMPDIR");
    gSettingsFile = std::string(tmp && *tmp ? tmp : "/tmp") + "/voxtrane-host-" + std::to_string(getpid()) + ".reg";
    const std::string text = std::string("Windows Registry Editor Version 5.00\n\n") +
                             "[HKEY_CURRENT_USER\\Software\\KRYL\\KRYL Voxtrane]\n" +
                             "\"HTTP API\"=dword:0000000" + (serve ? "1" : "0") + "\n\"HTTP Port\"=\"" + portText +
                             "\"\n";
    if (!writeFileAtomically(gSettingsFile, std::vector<uint8_t>(text.begin(), text.end()), error)) {
        error = gSettingsFile + ": " + error;
        return false;
    }
    setenv("KRYL_VOXTRANE_SETTINGS", gSettingsFile.c_str(), 1);
    return true;
#endif
}

void restoreApiSettings() {
#ifdef _WIN32
    if (!gSaved) return;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        putValue(key, "HTTP API", gSavedApi);
        putValue(key, "HTTP Port", gSavedPort);
        RegCloseKey(key);
    }
    gSaved = false;
#else
    if (!gSettingsFile.empty()) std::remove(gSettingsFile.c_str());
    gSettingsFile.clear();
#endif
}

bool portAvailable(int port, std::string& reason) {
    if (port < 1 || port > 65535) {
        reason = "not a TCP port number";
        return false;
    }
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const bool invalid = s == INVALID_SOCKET;
#else
    int s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const bool invalid = s < 0;
#endif
    if (invalid) {
        reason = "no socket could be made";
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool bound = bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(s, 1) == 0;
#ifdef _WIN32
    closesocket(s);
#else
    close(s);
#endif
    if (!bound) reason = "the port is in use or refused";
    return bound;
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
