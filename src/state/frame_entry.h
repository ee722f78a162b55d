#pragma once
// One slot of an output frame: a word or a pause.

#include <array>
#include <cstdint>

#include "config/decimal_format.h"

namespace orv {

struct FrameEntry {
    uint16_t address = 0;    // label of the word, 0..255
    uint16_t pause = 0;      // 1 for a pause slot (the pause dialog stores the length here)
    uint16_t number = 0;     // number shown in the first column
    uint16_t endFlag = 0;    // 1 marks the end of a stored frame
    Label8 formatLabel;      // eight blanks when the word has no format
    Label8 paramLabel;       // a blank first byte makes the entry a pause
    ArincWord word = 0;
    DecimalFormat format;    // meaningful only when formatLabel is not blank

    friend bool operator==(const FrameEntry&, const FrameEntry&) = default;
};

inline constexpr int kFrameSlots = 256;
inline constexpr int kOutputChannels = 8;
// Per output channel: up to 256 slots followed by an entry with the end flag set.
using StoredFrame = std::array<FrameEntry, kFrameSlots + 1>;
using StoredFrameTable = std::array<StoredFrame, kOutputChannels>;

// Sets the end flag of entries 0..256 of every channel.
inline void EmptyStoredFrames(StoredFrameTable& frames) {
    for (auto& frame : frames)
        for (auto& e : frame) e.endFlag = 1;
}

struct TransmitState {
    StoredFrameTable StoredFrames{};
    FrameEntry CurrentEntry{};

    TransmitState() { Reset(); }
    void Reset() {
        for (auto& frame : StoredFrames) frame.fill(FrameEntry{});
        EmptyStoredFrames(StoredFrames);
        CurrentEntry = FrameEntry{};
    }
};

}  // namespace orv
