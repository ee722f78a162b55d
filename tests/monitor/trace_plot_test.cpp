// The trace plot's maths: the line broken across dropouts, the points of words that do not fit the
// mask, and axes on round ticks.
#include <gtest/gtest.h>

#include <cmath>

#include "monitor/trace_plot.h"
#include "monitor_fixture.h"

namespace orv {
namespace {

constexpr int kCh = 2;

// A snapshot of words arriving at `times` (ms), word k carrying k in its data field.
TraceSnapshot Ring(const std::vector<uint32_t>& times) {
    AcquisitionState acq;
    for (std::size_t k = 0; k < times.size(); ++k) test::AppendTrace(acq, kCh, 0x83u | uint32_t(k << 10), times[k]);
    return TakeTraceSnapshot(acq, kCh);
}

std::vector<PlotRun> Runs(const std::vector<uint32_t>& times) {
    const TraceSnapshot snap = Ring(times);
    return LineRuns(snap, ValueSeries(snap, DecimalFormat::None()));
}

TEST(TracePlotTest, LineBreaksAtDropoutsOnly) {
    // Every 50 ms, then 300 ms missing (an interval of 350 > 4 x 50 and >= 100): two runs.
    EXPECT_EQ(Runs({1000, 1050, 1100, 1450, 1500}), (std::vector<PlotRun>{{0, 3}, {3, 5}}));
    // 200 ms is exactly 4 x the median: not longer, no break.
    EXPECT_EQ(Runs({1000, 1050, 1100, 1300, 1350}), (std::vector<PlotRun>{{0, 5}}));
    // Fast words: 30 ms is over 4 x 5 ms, but a gap must last 100 ms; 100 ms breaks.
    EXPECT_EQ(Runs({1000, 1005, 1010, 1040, 1045, 1145, 1150}), (std::vector<PlotRun>{{0, 5}, {5, 7}}));
    // Words that waited share one time: the zero intervals do not pull the median down.
    EXPECT_EQ(Runs({1000, 1000, 1000, 1100, 1100, 1200, 1200, 1300}), (std::vector<PlotRun>{{0, 8}}));
    // The median of an even count is the mean of the two middle intervals: 10, 20, 60, 1000 -> 40,
    // and 1000 > 160 breaks while 60 does not.
    EXPECT_EQ(Runs({0, 10, 30, 90, 1090}), (std::vector<PlotRun>{{0, 4}, {4, 5}}));
    // Every dropout breaks; one word is one run; nothing gives none.
    EXPECT_EQ(Runs({0, 50, 100, 150, 700, 750, 1300}), (std::vector<PlotRun>{{0, 4}, {4, 6}, {6, 7}}));
    EXPECT_EQ(Runs({7}), (std::vector<PlotRun>{{0, 1}}));
    EXPECT_TRUE(Runs({}).empty());
    EXPECT_EQ(Runs({5, 5, 5}), (std::vector<PlotRun>{{0, 3}}));  // no non-zero interval
}

TEST(TracePlotTest, PointsOfWordsOutsideTheMaskAreMarked) {
    AcquisitionState acq;
    StoreMaskPattern(acq, kCh, EncodeMask("xx1" + std::string(20, 'x')));  // bit 29 must be 1
    for (auto [word, time] : {std::pair{0x10000083u, 1000u}, {0x00000083u, 1050u}, {0x10000483u, 1100u}})
        test::AppendTrace(acq, kCh, word, time);
    const TraceSnapshot snap = TakeTraceSnapshot(acq, kCh);
    EXPECT_EQ(PointsFitting(snap, ValueSeries(snap, DecimalFormat::None())), (std::vector<bool>{true, false, true}));
    // A word whose value is not plotted has no point: the flags follow the plotted points.
    DecimalFormat huge = test::Alt1Format();
    huge.msbWeight = 3e38f;
    const std::vector<SeriesPoint> series = ValueSeries(snap, huge);
    EXPECT_EQ(series.size(), PointsFitting(snap, series).size());
}

TEST(TracePlotTest, AxesTickOnRoundNumbers) {
    for (auto [rough, step] : {std::pair{0.7, 1.0}, {1.0, 1.0}, {1.01, 2.0}, {2.5, 5.0}, {5.0, 5.0}, {6.0, 10.0},
                               {0.0123, 0.02}, {0.3, 0.5}, {3e37, 5e37}, {1e-7, 1e-7}, {0.0, 1.0}})
        EXPECT_DOUBLE_EQ(RoundStep(rough), step) << rough;

    const AxisScale a = RoundAxis(-3.2, 17.9);  // 21.1 in at most 8 steps: 5
    EXPECT_DOUBLE_EQ(a.step, 5.0);
    EXPECT_DOUBLE_EQ(a.min, -5.0);
    EXPECT_DOUBLE_EQ(a.max, 20.0);
    EXPECT_EQ(a.decimals, 0);
    EXPECT_EQ(TickLabelFormat(a), "%.0f");
    const AxisScale t = RoundAxis(0.0, 12.75);  // seconds: step 2, from 0
    EXPECT_DOUBLE_EQ(t.step, 2.0);
    EXPECT_DOUBLE_EQ(t.min, 0.0);
    EXPECT_DOUBLE_EQ(t.max, 14.0);
    const AxisScale small = RoundAxis(0.1, 0.3);  // 0.3 is a tick, though 0.3 / 0.05 is 5.999...
    EXPECT_DOUBLE_EQ(small.step, 0.05);
    EXPECT_DOUBLE_EQ(small.min, 0.1);
    EXPECT_NEAR(small.max, 0.3, 1e-15);
    EXPECT_EQ(TickLabelFormat(small), "%.2f");
    const AxisScale flat = RoundAxis(140.625, 140.625);  // one value: 5 % around it
    EXPECT_LE(flat.min, 140.625 - 7.0);
    EXPECT_GE(flat.max, 140.625 + 7.0);
    EXPECT_EQ(TickLabelFormat(RoundAxis(0, 6e38)), "%.6g");

    // Every tick of every axis is a whole number of round steps.
    for (double lo = -1234.5; lo < 1000; lo += 97.3)
        for (double span : {1e-3, 0.37, 8.0, 999.0, 5e6}) {
            const AxisScale s = RoundAxis(lo, lo + span);
            const double mantissa = s.step / std::pow(10.0, std::floor(std::log10(s.step) + 1e-9));
            EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9)
                << s.step;
            EXPECT_LE(s.min, lo + 1e-9 * s.step);
            EXPECT_GE(s.max, lo + span - 1e-9 * s.step);
            EXPECT_LE((s.max - s.min) / s.step, 8.0 + 2.0 + 1e-9);
            EXPECT_NEAR(s.min / s.step, std::round(s.min / s.step), 1e-6);
        }

