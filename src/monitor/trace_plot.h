#pragma once
// How the trace plot draws a snapshot: where its line breaks across a dropout, which points are
// drawn as words that do not fit the mask, and axes whose ticks fall on round numbers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/trace_stats.h"

namespace orv {

// A dropout: an interval between two plotted points longer than kGapFactor x the median of the
// non-zero intervals between plotted points, and at least kGapMinMs. The line is not drawn across.
inline constexpr int kGapFactor = 4;
inline constexpr int64_t kGapMinMs = 100;

// The median of the non-zero intervals (ms) between consecutive points of `series` (times from
// `snapshot`); the mean of the two middle ones for an even count. Absent when there is none.
std::optional<double> MedianInterval(const TraceSnapshot& snapshot, const std::vector<SeriesPoint>& series);

// A stretch of the series that the line joins: points [begin, end).
struct PlotRun {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const PlotRun&, const PlotRun&) = default;
};
// The runs of `series` in order, split at every dropout; together they hold every point. None for
// an empty series.
std::vector<PlotRun> LineRuns(const TraceSnapshot& snapshot, const std::vector<SeriesPoint>& series);

// For each point of `series`, whether its word fits the mask (drawn as every point is) or not
// (drawn red).
std::vector<bool> PointsFitting(const TraceSnapshot& snapshot, const std::vector<SeriesPoint>& series);

// The smallest 1, 2 or 5 x 10^k that is at least `rough` (> 0 and finite; 1 otherwise).
double RoundStep(double rough);

// An axis: its range, both ends on ticks, and the tick step, a round number. `decimals` is how
// many decimals a tick label needs to show the step.
struct AxisScale {
    double min = 0;
    double max = 1;
    double step = 0.2;
    int decimals = 1;
};
// The axis over [lo, hi] with at most `maxSteps` steps: the step is the round number that covers
// the span in that many, the ends are moved out to the next ticks. An empty span is widened first:
// by 1 on each side around 0, by 5 % of the value otherwise.
AxisScale RoundAxis(double lo, double hi, int maxSteps = 8);

// The printf format of an axis's tick labels: fixed with the axis's decimals while its numbers
// stay readable that way, "%.6g" for very large or very small ones.
std::string TickLabelFormat(const AxisScale& axis);

// The axes of the plot: time from the first word (0) or the earliest point to the last, and the
// values with 5 % of their spread added on each side, so that no point sits on the frame.
struct PlotAxes {
    AxisScale time;
    AxisScale value;
};
PlotAxes PlotScales(const std::vector<SeriesPoint>& series);

// The list line of the point of `series` nearest to (timeS, value), the distances along the two
// axes added; the first of equally near points; -1 for an empty series.
int NearestLine(const std::vector<SeriesPoint>& series, double timeS, double value);

// The list line of `snapshot` that holds the marked word: the same ring slot still holding the
// word of the same tick (a slot is reused every 256 words); -1 once it has left the ring.
int LineOfMarkedWord(const TraceSnapshot& snapshot, const TracePoint& marked);

}  // namespace orv
