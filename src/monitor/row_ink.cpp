#include "monitor/row_ink.h"

namespace orv {

bool RowIsStale(const DisplayState& display, const AcquisitionState& acquisition, int row, uint32_t nowMs) {
    if (row < 0 || row >= kDisplayRows) return false;
    const DisplayEntry& entry = display.DisplayTable[std::size_t(row)];
    if (!entry.Used() || entry.maskMode == kMaskOn) return false;  // the tick does not read a masked row
    if (entry.receivedCycle == 0) return true;               // never received since loaded or edited
    // Both clocks wrap; their differences do not.
    const uint32_t quietMs = nowMs - entry.receivedMs;
    const uint32_t quietCycles = uint32_t(acquisition.CycleCounter) - uint32_t(entry.receivedCycle);
    return quietMs >= kStaleMs && quietCycles >= kStaleCycles;
}

RowInks ParameterRowInks(const DisplayState& display, const AcquisitionState& acquisition, int row,
                         uint32_t nowMs) {
    RowInks inks;
    inks.fill(RowIsStale(display, acquisition, row, nowMs) ? Ink::Grey : Ink::Black);
    if (row >= 0 && row < kDisplayRows && display.DisplayTable[std::size_t(row)].maskMode == kMaskOn) {
        // A masked row shows 0 and a frozen cycle by design: grey, so nobody reads them as a value.
        for (std::size_t c = kValueColumn; c < kMaskCountColumn; ++c) inks[c] = Ink::Grey;
    }
    return inks;
}

}  // namespace orv
