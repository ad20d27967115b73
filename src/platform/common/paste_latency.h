#pragma once

#include <chrono>

namespace qlq {

// With --verbose: how long the press took from F8's key event to the Ctrl+V going out, the
// program's own part of the latency (scripts/bench reads it).
void logPasteLatency(std::chrono::steady_clock::time_point f8Seen);

} // namespace qlq
