#include "plugin/cpp_fruity_plug.h"

#include <cstring>

TCPPFruityPlug::TCPPFruityPlug(TPluginTag tag, TFruityPlugHost* host, HINSTANCE) noexcept : PlugHost(host) {
    HostTag = tag;
    const char* path = reinterpret_cast<const char*>(host->Dispatcher(tag, fruity::kReqGetPath, 0, 0));
    if (path) {
        std::strncpy(ProgPath, path, sizeof ProgPath - 1);
        ProgPath[sizeof ProgPath - 1] = '\0';
    }
}

void TCPPFruityPlug::DestroyObject() noexcept { delete this; }
