// voxtrane-host: loads the KRYL Voxtrane module exactly as FL Studio does and plays music
// through its instances: a demo, offline rendering of MIDI files through articulation banks,
// and tools for saved instance states.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/program_folder.h"

#include "demo.h"
#include "host_session.h"
#include "hostkit/module_loader.h"
#include "map_tool.h"
#include "render.h"
#include "serve.h"
#include "settings/registry_values.h"
#include "snapshot.h"
#include "state_tool.h"

namespace {

using voxhost::HostSession;

constexpr int kBadInput = 2;

const char* kUsage =
    "usage: voxtrane-host [--plugin PATH] [--verbose] COMMAND ...\n"
    "\n"
    "Loads the KRYL Voxtrane plugin module (by default the one staged beside this program) through\n"
    "CreatePlugInstance, as FL Studio does, and plays music through its instances.\n"
    "\n"
    "commands:\n"
    "  demo [--no-serve] [--port N]\n"
    "      Three instances from the shipped banks play a short phrase; the MIDI they send is listed\n"
    "      and written to demo-out.mid; then the instances stay up with the HTTP API on port N\n"
    "      (default 8000, every IPv4 interface) until Ctrl-C. --no-serve ends after the rendering.\n"
    "  render IN.mid -o OUT.mid [--bank FILE.krylvox]... [--state FILE] [--list]\n"
    "         [--sample-rate HZ]\n"
    "      Plays a Standard MIDI File whose note channels are piano-roll colours through one\n"
    "      instance per --bank (loaded as a dropped file: a bank, a map file of one bank, a Kontakt\n"
    "      instrument) or per --state (a saved instance state),\n"
    "      or one default instance, and writes every message the instances send, at the tick it\n"
    "      was sent, to OUT.mid: one track per output port and channel, tempo map kept. Tracks\n"
    "      with notes go to the instances in turn. --list also prints a listing.\n"
    "  state dump FILE\n"
    "      Prints a saved instance state (any format the plugin reads) as JSON.\n"
    "  state convert FILE -o OUT\n"
    "      Loads a saved state into an instance and saves it again, in the current format.\n"
    "  snapshot [--state FILE | --bank FILE] [--scale S] -o DIR\n"
    "      Paints every panel of an instance (articulations, controllers, the three options tabs,\n"
    "      icon picker) with the editor's own paint code and writes one PNG per panel to DIR;\n"
    "      the instance takes a saved state or a dropped bank first. Scale 1..4 (default 1).\n"
    "      Native build only.\n"
    "  import FILE... -o DIR [--quiet]\n"
    "      Converts articulation maps (.reabank, .expressionmap, .plist, .doricolib) into one\n"
    "      .krylvox per bank under DIR, in folders from the bank's group; says what each\n"
    "      articulation left out (--quiet: only the summary). Exit 0 when at least one bank was\n"
    "      written.\n"
    "  export BANK.krylvox -o OUT.(reabank|expressionmap|plist|doricolib)\n"
    "      Writes a bank in another program's format and says what the format cannot hold.\n"
    "\n"
    "options:\n"
    "  --plugin PATH   the module to load\n"
    "  --verbose       also show the plugin's debug lines and every request it makes\n"
    "  --help          this text (also after a command)\n"
    "\n"
    "Bad input (a missing or unreadable file, a file that is not a MIDI file, a module that does\n"
    "not load, a port in use) ends with one line on stderr and exit status 2.\n";

int fail(const std::string& line) {
    voxhost::restoreApiSettings();  // a failure after the settings were changed leaves the user's as they were
    std::fprintf(stderr, "voxtrane-host: %s\n", line.c_str());
    return kBadInput;
}

// A number option's value: the whole text a plain decimal number (no sign, exponent or spaces)
// within [low, high].
bool parseNumber(const std::string& text, double low, double high, double& out) {
    size_t digits = 0, dots = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.') ++dots;
        else return false;
    }
    if (digits == 0 || dots > 1 || digits > 15) return false;
    out = std::strtod(text.c_str(), nullptr);
    return out >= low && out <= high;
}

bool parseWhole(const std::string& text, int low, int high, int& out) {
    double value = 0.0;
    if (text.find('.') != std::string::npos || !parseNumber(text, low, high, value)) return false;
    out = static_cast<int>(value);
    return true;
}

bool wantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

