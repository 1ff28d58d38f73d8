#include "http/http_api.h"

#include <atomic>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>


#include "http/http_server.h"
#include "http/request_guard.h"
#include "http/map_requests.h"
#include "model/articulation_file.h"
#include "model/defaults.h"
#include "model/json_text.h"
#include "model/key_names.h"
#include "model/utf8.h"
#include "model/options.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "settings/registry_values.h"

namespace http {

namespace {

constexpr const char* kStaticFolder = "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\html\\";
constexpr size_t kPathLimit = 260;  // the platform's path limit, terminator included
constexpr size_t kFileChunk = 1024;
// The API bounds a request so that a huge Content-Length cannot grow memory without end.
constexpr const char* kMaximumRequestSize = "1048576";

const char* orNull(const char* text) { return text ? text : "(null)"; }

// The document of every instance, built once and served until something it shows changes:
// every such change anywhere in the process marks it stale, and a command forgets it.
struct SharedDocument {
    std::string body;
    bool valid = false;
};
// Written only when it changes, so notes marking it again and again do not fight the user-
// interface thread over its cache line.
std::atomic<bool> gDocumentStale{true};

// A static file kept while its stamp stays the same: the page's files are asked for again and
// again, and asking for a stamp costs far less than opening and reading the file.
struct CachedFile {
    platform::FileStamp stamp;
    std::string bytes;
};
constexpr uint64_t kLargestCachedFile = 1u << 20;
constexpr size_t kCachedFileCount = 64;

// [ui] process-wide: the one server and what it serves.
struct ApiState {
    HttpServer* server = nullptr;
    InstanceDirectory* instances = nullptr;
    std::string programFolder;
    std::string machineName;  // asked once per start: a request must not wait on the system
    uint32_t loggerId = 0;  // the instance that started the server
    SharedDocument document;
    std::unordered_map<std::string, CachedFile> files;
    std::string uncachedFile;  // a file too large to keep, as last read
};
ApiState& api() {
    static ApiState state;
    return state;
}

// A log line through the instance `id`, while it lives (the one that started the server may be
// gone while others live on: its lines are then dropped).
void logLine(uint32_t id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void logLine(uint32_t id, const char* format, ...) {
    InstanceView* instance = api().instances ? api().instances->find(id) : nullptr;
    if (!instance || !instance->logging()) return;  // every request logs: format only when kept
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    instance->log(line);
}

// Decimal text to int: 0 for text that is not a number, clamped to 32 bits.
int32_t toInt(const char* text) {
    const long long v = std::strtoll(text, nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

// Unsigned with automatic base; numbers beyond 32 bits read as the largest one, as a 32-bit
// conversion saturates.
uint32_t toId(const char* text) {
    if (!text) return 0;
    const unsigned long long v = std::strtoull(text, nullptr, 0);
    return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

// Text as a JSON string body: the quotation mark, backslash and control characters escaped.
// `text` ends in a NUL, as a std::string and a key name do.
const char* jsonText(std::string_view text, std::string& scratch) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
    });
    if (plain) return text.data();
    scratch.clear();
    model::appendJsonString(scratch, text);
    return scratch.c_str();
}

const char* boolText(bool on) { return on ? "true" : "false"; }

bool setArticulationField(model::Articulations& a, int slot, const char* field, const char* value) {
    if (std::strcmp(field, "name") == 0) a.name[slot] = value;
    else if (std::strcmp(field, "icon") == 0) a.icon[slot] = toInt(value);
    else if (std::strcmp(field, "note") == 0) a.note[slot] = toInt(value);
    else if (std::strcmp(field, "notev") == 0) a.notevel[slot] = toInt(value);
    else if (std::strcmp(field, "prog") == 0) a.prog[slot] = toInt(value);
    else if (std::strcmp(field, "modw") == 0) a.modw[slot] = toInt(value);
    else if (std::strcmp(field, "modc") == 0) a.modc[slot] = toInt(value);
    else return false;
    return true;
}

bool setControllerField(model::Controllers& c, int index, const char* field, const char* value) {
    if (std::strcmp(field, "name") == 0) c.name[index] = value;
    else if (std::strcmp(field, "type") == 0) c.type[index] = toInt(value);
    else if (std::strcmp(field, "default") == 0) c.defaultValue[index] = toInt(value);
    else if (std::strcmp(field, "cc") == 0) c.cc[index] = toInt(value);
    else if (std::strcmp(field, "on") == 0) c.on[index] = toInt(value);
    else if (std::strcmp(field, "value") == 0) c.value[index] = toInt(value);
    else if (std::strcmp(field, "lock") == 0) c.lock[index] = toInt(value);
    else return false;
    return true;
}

// The "json" PUT: the body, found after the first blank line of the request text, replaces
// every articulation when it is an array of at most 64 elements.
void replaceArticulations(InstanceView& instance, const ByteBuffer& request) {
    if (request.length <= 4) return;
    const char* text = reinterpret_cast<const char*>(request.data);
    uint64_t body = 0;
    bool found = false;
    for (uint64_t i = 0; i + 5 <= request.length && !found; ++i) {
        if ((text[i] == '\n' && text[i + 1] == '\n') || std::memcmp(text + i, "\r\n\r\n", 4) == 0) {
            body = i;
            found = true;
        }
    }
    if (!found) return;
    // The same reading as a bank file: members of the wrong type and elements that are not
    // objects are skipped, and nesting however deep cannot exhaust the host's stack.
    const model::ArticulationFileContents contents = model::parseArticulationFile(text + body, false);
    if (contents.status == model::ArticulationFileStatus::kRead) {
        // Built aside and exchanged column by column, so a note played meanwhile never finds an
        // emptied bank (the host gives no way to make the exchange itself atomic for a note).
        model::replaceArticulations(instance.records().articulations, [&](model::Articulations& built) {
            return model::overlayArticulations(built, contents.elements, 0);
        });
    }
    instance.changed();
}

// The articulation array: the bank-export text, up to the last slot in use.
void writeArticulationArray(HttpConnection* c, InstanceView& instance) {
    const model::Articulations& a = instance.records().articulations;
    const std::string text = model::articulationFileText(a, 0, model::usedArticulationCount(a));
    Http_Write(c, text.data(), text.size());
}

void writeInstance(HttpConnection* c, InstanceView& instance, bool first, std::string& scratch) {
    const model::InstanceRecords& r = instance.records();
    const model::InstanceOptions& o = r.options;
    const Levels s = instance.levels();
    Http_WriteFormat(c, "%s\t\t{\n", first ? "" : ",\n");
    Http_WriteFormat(c, "\t\t\t\"id\":\t\t%u,\n", instance.id());
    Http_WriteFormat(c, "\t\t\t\"volume\":\t%i,\n", s.volume);
    Http_WriteFormat(c, "\t\t\t\"pan\":\t\t%i,\n", s.pan);
    Http_WriteFormat(c, "\t\t\t\"pitch\":\t%i,\n", s.pitch);
    Http_WriteFormat(c, "\t\t\t\"port\":\t\t%i,\n", o.port);
    Http_WriteFormat(c, "\t\t\t\"channel\":\t%i,\n", o.channel);
    Http_WriteFormat(c, "\t\t\t\"visible\":\t%s,\n", boolText(instance.editorVisible()));
    Http_WriteFormat(c, "\t\t\t\"minimised\":\t%s,\n", boolText(o.minimised != 0));
    Http_WriteFormat(c, "\t\t\t\"tab\":\t\t%i,\n", o.page);
    Http_WriteFormat(c, "\t\t\t\"editing\":\t%i,\n", o.editing);
    Http_WriteFormat(c, "\t\t\t\"bankstart\":\t\t%i,\n", o.startart);
    Http_WriteFormat(c, "\t\t\t\"controllerstart\":\t\t%i,\n", r.controllerstart);

    Http_WriteFormat(c, "\t\t\t\"options\":\n\t\t\t{\n");
    const int32_t singleEditor = api().instances->singleEditor();
    for (size_t i = 0; i < model::kOptionCount; ++i) {
        const model::OptionInfo& option = model::kOptions[i];
        Http_WriteFormat(c, "\t\t\t\t\"%s\": %s%s\n", option.apiKey, boolText(model::optionTicked(option, o, singleEditor)),
                         i + 1 < model::kOptionCount ? "," : "");
    }
    Http_WriteFormat(c, "\t\t\t},\n");

    const model::Articulations& a = r.articulations;
    Http_WriteFormat(c, "\t\t\t\"articulations\":\n\t\t\t[");
    for (int i = 0; i < model::kArticulationCount; ++i) {
        Http_WriteFormat(c, "%s\n\t\t\t\t{\"name\": \"%s\"", i ? "," : "", jsonText(a.name[i], scratch));
        Http_WriteFormat(c, ", \"icon\": %i, \"note\": %i, \"notev\": %i, \"prog\": %i, \"modw\": %i, \"modc\": %i}",
                         a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i]);
    }
    Http_WriteFormat(c, "\n\t\t\t],\n");

    const model::Controllers& k = r.controllers;
    Http_WriteFormat(c, "\t\t\t\"controllers\":\n\t\t\t[\n");
    for (int i = 0; i < model::kControllerCount; ++i) {
        Http_WriteFormat(c, "%s\n\t\t\t\t{\"name\": \"%s\"", i ? "," : "", jsonText(k.name[i], scratch));
        Http_WriteFormat(c, ", \"type\": %i, \"default\": %i, \"cc\": %i, \"on\": %i, \"value\": %i, \"lock\": %i}",
                         k.type[i], k.defaultValue[i], k.cc[i], k.on[i], k.value[i], k.lock[i]);
    }
    Http_WriteFormat(c, "\n\t\t\t],\n");

    Http_WriteFormat(c, "\t\t\t\"pianokeys\":\n\t\t\t{\n");
    Http_WriteFormat(c, "\t\t\t\t\"missing\": %s,\n", boolText(a.keynamesmissing[0] != 0));
    Http_WriteFormat(c, "\t\t\t\t\"name\": \"%s\",\n", jsonText(a.keynamestitle[0], scratch));
    Http_WriteFormat(c, "\t\t\t\t\"mappings\":\n\t\t\t\t[\n");
    for (int i = 0; i < model::kArticulationCount; ++i) {
        const char* separator = i + 1 < model::kArticulationCount ? "," : "";
        if (!a.keynames[i]) {
            Http_WriteFormat(c, "\t\t\t\t\t{}%s\n", separator);
            continue;
        }
        Http_WriteFormat(c, "\t\t\t\t\t{");
        bool firstEntry = true;
        for (int key = 0; key < model::kKeyNameCount; ++key) {
            const std::string_view entry = (*a.keynames[i])[key];
            if (entry.empty()) continue;
            Http_WriteFormat(c, "%s\"%i\": \"%s\"", firstEntry ? "" : ", ", key, jsonText(entry, scratch));
            firstEntry = false;
        }
        Http_WriteFormat(c, "}%s\n", separator);
    }
    Http_WriteFormat(c, "\t\t\t\t]\n\t\t\t}\n\t\t}");
}

// "/monitor/<after>": the messages every instance sent, numbered in one order across them,
// those numbered above <after> (all that are kept for 0), oldest first, with why each went out.
// The instances keep their monitors while the server runs.
void serveMonitor(const HttpEvent* event) {
    InstanceDirectory& instances = *api().instances;
    const char* rest = event->path + std::strlen("/monitor");
    const uint64_t after = *rest == '/' ? std::strtoull(rest + 1, nullptr, 10) : 0;
    struct Line {
        uint64_t number;
        uint32_t id;
        engine::MonitorEntry entry;
    };
    std::vector<Line> lines;
    for (size_t i = 0; i < instances.count(); ++i) {
        InstanceView& instance = instances.at(i);
        instance.monitor().since(after, [&](uint64_t number, const engine::MonitorEntry& e) {
            lines.push_back({number, instance.id(), e});
        });
    }
    std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.number < b.number; });
    HttpConnection* c = event->connection;
    Http_SendStatus(c, 200, "OK");
    Http_SendHeader(c, "Content-Type", "application/json");
    Http_WriteFormat(c, "{\"sent\": [");
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        const uint32_t m = l.entry.message;
        const engine::Cause& why = l.entry.cause;
        char number[24];  // the writer formats 32-bit values only
        std::snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(l.number));
        Http_WriteFormat(c,
                         "%s\n{\"n\": %s, \"id\": %u, \"tick\": %u, \"port\": %u, \"status\": %u, \"data1\": %u, "
                         "\"data2\": %u, \"why\": \"%s\", \"articulation\": %i, \"key\": %i, \"from\": %i}",
                         i ? "," : "", number, l.id, l.entry.tick, m >> 24, m & 0xFF,
                         (m >> 8) & 0xFF, (m >> 16) & 0xFF, engine::whyText(why.why()), why.articulation(), why.key(),
                         static_cast<int>(why.from()));
    }
    Http_WriteFormat(c, "\n]}\n");
}

