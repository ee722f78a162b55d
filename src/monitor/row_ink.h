#pragma once
// The colour of each character of a parameter row. A row whose parameter has gone quiet is drawn
// grey so that nobody takes its last value for a live one; every text stays as it is, only its
// ink changes.

#include <array>
#include <cstdint>

#include "state/acquisition_state.h"
#include "state/display_table.h"
#include "monitor/table_rows.h"

namespace orv {

enum class Ink : uint8_t { Black, Grey };
inline constexpr std::array<uint32_t, 2> kInkRgb = {0x000000, 0x808080};

using RowInks = std::array<Ink, kParameterRowWidth>;

// A row is stale when its parameter has not been received for at least kStaleMs and at least
// kStaleCycles refresh ticks (both, so that neither a short period nor a long one makes a live
// row flicker), or never since its list was loaded or the row was edited.
inline constexpr uint32_t kStaleMs = 2000;
inline constexpr uint32_t kStaleCycles = 2;

// True when row `row` is stale at `nowMs` (the BoardState::TickCount clock). A masked row, free
// row or row outside the table is never stale.
bool RowIsStale(const DisplayState& display, const AcquisitionState& acquisition, int row, uint32_t nowMs);

// The ink of each of the 108 character columns of row `row` at `nowMs`: all grey for a stale row;
// for a masked row the value and cycle columns (26..92) grey and the rest, the match count
// included, black; all black otherwise.
RowInks ParameterRowInks(const DisplayState& display, const AcquisitionState& acquisition, int row,
                         uint32_t nowMs);

}  // namespace orv
