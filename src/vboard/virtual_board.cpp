#include "vboard/virtual_board.h"

#include <algorithm>
#include <bitset>
#include <chrono>
#include <string>
#include <string_view>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "driver/device.h"
#include "driver/signal_event.h"
#include "vboard/arinc_bus.h"

namespace orv {
namespace {

using Steady = std::chrono::steady_clock;

constexpr uint32_t kBlock = ControlBlock::Start;
constexpr uint64_t kNever = UINT64_MAX;

// Bytes a request must carry to include word `address`, counting from word `base`.
constexpr std::size_t Through(uint32_t address, uint32_t base) { return 2u * (address - base) + 2u; }

uint16_t InWord(std::span<const uint8_t> in, uint32_t address, uint32_t base) {
    const std::size_t b = 2u * (address - base);
    return uint16_t(in[b] | (in[b + 1] << 8));
}

void PutWord(std::span<uint8_t> out, std::size_t index, uint16_t value) {
    out[2 * index] = uint8_t(value & 0xFF);
    out[2 * index + 1] = uint8_t(value >> 8);
}

// Only an eventfd is signalled: a write to any other descriptor (a file, a pipe, the terminal)
// would put the board's counter bytes into it.
bool IsEventDescriptor(int fd) {
    char link[64] = {};
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
    return n > 0 && std::string_view(link, std::size_t(n)) == "anon_inode:[eventfd]";
}

uint64_t SteadyNs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        Steady::now().time_since_epoch()).count());
}

}  // namespace