void serveApi(const HttpEvent* event) {
    ApiState& state = api();
    logLine(state.loggerId, "Server event SB_EV_REQUEST %s %s", event->method, event->path);

    // "/api/<id>/<command>/<first>/<second>=<value>"
    std::string path = event->path;
    std::string value;
    bool hasValue = false;
    const size_t equals = path.find('=');
    if (equals != std::string::npos) {
        value = path.substr(equals + 1, path.find('\n', equals + 1) - (equals + 1));
        hasValue = !value.empty();
        path.resize(equals);
    }
    std::string segments[5];
    int count = 0;
    for (size_t start = 0; start < path.size() && count < 5;) {
        const size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start) segments[count++] = path.substr(start, slash - start);
        start = slash + 1;
    }
    auto segment = [&](int i) { return i < count ? segments[i].c_str() : nullptr; };
    const uint32_t id = toId(segment(1));
    const char* command = segment(2);
    const char* valueText = hasValue ? value.c_str() : nullptr;

    HttpConnection* c = event->connection;
    Http_SendStatus(c, 200, "OK");
    Http_SendHeader(c, "Content-Type", "application/json");

    InstanceDirectory& instances = *state.instances;
    if (id != 0 && command && std::strcmp(command, "json") == 0 && std::strcmp(event->method, "GET") == 0) {
        if (InstanceView* instance = instances.find(id)) {
            writeArticulationArray(c, *instance);
            return;
        }
    }

    const bool plain = id == 0 && !command;
    SharedDocument& shared = state.document;
    if (!plain) shared.valid = false;
    // Taken before the walk: a change made while it runs marks the document stale again.
    if (plain && gDocumentStale.exchange(false, std::memory_order_acq_rel)) shared.valid = false;
    if (plain && shared.valid) {
        Http_Write(c, shared.body.data(), shared.body.size());
        return;
    }
    Http_Write(c, "", 0);  // ends the head, so what follows is the body alone
    const uint64_t bodyStart = c->send.length;
    Http_WriteFormat(c, "{\n\t\"instances\":\n\t[\n");
    std::string scratch;
    bool first = true;
    // No command adds or removes instances, so the directory stays as it is during the walk.
    for (size_t i = 0; i < instances.count(); ++i) {
        InstanceView& instance = instances.at(i);
        if (id != 0 && instance.id() != id) continue;
        if (command) HttpApi_RunCommand(instances, instance, command, segment(3), segment(4), valueText, event);
        writeInstance(c, instance, first, scratch);
        first = false;
    }
    Http_WriteFormat(c, "\n\t]\n}\n");
    if (plain && c->state == WRITING_BODY) {
        shared.body.assign(reinterpret_cast<const char*>(c->send.data) + bodyStart, c->send.length - bodyStart);
        shared.valid = true;
    }
}

