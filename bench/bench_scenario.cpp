// Scenario traffic at full load: board 1 with all 8 inputs hearing scenario traffic of 32 labels
// at 100 Hz each (BNR sine, BCD ramp and discrete labels, jitter, a parity fault on every input),
// sent at 100 kbit/s: 3,200 words/s offered per input, of which the bus carries 2,777.8; the
// inputs receive in parameter reception at 100 kbit/s.
//
// BM_ScenarioRealTime runs the firmware thread on the monotonic clock and reports the fraction of
// one core the process spends (core_fraction; goal under 0.05), with the words sent and not sent
// per second. BM_ScenarioUnthrottled runs the same traffic on the manual clock as fast as it goes.

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <thread>

#include "board/driver/board_image.h"
#include "board/driver/board_link.h"
#include "board/driver/device.h"
#include "vboard/virtual_board.h"

namespace {

using namespace orv;

class BoardDevice : public Device {
public:
    explicit BoardDevice(VirtualBoard& board) : board_(board) {}
    std::size_t Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override {
        return board_.Control(code, in, out);
    }

private:
    VirtualBoard& board_;
};

InputTraffic ThirtyTwoLabels(unsigned input) {
    InputTraffic t;
    t.bitRateKbps = 100;
    for (unsigned i = 0; i < 32; ++i) {
        LabelTraffic l;
        l.label = uint8_t(0200 + i);
        l.sdi = input & 3;
        l.rateHz = 100;
        l.jitter = 0.05;
        LabelCoding& c = l.coding;
        switch (i % 3) {
            case 0:
                c.encoding = TrafficEncoding::Bnr;
                c.bnr = {29, 28, 12, 65536.0, 1.0};
                c.value.kind = ProfileKind::Sine;
                c.value.mean = 18000;
                c.value.amplitude = 3000;
                c.value.periodS = 30 + i;
                break;
            case 1:
                c.encoding = TrafficEncoding::Bcd;
                c.value.kind = ProfileKind::Ramp;
                c.value.from = 0;
                c.value.to = 7000;
                c.value.periodS = 60;
                break;
            default:
                c.encoding = TrafficEncoding::Discrete;
                c.discrete = {(1u << 10) | (1u << 19), 1u << 11, 5.0};
                break;
        }
        t.labels.push_back(l);
    }
    TrafficFault parity;
    parity.kind = FaultKind::Parity;
    parity.probability = 0.01;
    t.faults.push_back(parity);
    return t;
}

std::unique_ptr<VirtualBoard> ScenarioBoard(BoardClock clock) {
    auto board = std::make_unique<VirtualBoard>(VirtualBoardOne(), clock);
    BoardScenario scenario;
    for (unsigned c = 0; c < 8; ++c) {
        scenario.inputs[c].hears = InputHears::Traffic;
        scenario.inputs[c].traffic = ThirtyTwoLabels(c + 1);
    }
    board->PlayScenario(scenario, 1);
    BoardDevice device(*board);
    auto image = std::make_unique<BoardImage>();
    BoardLink link(*image);
    link.Attach(&device);
    for (uint32_t i = 0; i < 16; ++i) image->Set(BoardImage::ChannelSettingWords + i, 2);
    link.StartBoard();
    for (unsigned ch = 1; ch <= 8; ++ch) {
        link.LoadInputChannel(uint16_t(ch));
        image->Set(BoardImage::ChannelControlWords + InputChannelCode(ch), 0x0500);
        link.StartInputChannel(uint16_t(ch));
    }
    link.Attach(nullptr);
    return board;
}

struct Totals {
    uint64_t sent = 0, notSent = 0, received = 0;
};

Totals Count(VirtualBoard& board) {
    const BoardCounters c = board.Counters();
    Totals t;
    for (unsigned i = 0; i < 8; ++i) {
        t.sent += c.lines[i].sent;
        t.notSent += c.lines[i].notSent;
        t.received += c.inputs[i].received;
    }
    return t;
}

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void BM_ScenarioUnthrottled(benchmark::State& state) {
    auto board = ScenarioBoard(BoardClock::Manual);
    uint64_t words = 0;
    for (auto _ : state) {
        const Totals before = Count(*board);
        board->Advance(1000000);  // one second of bus time
        words += Count(*board).sent - before.sent;
    }
    state.SetItemsProcessed(int64_t(words));
    state.counters["words_per_s"] = benchmark::Counter(double(words), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScenarioUnthrottled)->Unit(benchmark::kMillisecond);

void BM_ScenarioRealTime(benchmark::State& state) {
    auto board = ScenarioBoard(BoardClock::RealTime);
    board->StartFirmware();
    double cpu = 0.0;
    double wall = 0.0;
    Totals sum;
    for (auto _ : state) {
        const Totals before = Count(*board);
        const double cpu0 = ProcessCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        cpu += ProcessCpuSeconds() - cpu0;
        const Totals after = Count(*board);
        sum.sent += after.sent - before.sent;
        sum.notSent += after.notSent - before.notSent;
        sum.received += after.received - before.received;
    }
    board->StopFirmware();
    state.counters["core_fraction"] = cpu / wall;
    state.counters["sent_per_s"] = double(sum.sent) / wall;
    state.counters["not_sent_per_s"] = double(sum.notSent) / wall;
    state.counters["received_per_s"] = double(sum.received) / wall;
}
BENCHMARK(BM_ScenarioRealTime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
