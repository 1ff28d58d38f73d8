// JSON is written as plain text everywhere (files, API documents): this is its one escaper.
#pragma once

#include <string>
#include <string_view>

namespace model {

// Appends `text` as the body of a JSON string: quotation mark, backslash and control characters
// become escapes; every other byte, UTF-8 included, is copied as it is.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace model