VirtualBoard::VirtualBoard(VirtualBoardSpec spec, BoardClock clock)
    : spec_{std::min<uint16_t>(spec.inputs, 8), std::min<uint16_t>(spec.outputs, 8),
            std::min<uint16_t>(spec.loopbacks, 8), spec.scenario},
      clock_(clock),
      epochNs_(SteadyNs()) {
    for (unsigned c = 0; c < 8; ++c)
        memory_[ControlBlock::OutputFrameOffsets + c] = uint16_t(512 * c);
    WireLocked(BoardScenario{}, 0);
    // Spread the labels' first words a little so that they do not all queue at power-up.
    for (std::size_t i = 0; i < scenario_.due.size(); ++i) scenario_.due[i] = 1000 * i;
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

// ---------------------------------------------------------------------------------------------
// Requests

std::size_t VirtualBoard::RequestLocked(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
    switch (code) {
        case kReadMemory: {
            const std::size_t n = std::min<std::size_t>(out.size(), BoardImage::kBytes);
            for (std::size_t b = 0; b < n; ++b) {
                const uint16_t w = memory_[b / 2];
                out[b] = uint8_t((b & 1) ? (w >> 8) : (w & 0xFF));
            }
            return n;
        }
        case kStartBoard: {
            if (in.size() < Through(ControlBlock::BoardControlWord, 0) || out.size() < 16) return 0;
            // A (re)start ends whatever the channels were doing: the program sets their modes
            // again after it.
            StopAllLocked();
            for (unsigned c = 0; c < 8; ++c) DropQueuesLocked(c);
            for (unsigned i = 0; i < 16; ++i) {
                settings_[i] = uint16_t(InWord(in, BoardImage::ChannelSettingWords + i, 0) & 7);
                memory_[BoardImage::ChannelSettingWords + i] = settings_[i];
            }
            memory_[ControlBlock::BoardControlWord] = InWord(in, ControlBlock::BoardControlWord, 0);
            for (unsigned c = 0; c < 8; ++c) {
                memory_[ControlBlock::OutputFrameOffsets + c] = uint16_t(512 * c);
                PutWord(out, c, uint16_t(512 * c));
            }
            return 16;
        }
        case kStopBoard: {
            if (in.size() < 2 || out.size() < 2) return 0;
            StopAllLocked();
            PutWord(out, 0, memory_[ControlBlock::BoardControlWord]);
            return 2;
        }
        case kChangeFrameWord: {
            if (in.size() < Through(ControlBlock::WordAddress, kBlock)) return 0;
            const uint32_t a = InWord(in, ControlBlock::WordAddress, kBlock);
            const uint32_t frameEnd = BoardImage::OutputFrameArea + BoardImage::OutputFrameAreaWords;
            if (a < BoardImage::OutputFrameArea || a + 1 >= frameEnd || (a & 1) != 0) return 0;
            if (in.size() < Through(a + 1, kBlock)) return 0;
            memory_[a] = InWord(in, a, kBlock);
            memory_[a + 1] = InWord(in, a + 1, kBlock);
            return 0;
        }
        case kReadSlot: {
            if (in.size() < Through(ControlBlock::WordAddress, kBlock) || out.size() < 4) return 0;
            const uint32_t a = InWord(in, ControlBlock::WordAddress, kBlock);
            if (a + 1 >= BoardImage::kWords) return 0;
            uint32_t word = memory_[a] | (uint32_t(memory_[a + 1]) << 16);
            PopSlotLocked(a, word);
            PutWord(out, 0, uint16_t(word & 0xFFFF));
            PutWord(out, 1, uint16_t(word >> 16));
            return 4;
        }
        case kReleaseSlot: {
            if (in.size() < Through(ControlBlock::WordAddress, kBlock)) return 0;
            const uint32_t a = InWord(in, ControlBlock::WordAddress, kBlock);
            const uint32_t areaEnd = BoardImage::ReceiveArea + BoardImage::ReceiveAreaWords;
            if (a < BoardImage::ReceiveArea || a + 1 >= areaEnd || (a & 1) != 0) return 0;
            memory_[a + 1] = 0;
            return 0;
        }
        case kEndEventHandling: {
            if (in.size() < 2) return 0;
            // Events that came in after the last read keep the event signalled.
            if (events_ != 0) SignalEvent::SignalHandle(eventFd_);
            return 0;
        }
        case kReadEvents: {
            if (in.size() < 2 || out.size() < 2) return 0;
            // The arrivals since the last read, and the channels where words still wait.
            PutWord(out, 0, PendingBitsLocked());
            events_ = 0;
            for (Receiver& r : rx_) r.arrived.reset();
            return 2;
        }
        case kReadBlock: {
            if (in.size() < Through(ControlBlock::BlockReadLength, kBlock)) return 0;
            const uint32_t a = InWord(in, ControlBlock::BlockReadAddress, kBlock);
            const uint32_t len = InWord(in, ControlBlock::BlockReadLength, kBlock);
            if (a + len > BoardImage::kWords || out.size() < 2u * len) return 0;
            for (std::size_t i = 0; i < len; ++i) PutWord(out, i, memory_[a + i]);
            return 2u * len;
        }
        case kWriteRange: {
            if (in.size() < Through(ControlBlock::WriteLength, 0)) return 0;
            const uint32_t a = InWord(in, ControlBlock::WriteAddress, 0);
            const uint32_t len = InWord(in, ControlBlock::WriteLength, 0);
            if (a + len > BoardImage::kWords || in.size() < 2u * (a + len)) return 0;
            for (uint32_t i = 0; i < len; ++i) memory_[a + i] = InWord(in, a + i, 0);
            if (a < BoardImage::InputLabelTable + 8 * 256 && a + len > BoardImage::InputLabelTable)
                SyncEventLabelsLocked();
            return 0;
        }
        case kLoadOutputChannel:
        case kLoadInputChannel: {
            if (in.size() < Through(ControlBlock::LoadChannel, kBlock) || out.size() < 2) return 0;
            const bool output = code == kLoadOutputChannel;
            const unsigned c = InWord(in, ControlBlock::LoadChannel, kBlock);
            const unsigned count = output ? spec_.outputs : spec_.inputs;
            const uint32_t table =
                (output ? BoardImage::OutputSlotTable : BoardImage::InputLabelTable) + 256 * (c - 1);
            if (c < 1 || c > count || in.size() < Through(table + 255, kBlock)) {
                PutWord(out, 0, 1);  // refused
                return 2;
            }
            for (uint32_t i = 0; i < 256; ++i) memory_[table + i] = InWord(in, table + i, kBlock);
            if (!output) SyncEventLabelsLocked();
            PutWord(out, 0, 0);  // accepted
            return 2;
        }
        case kStopChannel: {
            if (in.size() < Through(ControlBlock::RunChannel, kBlock) || out.size() < 2) return 0;
            const unsigned channelCode = InWord(in, ControlBlock::RunChannel, kBlock);
            if (channelCode > 15) return 0;
            const unsigned index = channelCode & 7;
            if (channelCode & 8) {
                if (index < spec_.outputs) tx_[index].running = false;
            } else if (index < spec_.inputs) {
                rx_[index].running = false;
            }
            PutWord(out, 0, memory_[BoardImage::ChannelControlWords + channelCode]);
            return 2;
        }
        case kStartOutputChannel:
        case kStartInputChannel: {
            if (in.size() < Through(ControlBlock::RunChannel + 1, 0) || out.size() < 2) return 0;
            const bool output = code == kStartOutputChannel;
            const unsigned c = InWord(in, ControlBlock::RunChannel, 0);
            const unsigned count = output ? spec_.outputs : spec_.inputs;
            const unsigned channelCode = (c - 1) | (output ? 8u : 0u);
            const uint16_t mode =
                (c >= 1 && c <= count) ? InWord(in, BoardImage::ChannelControlWords + channelCode, 0) : 0;
            if (c < 1 || c > count || (mode & (output ? kOutputEnable : kInputEnable)) == 0) {
                PutWord(out, 0, 0);  // refused
                return 2;
            }
            memory_[BoardImage::ChannelControlWords + channelCode] = mode;
            if (output) {
                Transmitter& t = tx_[c - 1];
                const uint32_t table = BoardImage::OutputSlotTable + 256 * (c - 1);
                t.last = 255;
                for (uint16_t k = 0; k < 256; ++k) {
                    if ((memory_[table + k] & kLastSlotMark) == kLastSlotMark) {
                        t.last = k;
                        break;
                    }
                }
                t.running = true;
                t.oneShot = (mode & kOutputOneShot) != 0;
                t.slot = 0;
                t.next = now_;
            } else {
                Receiver& r = rx_[c - 1];
                DropQueuesLocked(c - 1);  // a new start begins with empty queues
                r.running = true;
                r.file = (mode & kInputFileMode) != 0;
                r.captureStopped = false;
                r.position = 0;
            }
            PutWord(out, 0, 1);  // started
            return 2;
        }
        case kRegisterEvent:
            return RegisterEventLocked(in, out);
        default:
            return 0;
    }
}

std::size_t VirtualBoard::RegisterEventLocked(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (in.size() < 4 || out.size() < 2) return 0;
    const int handle = int32_t(uint32_t(in[0]) | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) |
                               (uint32_t(in[3]) << 24));
    const int copy = handle >= 0 ? fcntl(handle, F_DUPFD_CLOEXEC, 0) : -1;
    if (copy >= 0 && !IsEventDescriptor(copy)) {
        close(copy);
        PutWord(out, 0, 1);
        return 2;
    }
    if (copy < 0) {
        PutWord(out, 0, 1);  // refused; the previous event stays registered
        return 2;
    }
    if (eventFd_ >= 0) close(eventFd_);
    eventFd_ = copy;
    PutWord(out, 0, 0);
    return 2;
}

