// The virtual board's bus engine at full load: eight outputs send 256-word frames back to back at
// 100 kbit/s (2,777 words/s each, the bus limit), looped to eight inputs in parameter reception.
//
// BM_RealTime runs the firmware thread on the monotonic clock and reports the fraction of one core
// the process spends (core_fraction; goal under 0.05). BM_Unthrottled runs the same traffic on the
// manual clock as fast as it goes and reports words per second (goal at least 100 x 22,222).

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

#include "driver/board_image.h"
#include "driver/board_link.h"
#include "driver/device.h"
#include "cpu_time.h"
#include "vboard/virtual_board.h"
#include "vboard/virtual_board_provider.h"

namespace {

using namespace orv;
using namespace orv::bench;

constexpr double kBusLimitWordsPerSecond = 8 * 100000.0 / 36.0;

// Eight outputs looped to eight inputs, everything at 100 kbit/s, all channels running.
std::shared_ptr<VirtualBoard> FullLoadBoard(BoardClock clock) {
    auto board = std::make_shared<VirtualBoard>(BoardLayout{8, 8, 8, false}, clock);
    const auto device = OpenVirtualDevice(board);
    auto image = std::make_unique<BoardImage>();
    BoardLink link(*image);
    link.Attach(device.get());
    for (uint32_t i = 0; i < 16; ++i) image->Set(BoardImage::ChannelSettingWords + i, 2);
    link.StartBoard();
    for (unsigned ch = 1; ch <= 8; ++ch) {
        const uint32_t frame = BoardImage::OutputFrameArea + 512 * (ch - 1);
        for (uint32_t k = 0; k < 256; ++k) image->Set32(frame + 2 * k, 0xE0000000u | (k << 12) | ((ch & 3u) << 8) | k);
        link.WriteRange(uint16_t(frame), 512);
        const uint32_t slots = BoardImage::OutputSlotTable + 256 * (ch - 1);
        image->Fill(slots, 256, 0);
        image->Set(slots + 255, 0x8001);
        link.LoadOutputChannel(uint16_t(ch));
        image->Set(BoardImage::ChannelControlWords + OutputChannelCode(ch), 0x8500);
        link.StartOutputChannel(uint16_t(ch));
        link.LoadInputChannel(uint16_t(ch));
        image->Set(BoardImage::ChannelControlWords + InputChannelCode(ch), 0x0500);
        link.StartInputChannel(uint16_t(ch));
    }
    link.Attach(nullptr);
    return board;
}

uint64_t Received(const VirtualBoard& board) {
    uint64_t n = 0;
    for (unsigned ch = 1; ch <= 8; ++ch) n += board.Input(ch).received;
    return n;
}

void BM_Unthrottled(benchmark::State& state) {
    auto board = FullLoadBoard(BoardClock::Manual);
    uint64_t words = 0;
    for (auto _ : state) {
        const uint64_t before = Received(*board);
        board->Advance(1000000);  // one second of bus time
        words += Received(*board) - before;
    }
    state.SetItemsProcessed(int64_t(words));
    state.counters["words_per_s"] = benchmark::Counter(double(words), benchmark::Counter::kIsRate);
    state.counters["x_bus_limit"] =
        benchmark::Counter(double(words) / kBusLimitWordsPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Unthrottled)->Unit(benchmark::kMillisecond);

void BM_RealTime(benchmark::State& state) {
    auto board = FullLoadBoard(BoardClock::RealTime);
    board->StartFirmware();
    CoreShares cost;
    uint64_t words = 0;
    for (auto _ : state) {
        const uint64_t before = Received(*board);
        cost += MeasureOneSecond();
        words += Received(*board) - before;
    }
    board->StopFirmware();
    state.counters["core_fraction"] = cost.ProcessFraction();
    state.counters["words_per_s"] = double(words) / cost.wall;
    state.counters["load_of_bus_limit"] = double(words) / cost.wall / kBusLimitWordsPerSecond;
}
BENCHMARK(BM_RealTime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