// ---- What the editor shows beyond the instances document: the articulation playing, the channel
// levels and controller values as they move, controller page names, and the key names' files.
// These live under paths of their own, so that every /api answer stays as it was.

constexpr size_t kPageNameLimit = 255;  // bytes; a page name is a short label

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    model::appendJsonString(out, text);
    out += '"';
}

void answerJson(HttpConnection* c, int status, const std::string& body) {
    Http_SendStatus(c, status, status == 200 ? "OK" : status == 404 ? "Not Found" : "Bad Request");
    Http_SendHeader(c, "Content-Type", "application/json");
    Http_Write(c, "", 0);
    Http_Write(c, body.data(), body.size());
}

void answerError(HttpConnection* c, int status, const char* text) {
    std::string body = "{\"error\": ";
    appendQuoted(body, text);
    answerJson(c, status, body + "}\n");
}

// Every instance's moving values, small enough to be asked for several times a second.
std::string liveDocument(InstanceDirectory& instances) {
    std::string out = "{\n\t\"instances\":\n\t[";
    char line[160];
    for (size_t i = 0; i < instances.count(); ++i) {
        InstanceView& instance = instances.at(i);
        const Levels levels = instance.levels();
        std::snprintf(line, sizeof line, "%s\n\t\t{\"id\": %u, \"playing\": %i, \"volume\": %i, \"pan\": %i, \"pitch\": %i, \"values\": [",
                      i ? "," : "", instance.id(), instance.playingArticulation(), levels.volume, levels.pan, levels.pitch);
        out += line;
        const model::Controllers& k = instance.records().controllers;
        for (int c = 0; c < model::kControllerCount; ++c) {
            if (c) out += ", ";
            out += std::to_string(k.value[size_t(c)]);
        }
        out += "]}";
    }
    return out + "\n\t]\n}\n";
}

