// The HTTP API: a process-wide server, started by the first instance when the user switched the
// API on, that lists every live instance as JSON, applies commands to them, replaces their
// articulations from a PUT body and serves the static pages of the plugin's html folder.
// [ui] all of it runs on the host's user-interface thread, inside the instances' periodic calls,
// so instance data is read and written without locks.
#pragma once

#include <cstdint>
#include <vector>

class KRYLVSTExprPlug;

namespace http {

struct HttpEvent;

// Starts (or restarts) the server on the port stored as "HTTP Port", with `instance` as the
// server's user data. A port that cannot be bound leaves no server and reports nothing.
void HttpApi_Start(KRYLVSTExprPlug* instance);
// Stops the server if one runs; `instance` only carries the log line.
void HttpApi_Stop(KRYLVSTExprPlug* instance);
// One zero-time-out pass of the server, if one runs.
void HttpApi_Poll();
bool HttpApi_Running();
// The editor's switch: stores the flag as "HTTP API" and starts or stops the server at once.
void HttpApi_SetEnabled(KRYLVSTExprPlug* instance, bool enabled);

// The server's handler: answers SB_EV_REQUEST, ignores the other events, always continues.
int HttpApi_OnEvent(const HttpEvent* event);
// Applies one command (null does nothing) to one instance; `event` gives the method and, for
// "json", the request text whose body holds the articulations.
void HttpApi_RunCommand(KRYLVSTExprPlug* instance, const char* command, const char* first, const char* second,
                        const char* value, const HttpEvent* event);

// The API's name for an instance: the low 32 bits of its address, moved on to the next free
// number when 0 or already taken by a live instance, so that every live instance has its own.
uint32_t chooseInstanceId(uintptr_t address, const std::vector<uint32_t>& taken);
// The id for a new instance, not yet registered, among the live ones.
uint32_t HttpApi_NewInstanceId(const KRYLVSTExprPlug* instance);

}  // namespace http
