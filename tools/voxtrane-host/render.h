// Renders a song through instances: every MIDI message the instances send, at the tick at
// which it was sent, written as a MIDI file and, on request, listed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host_session.h"
#include "smf/smf.h"

namespace voxhost {

// Which instance plays a track's notes: with one instance all; with as many instances as
// tracks that hold notes, one each; otherwise the tracks take turns.
std::vector<int> assignTracks(const smf::Song& song, int instances);

// Plays the song from its first tick to its end and stops the transport.
void playSong(HostSession& session, const smf::Song& song);

// One output track per port and channel, tempo and time signatures kept.
std::vector<uint8_t> renderedFile(const smf::Song& song, const std::vector<SentMessage>& sent);

// The aligned listing: time, port, channel, message, and the articulation behind a switch.
void printListing(FILE* out, const smf::Song& song, const std::vector<SentMessage>& sent);

// Reads a whole file; false with the reason.
bool readFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
// Writes a file through a temporary one renamed at the end, so nothing is ever half-written.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace voxhost
