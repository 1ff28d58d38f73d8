// The demo: three instances from the shipped banks play a short phrase of coloured notes; the
// listing is printed, demo-out.mid written, and the instances stay up with the HTTP API.
#pragma once

#include "smf/smf.h"

namespace voxhost {

// The phrase: strings, Spitfire UACC and brass on tracks 0, 1 and 2; a note's channel is its
// colour, as in FL Studio's MIDI files.
smf::Song demoPhrase();

}  // namespace voxhost
