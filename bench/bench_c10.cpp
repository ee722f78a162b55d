// Chapter 10 recordings: the reader's throughput over a large recording in the page cache (goal
// 1 GB/s or more), both with per-word work like `c10 info`'s and through `c10 info` itself; the
// writer's cost per word; and what recording costs the program while the board runs at the bus
// limit (goal: under 1 % of a core, with no word lost).
//
// The recording read (1 GiB: two boards, eight 100 kbit/s buses at the bus limit) is written once to
// /tmp/orv_bench_c10.ch10 by the writer on a manual clock and read from there; it is not kept in
// the tree. Set ORV_BENCH_C10_MIB to change its size.
//
// BM_RecordAtTheBusLimit runs the virtual board on the real clock with the program's own session
// steps: eight inputs at 100 kbit/s, each hearing scenario traffic sent back to back (2,777.8
// words/s per input, 22,222 in all). Each of three runs measures the process's CPU time
// (getrusage) over the same stretch of traffic without and then with the recorder of the menu
// "Анализ" running on every input; the figures are medians. The traffic falls silent before and
// after its stretch, so the words in the file must equal what the board's counters say the lines
// carried. Set ORV_BENCH_C10_SECONDS to change the stretch (default 60 s; 2 s for a quick run).

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "c10/c10_reader.h"
#include "c10/c10_writer.h"
#include "c10_commands.h"
#include "display/table_ops.h"
#include "recordings/bus_recorder.h"
#include "session/board_control.h"
#include "session/recording.h"
#include "vboard/virtual_board_provider.h"

