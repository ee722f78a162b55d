// One refresh tick in parameter reception with 256 displayed parameters on the virtual board:
// 256 slot reads, and 256 releases when every parameter was received since the last tick.
#include <benchmark/benchmark.h>

#include "support/tick_fixture.h"

namespace orv {
namespace {

void BM_TickAllReceived(benchmark::State& bs) {
    VirtualBoardProvider devices(BoardClock::Manual);
    bench::TickFixture bench(devices);
    for (auto _ : bs) {
        bs.PauseTiming();
        devices.Advance(100000);  // a whole frame on every channel: all 256 slots filled again
        bs.ResumeTiming();
        RefreshTick(bench.state);
    }
    int received = 0;
    for (const auto& e : bench.state.Display.DisplayTable)
        received += e.receivedCycle == bench.state.Acquisition.CycleCounter ? 1 : 0;
    bs.counters["received"] = received;  // 256: every tick released every slot
}
BENCHMARK(BM_TickAllReceived)->Unit(benchmark::kMicrosecond);

void BM_TickNothingNew(benchmark::State& bs) {
    VirtualBoardProvider devices(BoardClock::Manual);
    bench::TickFixture bench(devices);
    devices.Advance(100000);
    RefreshTick(bench.state);  // takes and releases everything once
    for (auto _ : bs) RefreshTick(bench.state);  // 256 reads, no release
}
BENCHMARK(BM_TickNothingNew)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orv
