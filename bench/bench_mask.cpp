// Masks and traces on the real-time virtual board: do they see every word of the masked label
// exactly once?
//
// A board with all eight outputs looped to their inputs (the program's own boards loop only some;
// the board class allows any wiring) is opened, started, given a displayed list and masks through
// the program's own functions, and served by the program's own acquisition thread. Each output
// sends the masked label at a set rate, at 100 kbit/s, each word carrying its place in the frame,
// so the trace ring shows a repeated word (duplicate) or a gap.
//
// Counters per case: delivered (words the input accepted), appended (trace appends = match count
// of an all-X mask), duplicated (a word appended twice in a row), lost (delivered - appended +
// duplicated), overflowed (words the board's receive queues refused), core_fraction (process CPU
// time over wall time: firmware, acquisition thread and this program's ring checks) and
// board_core_fraction (the board's firmware thread alone; the requests the program sends are
// played on the program's threads and count in core_fraction only).

#include <benchmark/benchmark.h>

#include "cpu_time.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "state/program_state.h"
#include "session/board_control.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "monitor/mask.h"
#include "vboard/virtual_board.h"
#include "vboard/virtual_board_provider.h"

namespace {

using namespace orv;
using namespace orv::bench;

constexpr uint16_t kLabel = 077;

class LoopedBoards : public DeviceProvider {
public:
    LoopedBoards() : board_(std::make_shared<VirtualBoard>(BoardLayout{8, 8, 8, false}, BoardClock::RealTime)) {}
    ~LoopedBoards() override { board_->StopFirmware(); }
    std::unique_ptr<Device> Open(std::string_view) override {
        board_->StartFirmware();
        return OpenVirtualDevice(board_);
    }
    VirtualBoard& Board() { return *board_; }

private:
    std::shared_ptr<VirtualBoard> board_;
};

// A frame of `words` words of the label spread evenly over `slots` slots (the others pauses) at
// 100 kbit/s (360 us a slot): 2,777.8 x words / slots words per second.
struct Rate {
    const char* name;
    uint32_t words;
    uint32_t slots;
};
constexpr Rate kRates[] = {{"100", 9, 250}, {"463", 42, 252}, {"1000", 90, 250}, {"2777.8", 256, 256}};

// The place of a frame word (1..words) in bits 16..24.
uint32_t FrameWord(uint32_t place) { return (place << 16) | kLabel; }

void StartFrame(BoardState& board, unsigned c, const Rate& rate) {
    BoardImage& image = board.BoardImage;
    const uint32_t frame = BoardImage::OutputFrameArea + 512 * (c - 1);
    uint32_t place = 0;
    for (uint32_t j = 0; j < rate.slots; ++j) {
        const bool word = (j + 1) * rate.words / rate.slots > j * rate.words / rate.slots;
        image.Set32(frame + 2 * j, word ? FrameWord(++place) : 0);
    }
    board.Link.WriteRange(uint16_t(frame), uint16_t(2 * rate.slots));
    const uint32_t table = BoardImage::OutputSlotTable + 256 * (c - 1);
    image.Fill(table, 256, 0);
    image.Set(table + rate.slots - 1, kLastSlotMark);
    board.Link.StopChannel(OutputChannelCode(c));
    board.Link.LoadOutputChannel(uint16_t(c));
    image.Set(BoardImage::ChannelControlWords + OutputChannelCode(c), kOutputEnable);
    board.Link.StartOutputChannel(uint16_t(c));
}


// Follows one channel's trace ring: every append since the last look, checked against the word
// before it. Append number a sits in slot a % 256 (the mask was set on an empty ring).
struct RingCheck {
    int32_t seen = 0;
    uint32_t previous = 0;
    uint64_t duplicated = 0;
    uint64_t unchecked = 0;  // appends overwritten before they were looked at