// Words the firmware owns: the program may write over them, the board keeps its own values.
void VirtualBoard::RestoreRegistersLocked() {
    memory_[ControlBlock::BoardConfigWord] = spec_.ConfigWord();
    memory_[ControlBlock::ChannelEventBits] = PendingBitsLocked();
}

void VirtualBoard::StopAllLocked() {
    for (auto& t : tx_) t.running = false;
    for (auto& r : rx_) r.running = false;
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
    scenarioInputs_.clear();
    trafficOrigin_ = now_;
    for (unsigned c = 0; c < 8; ++c) {
        InputHears hears = scenario.inputs[c].hears;
        if (hears == InputHears::Default)
            hears = c < looped ? InputHears::Loopback : spec_.scenario ? InputHears::Flight : InputHears::Nothing;
        if (c >= spec_.inputs || (hears == InputHears::Loopback && c >= spec_.outputs)) hears = InputHears::Nothing;
        hears_[c] = hears;
        traffic_[c].reset();
        if (hears == InputHears::Flight) scenarioInputs_.push_back(c);
        if (hears == InputHears::Traffic)
            traffic_[c] = std::make_unique<TrafficGenerator>(scenario.inputs[c].traffic, seed * 8 + c);
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
    if (!scenarioInputs_.empty()) AdvanceScenarioLocked(target);
    for (unsigned i = 0; i < 8; ++i)
        if (traffic_[i]) AdvanceTrafficLocked(i, target, longestUs);
    now_ = target;
    if (raised_) {
        raised_ = false;
        SignalEvent::SignalHandle(eventFd_);
    }
    memory_[ControlBlock::ChannelEventBits] = PendingBitsLocked();
}

void VirtualBoard::AdvanceOutputLocked(unsigned index, uint64_t target) {
    Transmitter& t = tx_[index];
    const bool even = (settings_[8 + index] & 4) != 0;
    const bool looped = hears_[index] == InputHears::Loopback;
    const uint32_t frame = BoardImage::OutputFrameArea + 512 * index;
    while (t.running) {
        const unsigned rate = settings_[8 + index] & 3;
        if (!ValidRateCode(rate)) {  // no clock on the line: the frame waits
            t.next = std::max(t.next, target);
            return;
        }
        if (t.next + WordArrivalUs(rate) > target) return;
        const uint16_t low = memory_[frame + 2 * t.slot];
        const uint16_t high = memory_[frame + 2 * t.slot + 1];
        if ((low | high) != 0) {  // both halves 0: a pause of one word time
            ++t.sent;
            if (looped)
                ReceiveLocked(index, WithParityBit(low | (uint32_t(high) << 16), even), rate,
                              t.next + WordArrivalUs(rate));
        }
        t.next += WordTimeUs(rate);
        if (t.slot < t.last) {
            ++t.slot;
        } else if (t.oneShot) {
            t.running = false;
        } else {
            t.slot = 0;
        }
    }
}

void VirtualBoard::AdvanceScenarioLocked(uint64_t target) {
    constexpr unsigned kRate = 0;  // 12.5 kbit/s, odd parity
    ScenarioPlayer& s = scenario_;
    const bool heard = std::any_of(scenarioInputs_.begin(), scenarioInputs_.end(),
                                   [this](unsigned input) { return rx_[input].running; });
    if (!heard) {  // nobody listens: move the schedule on without making the words
        for (std::size_t i = 0; i < s.due.size(); ++i) {
            const uint64_t period = 1000000u / kFlightScenario[i].rateHz;
            if (s.due[i] >= target) continue;
            const uint64_t words = (target - s.due[i] + period - 1) / period;
            s.due[i] += words * period;
            for (unsigned input : scenarioInputs_) lines_[input].sent += words;
        }
        s.busFree = std::max(s.busFree, target);
        return;
    }
    for (;;) {
        std::size_t pick = 0;
        for (std::size_t i = 1; i < s.due.size(); ++i)
            if (s.due[i] < s.due[pick]) pick = i;
        const uint64_t start = std::max(s.due[pick], s.busFree);
        if (start + WordArrivalUs(kRate) > target) return;
        const double seconds = double(start) * 1e-6;
        const uint32_t base = ScenarioWord(pick, seconds, 0);
        for (unsigned input : scenarioInputs_) {
            const uint32_t word = base | (ScenarioSdi(input + 1) << 8);
            ReceiveLocked(input, WithParityBit(word, false), kRate, start + WordArrivalUs(kRate));
            ++lines_[input].sent;
        }
        s.busFree = start + WordTimeUs(kRate);
        s.due[pick] += 1000000u / kFlightScenario[pick].rateHz;
    }
}

void VirtualBoard::AdvanceTrafficLocked(unsigned index, uint64_t target, uint64_t longestUs) {
    TrafficGenerator& traffic = *traffic_[index];
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
        if (heard) ReceiveLocked(index, w.word, w.rateClass, trafficOrigin_ + w.endUs);
}

void VirtualBoard::ReceiveLocked(unsigned index, uint32_t wire, unsigned txRate, uint64_t atUs) {
    Receiver& r = rx_[index];
    if (!r.running) return;
    const uint16_t setting = settings_[index];
    if ((setting & 3) != txRate) {
        ++r.counters.rateMismatched;
        return;
    }
    if ((setting & 4) == 0) {  // parity check on: even words are dropped, bit 32 reads 0
        if (!HasOddParity(wire)) {
            ++r.counters.parityDropped;
            return;
        }
        wire &= ~kArincParityBit;
    }
    ++r.counters.received;
    r.counters.lastArrivalUs = atUs;
    const unsigned label = wire & 0xFF;
    const uint16_t control = memory_[BoardImage::InputLabelTable + 256 * index + label];
    const uint32_t area = BoardImage::ReceiveArea + 512 * index;
    const bool reported = (control & kLabelEvent) != 0;
    if (!r.file) {
        if (!reported) {
            StoreSlotLocked(area + 2 * label, wire);
        } else if (!QueueWordLocked(index, label, wire)) {
            ++r.counters.overflowed;  // the queue is full: the word is lost and not reported
            return;
        }
    } else if (!r.captureStopped) {
        StoreSlotLocked(area + 2 * r.position, wire);
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

bool VirtualBoard::QueueWordLocked(unsigned index, unsigned label, uint32_t word) {
    Receiver& r = rx_[index];
    auto& queue = r.queues[label];
    if (!queue) queue = std::make_unique<SlotQueue>();
    if (queue->count == kSlotQueueWords) return false;
    queue->words[(queue->head + queue->count) % kSlotQueueWords] = word;
    ++queue->count;
    ++r.queued;
    // The slot shows the oldest waiting word, the one the next read takes.
    if (queue->count == 1) StoreSlotLocked(BoardImage::ReceiveArea + 512 * index + 2 * label, word);
    return true;
}

// A read of a slot with waiting words replies the oldest and takes it off the queue; the slot
// then shows the next one, or keeps the word just read when none waits.
bool VirtualBoard::PopSlotLocked(uint32_t address, uint32_t& word) {
    const uint32_t areaEnd = BoardImage::ReceiveArea + BoardImage::ReceiveAreaWords;
    if (address < BoardImage::ReceiveArea || address + 1 >= areaEnd || (address & 1) != 0) return false;
    const unsigned index = (address - BoardImage::ReceiveArea) / 512;
    const unsigned label = ((address - BoardImage::ReceiveArea) % 512) / 2;
    if (index >= rx_.size()) return false;
    Receiver& r = rx_[index];
    SlotQueue* queue = r.queues[label].get();
    if (!queue || queue->count == 0) return false;
    word = queue->words[queue->head];
    queue->head = (queue->head + 1) % kSlotQueueWords;
    --queue->count;
    --r.queued;
    StoreSlotLocked(address, queue->count > 0 ? queue->words[queue->head] : word);
    return true;
}

void VirtualBoard::DropQueuesLocked(unsigned index) {
    Receiver& r = rx_[index];
    for (auto& queue : r.queues)
        if (queue) queue->count = 0;
    r.queued = 0;
}

// After a change of the label tables: counts each input's reported labels, and forgets what the
// labels that are no longer reported left behind (their waiting words, which will never be read,
// and their arrivals since the last event read). A channel stays reported only for the labels
// its table still reports.
void VirtualBoard::SyncEventLabelsLocked() {
    for (unsigned i = 0; i < rx_.size(); ++i) {
        Receiver& r = rx_[i];
        const uint32_t table = BoardImage::InputLabelTable + 256 * i;
        uint16_t labels = 0;
        for (unsigned label = 0; label < 256; ++label) {
            if (memory_[table + label] & kLabelEvent) {
                ++labels;
                continue;
            }
            r.arrived.reset(label);
            if (SlotQueue* queue = r.queues[label].get(); queue && queue->count > 0) {
                r.queued -= uint32_t(queue->count);
                queue->count = 0;
            }
        }
        r.eventLabels = labels;
        if (r.arrived.none() && r.queued == 0) events_ = uint16_t(events_ & ~(1u << i));
    }
}

uint16_t VirtualBoard::PendingBitsLocked() const {
    uint16_t bits = events_;
    for (unsigned i = 0; i < rx_.size(); ++i)
        if (rx_[i].queued > 0) bits = uint16_t(bits | (1u << i));
    return bits;
}

// Board time at which the firmware must play the bus without being asked: the next arrival that
// raises an event on a running input, and no later than kMaxStepUs from now while anything runs.
// Event wake-ups fall on a grid of kEventGrainUs, so that arrivals on several channels close
// together are played in one wake-up; an event is then signalled at most that late.
uint64_t VirtualBoard::NextWakeLocked() const {
    const auto running = [](const auto& channel) { return channel.running; };
    if (std::none_of(tx_.begin(), tx_.end(), running) && std::none_of(rx_.begin(), rx_.end(), running))
        return kNever;
    uint64_t wake = now_ + kMaxStepUs;
    for (unsigned i = 0; i < spec_.inputs; ++i) {
        if (!rx_[i].running || rx_[i].eventLabels == 0) continue;
        switch (hears_[i]) {
            case InputHears::Loopback: wake = std::min(wake, NextOutputEventLocked(i)); break;
            case InputHears::Flight: wake = std::min(wake, NextScenarioArrivalLocked()); break;
            case InputHears::Traffic: wake = std::min(wake, NextTrafficEventLocked(i)); break;
            default: break;
        }
    }
    if (wake < now_ + kMaxStepUs) wake = (wake + kEventGrainUs - 1) / kEventGrainUs * kEventGrainUs;
    return std::max(wake, now_ + 1);
}

// When the next word of output `index` whose label its looped input reports will have arrived.
uint64_t VirtualBoard::NextOutputEventLocked(unsigned index) const {
    const Transmitter& t = tx_[index];
    const unsigned rate = settings_[8 + index] & 3;
    if (!t.running || !ValidRateCode(rate) || (settings_[index] & 3) != rate) return kNever;
    const uint32_t frame = BoardImage::OutputFrameArea + 512 * index;
    const uint32_t labels = BoardImage::InputLabelTable + 256 * index;
    uint64_t start = t.next;
    uint16_t slot = t.slot;
    for (unsigned k = 0; k < 256; ++k) {
        const uint16_t low = memory_[frame + 2 * slot];
        const uint16_t high = memory_[frame + 2 * slot + 1];
        if ((low | high) != 0 && (memory_[labels + (low & 0xFF)] & kLabelEvent) != 0)
            return start + WordArrivalUs(rate);
        start += WordTimeUs(rate);
        if (slot < t.last) {
            ++slot;
        } else if (t.oneShot) {
            return kNever;
        } else {
            slot = 0;
        }
    }
    return kNever;  // no word of the frame is reported
}

// No earlier than this the next word of a label input `index` reports arrives from its traffic
// (the generator's bound never lies late; a wake-up before the word only plays the bus).
uint64_t VirtualBoard::NextTrafficEventLocked(unsigned index) const {
    std::bitset<256> reported;
    const uint32_t table = BoardImage::InputLabelTable + 256 * index;
    for (unsigned label = 0; label < 256; ++label)
        if (memory_[table + label] & kLabelEvent) reported.set(label);
    const uint64_t at = traffic_[index]->NextArrivalUs(reported);
    return at == TrafficGenerator::kNone ? kNever : trafficOrigin_ + at;
}

uint64_t VirtualBoard::NextScenarioArrivalLocked() const {
    const auto& due = scenario_.due;
    const uint64_t first = *std::min_element(due.begin(), due.end());
    return std::max(first, scenario_.busFree) + WordArrivalUs(0);
}

// ---------------------------------------------------------------------------------------------
// Firmware thread

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
