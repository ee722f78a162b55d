#pragma once
// Where an output's transmitter stands in its frame: the slot it sends next, when that slot's
// transmission starts, and where the frame ends. The transmitter steps it as it sends, and the
// wake schedule steps a copy of it to find the next word an input reports, so both walk the frame
// by the same rule.

#include <cstdint>
#include <span>

#include "driver/board_image.h"
#include "driver/board_words.h"
#include "vboard/arinc_bus.h"

namespace orv {

struct FrameCursor {
    static constexpr uint16_t kFrameSlots = 256;

    uint16_t slot = 0;
    uint16_t last = kFrameSlots - 1;  // the frame's last slot
    bool oneShot = false;
    uint64_t next = 0;                // start time of the slot's transmission

    // A cursor at the first slot of output `channel`'s frame, starting at `now`: the frame ends at
    // the first slot its OutputSlotTable marks (kLastSlotMark), else after all 256.
    static FrameCursor Start(std::span<const uint16_t> memory, unsigned channel, bool oneShot, uint64_t now) {
        FrameCursor c;
        for (uint16_t k = 0; k < kFrameSlots; ++k) {
            if ((memory[SlotTableAddress(channel, k)] & kLastSlotMark) == kLastSlotMark) {
                c.last = k;
                break;
            }
        }
        c.oneShot = oneShot;
        c.next = now;
        return c;
    }

    // The word of the current slot of output `channel` as the frame holds it now (0: a pause of
    // one word time).
    uint32_t Word(std::span<const uint16_t> memory, unsigned channel) const {
        const uint32_t a = FrameSlotAddress(channel, slot);
        return memory[a] | (uint32_t(memory[a + 1]) << 16);
    }

    // On to the next slot, one word time at rate code `rate` later; false when a one-shot frame
    // has ended.
    bool Step(unsigned rate) {
        next += WordTimeUs(rate);
        if (slot < last) {
            ++slot;
            return true;
        }
        if (oneShot) return false;
        slot = 0;
        return true;
    }
};

}  // namespace orv