    // The plot's axes hold every point, with room around the values.
    const TraceSnapshot snap = Ring({1000, 1250, 1500, 3333});
    const std::vector<SeriesPoint> series = ValueSeries(snap, DecimalFormat::None());
    const PlotAxes axes = PlotScales(series);
    EXPECT_DOUBLE_EQ(axes.time.min, 0.0);
    EXPECT_GE(axes.time.max, 2.333);
    EXPECT_LT(axes.value.min, 0.0);
    EXPECT_GT(axes.value.max, 3.0);
}

TEST(TracePlotTest, PointerFindsNearestPointAndMarkFollowsItsWord) {
    // Points at 0, 0.25 and 0.5 s with values 0, 1, 2: the distance adds both axes.
    const TraceSnapshot snap = Ring({1000, 1250, 1500});
    const std::vector<SeriesPoint> series = ValueSeries(snap, DecimalFormat::None());
    EXPECT_EQ(NearestLine(series, 0.26, 0.9), 1);
    EXPECT_EQ(NearestLine(series, 0.0, 1.9), 2);  // 0.5 + 0.1 beats 0.25 + 0.9
    EXPECT_EQ(NearestLine(series, 0.125, 0.5), 0);  // a tie goes to the first
    EXPECT_EQ(NearestLine({}, 0, 0), -1);

    // The mark stays on its word while the same slot holds the word of the same tick.
    const TracePoint marked = snap.points[1];
    EXPECT_EQ(LineOfMarkedWord(snap, marked), 1);
    TracePoint reused = marked;
    reused.tickMs += 1;  // the slot was written again: the word has left the ring
    EXPECT_EQ(LineOfMarkedWord(snap, reused), -1);
    reused = marked;
    reused.word ^= 1u << 10;
    EXPECT_EQ(LineOfMarkedWord(snap, reused), -1);
}

}  // namespace
}  // namespace orv
