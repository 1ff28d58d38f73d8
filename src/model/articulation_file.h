// Articulation files (".krylvox"): one articulation or a whole bank as a JSON array of
// objects. The text is written by hand, byte for byte the same on every build; reading goes
// through RapidJSON and takes only members of the right type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/records.h"

namespace model {

// The members one file element carries; absent ones leave the target field as it was.
struct ArticulationFields {
    std::optional<std::string> name;
    std::optional<int32_t> icon;
    std::optional<int32_t> note;
    std::optional<int32_t> notevel;
    std::optional<int32_t> prog;  // from "uacc", then from "prog", which wins
    std::optional<int32_t> modw;
    std::optional<int32_t> modc;
};

enum class ArticulationFileStatus {
    kUnreadable,  // could not be opened or read: the import ends without a word
    kNotJson,     // the user is told
    kNotABank,    // valid JSON of the wrong shape or size: ignored without a word
    kRead,
};

struct ArticulationFileContents {
    ArticulationFileStatus status = ArticulationFileStatus::kUnreadable;
    std::vector<ArticulationFields> elements;  // at most 64; file order
};

inline constexpr int kMaxFileElements = kArticulationCount;

// The file's text for articulations first .. first+count-1 ("\n" line ends; the file is written
// in text mode, so Windows stores CR LF). count 0 gives "[\n]\n".
std::string articulationFileText(const Articulations& articulations, int first, int count);

// Writes that text to `path`; false when the file cannot be created or written. [ui]
bool writeArticulationFile(const std::string& path, const Articulations& articulations, int first, int count);

// Parses a whole file held in a zero-terminated buffer. A single import also rejects an empty
// array. Members of the wrong type (a name that is not a string, a number that is not an
// integer within 32 bits) and elements that are not objects are skipped; the rest is read.
ArticulationFileContents parseArticulationFile(const char* text, bool single);

// Reads `path` whole and parses it. [ui]
ArticulationFileContents readArticulationFile(const std::string& path, bool single);

// The fields an element carries go into articulation `index`; key names are not touched.
void overlayArticulation(Articulations& articulations, int index, const ArticulationFields& fields);

// Elements go to consecutive slots from `startSlot`; those that would land at 64 or beyond are
// dropped. Returns how many were taken.
int overlayArticulations(Articulations& articulations, const std::vector<ArticulationFields>& elements,
                         int startSlot);

// The index of the last non-empty articulation plus 1 (full emptiness rule), 0 when all are
// empty: what a bank export writes and where "Append" starts.
int usedArticulationCount(const Articulations& articulations);

// Reads a whole file in binary mode; false when it cannot be opened or read. [ui]
bool readWholeFile(const std::string& path, std::string& contents);

}  // namespace model
