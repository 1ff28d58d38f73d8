// `state dump` and `state convert`: saved instance states made readable, or brought up to the
// current format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace voxhost {

// The state as JSON: its format, options, articulations, pages and controllers. False with the
// reason when the bytes are not a state the plugin reads.
bool stateAsJson(const std::vector<uint8_t>& bytes, std::string& json, std::string& error);

}  // namespace voxhost
