// Which requests the server refuses: those a browser sends on behalf of another site's page, and
// those addressed to a name other than this machine's. The first stops any page the user visits
// from changing instances (an image or a form needs no permission to send a GET); the second stops
// a site whose name resolves to this machine from reading the instances as its own origin.
// Clients that send none of these headers (scripts, curl) are served as before.
#pragma once

#include <string_view>

namespace http {

// The short text a refused request gets with its 403, or null when the request is served.
// `head` is the received request text (request line, headers, blank line); `machineName` is
// this machine's name as gethostname gives it. A null head has no headers.
const char* Http_RefusalText(const char* head, std::string_view machineName);

// Whether `host` (a Host header's value, port included or not) names this machine as a
// browser may reach it: an IP address literal, "localhost", or the machine's name (its first
// label alone too), each with or without ".local" and a final dot.
bool Http_IsOwnHost(std::string_view host, std::string_view machineName);

}  // namespace http
