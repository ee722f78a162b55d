#pragma once
// What plays on the line of one input besides loopback and the built-in flight: scenario traffic
// (traffic_generator.h) or a recorded bus (playback_source.h). The board asks a source for the
// words whose last bit is on the line by a time, in order; times are microseconds of the source's
// own clock (0 = when the board was wired to it).

#include <bitset>
#include <cstdint>

namespace orv {

struct TrafficWord {
    uint32_t word = 0;       // as on the wire, bit 32 included
    uint64_t startUs = 0;    // first bit on the line
    uint64_t endUs = 0;      // last (32nd) bit done: the receiver has it
    double bitRateKbps = 0;
    unsigned rateClass = 0;  // RateClassOf the transmitter (kNoRateClass: no receiver hears it)
    bool parityRight = true; // the parity the transmitter is set to (false: a parity fault)
};

class LineSource {
public:
    static constexpr uint64_t kNone = UINT64_MAX;

    virtual ~LineSource() = default;

    // The next word whose last bit is on the line at or before `untilUs`; false when there is
    // none yet. With `build` false the word is paced and counted but need not be encoded (nobody
    // listens).
    virtual bool Next(uint64_t untilUs, TrafficWord& out, bool build = true) = 0;

    // Moves the line on to `untilUs` without sending; waiting words are dropped. `countNotSent`
    // counts as not sent the words dropped and those offered meanwhile.
    virtual void Skip(uint64_t untilUs, bool countNotSent = false) = 0;

    // No later than the end of the next word of a label in `labels` (kNone: no such word will
    // come). A wake-up at this time is never late; an earlier one only plays the bus.
    virtual uint64_t NextArrivalUs(const std::bitset<256>& labels) const = 0;

    virtual uint64_t Sent() const = 0;
    virtual uint64_t NotSent() const = 0;
    // The bit rate the line runs at.
    virtual double BitRateKbps() const = 0;
};

// Rate class a receiver hears a bit rate in: 0 for 12..14.5 kbit/s, 1 for 36..60, 2 for 100;
// kNoRateClass for every other rate (no receiver setting hears it).
constexpr unsigned kNoRateClass = 255;
unsigned RateClassOf(double kbps);

}  // namespace orv
