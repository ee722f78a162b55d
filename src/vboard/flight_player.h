#pragma once
// The transmitter of the built-in flight (flight_scenario.h): one line schedule that every input
// hearing the flight shares, from board power-up on. Each label is due at its rate; the label due
// first goes when the line is free, one word at a time at 12.5 kbit/s, so a label waiting for the
// line keeps its next word on its own period.

#include <array>
#include <cstdint>

#include "vboard/flight_scenario.h"

namespace orv {

struct FlightWord {
    uint32_t word = 0;  // SDI 0, bit 32 left 0
    uint64_t endUs = 0; // its last bit is on the line
};

class FlightPlayer {
public:
    static constexpr unsigned kRateCode = 0;  // 12.5 kbit/s, odd parity

    // The labels' first words spread a little, so that they do not all queue at power-up.
    FlightPlayer();

    // The next word whose last bit is on the line by `target`; false when there is none yet.
    bool Next(uint64_t target, FlightWord& out);
    // Nobody listens: moves the schedule on to `target` without making the words. Returns the
    // words the line carried meanwhile.
    uint64_t Skip(uint64_t target);
    // When the next word's last bit will be on the line.
    uint64_t NextArrivalUs() const;

private:
    uint64_t busFree_ = 0;
    std::array<uint64_t, kFlightScenario.size()> due_{};
};

}  // namespace orv
