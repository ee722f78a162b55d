// The virtual board's clock, its wiring, playing the bus up to a board time (every transmitter
// delivers through ReceiveLocked, where a running input judges and stores each word), and
// inspection. The requests are in board_requests.cpp, the receive queues and events in
// board_receivers.cpp, the firmware's wake schedule and thread in board_schedule.cpp. The bus and
// the receiver it feeds share this file so that the per-word path stays in one unit.
#include "vboard/virtual_board.h"

#include <algorithm>
#include <chrono>
#include <unistd.h>

#include "driver/device.h"
#include "driver/signal_event.h"
#include "vboard/arinc_bus.h"
#include "vboard/playback_source.h"
#include "vboard/traffic_generator.h"

namespace orv {
namespace {

// Bit/s of a transmitter of rate code `code`.
double RateOf(unsigned code) { return 1e6 / double(BitTimeUs(code)); }

uint64_t SteadyNs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch()).count());
}

}  // namespace

VirtualBoard::VirtualBoard(BoardLayout spec, BoardClock clock)
    : spec_{std::min<uint16_t>(spec.inputs, 8), std::min<uint16_t>(spec.outputs, 8),
            std::min<uint16_t>(spec.loopbacks, 8), spec.scenario},
      clock_(clock),
      epochNs_(SteadyNs()) {
    for (unsigned c = 0; c < 8; ++c) memory_[ControlBlock::OutputFrameOffsets + c] = FrameOffset(c + 1);
    WireLocked(BoardScenario{}, 0);
    RestoreRegistersLocked();
}

VirtualBoard::~VirtualBoard() {
    StopFirmware();
    if (eventFd_ >= 0) close(eventFd_);
}

uint64_t VirtualBoard::ClockUs() const { return (SteadyNs() - epochNs_) / 1000; }

void VirtualBoard::CatchUpLocked() {
    if (clock_ == BoardClock::RealTime) AdvanceToLocked(std::max(now_, ClockUs()), kMaxCatchUpUs);
}

std::size_t VirtualBoard::Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
    std::lock_guard lock(mutex_);
    CatchUpLocked();
    const std::size_t n = RequestLocked(code, in, out);
    RestoreRegistersLocked();
    switch (code) {
        case kStartBoard:
        case kChangeFrameWord:
        case kWriteRange:
        case kLoadOutputChannel:
        case kLoadInputChannel:
        case kStartOutputChannel:
        case kStartInputChannel:
            // What runs, what is sent or which labels are reported may have changed: the firmware
            // works out again when it has to wake.
            reschedule_ = true;
            wake_.notify_all();
            break;
        default:
            break;
    }
    return n;
}

void VirtualBoard::Advance(uint64_t us) {
    if (clock_ != BoardClock::Manual) return;
    std::lock_guard lock(mutex_);
    AdvanceToLocked(now_ + us);
}

