#pragma once
// The transmitter of scenario traffic on one input line: it offers each label's word at the
// label's rate (with its jitter), sends one word at a time as the bus allows (32 bits and a gap
// of 4 bit times at the bit rate), and applies the faults of the input.
//
// Pacing: when a label's next word is offered while its previous word still waits for the bus,
// the waiting word is not sent (counted) and the fresher one takes its place; among waiting words
// the one offered first goes first. So traffic above what the bus carries is sent at the bus
// limit and the rest is counted as not sent, and a slow label is never starved by a fast one.
//
// Deterministic: the same traffic, seed and calls give the same words, however the time is cut
// into calls of Next. Times are microseconds of the generator's own clock (0 = scenario start).

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "vboard/label_encoding.h"
#include "vboard/line_source.h"
#include "vboard/traffic_faults.h"

namespace orv {

struct LabelTraffic {
    uint8_t label = 0;
    unsigned sdi = 0;
    double rateHz = 10.0;
    double jitter = 0.0;  // fraction of the period, 0..0.5: each period varies by up to +- that
    LabelCoding coding;
    int line = 0;
};

struct InputTraffic {
    double bitRateKbps = 12.5;
    bool evenParity = false;
    std::vector<LabelTraffic> labels;
    std::vector<TrafficFault> faults;
};

class TrafficGenerator final : public LineSource {
public:

    TrafficGenerator(InputTraffic traffic, uint64_t seed);
    // Entries point into the traffic it holds.
    TrafficGenerator(const TrafficGenerator&) = delete;
    TrafficGenerator& operator=(const TrafficGenerator&) = delete;

    // The next word whose last bit is on the line at or before `untilUs`; false when there is
    // none yet. With `build` false the word is paced and counted but not encoded (nobody listens).
    bool Next(uint64_t untilUs, TrafficWord& out, bool build = true) override;

    // Moves the line on to `untilUs` without sending: each label keeps its phase and waiting words
    // are dropped. For stretches that are not played word by word: long ones nobody listens to
    // (the time before a board is first opened), where nothing is counted, and the part of a
    // catch-up beyond what the board plays at once, where `countNotSent` counts as not sent the
    // words dropped and those the labels offered meanwhile (at their own rates, an extra label
    // while its window is open).
    void Skip(uint64_t untilUs, bool countNotSent = false) override;

    // No later than the end of the next word of a label in `labels` (kNone: no such label): its
    // offer, after the word that holds the bus, at the shortest word time the line can have.
    // Pacing and faults may only make the word later, so a wake-up at this time is never late.
    uint64_t NextArrivalUs(const std::bitset<256>& labels) const override;

    uint64_t Sent() const override { return sent_; }
    uint64_t NotSent() const override { return notSent_; }
    double BitRateKbps() const override { return traffic_.bitRateKbps; }

private:
    struct Entry {
        uint8_t label = 0;
        unsigned sdi = 0;
        double periodUs = 0;
        double jitter = 0;
        const LabelCoding* coding = nullptr;
        const TrafficFault* onlyIn = nullptr;  // extra label: offered only inside this window
        std::vector<const TrafficFault*> faults;
        uint64_t due = 0;          // next offer
        uint64_t pending = kNone;  // offer time of the word waiting for the bus
    };

    // The word that has the bus next, with the faults drawn for it; kept across calls of Next
    // until its last bit is on the line, so that every draw is made once.
    struct Staged {
        std::size_t entry = 0;
        uint64_t startUs = 0;
        uint64_t endUs = 0;
        uint64_t nextUs = 0;  // the bus is free again (after the gap)
        double kbps = 0;
        bool parityFlip = false;
        int ssm = -1;
    };

    bool Stage(uint64_t untilUs);
    void OfferUpTo(uint64_t t);
    uint64_t NextPeriod(const Entry& e, double seconds);
    bool Draw(double probability);
    double Uniform();  // [0, 1)

    InputTraffic traffic_;
    std::vector<Entry> entries_;
    uint64_t rng_;
    std::optional<Staged> staged_;
    uint64_t busFree_ = 0;
    uint64_t shortestWordUs_ = 0;  // 32 bits at the fastest bit rate the line may use
    uint64_t sent_ = 0;
    uint64_t notSent_ = 0;
};

}  // namespace orv