int render(hostkit::PluginModule& module, bool verbose, const std::vector<std::string>& args) {
    std::string input, output, state;
    std::vector<std::string> banks;
    bool list = false;
    double sampleRate = 44100.0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-o" && hasValue) output = args[++i];
        else if (a == "--bank" && hasValue) banks.push_back(args[++i]);
        else if (a == "--state" && hasValue) state = args[++i];
        else if (a == "--sample-rate" && hasValue) {
            if (!parseNumber(args[++i], 1000.0, 1000000.0, sampleRate))
                return fail("render: --sample-rate must be 1000..1000000, not " + args[i] + " (see --help)");
        }
        else if (a == "--list") list = true;
        else if (!a.empty() && a[0] != '-' && input.empty()) input = a;
        else return fail("render: unexpected argument " + a + " (see --help)");
    }
    if (input.empty() || output.empty()) return fail("render: needs IN.mid and -o OUT.mid (see --help)");

    std::vector<uint8_t> bytes;
    std::string error;
    if (!voxhost::readFile(input, bytes, error)) return fail(input + ": " + error);
    smf::Song song;
    if (!smf::parse(bytes.data(), bytes.size(), song, error)) return fail(input + ": " + error);
    std::vector<uint8_t> stateBytes;
    if (!state.empty() && !voxhost::readFile(state, stateBytes, error)) return fail(state + ": " + error);
    for (const std::string& bank : banks) {
        // The plugin takes a dropped file by its extension and ignores any other in silence.
        const size_t dot = bank.find_last_of('.');
        std::string extension = dot == std::string::npos ? std::string() : bank.substr(dot + 1);
        for (char& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        // A map of several banks would open the plugin's menu of banks, which no one here answers.
        const bool map = extension == "reabank" || extension == "expressionmap" || extension == "plist" ||
                         extension == "doricolib";
        if (extension != "krylvox" && extension != "txt" && extension != "nki" && !map)
            return fail(bank + ": not an articulation bank (.krylvox, .txt), map of one bank or Kontakt instrument (.nki)");
        std::FILE* f = platform::openFile(bank, "rb");
        if (!f) return fail(bank + ": " + std::strerror(errno));
        std::fclose(f);
    }
    if (!voxhost::prepareApiSettings(false, settings::kDefaultHttpPort, error)) return fail(error);

    HostSession session(module, verbose, sampleRate);
    for (const std::string& bank : banks) {
        if (!session.addInstance()) return fail(session.error());
        if (!session.dropFile(session.instanceCount() - 1, bank)) return fail(bank + ": the plugin could not import it");
    }
    if (!state.empty()) {
        if (!session.addInstance()) return fail(session.error());
        session.loadState(session.instanceCount() - 1, stateBytes);
    }
    if (session.instanceCount() == 0 && !session.addInstance()) return fail(session.error());

    voxhost::playSong(session, song);
    voxhost::restoreApiSettings();
    if (list) voxhost::printListing(stdout, song, session.sent());
    if (!voxhost::writeFileAtomically(output, voxhost::renderedFile(song, session.sent()), error))
        return fail(output + ": " + error);
    std::fprintf(list ? stdout : stderr, "%zu messages from %d instance(s) written to %s\n", session.sent().size(),
                 session.instanceCount(), output.c_str());
    return 0;
}

int demo(hostkit::PluginModule& module, bool verbose, const std::vector<std::string>& args) {
    bool serve = true;
    int port = settings::kDefaultHttpPort;
    double serveSeconds = 0.0;  // for tests: stop by itself
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--no-serve") serve = false;
        else if (args[i] == "--port" && i + 1 < args.size()) {
            if (!parseWhole(args[++i], 1, 65535, port))
                return fail("demo: --port must be a TCP port 1..65535, not " + args[i] + " (see --help)");
        } else if (args[i] == "--serve-seconds" && i + 1 < args.size()) {
            if (!parseNumber(args[++i], 0.0, 86400.0, serveSeconds))
                return fail("demo: --serve-seconds must be 0..86400, not " + args[i] + " (see --help)");
        } else return fail("demo: unexpected argument " + args[i] + " (see --help)");
    }
    std::string error;
    if (serve && !voxhost::portAvailable(port, error)) return fail("port " + std::to_string(port) + ": " + error);
    if (!voxhost::prepareApiSettings(serve, port, error)) return fail(error);

    // The banks beside the program (a build's stage), else the examples that ship in the plugin's
    // folder (an FL Studio folder where the download was unzipped).
    const char* names[] = {"Strings.krylvox", "Spitfire UACC.krylvox", "Brass.krylvox"};
    std::string banks = platform::joinProgramPath(hostkit::executableFolder(), "banks\\");
    if (std::FILE* probe = platform::openFile(banks + names[0], "rb")) std::fclose(probe);
    else
        banks = platform::joinProgramPath(hostkit::executableFolder(),
                                          "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\banks\\");
    HostSession session(module, verbose);
    for (const char* name : names) {
        if (!session.addInstance()) return fail(session.error());
        if (!session.dropFile(session.instanceCount() - 1, banks + name))
            return fail(banks + name + ": the plugin could not import it");
    }
    const smf::Song song = voxhost::demoPhrase();
    voxhost::playSong(session, song);
    voxhost::printListing(stdout, song, session.sent());
    if (!voxhost::writeFileAtomically("demo-out.mid", voxhost::renderedFile(song, session.sent()), error))
        return fail("demo-out.mid: " + error);
    std::printf("%zu messages written to demo-out.mid\n", session.sent().size());
    if (serve) {
        std::printf("HTTP API of the three instances: http://127.0.0.1:%d/api (and the page at /), on every IPv4 "
                    "interface; the page's monitor (and GET /monitor/0) says why each message above went out; "
                    "Ctrl-C to stop\n",
                    port);
        std::fflush(stdout);
        voxhost::serveUntilInterrupted(session, serveSeconds);
    }
    voxhost::restoreApiSettings();
    return 0;
}

