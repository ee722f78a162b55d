// A full repaint of the table pane: QWidget::grab() of the whole 960 x 4100 document with 256 live
// rows (three in four with a decimal format), offscreen. BM_FullRepaint repaints an unchanged
// table; BM_TickAndFullRepaint runs a refresh tick in which every row was received again (the
// cycle column of all 256 rows changes) and then repaints everything.
#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>

#include "monitor/ui/COrvmonView.h"
#include "support/tick_fixture.h"

namespace orv {
namespace {

struct PaintBench {
    PaintBench() : fixture(devices), view(fixture.state) {
        view.resize(960, 4100);
        devices.Advance(100000);
        view.RefreshTick();
        view.grab();  // the first paint sets the document height
    }
    VirtualBoardProvider devices{BoardClock::Manual};
    bench::TickFixture fixture;
    ui::COrvmonView view;
};

void BM_FullRepaint(benchmark::State& bs) {
    PaintBench bench;
    for (auto _ : bs) {
        QPixmap pixmap = bench.view.grab();
        benchmark::DoNotOptimize(pixmap);
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

void BM_TickAndFullRepaint(benchmark::State& bs) {
    PaintBench bench;
    for (auto _ : bs) {
        bs.PauseTiming();
        bench.devices.Advance(100000);
        bs.ResumeTiming();
        bench.view.RefreshTick();
        QPixmap pixmap = bench.view.grab();
        benchmark::DoNotOptimize(pixmap);
    }
}
BENCHMARK(BM_TickAndFullRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orv
