#pragma once
// The virtual board's own counters (a real board has none): per input what it hears, what its
// line carried and what the input did with it; per output the words it sent.

#include <array>
#include <cstdint>

#include "vboard/scenario_types.h"

namespace orv {

struct InputCounters {
    uint64_t received = 0;        // words accepted by the running channel
    uint64_t parityDropped = 0;   // words of even parity dropped by the parity check
    uint64_t rateMismatched = 0;  // words on the wire at another rate class than the channel's
    uint64_t overflowed = 0;      // words lost because their label's receive queue was full
    uint64_t lastArrivalUs = 0;   // bus time of the last accepted word
};

// What the line of one input carried: the words its transmitter put on the line, and those it
// could not send because the line was busy (scenario traffic above what the bus carries).
struct LineCounters {
    uint64_t sent = 0;
    uint64_t notSent = 0;
};

// The board's own status, as its counters stand.
struct BoardCounters {
    std::array<InputHears, 8> hears{};  // resolved: never Default
    std::array<LineCounters, 8> lines{};
    std::array<InputCounters, 8> inputs{};
    std::array<uint64_t, 8> outputsSent{};
};

}  // namespace orv