// Page names and, per articulation, where its key names come from; the names themselves are in
// the instances document.
std::string instanceDocument(InstanceView& instance) {
    const model::InstanceRecords& r = instance.records();
    const model::Articulations& a = r.articulations;
    std::string out = "{\n\t\"id\": " + std::to_string(instance.id()) + ",\n\t\"pages\": [";
    for (size_t p = 0; p < r.pageNames.size(); ++p) {
        if (p) out += ", ";
        appendQuoted(out, r.pageNames[p]);
    }
    out += "],\n\t\"keynames\":\n\t[";
    for (size_t i = 0; i < size_t(model::kArticulationCount); ++i) {
        out += i ? ",\n\t\t{\"list\": " : "\n\t\t{\"list\": ";
        out += boolText(a.keynames[i] != nullptr);
        out += ", \"named\": " + std::to_string(a.keynames[i] ? a.keynames[i]->named() : 0);
        out += ", \"missing\": ";
        out += boolText(a.keynamesmissing[i] != 0);
        out += ", \"title\": ";
        appendQuoted(out, a.keynamestitle[i]);
        out += ", \"path\": ";
        appendQuoted(out, a.keynamespath[i]);
        out += "}";
    }
    return out + "\n\t]\n}\n";
}

// The request's body: what follows the first blank line of its text.
std::string_view bodyOf(const ByteBuffer& request) {
    const std::string_view text(reinterpret_cast<const char*>(request.data), request.length);
    const size_t crlf = text.find("\r\n\r\n"), lf = text.find("\n\n");
    if (crlf == std::string_view::npos && lf == std::string_view::npos) return {};
    return crlf < lf ? text.substr(crlf + 4) : text.substr(lf + 2);
}

