// The test host: the shared recording host, under the name the tests use.
#pragma once

#include "hostkit/recording_host.h"

namespace testing_support {
using FakeHost = hostkit::RecordingHost;
using hostkit::DispatchCall;
using hostkit::MidiEvent;
}  // namespace testing_support
