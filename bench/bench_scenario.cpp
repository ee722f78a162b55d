// Scenario traffic at full load: board 1 with all 8 inputs hearing scenario traffic of 32 labels
// at 100 Hz each (BNR sine, BCD ramp and discrete labels, jitter, a parity fault on every input),
// sent at 100 kbit/s: 3,200 words/s offered per input, of which the bus carries 2,777.8; the
// inputs receive in parameter reception at 100 kbit/s.
//
// BM_ScenarioRealTime runs the firmware thread on the monotonic clock and reports the fraction of
// one core the process spends (core_fraction; goal under 0.05), with the words sent and not sent
// per second. BM_ScenarioUnthrottled runs the same traffic on the manual clock as fast as it goes.
//
// BM_ScenarioEvents: inputs 1..4 hear one reported label each (200 Hz, 100 kbit/s) and inputs 5..8
// the unreported 32-label traffic above. A handler thread waits on the board's event and reads
// every reported word; it reports the words received and read, each word's age when it was read
// (lateness_mean_us, lateness_max_us; the word carries its start time to 125 us: the firmware
// wakes for each reported scenario word on its 250 us grid, not only at its 50 ms catch-up) and
// the firmware thread's share of a core (board_core_fraction).

#include <benchmark/benchmark.h>

#include "cpu_time.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "board/driver/board_image.h"
#include "board/driver/signal_event.h"
#include "board/driver/board_link.h"
#include "board/driver/device.h"
#include "vboard/virtual_board.h"
#include "vboard/virtual_board_provider.h"

namespace {

using namespace orv;
using namespace orv::bench;

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

std::shared_ptr<VirtualBoard> ScenarioBoard(BoardClock clock) {
    auto board = std::make_shared<VirtualBoard>(VirtualBoardOne(), clock);
    BoardScenario scenario;
    for (unsigned c = 0; c < 8; ++c) {
        scenario.inputs[c].hears = InputHears::Traffic;
        scenario.inputs[c].traffic = ThirtyTwoLabels(c + 1);
    }
    board->PlayScenario(scenario, 1);
    const auto device = OpenVirtualDevice(board);
    auto image = std::make_unique<BoardImage>();
    BoardLink link(*image);
    link.Attach(device.get());
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
    CoreShares cost;
    Totals sum;
    for (auto _ : state) {
        const Totals before = Count(*board);
        cost += MeasureOneSecond();
        const Totals after = Count(*board);
        sum.sent += after.sent - before.sent;
        sum.notSent += after.notSent - before.notSent;
        sum.received += after.received - before.received;
    }
    board->StopFirmware();
    state.counters["core_fraction"] = cost.ProcessFraction();
    state.counters["sent_per_s"] = double(sum.sent) / cost.wall;
    state.counters["not_sent_per_s"] = double(sum.notSent) / cost.wall;
    state.counters["received_per_s"] = double(sum.received) / cost.wall;
}
BENCHMARK(BM_ScenarioRealTime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

constexpr uint64_t kUnitUs = 125;
constexpr uint64_t kWordUs = 320;  // 32 bits at 100 kbit/s

InputTraffic OneReportedLabel() {
    InputTraffic t;
    t.bitRateKbps = 100;
    LabelTraffic l;
    l.label = 0310;
    l.rateHz = 200;
    l.jitter = 0.05;
    // The word carries its own start time: bits 11..28 count units of 125 us from the start of
    // the scenario (a ramp of 8,000 units per second, unsigned).
    l.coding.encoding = TrafficEncoding::Bnr;
    l.coding.bnr = {0, 28, 11, 131072.0, 1.0};
    l.coding.value.kind = ProfileKind::Ramp;
    l.coding.value.from = 0;
    l.coding.value.to = 262144;
    l.coding.value.periodS = 32.768;
    t.labels.push_back(l);
    return t;
}

void BM_ScenarioEvents(benchmark::State& state) {
    auto board = std::make_shared<VirtualBoard>(VirtualBoardOne(), BoardClock::RealTime);
    BoardScenario scenario;
    for (unsigned c = 0; c < 8; ++c) {
        scenario.inputs[c].hears = InputHears::Traffic;
        scenario.inputs[c].traffic = c < 4 ? OneReportedLabel() : ThirtyTwoLabels(c + 1);
    }
    board->PlayScenario(scenario, 1);
    const uint64_t origin = board->NowUs();  // scenario time 0
    const auto device = OpenVirtualDevice(board);
    BoardImage image;
    BoardLink link(image);
    link.Attach(device.get());
    SignalEvent event("bench-scenario-events");
    link.RegisterEvent(event.Handle());
    for (uint32_t i = 0; i < 16; ++i) image.Set(BoardImage::ChannelSettingWords + i, 2);
    link.StartBoard();
    for (unsigned ch = 1; ch <= 8; ++ch) {
        if (ch <= 4) image.Set(BoardImage::InputLabelTable + 256 * (ch - 1) + 0310, kLabelEvent);
        link.LoadInputChannel(uint16_t(ch));
        image.Set(BoardImage::ChannelControlWords + InputChannelCode(ch), 0x0500);
        link.StartInputChannel(uint16_t(ch));
    }
    board->StartFirmware();

    std::atomic<bool> stop{false};
    uint64_t read = 0, latenessSum = 0, latenessMax = 0;
    std::thread handler([&] {
        while (!stop.load()) {
            if (!event.WaitFor(100)) continue;
            event.Reset();
            for (uint16_t bits = link.ReadEvents(); (bits & 0x0F) != 0; bits = link.ReadEvents()) {
                for (unsigned ch = 1; ch <= 4; ++ch) {
                    if ((bits & (1u << (ch - 1))) == 0) continue;
                    const uint32_t word = link.ReadSlot(uint16_t(ch), LabelSlotAddress(ch, 0310));
                    const uint64_t now = board->NowUs();  // the read played the bus up to the clock
                    ++read;
                    // Its age when read: the board's time against the arrival of its last bit.
                    const uint64_t arrival = origin + ((word >> 10) & 0x3FFFF) * kUnitUs + kWordUs;
                    const uint64_t late = now > arrival ? now - arrival : 0;
                    latenessSum += late;
                    latenessMax = std::max(latenessMax, late);
                }
            }
            link.EndEventHandling();
        }
    });
    CoreShares cost;
    for (auto _ : state) cost += MeasureOneSecond(VirtualBoard::kFirmwareThreadName);
    stop = true;
    handler.join();
    board->StopFirmware();
    uint64_t received = 0;
    for (unsigned ch = 1; ch <= 4; ++ch) received += board->Input(ch).received;
    state.counters["reported_received"] = double(received);
    state.counters["reported_read"] = double(read);
    state.counters["lateness_mean_us"] = read ? double(latenessSum) / double(read) : 0.0;
    state.counters["lateness_max_us"] = double(latenessMax);
    state.counters["board_core_fraction"] = cost.ThreadFraction();
    state.counters["core_fraction"] = cost.ProcessFraction();
}
BENCHMARK(BM_ScenarioEvents)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