// A whole number 0..count-1 as the start of `rest`, which it leaves after the number's slash;
// -1 when there is none.
int indexFrom(std::string_view& rest, int count) {
    const size_t slash = std::min(rest.find('/'), rest.size());
    const std::string_view digits = rest.substr(0, slash);
    if (digits.empty() || digits.size() > 3 || !std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) return -1;
    const int index = std::atoi(std::string(digits).c_str());
    rest.remove_prefix(std::min(slash + 1, rest.size()));
    return index < count ? index : -1;
}

bool isInstanceRequest(const char* path) {
    return std::strcmp(path, "/live") == 0 || std::strncmp(path, "/instance/", 10) == 0;
}

// GET /live; GET /instance/ID; PUT or POST /instance/ID/pages/P (body: the name),
// /instance/ID/keynames/SLOT/load/FILENAME (body: the file's text), .../reload, .../clear.
void serveInstanceRequest(const HttpEvent* event) {
    logLine(api().loggerId, "Server event SB_EV_REQUEST %s %s", event->method, event->path);
    HttpConnection* c = event->connection;
    InstanceDirectory& instances = *api().instances;
    const bool get = std::strcmp(event->method, "GET") == 0;
    if (std::strcmp(event->path, "/live") == 0) {
        if (get) answerJson(c, 200, liveDocument(instances));
        else answerError(c, 400, "/live is only read");
        return;
    }
    std::string_view rest = event->path + 10;
    const size_t slash = std::min(rest.find('/'), rest.size());
    InstanceView* instance = instances.find(toId(std::string(rest.substr(0, slash)).c_str()));
    rest.remove_prefix(std::min(slash + 1, rest.size()));
    if (!instance) return answerError(c, 404, "no instance has this id");
    if (rest.empty()) return answerJson(c, 200, instanceDocument(*instance));
    // A change is never a GET: a link or an image cannot make one.
    if (get || (std::strcmp(event->method, "PUT") != 0 && std::strcmp(event->method, "POST") != 0))
        return answerError(c, 400, "a change is sent with PUT or POST");

    const std::string_view body = bodyOf(c->receive);
    if (rest.substr(0, 6) == "pages/") {
        rest.remove_prefix(6);
        const int page = indexFrom(rest, model::kControllerPageCount);
        if (page < 0 || !rest.empty()) return answerError(c, 400, "pages are numbered 0 to 15");
        const std::string_view line = body.substr(0, body.find_first_of(std::string_view("\r\n\0", 3)));
        instance->records().pageNames[size_t(page)] = line.substr(0, model::utf8Prefix(line.data(), line.size(), kPageNameLimit));
        instance->changed();
    } else if (rest.substr(0, 9) == "keynames/") {
        rest.remove_prefix(9);
        const int slot = indexFrom(rest, model::kArticulationCount);
        if (slot < 0) return answerError(c, 400, "articulations are numbered 0 to 63");
        if (rest.substr(0, 5) == "load/" || rest == "load") {
            instance->readKeyNames(slot, body, std::string(rest.substr(std::min<size_t>(5, rest.size()))));
        } else if (rest == "reload") {
            instance->keyNamesCommand(slot, model::KeyNamesCommand::kReload);
        } else if (rest == "clear") {
            instance->keyNamesCommand(slot, model::KeyNamesCommand::kClear);
        } else {
            return answerError(c, 400, "key names are loaded, reloaded or cleared");
        }
    } else {
        return answerError(c, 400, "no such request");
    }
    answerJson(c, 200, instanceDocument(*instance));
}

