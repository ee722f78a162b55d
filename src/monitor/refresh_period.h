#pragma once
// The screen refresh period: the text of the period dialog and what "Применить" does with it.

#include <optional>
#include <string>
#include <string_view>

#include "state/program_state.h"

namespace orv {

// The dialog's text for a period ("%d").
std::string RefreshPeriodText(int32_t periodMs);

// The period a text gives: a decimal number read as "%d" does (leading blanks, optional sign,
// digits up to the first other character) that is greater than 0 and fits in 32 bits; nullopt
// for anything else.
std::optional<int32_t> ParseRefreshPeriod(std::string_view text);

// "Применить": a valid period becomes RefreshPeriodMs, and a running refresh timer is stopped and
// started again with it (RefreshTimerId the new id, 0 without a timer service). Anything else
// changes nothing. True when the period was taken.
bool ApplyRefreshPeriod(ShellState& shell, RefreshTimer* timer, std::string_view text);

}  // namespace orv
