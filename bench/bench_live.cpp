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

namespace {

// An Xvfb server of the benchmark's own, on the first free display; stopped by its pid.
struct OwnXServer {
    pid_t pid = -1;
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number and a line end once it accepts clients.
        QByteArray number;
        char c = 0;
        while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.isEmpty()) return false;
        qputenv("DISPLAY", ":" + number);
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    ~OwnXServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    OwnXServer server;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--window=xvfb") == 0) {
            if (!server.Start()) {
                std::fprintf(stderr, "Xvfb could not be started\n");
                return 1;
            }
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    orv::ui::PrepareWindowSystem();  // as the program does
    {
        QApplication app(argc, argv);
        benchmark::AddCustomContext("platform", QGuiApplication::platformName().toStdString());
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    return 0;
}
