// When the real-time firmware of the virtual board must wake without a request, and its thread.
#include <algorithm>
#include <bitset>
#include <chrono>
#include <pthread.h>

#include "vboard/virtual_board.h"

namespace orv {
namespace {

constexpr uint64_t kNever = UINT64_MAX;

}  // namespace

// Board time at which the firmware must play the bus without being asked: the next arrival that
// raises an event on a running input or that a listener waits for, and no later than kMaxStepUs
// from now while anything runs.
// Event wake-ups fall on a grid of kEventGrainUs, so that arrivals on several channels close
// together are played in one wake-up; an event is then signalled at most that late.
uint64_t VirtualBoard::NextWakeLocked() const {
    const auto running = [](const auto& channel) { return channel.running; };
    if (std::none_of(tx_.begin(), tx_.end(), running) && std::none_of(rx_.begin(), rx_.end(), running))
        return kNever;
    uint64_t wake = now_ + kMaxStepUs;
    for (unsigned i = 0; i < spec_.inputs; ++i) {
        if (!rx_[i].running || (rx_[i].eventLabels == 0 && listening_[i] == 0)) continue;
        switch (hears_[i]) {
            case InputHears::Loopback: wake = std::min(wake, NextOutputEventLocked(i)); break;
            case InputHears::Flight: wake = std::min(wake, flight_.NextArrivalUs()); break;
            case InputHears::Traffic:
            case InputHears::Playback: wake = std::min(wake, NextTrafficEventLocked(i)); break;
            default: break;
        }
    }
    if (wake < now_ + kMaxStepUs) wake = (wake + kEventGrainUs - 1) / kEventGrainUs * kEventGrainUs;
    return std::max(wake, now_ + 1);
}

// When the next word of output `index` whose label its looped input reports (or a listener waits
// for) will have arrived:
// a copy of the transmitter's cursor walks the frame on, at most once round.
uint64_t VirtualBoard::NextOutputEventLocked(unsigned index) const {
    const Transmitter& t = tx_[index];
    const unsigned channel = index + 1;
    const unsigned rate = ChannelSetting::RateCode(settings_[OutputChannelCode(channel)]);
    if (!t.running || !ValidRateCode(rate) || ChannelSetting::RateCode(settings_[InputChannelCode(channel)]) != rate)
        return kNever;
    FrameCursor cursor = t.cursor;
    for (unsigned k = 0; k < FrameCursor::kFrameSlots; ++k) {
        const uint32_t word = cursor.Word(memory_, channel);
        if (word != 0 && WakesLocked(index, word & 0xFF)) return cursor.next + WordArrivalUs(rate);
        if (!cursor.Step(rate)) return kNever;
    }
    return kNever;  // no word of the frame is reported
}

// No earlier than this the next word of a label input `index` reports arrives from its traffic
// (the generator's bound never lies late; a wake-up before the word only plays the bus).
uint64_t VirtualBoard::NextTrafficEventLocked(unsigned index) const {
    std::bitset<256> reported;
    for (unsigned label = 0; label < 256; ++label)
        if (WakesLocked(index, label)) reported.set(label);
    const uint64_t at = traffic_[index]->NextArrivalUs(reported);
    return at == LineSource::kNone ? kNever : trafficOrigin_ + at;
}

bool VirtualBoard::WakesLocked(unsigned index, unsigned label) const {
    return listened_[index][label] != 0 || ReportedLocked(index, label);
}

void VirtualBoard::StartFirmware() {
    if (clock_ != BoardClock::RealTime) return;
    std::lock_guard lock(mutex_);
    if (firmware_.joinable()) return;
    stop_ = false;
    firmware_ = std::thread([this] {
        pthread_setname_np(pthread_self(), kFirmwareThreadName);  // so that its cost can be told apart
        FirmwareLoop();
    });
}

void VirtualBoard::StopFirmware() {
    std::thread thread;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        thread = std::move(firmware_);
    }
    wake_.notify_all();
    if (thread.joinable()) thread.join();
}

void VirtualBoard::FirmwareLoop() {
    using Steady = std::chrono::steady_clock;
    std::unique_lock lock(mutex_);
    const auto woken = [this] { return stop_ || reschedule_; };
    while (!stop_) {
        CatchUpLocked();
        reschedule_ = false;
        const uint64_t wake = NextWakeLocked();
        if (wake == kNever) {
            wake_.wait(lock, woken);
        } else {
            const auto at = Steady::time_point(std::chrono::duration_cast<Steady::duration>(
                std::chrono::nanoseconds(epochNs_ + wake * 1000)));
            wake_.wait_until(lock, at, woken);
        }
    }
}

}  // namespace orv
