#include "monitor/trace_plot.h"

#include <algorithm>
#include <cmath>

namespace orv {
namespace {

int64_t TimeOf(const TraceSnapshot& snapshot, const SeriesPoint& p) {
    return snapshot.points[std::size_t(p.line)].timeMs;
}

}  // namespace

std::optional<double> MedianInterval(const TraceSnapshot& snapshot, const std::vector<SeriesPoint>& series) {
    std::vector<int64_t> intervals;
    intervals.reserve(series.size());
    for (std::size_t k = 1; k < series.size(); ++k) {
        const int64_t d = TimeOf(snapshot, series[k]) - TimeOf(snapshot, series[k - 1]);
        if (d != 0) intervals.push_back(d);
    }
    if (intervals.empty()) return std::nullopt;
    const std::size_t mid = intervals.size() / 2;
    std::nth_element(intervals.begin(), intervals.begin() + std::ptrdiff_t(mid), intervals.end());
    const double upper = double(intervals[mid]);
    if (intervals.size() % 2 == 1) return upper;
    const double lower = double(*std::max_element(intervals.begin(), intervals.begin() + std::ptrdiff_t(mid)));
    return (lower + upper) / 2.0;
}

std::vector<PlotRun> LineRuns(const TraceSnapshot& snapshot, const std::vector<SeriesPoint>& series) {
    std::vector<PlotRun> runs;
    if (series.empty()) return runs;
    const std::optional<double> median = MedianInterval(snapshot, series);
    std::size_t begin = 0;
    for (std::size_t k = 1; k < series.size(); ++k) {
        const int64_t d = TimeOf(snapshot, series[k]) - TimeOf(snapshot, series[k - 1]);
        if (median && d >= kGapMinMs && double(d) > kGapFactor * *median) {
            runs.push_back({begin, k});
            begin = k;
        }
    }
    runs.push_back({begin, series.size()});
    return runs;
}

std::vector<bool> PointsFitting(const TraceSnapshot& snapshot, const std::vector<SeriesPoint>& series) {
    std::vector<bool> fits;
    fits.reserve(series.size());
    for (const SeriesPoint& p : series) fits.push_back(snapshot.Fits(std::size_t(p.line)));
    return fits;
}

double RoundStep(double rough) {
    if (!(rough > 0) || !std::isfinite(rough)) return 1.0;
    double decade = std::pow(10.0, std::floor(std::log10(rough)));
    // pow and log10 may land a hair off a power of ten: bring the decade to at most `rough`.
    if (decade > rough) decade /= 10.0;
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        const double step = m * decade;
        // A step within rounding of `rough` is `rough` itself (a span of exactly 8 x 10^k).
        if (step >= rough * (1.0 - 1e-12)) return step;
    }
    return 10.0 * decade;
}

AxisScale RoundAxis(double lo, double hi, int maxSteps) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return {};
    if (hi < lo) std::swap(lo, hi);
    if (hi == lo) {
        const double widen = lo == 0 ? 1.0 : std::fabs(lo) * 0.05;
        lo -= widen;
        hi += widen;
    }
    AxisScale axis;
    axis.step = RoundStep((hi - lo) / double(std::max(1, maxSteps)));
    // Ends on ticks; a value a rounding error past a tick stays on that tick.
    const double slack = 1e-9;
    axis.min = std::floor(lo / axis.step + slack) * axis.step;
    axis.max = std::ceil(hi / axis.step - slack) * axis.step;
    if (axis.max <= axis.min) axis.max = axis.min + axis.step;
    axis.decimals = std::max(0, int(-std::floor(std::log10(axis.step) + 1e-9)));
    return axis;
}

std::string TickLabelFormat(const AxisScale& axis) {
    const double largest = std::max(std::fabs(axis.min), std::fabs(axis.max));
    if (axis.decimals > 9 || largest >= 1e9) return "%.6g";
    return "%." + std::to_string(axis.decimals) + "f";
}

PlotAxes PlotScales(const std::vector<SeriesPoint>& series) {
    // Times start at 0 with the first word; a clock that went back can put a word before it.
    double minY = 0, maxY = 0, minX = 0, maxX = 0;
    for (std::size_t k = 0; k < series.size(); ++k) {
        const SeriesPoint& p = series[k];
        minY = k == 0 ? p.value : std::min(minY, p.value);
        maxY = k == 0 ? p.value : std::max(maxY, p.value);
        minX = std::min(minX, p.timeS);
        maxX = std::max(maxX, p.timeS);
    }
    PlotAxes axes;
    axes.time = RoundAxis(minX, maxX > minX ? maxX : minX + 1.0);
    const double spread = maxY - minY;
    const double pad = spread > 0 ? spread * 0.05 : std::max(1.0, std::fabs(maxY) * 0.05);
    axes.value = RoundAxis(minY - pad, maxY + pad);
    return axes;
}

int NearestLine(const std::vector<SeriesPoint>& series, double timeS, double value) {
    int best = -1;
    double bestDistance = 0;
    for (const SeriesPoint& p : series) {
        const double d = std::fabs(p.timeS - timeS) + std::fabs(p.value - value);
        if (best < 0 || d < bestDistance) {
            best = p.line;
            bestDistance = d;
        }
    }
    return best;
}

int LineOfMarkedWord(const TraceSnapshot& snapshot, const TracePoint& marked) {
    int line = -1;
    for (std::size_t k = 0; k < snapshot.points.size(); ++k) {
        const TracePoint& p = snapshot.points[k];
        if (p.slot == marked.slot && p.tickMs == marked.tickMs && p.word == marked.word) line = int(k);
    }
    return line;
}

}  // namespace orv
