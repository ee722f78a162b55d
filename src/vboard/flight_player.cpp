#include "vboard/flight_player.h"

#include <algorithm>

#include "vboard/arinc_bus.h"

namespace orv {
namespace {

uint64_t PeriodUs(std::size_t label) { return 1000000u / kFlightScenario[label].rateHz; }

}  // namespace

FlightPlayer::FlightPlayer() {
    for (std::size_t i = 0; i < due_.size(); ++i) due_[i] = 1000 * i;
}

bool FlightPlayer::Next(uint64_t target, FlightWord& out) {
    std::size_t pick = 0;
    for (std::size_t i = 1; i < due_.size(); ++i)
        if (due_[i] < due_[pick]) pick = i;
    const uint64_t start = std::max(due_[pick], busFree_);
    if (start + WordArrivalUs(kRateCode) > target) return false;
    out.word = ScenarioWord(pick, double(start) * 1e-6, 0);
    out.endUs = start + WordArrivalUs(kRateCode);
    busFree_ = start + WordTimeUs(kRateCode);
    due_[pick] += PeriodUs(pick);
    return true;
}

uint64_t FlightPlayer::Skip(uint64_t target) {
    uint64_t carried = 0;
    for (std::size_t i = 0; i < due_.size(); ++i) {
        const uint64_t period = PeriodUs(i);
        if (due_[i] >= target) continue;
        const uint64_t words = (target - due_[i] + period - 1) / period;
        due_[i] += words * period;
        carried += words;
    }
    busFree_ = std::max(busFree_, target);
    return carried;
}

uint64_t FlightPlayer::NextArrivalUs() const {
    const uint64_t first = *std::min_element(due_.begin(), due_.end());
    return std::max(first, busFree_) + WordArrivalUs(kRateCode);
}

}  // namespace orv
