#include "vboard/traffic_faults.h"

#include <algorithm>
#include <cmath>

namespace orv {

bool FaultWindow::Contains(double seconds) const {
    if (seconds < startS) return false;
    double since = seconds - startS;
    if (repeatS > 0.0) since = std::fmod(since, repeatS);
    return since < durationS;
}

double FaultWindow::NextOpening(double seconds) const {
    if (seconds < startS) return startS;
    if (repeatS <= 0.0) return std::numeric_limits<double>::infinity();
    return startS + (std::floor((seconds - startS) / repeatS) + 1.0) * repeatS;
}

double FaultWindow::OpenSeconds(double from, double to) const {
    // Open time from startS up to `seconds`.
    const auto openUpTo = [this](double seconds) {
        if (seconds <= startS) return 0.0;
        const double since = seconds - startS;
        if (repeatS <= 0.0) return std::min(since, durationS);
        return std::floor(since / repeatS) * std::min(durationS, repeatS) +
               std::min(std::fmod(since, repeatS), durationS);
    };
    return to > from ? openUpTo(to) - openUpTo(from) : 0.0;
}

}  // namespace orv
