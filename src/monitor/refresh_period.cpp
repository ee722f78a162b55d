#include "monitor/refresh_period.h"

#include <limits>

#include "text/printf_forms.h"
#include "text/scanf_forms.h"

namespace orv {

std::string RefreshPeriodText(int32_t periodMs) { return FormatDec(periodMs); }

std::optional<int32_t> ParseRefreshPeriod(std::string_view text) {
    const std::optional<long long> n = ScanDec(text);
    if (!n || *n <= 0 || *n > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return int32_t(*n);
}

bool ApplyRefreshPeriod(ShellState& shell, RefreshTimer* timer, std::string_view text) {
    const std::optional<int32_t> period = ParseRefreshPeriod(text);
    if (!period) return false;
    shell.RefreshPeriodMs = *period;
    if (shell.RefreshTimerId != 0) {
        if (timer) timer->Stop(shell.RefreshTimerId);
        shell.RefreshTimerId = timer ? timer->Start(shell.RefreshPeriodMs) : 0;
    }
    return true;
}

}  // namespace orv
