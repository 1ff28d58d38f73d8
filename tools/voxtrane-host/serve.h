// Keeping instances up with their HTTP API: the settings the plugin reads at its first
// instance, a check that the port can be had, and the periodic calls until Ctrl-C.
#pragma once

#include <string>

#include "host_session.h"

namespace voxhost {

// Before the module's first instance: the plugin serves its API on `port` when `serve`, and
// not at all otherwise. On Linux a settings file of the host's own; on Windows the user's
// registry values, put back by restoreApiSettings.
bool prepareApiSettings(bool serve, int port, std::string& error);
void restoreApiSettings();

// False with the reason when nothing can listen on `port` on every IPv4 interface.
bool portAvailable(int port, std::string& reason);

// Periodic calls about every 20 ms until Ctrl-C (or, for tests, until `seconds` have passed
// when it is above 0).
void serveUntilInterrupted(HostSession& session, double seconds);

}  // namespace voxhost