int stateCommand(hostkit::PluginModule* module, bool verbose, const std::vector<std::string>& args) {
    if (args.empty()) return fail("state: needs dump or convert (see --help)");
    std::string file, output;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
        else if (file.empty() && !args[i].empty() && args[i][0] != '-') file = args[i];
        else return fail("state: unexpected argument " + args[i] + " (see --help)");
    }
    if (file.empty()) return fail("state: needs a FILE (see --help)");
    std::vector<uint8_t> bytes;
    std::string error;
    if (!voxhost::readFile(file, bytes, error)) return fail(file + ": " + error);
    if (args[0] == "dump") {
        std::string json;
        if (!voxhost::stateAsJson(bytes, json, error)) return fail(file + ": " + error);
        std::fputs(json.c_str(), stdout);
        return 0;
    }
    if (args[0] != "convert" || output.empty()) return fail("state: convert needs -o OUT (see --help)");
    std::string json;
    if (!voxhost::stateAsJson(bytes, json, error)) return fail(file + ": " + error);
    if (!voxhost::prepareApiSettings(false, settings::kDefaultHttpPort, error)) return fail(error);
    HostSession session(*module, verbose);
    if (!session.addInstance()) return fail(session.error());
    session.loadState(0, bytes);
    const std::vector<uint8_t> converted = session.saveState(0);
    voxhost::restoreApiSettings();
    if (!voxhost::writeFileAtomically(output, converted, error)) return fail(output + ": " + error);
    return 0;
}

int mapCommand(const std::string& command, const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::string output;
    bool quiet = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
        else if (args[i] == "--quiet" && command == "import") quiet = true;
        else if (!args[i].empty() && args[i][0] != '-') files.push_back(args[i]);
        else return fail(command + ": unexpected argument " + args[i] + " (see --help)");
    }
    if (command == "import") {
        if (files.empty() || output.empty()) return fail("import: needs FILE... and -o DIR (see --help)");
        return voxhost::importMaps(files, output, quiet);
    }
    if (files.size() != 1 || output.empty()) return fail("export: needs one BANK.krylvox and -o OUT (see --help)");
    return voxhost::exportBank(files.front(), output);
}

int snapshot(const std::vector<std::string>& args) {
    voxhost::SnapshotRequest request;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        double scale = 1.0;
        if (args[i] == "-o" && hasValue) request.folder = args[++i];
        else if (args[i] == "--state" && hasValue) request.state = args[++i];
        else if (args[i] == "--bank" && hasValue) request.bank = args[++i];
        else if (args[i] == "--scale" && hasValue) {
            if (!parseNumber(args[++i], 1.0, 4.0, scale))
                return fail("snapshot: --scale must be 1..4, not " + args[i] + " (see --help)");
            request.scale = static_cast<float>(scale);
        } else return fail("snapshot: unexpected argument " + args[i] + " (see --help)");
    }
    if (request.folder.empty()) return fail("snapshot: needs -o DIR (see --help)");
    if (!request.state.empty() && !request.bank.empty()) return fail("snapshot: --state or --bank, not both");
    std::string error;
    if (!voxhost::writeSnapshots(request, error)) return fail(error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args = platform::commandLineArguments(argc, argv);
    if (!args.empty()) args.erase(args.begin());
    std::string pluginPath;
    bool verbose = false;
    size_t at = 0;
    for (; at < args.size(); ++at) {
        if (args[at] == "--plugin" && at + 1 < args.size()) pluginPath = args[++at];
        else if (args[at] == "--verbose") verbose = true;
        else if (args[at] == "--help" || args[at] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else break;
    }
    if (at >= args.size()) {
        std::fputs(kUsage, stderr);
        return kBadInput;
    }
    const std::string command = args[at];
    const std::vector<std::string> rest(args.begin() + static_cast<long>(at) + 1, args.end());
    if (wantsHelp(rest)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command != "demo" && command != "render" && command != "state" && command != "snapshot" &&
        command != "import" && command != "export")
        return fail("unknown command " + command + " (see --help)");
    if (command == "import" || command == "export") return mapCommand(command, rest);
    if (command == "snapshot") return snapshot(rest);
    if (command == "state" && !rest.empty() && rest[0] == "dump") return stateCommand(nullptr, verbose, rest);

    if (pluginPath.empty()) pluginPath = hostkit::stagedModulePath(hostkit::executableFolder());
    hostkit::PluginModule module;
    if (!module.load(pluginPath)) return fail(module.error());
    if (command == "demo") return demo(module, verbose, rest);
    if (command == "render") return render(module, verbose, rest);
    return stateCommand(&module, verbose, rest);
}