uint64_t VirtualBoard::NowUs() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualBoard::AddSink(WordSink* sink) {
    std::lock_guard lock(mutex_);
    if (sink && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
}

void VirtualBoard::RemoveSink(WordSink* sink) {
    std::lock_guard lock(mutex_);
    std::erase(sinks_, sink);
}

void VirtualBoard::Listen(unsigned input, unsigned label) {
    if (input < 1 || input > 8 || label > 0xFF) return;
    std::lock_guard lock(mutex_);
    ++listened_[input - 1][label];
    ++listening_[input - 1];
    reschedule_ = true;  // the firmware works out its next wake-up again
    wake_.notify_all();
}

void VirtualBoard::Unlisten(unsigned input, unsigned label) {
    if (input < 1 || input > 8 || label > 0xFF) return;
    std::lock_guard lock(mutex_);
    if (listened_[input - 1][label] == 0) return;
    --listened_[input - 1][label];
    --listening_[input - 1];
}

double VirtualBoard::LineBitRate(unsigned input) const {
    std::lock_guard lock(mutex_);
    if (input < 1 || input > spec_.inputs) return 0.0;
    const unsigned index = input - 1;
    switch (hears_[index]) {
        case InputHears::Loopback: {
            const unsigned code = ChannelSetting::RateCode(settings_[OutputChannelCode(input)]);
            return ValidRateCode(code) ? RateOf(code) : 0.0;
        }
        case InputHears::Flight: return RateOf(FlightPlayer::kRateCode);
        case InputHears::Traffic:
        case InputHears::Playback: return traffic_[index] ? traffic_[index]->BitRateKbps() * 1000.0 : 0.0;
        default: return 0.0;
    }
}

// ---------------------------------------------------------------------------------------------
// Wiring

void VirtualBoard::PlayScenario(const BoardScenario& scenario, uint64_t seed) {
    std::lock_guard lock(mutex_);
    CatchUpLocked();
    WireLocked(scenario, seed);
    reschedule_ = true;  // the inputs hear other words: the firmware's next wake-up changes
    wake_.notify_all();
}

void VirtualBoard::WireLocked(const BoardScenario& scenario, uint64_t seed) {
    const unsigned looped = std::min(spec_.loopbacks, spec_.outputs);
    flightInputs_.clear();
    trafficOrigin_ = now_;
    for (unsigned c = 0; c < 8; ++c) {
        InputHears hears = scenario.inputs[c].hears;
        if (hears == InputHears::Default)
            hears = c < looped ? InputHears::Loopback : spec_.scenario ? InputHears::Flight : InputHears::Nothing;
        if (c >= spec_.inputs || (hears == InputHears::Loopback && c >= spec_.outputs)) hears = InputHears::Nothing;
        hears_[c] = hears;
        traffic_[c].reset();
        if (hears == InputHears::Flight) flightInputs_.push_back(c);
        if (hears == InputHears::Traffic)
            traffic_[c] = std::make_unique<TrafficGenerator>(scenario.inputs[c].traffic, seed * 8 + c);
        if (hears == InputHears::Playback) {
            const InputPlayback& p = scenario.inputs[c].playback;
            traffic_[c] = std::make_unique<PlaybackSource>(p.bus, p.recordingEnd, p.timing);
        }
    }
}

BoardCounters VirtualBoard::Counters() {
    std::lock_guard lock(mutex_);
    CatchUpLocked();  // the firmware sleeps while nothing runs: the lines still carry words
    BoardCounters counters;
    counters.hears = hears_;
    for (unsigned c = 0; c < 8; ++c) {
        counters.inputs[c] = rx_[c].counters;
        counters.outputsSent[c] = tx_[c].sent;
        counters.lines[c] = lines_[c];
        if (hears_[c] == InputHears::Loopback) counters.lines[c].sent = tx_[c].sent;
        if (traffic_[c]) counters.lines[c] = {traffic_[c]->Sent(), traffic_[c]->NotSent()};
    }
    return counters;
}

// ---------------------------------------------------------------------------------------------
// Bus

void VirtualBoard::AdvanceToLocked(uint64_t target, uint64_t longestUs) {
    if (target <= now_) return;
    for (unsigned o = 0; o < spec_.outputs; ++o) AdvanceOutputLocked(o, target);
    if (!flightInputs_.empty()) AdvanceFlightLocked(target);
    for (unsigned i = 0; i < 8; ++i)
        if (traffic_[i]) AdvanceTrafficLocked(i, target, longestUs);
    now_ = target;
    if (raised_) {
        raised_ = false;
        SignalEvent::SignalHandle(eventFd_);
    }
    memory_[ControlBlock::ChannelEventBits] = PendingBitsLocked();
}

void VirtualBoard::ReceiveLocked(unsigned index, uint32_t wire, unsigned txRate, double bitRate, uint64_t atUs) {
    Receiver& r = rx_[index];
    if (!r.running) return;
    // Every word the line of a running input carries is judged here, once, at its bus time, and
    // handed to the word stream as it was on the line.
    const uint32_t onLine = wire;
    const LineWordFate fate = r.Judge(settings_[InputChannelCode(index + 1)], txRate, wire);
    if (!sinks_.empty()) {
        const LineWord heard{atUs, onLine, bitRate, uint8_t(index + 1), fate == LineWordFate::ParityDropped,
                             fate == LineWordFate::RateMismatched};
        for (WordSink* sink : sinks_) sink->OnWord(heard);
    }
    if (fate != LineWordFate::Accepted) return;
    r.counters.lastArrivalUs = atUs;
    StoreLocked(index, wire);
}

// An accepted word: into its label slot (or its label's queue when the label is reported) in
// parameter reception, into the next slot of the block in stream capture.
void VirtualBoard::StoreLocked(unsigned index, uint32_t wire) {
    Receiver& r = rx_[index];
    const unsigned channel = index + 1;
    const unsigned label = wire & 0xFF;
    const uint16_t control = memory_[LabelTableAddress(channel, label)];
    const bool reported = (control & kLabelEvent) != 0;
    if (!r.file) {
        if (!reported) {
            StoreSlotLocked(LabelSlotAddress(channel, label), wire);
        } else if (!QueueWordLocked(index, label, wire)) {
            ++r.counters.overflowed;  // the queue is full: the word is lost and not reported
            return;
        }
    } else if (!r.captureStopped) {
        StoreSlotLocked(ReceiveBlockAddress(channel) + 2 * r.position, wire);
        r.position = uint16_t((r.position + 1) & 0xFF);
        if (control & kLabelStopCapture) r.captureStopped = true;
    }
    if (reported) {
        r.arrived.set(label);
        events_ = uint16_t(events_ | (1u << index));
        raised_ = true;
    }
}

void VirtualBoard::StoreSlotLocked(uint32_t address, uint32_t word) {
    memory_[address] = uint16_t(word & 0xFFFF);
    memory_[address + 1] = uint16_t(word >> 16);
}

void VirtualBoard::AdvanceOutputLocked(unsigned index, uint64_t target) {
    Transmitter& t = tx_[index];
    const unsigned channel = index + 1;
    const uint16_t setting = settings_[OutputChannelCode(channel)];
    const unsigned rate = ChannelSetting::RateCode(setting);
    const bool even = ChannelSetting::ParityChoice(setting);
    const bool looped = hears_[index] == InputHears::Loopback;
    FrameCursor& cursor = t.cursor;
    while (t.running) {
        if (!ValidRateCode(rate)) {  // no clock on the line: the frame waits
            cursor.next = std::max(cursor.next, target);
            return;
        }
        if (cursor.next + WordArrivalUs(rate) > target) return;
        const uint32_t word = cursor.Word(memory_, channel);
        if (word != 0) {  // both halves 0: a pause of one word time
            ++t.sent;
            if (looped)
                ReceiveLocked(index, WithParityBit(word, even), rate, RateOf(rate), cursor.next + WordArrivalUs(rate));
        }
        if (!cursor.Step(rate)) t.running = false;
    }
}

void VirtualBoard::AdvanceFlightLocked(uint64_t target) {
    const bool heard = std::any_of(flightInputs_.begin(), flightInputs_.end(),
                                   [this](unsigned input) { return rx_[input].running; });
    if (!heard) {  // nobody listens: move the schedule on without making the words
        const uint64_t carried = flight_.Skip(target);
        for (unsigned input : flightInputs_) lines_[input].sent += carried;
        return;
    }
    FlightWord w;
    while (flight_.Next(target, w)) {
        for (unsigned input : flightInputs_) {
            const uint32_t word = w.word | (ScenarioSdi(input + 1) << 8);
            ReceiveLocked(input, WithParityBit(word, false), FlightPlayer::kRateCode, RateOf(FlightPlayer::kRateCode),
                          w.endUs);
            ++lines_[input].sent;
        }
    }
}

void VirtualBoard::AdvanceTrafficLocked(unsigned index, uint64_t target, uint64_t longestUs) {
    LineSource& traffic = *traffic_[index];
    const bool heard = rx_[index].running;
    // A long stretch nobody listens to (before the board's first open, or a suspended machine) is
    // skipped rather than played word by word under the lock, and not counted. Of a catch-up
    // longer than `longestUs` only its end is played; the words of the rest count as not sent.
    constexpr uint64_t kSkipUs = 1'000'000;
    const uint64_t behind = target - now_;
    const uint64_t played = heard ? longestUs : std::min(longestUs, kSkipUs);
    if (behind > played) traffic.Skip(target - played - trafficOrigin_, heard || behind <= kSkipUs);
    TrafficWord w;
    while (traffic.Next(target - trafficOrigin_, w, heard))
        if (heard) ReceiveLocked(index, w.word, w.rateClass, w.bitRateKbps * 1000.0, trafficOrigin_ + w.endUs);
}

// ---------------------------------------------------------------------------------------------
// Inspection

uint16_t VirtualBoard::Word(uint32_t address) const {
    std::lock_guard lock(mutex_);
    return memory_[address % BoardImage::kWords];
}

std::vector<uint16_t> VirtualBoard::Memory() const {
    std::lock_guard lock(mutex_);
    return {memory_.begin(), memory_.end()};
}

InputCounters VirtualBoard::Input(unsigned channel) const {
    std::lock_guard lock(mutex_);
    return channel >= 1 && channel <= 8 ? rx_[channel - 1].counters : InputCounters{};
}

uint64_t VirtualBoard::OutputWordsSent(unsigned channel) const {
    std::lock_guard lock(mutex_);
    return channel >= 1 && channel <= 8 ? tx_[channel - 1].sent : 0;
}

bool VirtualBoard::InputRunning(unsigned channel) const {
    std::lock_guard lock(mutex_);
    return channel >= 1 && channel <= 8 && rx_[channel - 1].running;
}

bool VirtualBoard::OutputRunning(unsigned channel) const {
    std::lock_guard lock(mutex_);
    return channel >= 1 && channel <= 8 && tx_[channel - 1].running;
}

uint16_t VirtualBoard::PendingEvents() const {
    std::lock_guard lock(mutex_);
    return PendingBitsLocked();
}

int VirtualBoard::EventHandle() const {
    std::lock_guard lock(mutex_);
    return eventFd_;
}

}  // namespace orv