bool hasUnsafeSegment(const char* path) {
    const char* start = path;
    for (const char* p = path;; ++p) {
        if (*p == '/' || *p == '\\' || *p == '\0') {
            const std::string segment(start, static_cast<size_t>(p - start));
            if (segment == "..") return true;
            // Drive letters and alternate streams, and DOS device names that open a device in
            // any folder (CON, NUL, COM1 ...), with or without an extension.
            if (segment.find(':') != std::string::npos) return true;
            std::string base = segment.substr(0, segment.find('.'));
            for (char& ch : base) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            while (!base.empty() && base.back() == ' ') base.pop_back();
            if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" ||
                ((base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base.size() == 4 && base[3] >= '1' &&
                 base[3] <= '9'))
                return true;
            if (*p == '\0') return false;
            start = p + 1;
        }
    }
}

// The bytes of a regular, readable file, or null; a folder opens on some platforms but cannot be
// read.
const std::string* readStaticFile(const std::string& path) {
    platform::FileStamp stamp;
    if (path.size() >= kPathLimit || !platform::regularFileStamp(path, stamp)) return nullptr;
    ApiState& state = api();
    const auto kept = state.files.find(path);
    if (kept != state.files.end() && kept->second.stamp == stamp) return &kept->second.bytes;

    std::FILE* file = platform::openFile(path, "rb");
    if (!file) return nullptr;
    std::string bytes;
    char chunk[kFileChunk];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return nullptr;

    if (stamp.size > kLargestCachedFile) {
        state.uncachedFile = std::move(bytes);
        return &state.uncachedFile;
    }
    if (kept == state.files.end() && state.files.size() >= kCachedFileCount) state.files.clear();
    CachedFile& entry = state.files[path];
    entry.stamp = stamp;
    entry.bytes = std::move(bytes);
    return &entry.bytes;
}

