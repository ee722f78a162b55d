#pragma once
// Shared set-up of the monitor tests: display entries and the format of the examples.
#include <string>

#include "text/printf_forms.h"
#include "state/acquisition_state.h"
#include "driver/board_image.h"
#include "state/display_table.h"
#include "support/example_formats.h"

namespace orv::test {

// Appends a word to channel index `ch`'s trace ring as the acquisition thread does.
inline void AppendTrace(AcquisitionState& acq, int ch, uint32_t word, uint32_t time) {
    const auto c = std::size_t(ch);
    uint16_t index = acq.TraceIndex[c];
    if (index >= kTraceSlots) index = 0;
    acq.TraceValues[c][index] = word;
    acq.TraceTimes[c][index] = time;
    acq.TraceIndex[c] = uint16_t(index + 1);
}


// Fills row `row` of `display` as the editor would (labels "%8s", slot of channel and address).
inline DisplayEntry& PutEntry(DisplayState& display, int row, const char* label, uint16_t channel, uint16_t address,
                              bool withFormat = false) {
    DisplayEntry& e = display.DisplayTable[std::size_t(row)];
    e.paramLabel.Assign(PadLeft(label, 8));
    e.channel = channel;
    e.address = address;
    e.slot = LabelSlotAddress(channel, address);
    e.format = withFormat ? Alt1Format() : DecimalFormat::None();
    e.formatLabel = e.format.label;
    display.SlotAddresses[std::size_t(row)] = e.slot;
    display.DisplayListReady = 1;
    return e;
}

}  // namespace orv::test
