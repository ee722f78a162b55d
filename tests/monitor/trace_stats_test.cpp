// Trace snapshot and statistics on hand-computed rings: plain, wrapped, across the 32-bit clock
// wrap, one word, equal times; and the values the plot draws.
#include <gtest/gtest.h>

#include <cmath>

#include "monitor/trace.h"
#include "monitor/trace_stats.h"
#include "monitor_fixture.h"

namespace orv {
namespace {

constexpr int kCh = 4;
void Append(AcquisitionState& acq, uint32_t word, uint32_t time) { test::AppendTrace(acq, kCh, word, time); }

TEST(TraceStatsTest, HandComputedRingWithMaskFits) {
    AcquisitionState acq;
    StoreMaskPattern(acq, kCh, EncodeMask("xx1" + std::string(20, 'x')));  // bit 29 must be 1
    acq.MaskMatchCount[kCh] = 7;
    for (auto [word, time] : {std::pair{0x10000083u, 1000u}, {0x00000083u, 1050u}, {0x10000483u, 1110u},
                              {0x10000083u, 1150u}})
        Append(acq, word, time);

    const TraceSnapshot snap = TakeTraceSnapshot(acq, kCh);
    ASSERT_EQ(snap.points.size(), 4u);
    EXPECT_EQ(snap.points[2].intervalMs, 60);
    EXPECT_EQ(snap.points[3].timeMs, 150);
    const TraceStats s = ComputeTraceStats(snap);
    EXPECT_EQ(s.words, 4);
    EXPECT_EQ(s.fitting, 3);
    EXPECT_EQ(s.matchCount, 7);
    EXPECT_EQ(s.spanMs, 150);
    ASSERT_TRUE(s.rate && s.intervals);
    EXPECT_DOUBLE_EQ(*s.rate, 20.0);  // 3 intervals over 150 ms
    EXPECT_EQ(s.intervals->minMs, 40);
    EXPECT_EQ(s.intervals->maxMs, 60);
    EXPECT_DOUBLE_EQ(s.intervals->meanMs, 50.0);
    EXPECT_NEAR(s.intervals->stddevMs, std::sqrt(200.0 / 3.0), 1e-12);  // deviations 0, +10, -10
}

TEST(TraceStatsTest, WrappedRingStartsAtTheNextSlotAndMatchesTheList) {
    AcquisitionState acq;
    for (uint32_t k = 0; k < 300; ++k) Append(acq, 0x40000083u | (k << 10), 5000 + 50 * k + k % 2);
    const TraceSnapshot snap = TakeTraceSnapshot(acq, kCh);
    ASSERT_EQ(snap.points.size(), 256u);
    EXPECT_EQ(snap.points.front().slot, 44);
    EXPECT_EQ(snap.points[212].slot, 0);  // slot 000 right after slot 255
    EXPECT_EQ(TraceSnapshotLines(snap, test::Alt1Format()), TraceLines(acq, kCh, test::Alt1Format()));

    const TraceStats s = ComputeTraceStats(snap);
    EXPECT_EQ(s.spanMs, 255 * 50 + 1);  // from word 44 (even, +0) to word 299 (odd, +1)
    EXPECT_EQ(s.intervals->minMs, 49);
    EXPECT_EQ(s.intervals->maxMs, 51);
    EXPECT_NEAR(s.intervals->stddevMs, 1.0, 0.01);  // alternately 51 and 49
    EXPECT_DOUBLE_EQ(*s.rate, 255.0 * 1000.0 / 12751.0);
}

TEST(TraceStatsTest, TimesRunOnAcrossThe32BitClockWrap) {
    AcquisitionState acq;
    for (uint32_t t : {0xFFFFFFF0u, 0xFFFFFFFAu, 0x00000004u, 0x0000000Eu}) Append(acq, 0x80000083u, t);
    const TraceSnapshot snap = TakeTraceSnapshot(acq, kCh);
    EXPECT_EQ(snap.points[3].timeMs, 30);
    const TraceStats s = ComputeTraceStats(snap);
    EXPECT_EQ(s.spanMs, 30);
    EXPECT_DOUBLE_EQ(*s.rate, 100.0);
    EXPECT_DOUBLE_EQ(s.intervals->stddevMs, 0.0);
    EXPECT_DOUBLE_EQ(ValueSeries(snap, DecimalFormat::None())[3].timeS, 0.03);
}

TEST(TraceStatsTest, TooFewWordsOrOneInstantGiveNoRate) {
    AcquisitionState acq;
    EXPECT_EQ(ComputeTraceStats(TakeTraceSnapshot(acq, kCh)).words, 0);
    Append(acq, 0x83, 1234);
    TraceStats s = ComputeTraceStats(TakeTraceSnapshot(acq, kCh));
    EXPECT_EQ(s.words, 1);
    EXPECT_FALSE(s.intervals || s.rate);

    Append(acq, 0x83, 1234);
    Append(acq, 0x83, 1234);
    s = ComputeTraceStats(TakeTraceSnapshot(acq, kCh));
    ASSERT_TRUE(s.intervals);
    EXPECT_FALSE(s.rate);  // a zero span has no rate
    EXPECT_DOUBLE_EQ(s.intervals->stddevMs, 0.0);
    EXPECT_TRUE(TakeTraceSnapshot(acq, kInputChannels).points.empty());  // no such channel
}

TEST(TraceStatsTest, PlotValueIsTheDecimalValueOrTheDataField) {
    EXPECT_DOUBLE_EQ(PlotValue(0x0C8000C8, test::Alt1Format()), 140.625);
    EXPECT_LT(PlotValue(0x1FFFF800, test::Alt1Format()), 0.0);
    // Without a format bits 11..29, and nothing from bits 1..10, 30 and 31.
    EXPECT_DOUBLE_EQ(PlotValue(0x1FFFFC00, DecimalFormat::None()), double(0x7FFFF));
    EXPECT_DOUBLE_EQ(PlotValue(0x600003FF, DecimalFormat::None()), 0.0);

    // A sum that overflows single precision is not plotted; the other points keep their lines.
    DecimalFormat huge = test::Alt1Format();
    huge.msbWeight = 3e38f;
    AcquisitionState acq;
    Append(acq, 0x0C000000, 10);  // bits 28 and 27: 3e38 + 1.5e38 overflows
    Append(acq, 0x00000400, 20);
    const std::vector<SeriesPoint> series = ValueSeries(TakeTraceSnapshot(acq, kCh), huge);
    ASSERT_EQ(series.size(), 1u);
    EXPECT_EQ(series[0].line, 1);
}

}  // namespace
}  // namespace orv
