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
//
// BM_ScenarioHeaviestFile reads and plays the heaviest scenario files the reader accepts (below).

#include <benchmark/benchmark.h>

#include "cpu_time.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "driver/board_image.h"
#include "driver/signal_event.h"
#include "driver/board_link.h"
#include "driver/device.h"
#include "vboard/scenario_file.h"
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

// The heaviest scenario files the reader accepts: every input of both boards (8 + 4) hears
// traffic at 100 kbit/s and takes each limit of scenario_limits.h as far as it goes, in two ways:
//   0: 256 labels offering 100,000 words/s together (BNR tables, BCD sines, toggling discretes,
//      jitter 0.5), 9 faults on every label and 55 on single labels (921,484 fault checks/s);
//   1: 256 slow labels and 64 extra labels offering the rest of the 100,000 words/s: the most
//      words the transmitter chooses among for each word it sends.
// Every input runs in parameter reception with its fastest label reported; a reader thread per
// board reads every reported word. Reports the process's share of a core (core_fraction, goal
// under 0.5) and the firmware threads' (board_core_fraction), with the words sent per second.
std::string HeaviestInput(unsigned board, unsigned input, int variant) {
    const std::string key = "board" + std::to_string(board) + ".input" + std::to_string(input);
    std::string text = "[" + key + "]\nhears = \"traffic\"\nbit_rate_kbps = 100\n";
    const auto octal = [](unsigned v) {
        return std::to_string(v / 64) + std::to_string(v / 8 % 8) + std::to_string(v % 8);
    };
    std::string points;
    for (int k = 0; k < 64; ++k) points += (k ? ", [" : "[") + std::to_string(k * 5) + ", " + std::to_string(k * 100) + "]";
    for (unsigned l = 0; l < 256; ++l) {
        text += "[[" + key + ".label]]\nlabel = \"" + octal(l) + "\"\nsdi = " + std::to_string(input & 3) + "\n";
        text += variant == 0 ? "rate_hz = 390.625\njitter = 0.5\n" : "rate_hz = 1\n";
        switch (l % 3) {
            case 0:
                text += "bnr = { sign_bit = 29, msb = 28, msb_weight = 65536, resolution = 1 }\n"
                        "value = { profile = \"table\", points = [" + points + "] }\n";
                break;
            case 1:
                text += "bcd = { digits = 5, resolution = 0.1 }\nvalue = { profile = \"sine\", mean = 100, amplitude = 50, period_s = 7 }\n";
                break;
            default:
                text += "discrete = { bits = [11, 20], toggle = [12, 13], toggle_period_s = 0.5 }\n";
                break;
        }
    }
    const auto fault = [&](const std::string& body) { text += "[[" + key + ".fault]]\n" + body; };
    if (variant == 0) {
        const char* everyLabel[] = {
            "kind = \"dropout\"\nprobability = 0.001\n",
            "kind = \"parity\"\nprobability = 0.01\n",
            "kind = \"ssm\"\nssm = \"ncd\"\nprobability = 0.01\n",
            "kind = \"bit_rate\"\nbit_rate_kbps = 100\nprobability = 0.5\n",
            "kind = \"dropout\"\nstart_s = 1\nduration_s = 0.2\nrepeat_s = 3\n",
            "kind = \"parity\"\nstart_s = 0.5\nduration_s = 0.1\nrepeat_s = 2\n",
            "kind = \"ssm\"\nssm = \"test\"\nstart_s = 0.2\nduration_s = 0.3\nrepeat_s = 1.5\n",
            "kind = \"bit_rate\"\nbit_rate_kbps = 100\nstart_s = 0.1\nduration_s = 0.5\nrepeat_s = 1\n",
            "kind = \"dropout\"\nprobability = 0.01\nstart_s = 0.3\nduration_s = 0.4\nrepeat_s = 0.9\n",
        };
        for (const char* body : everyLabel) fault(body);
        for (unsigned k = 0; k < 55; ++k)
            fault(std::string(k % 2 ? "kind = \"dropout\"\nprobability = 0.5\n" : "kind = \"parity\"\nprobability = 0.5\n") +
                  "label = \"" + octal(k) + "\"\nstart_s = 0.1\nduration_s = 0.25\nrepeat_s = 0.5\n");
    } else {
        // 256 words/s from the labels; the extra labels offer the rest.
        for (unsigned k = 0; k < 64; ++k)
            fault("kind = \"extra_label\"\nlabel = \"" + octal(k) + "\"\nsdi = 3\nrate_hz = 1558.5\n"
                  "bnr = { msb = 28, msb_weight = 128, resolution = 1 }\nvalue = { profile = \"ramp\", from = 0, to = 200, period_s = 3 }\n");
    }
    return text;
}

