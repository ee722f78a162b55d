#include "vboard/traffic_faults.h"

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

}  // namespace orv
