// What the trace dialog's live mode does on every refresh (snapshot, list lines, statistics,
// plotted series of a full ring) and what the CSV exports cost for a full ring and a full table.
#include <benchmark/benchmark.h>

#include "monitor/csv_export.h"
#include "monitor/trace_stats.h"
#include "support/example_formats.h"

namespace orv {
namespace {

void FillRing(AcquisitionState& acq, int ch) {
    for (uint32_t k = 0; k < 300; ++k) {
        const uint32_t slot = k % kTraceSlots;
        acq.TraceValues[std::size_t(ch)][slot] = 0x0C8000C8u + (k << 11);
        acq.TraceTimes[std::size_t(ch)][slot] = 1000 + 50 * k + k % 3;
    }
    acq.TraceIndex[std::size_t(ch)] = uint16_t(300 - kTraceSlots);
}

void BM_TraceRefresh(benchmark::State& state) {
    AcquisitionState acq;
    FillRing(acq, 4);
    const DecimalFormat format = test::Alt1Format();
    for (auto _ : state) {
        const TraceSnapshot snap = TakeTraceSnapshot(acq, 4);
        benchmark::DoNotOptimize(TraceSnapshotLines(snap, format));
        benchmark::DoNotOptimize(ComputeTraceStats(snap));
        benchmark::DoNotOptimize(ValueSeries(snap, format));
    }
}
BENCHMARK(BM_TraceRefresh);

void BM_TraceCsv(benchmark::State& state) {
    AcquisitionState acq;
    FillRing(acq, 4);
    const TraceSnapshot snap = TakeTraceSnapshot(acq, 4);
    const DecimalFormat format = test::Alt1Format();
    for (auto _ : state) benchmark::DoNotOptimize(TraceCsv(snap, format));
}
BENCHMARK(BM_TraceCsv);

// A full table of 256 formatted rows, every word received.
struct FullTable {
    DisplayState display;
    AcquisitionState acq;
    BoardImage image;
    FullTable() {
        for (int r = 0; r < kDisplayRows; ++r) {
            DisplayEntry& e = display.DisplayTable[std::size_t(r)];
            e.paramLabel.Assign("ALT");
            e.channel = uint16_t(1 + r % 8);
            e.address = uint16_t(r);
            e.format = test::Alt1Format();
            display.SlotAddresses[std::size_t(r)] = uint16_t(0x4000 + 2 * r);
            image.Set32(uint32_t(0x4000 + 2 * r), 0x0C8000C8u + uint32_t(r << 11));
        }
        display.DisplayListReady = 1;
    }
};

void BM_TableCsv(benchmark::State& state) {
    const FullTable t;
    for (auto _ : state) benchmark::DoNotOptimize(TableCsv(TakeShownTable(t.display, t.acq, t.image, 0)));
}
BENCHMARK(BM_TableCsv);

// What every refresh tick adds to keep the values it drew for the table export.
void BM_TakeShownTable(benchmark::State& state) {
    const FullTable t;
    ShownTable shown;
    for (auto _ : state) {
        TakeShownTable(t.display, t.acq, t.image, 0, shown);
        benchmark::DoNotOptimize(shown.data());
    }
}
BENCHMARK(BM_TakeShownTable);

}  // namespace
}  // namespace orv
