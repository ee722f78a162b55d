// The program live: the sample display list (48 rows) on the virtual board in real time, a 10 ms
// refresh period, the real main window shown offscreen with its timer ticking and its panes
// repainting, for a fixed number of seconds per iteration. Reports the process's CPU time (user
// and system, every thread, the board's firmware thread included) per second of wall time as
// core_fraction (goal under 0.05).
//
// Two settings: offscreen (the default), and a real window on an X server as a user runs it
// (`--window=xvfb`: the program starts its own Xvfb and draws through the xcb platform, so every
// paint is flushed to the server as on a desktop). The flush to a real window costs more than the
// offscreen platform's.
#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/ui/CMainFrame.h"
#include "app/ui/window_system.h"
#include "session/board_control.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "cpu_time.h"
#include "vboard/virtual_board_provider.h"

namespace orv {
namespace {

using bench::CoreShares;
using bench::CpuSpan;

const std::filesystem::path kSamples = std::filesystem::path(ORV_SAMPLES_DIR);
constexpr int kSecondsPerIteration = 5;

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_LiveSampleList10ms(benchmark::State& bs) {
    VirtualBoardProvider devices;  // real-time clock: the firmware thread runs
    ProgramState state;
    state.Devices = &devices;
    ui::CMainFrame frame(state);
    frame.show();
    if (!OpenSelectedBoard(state, "arinc10")) {
        bs.SkipWithError("no board");
        return;
    }
    StartBoard(state);
    const auto records = DecodeDisplayLines(ReadAll(kSamples / "scenario.42i"));
    if (LoadDisplayList(LinesOfRecords(records), state.Display, state.Acquisition, state.Board,
                        (kSamples / "Orvfrmt.stt").string()) != nullptr) {
        bs.SkipWithError("sample list not loaded");
        return;
    }
    state.Shell.RefreshPeriodMs = 10;
    StartRefreshTimer(state);

    // One second to settle (first paints, every row received once), then the measured runs.
    // exit(), not quit(): quit() would close the window, which asks before it closes.
    QTimer::singleShot(1000, qApp, [] { QCoreApplication::exit(0); });
    QApplication::exec();

    CoreShares cost;
    const int32_t cycles0 = state.Acquisition.CycleCounter;
    for (auto _ : bs) {
        const CpuSpan span;
        QTimer::singleShot(kSecondsPerIteration * 1000, qApp, [] { QCoreApplication::exit(0); });
        QApplication::exec();
        cost += span.Elapsed();
    }
    bs.counters["core_fraction"] = cost.ProcessFraction();
    bs.counters["ticks_per_s"] = double(state.Acquisition.CycleCounter - cycles0) / cost.wall;
    bs.counters["rows"] = UsedEntries(state.Display.DisplayTable);
    StopRefreshTimer(state);
    ReleaseBoard(state);
}
BENCHMARK(BM_LiveSampleList10ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
}  // namespace orv
