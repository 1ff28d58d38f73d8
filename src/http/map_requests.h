// Requests of the web editor beside the API: other programs' articulation maps converted by the
// plugin's own importer, and the ready banks of the plugin's folder. Paths under /maps/, which
// no API request or page file uses.
#pragma once

#include <string>

#include "http/http_server.h"

namespace http {

// Whether `path` is one of these requests.
bool isMapRequest(const char* path);

// Answers it:
//   PUT /maps/convert/<extension>   the body, a map file: {"error": "...", "banks": [{"group",
//                                   "name", "leftout": [lines], "articulations": [bank file]}]}
//   GET /maps/ready                 {"banks": ["<vendor>/<product>/<bank>.krylvox", ...]}
//   GET /maps/ready/<relative path> that bank file, or 404
// `programFolder` is the host's, where the template and the plugin's banks/ are found. [ui]
void serveMapRequest(const HttpEvent* event, const std::string& programFolder);

}  // namespace http
