// The module's one export.
#include <new>

#include "plugin/voxtrane_plug.h"

#ifdef _WIN32
#define VOXTRANE_EXPORT extern "C" __declspec(dllexport)
#else
#define VOXTRANE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// [ui] once per channel that uses the plugin; null when the instance cannot be made.
VOXTRANE_EXPORT TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept {
    if (!host) return nullptr;
    try {
        return new KRYLVSTExprPlug(tag, host, nullptr);
    } catch (...) {
        return nullptr;
    }
}
