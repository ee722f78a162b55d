#pragma once
// The text of the virtual board's counters window (UTF-8): one row per channel number, the
// input's source and counts, then the output's. Cells of channels the board does not have are
// empty.

#include <array>
#include <string>
#include <vector>

#include "vboard/board_counters.h"
#include "vboard/board_layout.h"

namespace orv {

constexpr std::size_t kCounterColumns = 8;
extern const std::array<const char*, kCounterColumns> kCounterHeads;

// What an input hears, as the window names it ("выход 3", "ничего", "полёт", "сценарий").
std::string HearsText(InputHears hears, unsigned channel);

std::vector<std::array<std::string, kCounterColumns>> CounterRows(const BoardCounters& counters,
                                                                   const BoardLayout& spec);

}  // namespace orv
