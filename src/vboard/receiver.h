#pragma once
// The receiver of one input channel of the virtual board: whether and how it runs, its counters,
// and the receive queues behind its label slots.
//
// Receive queues: a label reported by events (kLabelEvent) in parameter reception keeps its
// arrivals in a queue of kSlotQueueWords words behind its slot, as a hardware receive FIFO does.
// The slot shows the oldest waiting word; each slot read replies that word and takes it off the
// queue. An arrival that finds the queue full is lost and counted (InputCounters::overflowed).

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "driver/board_words.h"
#include "vboard/arinc_bus.h"
#include "vboard/board_counters.h"

namespace orv {

// Words a reported label's receive queue holds (90 ms at the bus limit).
inline constexpr std::size_t kSlotQueueWords = 256;

struct SlotQueue {
    std::array<uint32_t, kSlotQueueWords> words{};
    std::size_t head = 0;
    std::size_t count = 0;

    bool Push(uint32_t word) {
        if (count == kSlotQueueWords) return false;
        words[(head + count) % kSlotQueueWords] = word;
        ++count;
        return true;
    }
    uint32_t Pop() {
        const uint32_t word = words[head];
        head = (head + 1) % kSlotQueueWords;
        --count;
        return word;
    }
    uint32_t Front() const { return words[head]; }
};

// What an input makes of a word its line carries.
enum class LineWordFate : uint8_t {
    Accepted,        // stored (bit 32 cleared when the parity check is on)
    ParityDropped,   // even parity with the parity check on
    RateMismatched,  // sent at another rate class than the channel's
};

struct Receiver {
    bool running = false;
    bool file = false;
    bool captureStopped = false;
    uint16_t position = 0;
    uint16_t eventLabels = 0;  // labels of its InputLabelTable with kLabelEvent
    uint32_t queued = 0;       // words waiting in its queues
    std::bitset<256> arrived;  // reported labels that arrived since the last event read
    std::array<std::unique_ptr<SlotQueue>, 256> queues;  // made at a label's first queued word
    InputCounters counters;

    // Judges `wire` from a transmitter of rate code `txRate` at the channel setting `setting`,
    // counts it, and clears the parity bit of an accepted word when the parity check is on.
    LineWordFate Judge(uint16_t setting, unsigned txRate, uint32_t& wire) {
        if (ChannelSetting::RateCode(setting) != txRate) {
            ++counters.rateMismatched;
            return LineWordFate::RateMismatched;
        }
        if (!ChannelSetting::ParityChoice(setting)) {  // parity check on: bit 32 reads 0
            if (!HasOddParity(wire)) {
                ++counters.parityDropped;
                return LineWordFate::ParityDropped;
            }
            wire &= ~kArincParityBit;
        }
        ++counters.received;
        return LineWordFate::Accepted;
    }

    // Empties every queue (a board start, a channel start).
    void DropQueues() {
        for (auto& queue : queues)
            if (queue) queue->count = 0;
        queued = 0;
    }
};

}  // namespace orv
