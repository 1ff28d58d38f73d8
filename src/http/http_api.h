// The HTTP API: a process-wide server, started by the first instance when the user switched the
// API on, that lists every live instance as JSON, applies commands to them, replaces their
// articulations from a PUT body and serves the static pages of the plugin's html folder.
// It reaches the instances only through http::InstanceDirectory.
// [ui] all of it runs on the host's user-interface thread, inside the instances' periodic calls,
// so instance data is read and written without locks.
#pragma once

#include <cstdint>
#include <string>

#include "http/instance_view.h"

namespace http {

struct HttpEvent;
struct HttpServer;

// Starts (or restarts) the server on the port stored as "HTTP Port", over `instances`, serving
// static files from under `programFolder`. Log lines go through the instance `loggerId` while
// it lives. A port that cannot be bound leaves no server and reports nothing.
void HttpApi_Start(InstanceDirectory& instances, const std::string& programFolder, uint32_t loggerId);
// Stops the server if one runs; the instance `loggerId` carries the log line.
void HttpApi_Stop(uint32_t loggerId);
// One zero-time-out pass of the server, if one runs.
void HttpApi_Poll();
bool HttpApi_Running();
// Something the instances document shows has changed (a record, a level, an editor shown,
// an instance made or gone): the next GET builds it afresh. No lock, no call: any thread. [audio][ui]
void HttpApi_DocumentChanged() noexcept;
// The API's address on this machine as a URL ("http://127.0.0.1:8000/"), on the stored port.
std::string HttpApi_Address();
HttpServer* HttpApi_Server();  // null while stopped

// The server's handler: answers SB_EV_REQUEST, ignores the other events, always continues.
int HttpApi_OnEvent(const HttpEvent* event);
// Applies one command (null does nothing) to one instance; `event` gives the method and, for
// "json", the request text whose body holds the articulations.
void HttpApi_RunCommand(InstanceDirectory& instances, InstanceView& instance, const char* command, const char* first,
                        const char* second, const char* value, const HttpEvent* event);

}  // namespace http