void serveFile(const HttpEvent* event) {
    std::string file = platform::joinProgramPath(api().programFolder, kStaticFolder);
    const char* relative = event->path;
    if (*relative == '/' || *relative == '\\') ++relative;
    for (const char* p = relative; *p; ++p) file += *p == '\\' ? '/' : *p;
    logLine(api().loggerId, "Server event SB_EV_REQUEST %s %s (%s)", event->method, event->path, file.c_str());

    HttpConnection* c = event->connection;
    const std::string* bytes = nullptr;
    if (!hasUnsafeSegment(event->path)) {
        bytes = readStaticFile(file);
        if (!bytes) bytes = readStaticFile(file + "/index.html");
    }
    if (!bytes) {
        Http_SendStatus(c, 404, "OK");
        Http_Write(c, "", 0);
        return;
    }
    Http_SendStatus(c, 200, "OK");
    Http_Write(c, "", 0);
    Http_Write(c, bytes->data(), bytes->size());
}

}  // namespace

void HttpApi_Start(InstanceDirectory& instances, const std::string& programFolder, uint32_t loggerId) {
    ApiState& state = api();
    if (state.server) HttpApi_Stop(loggerId);
    const std::string port = settings::httpPortSetting();
    HttpServerOptions options{};
    options.handler = HttpApi_OnEvent;
    options.port = port.c_str();
    options.maximumRequestSize = kMaximumRequestSize;
    state.instances = &instances;
    state.programFolder = programFolder;
    state.machineName = platform::machineName();
    state.loggerId = loggerId;
    state.server = HttpServer_Create(&options);
    instances.setMonitoring(state.server != nullptr);
    if (state.server)
        logLine(loggerId, "Listening on port %s:%s [%p]", orNull(options.host), port.c_str(), static_cast<void*>(state.server));
}

void HttpApi_DocumentChanged() noexcept {
    if (!gDocumentStale.load(std::memory_order_relaxed)) gDocumentStale.store(true, std::memory_order_release);
}

std::string HttpApi_Address() {
    return "http://127.0.0.1:" + settings::httpPortSetting() + "/";
}

