#pragma once
// What a refresh of the table pane drew for each used row of the parameter table: the values that
// change between refreshes (the word, the stale state and, on a masked row, the match count the
// acquisition thread keeps counting) frozen at that refresh, with the row's parameter as it stood.
// The table export writes this, so that the file holds what the screen shows.

#include <cstdint>
#include <vector>

#include "arinc/word.h"
#include "state/acquisition_state.h"
#include "driver/board_image.h"
#include "state/display_table.h"

namespace orv {

struct ShownRow {
    DisplayEntry entry;      // label, channel, address, format, cycle of the last reception, mask
    ArincWord word = 0;      // RowValue
    int32_t maskCount = 0;   // RowMaskCount; shown only when entry.maskMode is 1
    bool stale = false;      // RowIsStale
};
using ShownTable = std::vector<ShownRow>;

// The used rows of the table as the pane draws them at `nowMs` (the BoardState::TickCount clock).
// `into` is refilled, keeping its storage: the refresh tick takes one on every tick.
void TakeShownTable(const DisplayState& display, const AcquisitionState& acquisition, const BoardImage& image,
                    uint32_t nowMs, ShownTable& into);
ShownTable TakeShownTable(const DisplayState& display, const AcquisitionState& acquisition, const BoardImage& image,
                          uint32_t nowMs);

}  // namespace orv