void BM_ScenarioHeaviestFile(benchmark::State& state) {
    const int variant = int(state.range(0));
    std::string text;
    for (unsigned input = 1; input <= 8; ++input) text += HeaviestInput(1, input, variant);
    for (unsigned input = 1; input <= 4; ++input) text += HeaviestInput(2, input, variant);
    ScenarioError error;
    const std::optional<Scenario> scenario = ParseScenario(text, error);
    if (!scenario) {
        state.SkipWithError(("the reader refuses the file: line " + std::to_string(error.line) + ": " + error.reason).c_str());
        return;
    }
    constexpr unsigned reported = 0;  // label 000: a label, and in way 1 an extra label too

    VirtualBoardProvider boards(BoardClock::RealTime);
    struct Reader {
        std::unique_ptr<Device> device;
        BoardImage image;
        std::unique_ptr<BoardLink> link;
        std::unique_ptr<SignalEvent> event;
        unsigned inputs = 0;
    };
    std::array<Reader, 2> readers;
    for (unsigned b = 0; b < 2; ++b) {
        Reader& r = readers[b];
        r.device = boards.Open(b == 0 ? "arinc10" : "arinc20");  // starts the firmware thread
        r.link = std::make_unique<BoardLink>(r.image);
        r.link->Attach(r.device.get());
        r.event = std::make_unique<SignalEvent>("bench-heaviest");
        r.link->RegisterEvent(r.event->Handle());
        r.inputs = b == 0 ? 8 : 4;
        for (uint32_t i = 0; i < 16; ++i) r.image.Set(BoardImage::ChannelSettingWords + i, 2);
        r.link->StartBoard();
    }
    boards.PlayScenario(*scenario);
    for (Reader& r : readers) {
        for (unsigned ch = 1; ch <= r.inputs; ++ch) {
            r.image.Set(BoardImage::InputLabelTable + 256 * (ch - 1) + reported, kLabelEvent);
            r.link->LoadInputChannel(uint16_t(ch));
            r.image.Set(BoardImage::ChannelControlWords + InputChannelCode(ch), 0x0500);
            r.link->StartInputChannel(uint16_t(ch));
        }
    }
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> read{0};
    std::vector<std::thread> threads;
    for (Reader& r : readers) {
        threads.emplace_back([&r, &stop, &read, reported] {
            while (!stop.load()) {
                if (!r.event->WaitFor(100)) continue;
                r.event->Reset();
                for (uint16_t bits = r.link->ReadEvents(); bits != 0; bits = r.link->ReadEvents())
                    for (unsigned ch = 1; ch <= r.inputs; ++ch)
                        if (bits & (1u << (ch - 1))) {
                            r.link->ReadSlot(uint16_t(ch), LabelSlotAddress(ch, reported));
                            read.fetch_add(1);
                        }
                r.link->EndEventHandling();
            }
        });
    }
    const auto sent = [&] {
        uint64_t n = 0;
        for (unsigned b = 1; b <= 2; ++b)
            for (const LineCounters& l : boards.Counters(b).lines) n += l.sent;
        return n;
    };
    CoreShares cost;
    const uint64_t sent0 = sent();
    for (auto _ : state) cost += MeasureOneSecond(VirtualBoard::kFirmwareThreadName);
    const uint64_t sentWords = sent() - sent0;
    stop = true;
    for (std::thread& t : threads) t.join();
    state.counters["core_fraction"] = cost.ProcessFraction();
    state.counters["board_core_fraction"] = cost.ThreadFraction();
    state.counters["sent_per_s"] = double(sentWords) / cost.wall;
    state.counters["reported_read_per_s"] = double(read.load()) / cost.wall;
}
BENCHMARK(BM_ScenarioHeaviestFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
