// voxtrane-host: loads the plugin module exactly as FL Studio does, runs a few instances
// through the host interface and prints the MIDI they send.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"

namespace {

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: voxtrane-host [--plugin PATH] [--instances N]\n"
                 "  Loads the staged KRYL Voxtrane module, creates N instances (default 3),\n"
                 "  starts the transport, plays a few notes and prints the MIDI they send.\n");
}

void printNewMidi(const hostkit::RecordingHost& host, size_t& shown) {
    for (; shown < host.midi.size(); ++shown) {
        const hostkit::MidiEvent& m = host.midi[shown];
        std::printf("  instance %lld  %s\n", static_cast<long long>(m.sender), m.describe().c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string pluginPath;
    int instanceCount = 3;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            usage(stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--plugin") && i + 1 < argc) pluginPath = argv[++i];
        else if (!std::strcmp(argv[i], "--instances") && i + 1 < argc) instanceCount = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "voxtrane-host: unknown argument %s\n", argv[i]);
            usage(stderr);
            return 2;
        }
    }
    if (instanceCount < 1 || instanceCount > 64) {
        std::fprintf(stderr, "voxtrane-host: --instances must be 1..64\n");
        return 2;
    }
    if (pluginPath.empty()) pluginPath = hostkit::stagedModulePath(hostkit::executableFolder());

    hostkit::PluginModule module;
    if (!module.load(pluginPath)) {
        std::fprintf(stderr, "voxtrane-host: %s\n", module.error().c_str());
        return 2;
    }
    std::printf("Loaded %s\n", pluginPath.c_str());

    hostkit::RecordingHost host;
    std::vector<TFruityPlug*> plugs;
    for (int i = 0; i < instanceCount; ++i) {
        TFruityPlug* plug = module.create()(&host, i + 1);
        if (!plug) {
            std::fprintf(stderr, "voxtrane-host: CreatePlugInstance returned null\n");
            return 2;
        }
        plugs.push_back(plug);
    }
    std::printf("%s (%s): %d instances\n", plugs[0]->Info->LongName, plugs[0]->Info->ShortName, instanceCount);

    size_t shown = 0;
    std::printf("Transport start:\n");
    for (TFruityPlug* plug : plugs) plug->Dispatcher(12, 0, 1);
    printNewMidi(host, shown);

    std::printf("Pan and volume on instance 1:\n");
    plugs[0]->ProcessEvent(2, 32, 0);
    plugs[0]->ProcessEvent(3, 100, 0);
    printNewMidi(host, shown);

    std::printf("Notes:\n");
    const int keys[] = {60, 64, 67};
    for (size_t i = 0; i < plugs.size(); ++i) {
        TVoiceParams params{};
        params.InitLevels.Vol = 0.8f;
        params.InitLevels.Pitch = params.FinalLevels.Pitch = static_cast<float>((keys[i % 3] - 60) * 100);
        const intptr_t hostVoice = static_cast<intptr_t>(1000 + i);
        host.voiceColour[hostVoice] = static_cast<int>(i);
        const intptr_t voice = plugs[i]->TriggerVoice(&params, hostVoice);
        for (int t = 0; t < 6; ++t) plugs[i]->NewTick();
        if (voice) {
            plugs[i]->Voice_Release(voice);
            plugs[i]->Voice_Kill(voice);
        }
    }
    printNewMidi(host, shown);

    std::printf("Transport stop:\n");
    for (TFruityPlug* plug : plugs) plug->Dispatcher(12, 0, 0);
    printNewMidi(host, shown);

    for (TFruityPlug* plug : plugs) plug->DestroyObject();
    std::printf("%zu MIDI messages in all.\n", host.midi.size());
    return 0;
}
