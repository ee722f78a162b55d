#pragma once
// A recorded bus played on the line of an input: each word exactly as recorded, starting at its
// recorded start time scaled by the speed. A word recorded with a parity error still has even
// parity; one recorded as of another rate class than its bus is sent at another class's rate: at
// 100 kbit/s when its speed bit says so, else at 50 kbit/s on a bus of the 12.5 kbit/s class and
// at 12.5 kbit/s on any other (the file keeps no more of its rate than that bit).
//
// Pacing as scenario traffic has it (traffic_generator.h): a word waits while the bus is busy,
// and when a word of the same label and SDI is offered while the previous one still waits, the
// waiting one is not sent (counted) and the fresher one takes its place. At speed 1 a recording
// plays exactly as it was made; a faster speed packs words closer than the bus allows, and what
// does not fit is counted as not sent.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "vboard/line_source.h"
#include "vboard/recorded_buses.h"

namespace orv {

struct PlaybackTiming {
    double speed = 1.0;   // recorded seconds per played second
    bool loop = false;    // from the start again after the recording's end
    double startS = 0.0;  // where in the recording play starts (seconds after its first word)
};

class PlaybackSource final : public LineSource {
public:
    // `recordingEnd`: BusRecording::end of the file the bus comes from (every bus of a file loops
    // with the same length, so that buses played on several inputs stay together).
    PlaybackSource(std::shared_ptr<const RecordedBus> bus, int64_t recordingEnd, PlaybackTiming timing);

    bool Next(uint64_t untilUs, TrafficWord& out, bool build = true) override;
    void Skip(uint64_t untilUs, bool countNotSent = false) override;
    uint64_t NextArrivalUs(const std::bitset<256>& labels) const override;
    uint64_t Sent() const override { return sent_; }
    uint64_t NotSent() const override { return notSent_; }
    double BitRateKbps() const override { return bus_->bitRate / 1000.0; }

private:
    // Words are numbered across the passes of a loop: position p is word p % count_ of the
    // played part, in pass p / count_.
    uint64_t OfferUs(uint64_t position) const;  // kNone past the end
    const RecordedWord& WordAt(uint64_t position) const { return bus_->words[first_ + position % count_]; }
    static unsigned Key(uint32_t word) { return word & 0x3FF; }  // label and SDI
    double RateOf(const RecordedWord& w) const;  // bit/s it is sent at
    void OfferUpTo(uint64_t t);
    bool Stage(uint64_t untilUs);

    struct Waiting {
        uint64_t offerUs;
        uint64_t position;
    };
    struct Staged {
        uint64_t position = 0;
        uint64_t startUs = 0;
        uint64_t endUs = 0;
        uint64_t nextUs = 0;
        double rate = 0.0;
    };

    std::shared_ptr<const RecordedBus> bus_;
    PlaybackTiming timing_;
    std::size_t first_ = 0;  // the first word at or after the start
    std::size_t count_ = 0;  // words played in one pass
    int64_t startTenths_ = 0;
    int64_t passTenths_ = 0;  // recorded length of one pass
    uint64_t wordUs_ = 0;     // 32 bits at the bus's rate (no word is shorter: see NextArrivalUs)
    unsigned rateClass_ = 0;

    uint64_t next_ = 0;              // position of the next word to offer
    std::vector<Waiting> waiting_;   // offered, waiting for the bus, in order of offer
    std::optional<Staged> staged_;
    uint64_t busFree_ = 0;
    uint64_t sent_ = 0;
    uint64_t notSent_ = 0;
};

}  // namespace orv
