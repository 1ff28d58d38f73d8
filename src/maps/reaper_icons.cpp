// REAPER articulation icon names (`i=`) against the catalogue's icons. Names that mean one of
// our icons map to it; the rest are left to the name-to-icon template.
#include <cstring>

#include "maps/map_model.h"

namespace maps {

namespace {

struct NamedIcon {
    const char* name;
    int32_t icon;
};

// Where one of our icons has several REAPER names, the first one listed is written back.
constexpr NamedIcon kIcons[] = {
    {"note-quarter", 0},         {"note-whole", 1},
    {"note-half", 1},            {"con-sord", 7},
    {"stopped", 147},            {"flautando", 8},
    {"flautando-con-sord", 8},   {"cuivre", 9},
    {"harmonics", 10},           {"harmonics-natural", 10},
    {"tremolo", 11},             {"tremolo-con-sord", 12},
    {"tremolo-sul-pont", 13},    {"vibrato", 16},
    {"vibrato-molto", 16},       {"sul-pont", 18},
    {"sul-tasto", 19},           {"sul-tasto-super", 19},
    {"legato", 20},              {"legato-slow", 23},
    {"legato-fast", 24},         {"legato-con-sord", 26},
    {"legato-sul-pont", 29},     {"legato-tremolo", 30},
    {"legato-portamento", 31},   {"legato-runs", 33},
    {"run-major", 33},           {"run-minor", 33},
    {"bow-up", 35},              {"bow-down", 36},
    {"legato-sul-g", 37},        {"staccato", 40},
    {"note-eighth", 40},         {"spiccato", 42},
    {"staccato-con-sord", 47},   {"spiccato-brushed", 48},
    {"spiccato-feathered", 48},  {"staccato-dig", 49},
    {"staccato-sfz", 49},        {"tenuto-quarter", 50},
    {"tenuto-eighth", 50},       {"tenuto-half", 50},
    {"marcato-quarter", 52},     {"marcato-half", 52},
    {"sfz", 54},                 {"pizz", 56},
    {"pizz-bartok", 57},         {"col-legno", 58},
    {"staccato-harmonics", 61},  {"col-legno-whole", 65},
    {"trill-min2", 70},          {"trill-maj2", 71},
    {"trill-min3", 72},          {"trill-maj3", 73},
    {"trill-perf4", 74},         {"multitongued", 75},
    {"phrase-multitongued", 75}, {"tremolo-measured-sixteenth", 85},
    {"tremolo-harmonics", 88},   {"fx", 90},
    {"rip", 100},                {"fall", 101},
    {"cresc-half", 102},         {"cresc-p-half", 102},
    {"cresc-f-half", 102},       {"decrescendo", 103},
    {"sul-g", 112},              {"sul-c", 112},
    {"trill", 139},              {"accented-quarter", 145},
};

}  // namespace

int32_t iconForReaperName(std::string_view name) {
    for (const NamedIcon& entry : kIcons)
        if (name == entry.name) return entry.icon;
    return model::kNoIcon;
}

std::string_view reaperNameForIcon(int32_t icon) {
    for (const NamedIcon& entry : kIcons)
        if (entry.icon == icon) return entry.name;
    return {};
}

}  // namespace maps