namespace {

using namespace orv::c10;

const char* const kPath = "/tmp/orv_bench_c10.ch10";

RecordingSetup BenchSetup() {
    RecordingSetup s;
    for (uint16_t id : {uint16_t(2), uint16_t(3)}) {
        ArincChannelSetup c;
        c.id = id;
        c.name = "Плата " + std::to_string(id - 1);
        for (uint8_t b = 0; b < 8; ++b) c.buses.push_back({b, "Вход " + std::to_string(b + 1), 100000.0});
        s.channels.push_back(c);
    }
    return s;
}

// Writes `mib` MiB (or a little more) of recording; the words of every bus follow each other at
// the bus limit (36 bit times at 100 kbit/s).
uint64_t WriteRecording(const std::string& path, uint64_t mib, bool service = true) {
    uint64_t now = 0;
    WriterOptions o;
    o.setup = BenchSetup();
    o.startTime = int64_t{20794} * 86400 * 10'000'000;
    o.clock = [&now] { return now; };
    o.replace = true;
    std::string error;
    auto w = Writer::Create(path, o, &error);
    if (!w) return 0;
    const uint64_t words = mib * 1024 * 1024 / 8;
    uint64_t n = 0;
    for (uint64_t t = 0; n < words; t += 3600) {
        for (uint16_t ch = 2; ch <= 3; ++ch)
            for (uint8_t b = 0; b < 8; ++b, ++n)
                w->Offer({t + b * 450, uint32_t(n * 2654435761u), ch, b, uint8_t((n % 997 == 0) ? kWordParityError : 0)});
        now = t;
        if (service && t % 100'000 == 0) w->Service();
    }
    w->Close();
    return n;
}

uint64_t FileBytes(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0 ? uint64_t(st.st_size) : 0;
}

// What `c10 info` gathers per word, with no allocation per word.
struct InfoSink : ReadSink {
    std::array<std::array<uint64_t, 256>, 16> perBusLabel{};
    uint64_t parity = 0, format = 0, words = 0;
    int64_t first = kNoTime, last = kNoTime;
    void OnWords(std::span<const Word> ws, const PacketInfo&) override {
        for (const Word& w : ws) {
            ++perBusLabel[((w.channel & 1) << 3) | (w.bus & 7)][w.word & 0xFF];
            parity += (w.flags & kWordParityError) != 0;
            format += (w.flags & kWordFormatError) != 0;
        }
        if (!ws.empty()) {
            if (first == kNoTime) first = ws.front().absolute;
            last = ws.back().absolute;
        }
        words += ws.size();
    }
};

// The large recording, written when it is missing or smaller than asked; its size in bytes.
uint64_t LargeRecording() {
    const char* env = std::getenv("ORV_BENCH_C10_MIB");
    const uint64_t mib = env ? std::strtoull(env, nullptr, 10) : 1024;
    if (FileBytes(kPath) < mib * 1024 * 1024) WriteRecording(kPath, mib);
    return FileBytes(kPath);
}

void BM_ReadLargeRecording(benchmark::State& state) {
    const uint64_t bytes = LargeRecording();
    uint64_t words = 0;
    for (auto _ : state) {
        InfoSink sink;
        Reader reader;
        if (!reader.ReadFile(kPath, sink) || reader.Summary().problems != 0) {
            state.SkipWithError("the recording did not read cleanly");
            return;
        }
        words = sink.words;
        benchmark::DoNotOptimize(sink.perBusLabel);
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
    state.counters["words"] = double(words);
    state.counters["MiB"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ReadLargeRecording)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Offer + Service per word, the file written to /tmp (8 MiB of words per iteration).
void BM_WriteWords(benchmark::State& state) {
    uint64_t words = 0;
    for (auto _ : state) words += WriteRecording("/tmp/orv_bench_c10_write.ch10", 8);
    state.SetItemsProcessed(int64_t(words));
    ::unlink("/tmp/orv_bench_c10_write.ch10");
}
BENCHMARK(BM_WriteWords)->Unit(benchmark::kMillisecond);

// `c10 info` itself over the large recording, its report thrown away: the reader and the command's
// statistics per bus and label, nothing allocated per word.
void BM_C10InfoLargeRecording(benchmark::State& state) {
    const uint64_t bytes = LargeRecording();
    struct Discard : std::streambuf {
        int overflow(int c) override { return c; }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    } discard;
    for (auto _ : state) {
        std::ostream out(&discard);
        std::ostringstream err;
        if (orv::tool::C10Info(kPath, out, err) != 0) {
            state.SkipWithError(("c10 info: " + err.str()).c_str());
            return;
        }
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
    state.counters["MiB"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_C10InfoLargeRecording)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// ---- recording at the bus limit ----

constexpr double kBusLimitWordsPerSecond = 8 * 100000.0 / 36.0;
// Silence before and after the stretch of traffic, seconds.
constexpr double kQuiet = 1.0;

double StretchSeconds() {
    const char* env = std::getenv("ORV_BENCH_C10_SECONDS");
    const double s = env ? std::strtod(env, nullptr) : 60.0;
    return s > 0 ? s : 60.0;
}

// Eight inputs at 100 kbit/s, each offered four labels at 1,000 words/s (more than the bus carries,
// so they go back to back at the bus limit), 1 % with the wrong parity; silent for the first
// kQuiet seconds and from kQuiet + `seconds` on.
std::string WriteBusLimitScenario(double seconds) {
    std::ostringstream t;
    t << "seed = 7\n";
    for (int in = 1; in <= 8; ++in) {
        t << "[board1.input" << in << "]\nhears = \"traffic\"\nbit_rate_kbps = 100\n";
        for (int l = 1; l <= 4; ++l)
            t << "[[board1.input" << in << ".label]]\nlabel = \"" << 100 + l << "\"\nrate_hz = 1000\n"
              << "discrete = { bits = [11, " << 11 + l << "] }\n";
        t << "[[board1.input" << in << ".fault]]\nkind = \"dropout\"\nduration_s = " << kQuiet << "\n";
        t << "[[board1.input" << in << ".fault]]\nkind = \"dropout\"\nstart_s = " << kQuiet + seconds << "\n";
        t << "[[board1.input" << in << ".fault]]\nkind = \"parity\"\nprobability = 0.01\n";
    }
    const std::string path = "/tmp/orv_bench_c10_limit.toml";
    std::ofstream(path) << t.str();
    return path;
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

uint64_t LineWords(const orv::BoardCounters& c) {
    uint64_t n = 0;
    for (const orv::InputCounters& i : c.inputs) n += i.received + i.parityDropped + i.rateMismatched;
    return n;
}

struct RecordRun {
    double without = 0, with = 0;  // CPU seconds per second of traffic
    uint64_t lineWords = 0, fileWords = 0, lost = 0, problems = 0;
    double seconds = 0;
};

// One run: the stretch of traffic without the recorder, then again with it.
bool RunOnce(double seconds, const std::string& scenario, RecordRun& run, std::string& error) {
    using Clock = std::chrono::steady_clock;
    using namespace std::chrono;
    orv::VirtualBoardProvider devices(orv::BoardClock::RealTime);
    orv::ProgramState state;
    state.Devices = &devices;
    if (!orv::OpenSelectedBoard(state, "arinc10")) return error = "arinc10 does not open", false;
    for (int i = 0; i < 8; ++i) state.Board.ChannelSettings[std::size_t(i)] = 2;  // inputs at 100 kbit/s
    orv::StartBoard(state);
    orv::StartInputReception(state.Board);
    const std::string file = "/tmp/orv_bench_c10_rec.ch10";
    for (int phase = 0; phase < 2; ++phase) {
        if (auto m = devices.PlayScenarioFile(scenario)) return error = *m, false;
        const Clock::time_point origin = Clock::now();
        const orv::BoardCounters before = devices.Counters(1);
        if (phase == 1) {
            orv::RecordingRequest request;
            request.path = file;
            request.replace = true;
            request.startTime = int64_t{20794} * 86400 * 10'000'000;
            if (const std::string m = orv::StartRecording(state, request); !m.empty()) return error = m, false;
        }
        std::this_thread::sleep_until(origin + duration<double>(kQuiet));
        const double cpu0 = CpuSeconds();
        const Clock::time_point t0 = Clock::now();
        std::this_thread::sleep_until(origin + duration<double>(kQuiet + seconds));
        const double cpu = (CpuSeconds() - cpu0) / duration<double>(Clock::now() - t0).count();
        (phase == 0 ? run.without : run.with) = cpu;
        std::this_thread::sleep_until(origin + duration<double>(2 * kQuiet + seconds));
        if (phase == 1) {
            const orv::BoardCounters after = devices.Counters(1);
            orv::BusRecorder& recorder = *state.Board.Recorder;
            recorder.Stop();
            run.lost = recorder.LostWords();
            if (const std::string m = orv::StopRecording(state); !m.empty()) return error = m, false;
            run.lineWords = LineWords(after) - LineWords(before);
            struct Count : ReadSink {
                uint64_t words = 0;
                void OnWords(std::span<const Word> w, const PacketInfo&) override { words += w.size(); }
            } count;
            Reader reader;
            if (!reader.ReadFile(file, count, &error)) return false;
            run.fileWords = count.words;
            run.problems = reader.Summary().problems;
        }
    }
    orv::ReleaseBoard(state);
    ::unlink(file.c_str());
    run.seconds = seconds;
    return true;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_RecordAtTheBusLimit(benchmark::State& state) {
    const double seconds = StretchSeconds();
    const std::string scenario = WriteBusLimitScenario(seconds);
    std::vector<double> without, with, added;
    uint64_t mismatched = 0, lost = 0, problems = 0, words = 0;
    for (auto _ : state) {
        for (int r = 0; r < 3; ++r) {
            RecordRun run;
            std::string error;
            if (!RunOnce(seconds, scenario, run, error)) {
                state.SkipWithError(error.c_str());
                return;
            }
            without.push_back(run.without);
            with.push_back(run.with);
            added.push_back(run.with - run.without);
            mismatched += run.fileWords != run.lineWords;
            lost += run.lost;
            problems += run.problems;
            words += run.fileWords;
        }
    }
    ::unlink(scenario.c_str());
    state.counters["seconds"] = seconds;
    state.counters["core_without"] = Median(without);
    state.counters["core_with"] = Median(with);
    state.counters["core_added"] = Median(added);  // goal under 0.01
    state.counters["words_per_s"] = double(words) / (3 * seconds);
    state.counters["of_bus_limit"] = double(words) / (3 * seconds) / kBusLimitWordsPerSecond;
    state.counters["runs_file_ne_line"] = double(mismatched);  // goal 0: words in the file == counters
    state.counters["words_lost"] = double(lost);               // goal 0
    state.counters["read_problems"] = double(problems);
}
BENCHMARK(BM_RecordAtTheBusLimit)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
