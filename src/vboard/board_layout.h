#pragma once
// What a virtual board has: its inputs and outputs, which outputs are looped back to inputs, and
// whether the other inputs hear the built-in flight. The scenario reader checks a file against it.

#include <cstdint>

namespace orv {

struct BoardLayout {
    uint16_t inputs = 8;     // 0..8
    uint16_t outputs = 8;    // 0..8
    uint16_t loopbacks = 4;  // outputs 1..loopbacks feed inputs 1..loopbacks
    bool scenario = true;    // the other inputs hear the flight scenario

    // The BoardConfigWord the board reports: inputs in bits 8-11, outputs in bits 4-7.
    uint16_t ConfigWord() const { return uint16_t(((inputs & 0xF) << 8) | ((outputs & 0xF) << 4)); }
};

// Board 1: 8 inputs, 8 outputs, outputs 1..4 looped to inputs 1..4, inputs 5..8 hear the flight.
inline BoardLayout VirtualBoardOne() { return {8, 8, 4, true}; }
// Board 2: 4 inputs, 2 outputs, outputs 1..2 looped to inputs 1..2, inputs 3..4 hear the flight.
inline BoardLayout VirtualBoardTwo() { return {4, 2, 2, true}; }

}  // namespace orv
