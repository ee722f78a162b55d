#pragma once
// What the refresh tick and the acquisition thread bring in from the board, and the per-channel
// mask tables they share with the mask commands, the table view and the trace dialog.
//
// The mask and trace tables are written by one thread and read by the other, so each item is an
// atomic. The mask commands store the pattern and label before they set MaskActive (release), and
// the thread reads MaskActive first (acquire), so it never sees a half-set mask.

#include <array>
#include <atomic>
#include <cstdint>

namespace orv {

inline constexpr int kInputChannels = 8;
inline constexpr int kTraceSlots = 256;

// The values of AcquisitionState::AcquisitionMode: what the acquisition thread serves.
enum AcquisitionModeValue : uint16_t {
    kNoAcquisition = 0,       // nothing
    kParameterReception = 1,  // the displayed list's label slots
    kFileReception = 2,       // one input's stream into the data block
};

struct AcquisitionState {
    // 0 idle, 1 parameter reception, 2 file reception. User-interface thread only.
    uint16_t AcquisitionMode = kNoAcquisition;
    // Refresh ticks since the display list was loaded. User-interface thread only.
    int32_t CycleCounter = 0;

    std::array<std::atomic<uint16_t>, kInputChannels> MaskActive{};
    std::array<std::atomic<uint16_t>, kInputChannels> MaskLabel{};
    std::array<std::atomic<uint32_t>, kInputChannels> MaskOrPattern{};
    std::array<std::atomic<uint32_t>, kInputChannels> MaskMatchValue{};
    std::array<std::atomic<int32_t>, kInputChannels> MaskMatchCount{};
    // 1 while the acquisition thread serves the channel's mask (from its check of MaskActive to
    // its count). A mask reset waits for it to drop, so that no word served for the old mask is
    // counted or traced after the reset.
    std::array<std::atomic<uint8_t>, kInputChannels> MaskServing{};
    std::array<std::atomic<uint16_t>, kInputChannels> TraceIndex{};
    std::array<std::array<std::atomic<uint32_t>, kTraceSlots>, kInputChannels> TraceValues{};
    std::array<std::array<std::atomic<uint32_t>, kTraceSlots>, kInputChannels> TraceTimes{};

    void Reset() {
        AcquisitionMode = kNoAcquisition;
        CycleCounter = 0;
        for (int i = 0; i < kInputChannels; ++i) {
            MaskActive[i] = 0;
            MaskLabel[i] = 0;
            MaskOrPattern[i] = 0;
            MaskMatchValue[i] = 0;
            MaskMatchCount[i] = 0;
            MaskServing[i] = 0;
            TraceIndex[i] = 0;
            for (int k = 0; k < kTraceSlots; ++k) {
                TraceValues[i][k] = 0;
                TraceTimes[i][k] = 0;
            }
        }
    }
};

}  // namespace orv