void HttpApi_Stop(uint32_t loggerId) {
    ApiState& state = api();
    if (!state.server) return;
    HttpServer_Close(state.server);
    state.server = nullptr;
    state.instances->setMonitoring(false);
    state.document = SharedDocument{};  // a later server builds its own
    state.files.clear();
    state.uncachedFile = std::string();
    logLine(loggerId, "Server closed");
}

void HttpApi_Poll() {
    if (HttpServer* server = api().server) HttpServer_Poll(server, 0);
}

bool HttpApi_Running() { return api().server != nullptr; }

HttpServer* HttpApi_Server() { return api().server; }

int HttpApi_OnEvent(const HttpEvent* event) {
    if (event->type != SB_EV_REQUEST) return SB_CONTINUE;
    HttpConnection* c = event->connection;
    if (const char* refusal = Http_RefusalText(reinterpret_cast<const char*>(c->receive.data), api().machineName)) {
        logLine(api().loggerId, "Server event SB_EV_REQUEST %s %s refused: %s", event->method, event->path, refusal);
        Http_SendStatus(c, 403, "Forbidden");
        Http_SendHeader(c, "Content-Type", "text/plain; charset=utf-8");
        Http_WriteFormat(c, "%s\n", refusal);
        return SB_CONTINUE;
    }
    const char* path = event->path;
    if (std::strcmp(path, "/api") == 0 || std::strncmp(path, "/api/", 5) == 0) serveApi(event);
    else if (std::strcmp(path, "/monitor") == 0 || std::strncmp(path, "/monitor/", 9) == 0) serveMonitor(event);
    else if (isMapRequest(path)) serveMapRequest(event, api().programFolder);
    else if (isInstanceRequest(path)) serveInstanceRequest(event);
    else serveFile(event);
    return SB_CONTINUE;
}

void HttpApi_RunCommand(InstanceDirectory& instances, InstanceView& instance, const char* command, const char* first,
                        const char* second, const char* value, const HttpEvent* event) {
    char line[512];
    std::snprintf(line, sizeof line, "Server command %s %s %s (%s)", orNull(command), orNull(first), orNull(second),
                  orNull(value));
    instance.log(line);
    if (!command) return;
    model::InstanceRecords& r = instance.records();
    model::InstanceOptions& o = r.options;
    const std::string name = command;

    if (name == "json") {
        if (event && event->connection && std::strcmp(event->method, "PUT") == 0)
            replaceArticulations(instance, event->connection->receive);
        return;
    }
    if (!value) return;
    const int32_t v = toInt(value);
    const auto above = [v](uint32_t limit) { return static_cast<uint32_t>(v) > limit; };
    if (name == "port") {
        o.port = above(255) ? 255 : v;
    } else if (name == "channel") {
        o.channel = above(63) && v != model::kPerColourChannel ? 63 : v;
    } else if (name == "tab") {
        o.page = above(2) ? 2 : v;
    } else if (name == "editing") {
        o.editing = above(63) ? 63 : v;
    } else if (name == "bankstart") {
        o.startart = above(63) ? 63 : v;
    } else if (name == "controllerstart") {
        r.controllerstart = std::min(std::max(v, 0), model::kControllerCount - 1);
    } else if (name == "options") {
        if (!first) return;
        if (const model::OptionInfo* option = model::optionByApiKey(first)) {
            const model::InstanceOptions before = o;
            model::setOptionTicked(*option, o, instances.singleEditor(), std::strcmp(value, "true") == 0);
            instance.optionsChanged(before);
        }
    } else if (name == "articulations") {
        if (!first || !second) return;
        const int32_t slot = toInt(first);
        if (slot < 0 || slot >= model::kArticulationCount) return;
        setArticulationField(r.articulations, slot, second, value);
    } else if (name == "controllers") {
        if (!first || !second) return;
        const int32_t index = toInt(first);
        if (index < 0 || index >= model::kControllerCount) return;
        setControllerField(r.controllers, index, second, value);
    } else {
        return;
    }
    instance.repaint();
}

}  // namespace http