    void Look(const AcquisitionState& acq, int ch) {
        const int32_t count = acq.MaskMatchCount[std::size_t(ch)].load();
        if (count - seen > kTraceSlots) {
            unchecked += uint64_t(count - seen - kTraceSlots);
            seen = count - kTraceSlots;
            previous = 0;
        }
        for (; seen < count; ++seen) {
            const uint32_t word = acq.TraceValues[std::size_t(ch)][std::size_t(seen % kTraceSlots)].load();
            if (previous != 0 && word == previous) ++duplicated;
            previous = word;
        }
    }
};

void BM_Mask(benchmark::State& state) {
    const Rate& rate = kRates[state.range(0)];
    const int channels = int(state.range(1));
    const auto runFor = std::chrono::milliseconds(state.range(2));

    for (auto _ : state) {
        LoopedBoards devices;
        ProgramState program;
        program.Devices = &devices;
        if (!OpenSelectedBoard(program, "arinc10")) {
            state.SkipWithError("board did not open");
            return;
        }
        program.Board.ChannelSettings.fill(2);  // 100 kbit/s, parity check on, odd parity
        StartBoard(program);
        std::vector<std::string> lines;
        for (int c = 1; c <= channels; ++c) {
            DisplayLineRecord r;
            r.address = kLabel;
            r.channel = uint16_t(c);
            r.formatLabel.Assign("        ");
            r.paramLabel.Assign("   MASK" + std::to_string(c));
            lines.push_back(LinesOfRecords(std::span(&r, 1)).at(0));
        }
        if (LoadDisplayList(lines, program.Display, program.Acquisition, program.Board, "/nonexistent") != nullptr) {
            state.SkipWithError("list not loaded");
            return;
        }
        for (int c = 1; c <= channels; ++c) {
            StoreMaskPattern(program.Acquisition, c - 1, EncodeMask(""));
            SetMask(program.Display, program.Acquisition, program.Board.Link, c - 1);
        }

        std::vector<RingCheck> rings(std::size_t(channels), RingCheck{});
        const CpuSpan span(VirtualBoard::kFirmwareThreadName);
        const auto wall0 = std::chrono::steady_clock::now();
        for (int c = 1; c <= channels; ++c) StartFrame(program.Board, unsigned(c), rate);
        while (std::chrono::steady_clock::now() - wall0 < runFor) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            for (int c = 0; c < channels; ++c) rings[std::size_t(c)].Look(program.Acquisition, c);
        }
        for (int c = 1; c <= channels; ++c) program.Board.Link.StopChannel(OutputChannelCode(unsigned(c)));
        const CoreShares cost = span.Elapsed();
        // Let the thread serve what still waits, then look a last time.
        for (int settle = 0; settle < 50 && devices.Board().PendingEvents() != 0; ++settle)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (int c = 0; c < channels; ++c) rings[std::size_t(c)].Look(program.Acquisition, c);
        ReleaseBoard(program);

        uint64_t delivered = 0, appended = 0, duplicated = 0, overflowed = 0, unchecked = 0;
        for (int c = 1; c <= channels; ++c) {
            const InputCounters in = devices.Board().Input(unsigned(c));
            delivered += in.received;
            overflowed += in.overflowed;
            appended += uint64_t(program.Acquisition.MaskMatchCount[std::size_t(c - 1)].load());
            duplicated += rings[std::size_t(c - 1)].duplicated;
            unchecked += rings[std::size_t(c - 1)].unchecked;
        }
        state.counters["delivered"] = double(delivered);
        state.counters["appended"] = double(appended);
        state.counters["duplicated"] = double(duplicated);
        state.counters["lost"] = double(int64_t(delivered) - int64_t(appended) + int64_t(duplicated));
        state.counters["overflowed"] = double(overflowed);
        state.counters["unchecked"] = double(unchecked);
        state.counters["words_per_s_ch"] = double(delivered) / cost.wall / channels;
        state.counters["core_fraction"] = cost.ProcessFraction();
        state.counters["board_core_fraction"] = cost.ThreadFraction();
    }
    state.SetLabel(std::string(rate.name) + " words/s x " + std::to_string(channels) + " ch");
}
BENCHMARK(BM_Mask)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 8}, {3000}})
    ->ArgNames({"rate", "channels", "ms"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The started board with nothing running: what the firmware costs while it waits.
void BM_IdleBoard(benchmark::State& state) {
    LoopedBoards devices;
    ProgramState program;
    program.Devices = &devices;
    OpenSelectedBoard(program, "arinc10");
    StartBoard(program);
    CoreShares cost;
    for (auto _ : state) cost += MeasureOneSecond(VirtualBoard::kFirmwareThreadName);
    ReleaseBoard(program);
    state.counters["core_fraction"] = cost.ProcessFraction();
    state.counters["board_core_fraction"] = cost.ThreadFraction();
}
BENCHMARK(BM_IdleBoard)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
