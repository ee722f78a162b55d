// Playback of a recording on the real clock: how far from its recorded start offset each word goes
// on its input, measured on the board's bus time (goal: within 250 us), and that none is missing.
//
// The fault scenario (samples/scenarios/faults.toml: all eight inputs of board 1, every fault kind)
// is recorded on a manual clock; then a real-time board plays that recording back on the same
// inputs while the recorder, on its own thread as in the program, records what the lines carry.
// The two files are compared word by word. ORV_BENCH_PLAYBACK_S sets the recorded length
// (default 60 s), which the real-time part takes too.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <vector>

#include "c10/c10_reader.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "session/board_control.h"
#include "session/recording.h"
#include "vboard/virtual_board_provider.h"

namespace {

using namespace orv;
namespace fs = std::filesystem;

struct Heard {
    uint32_t word;
    uint8_t flags;
    int64_t start;  // 0.1 us after the file's first word
};

struct Buses : c10::ReadSink {
    std::map<uint8_t, std::vector<Heard>> words;
    uint64_t problems = 0;
    void OnWords(std::span<const c10::Word> w, const c10::PacketInfo&) override {
        for (const c10::Word& x : w) words[x.bus].push_back({x.word, x.flags, x.relative});
    }
    void OnProblem(const c10::Problem&) override { ++problems; }
};

Buses Read(const std::string& path) {
    Buses buses;
    c10::Reader reader;
    reader.ReadFile(path, buses);
    return buses;
}

// Records what board 1's lines carry for `seconds`, the scenario `then` (when given) played from
// the moment the recording starts: on the manual clock in steps, on the real clock by waiting.
bool Record(VirtualBoardProvider& devices, ProgramState& state, const std::string& path, int seconds,
            const std::string& then = "") {
    RecordingRequest request;
    request.path = path;
    request.replace = true;
    request.ownThread = devices.Board(1).Clock() == BoardClock::RealTime;
    if (!StartRecording(state, request).empty()) return false;
    if (!then.empty() && devices.PlayScenarioFile(then)) return false;
    if (request.ownThread) {
        std::this_thread::sleep_for(std::chrono::seconds(seconds) + std::chrono::milliseconds(500));
    } else {
        for (int s = 0; s < 2 * seconds; ++s) {
            devices.Advance(500'000);
            if (!state.Board.Recorder->Service()) return false;
        }
    }
    return StopRecording(state).empty();
}

bool StartBoard1(VirtualBoardProvider& devices, ProgramState& state, const std::string& scenario) {
    state.Devices = &devices;
    if (devices.PlayScenarioFile(scenario)) return false;
    if (!OpenSelectedBoard(state, "arinc10")) return false;
    StartBoard(state);
    // The sample list runs the inputs, as an engineer's list would.
    std::ifstream in(ORV_SAMPLES_DIR "/scenario.42i", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return LoadDisplayList(LinesOfRecords(DecodeDisplayLines(bytes)), state.Display, state.Acquisition, state.Board,
                           ORV_SAMPLES_DIR "/Orvfrmt.stt") == nullptr;
}

void BM_PlaybackTiming(benchmark::State& bench) {
    const char* env = std::getenv("ORV_BENCH_PLAYBACK_S");
    const int seconds = env ? std::max(1, std::atoi(env)) : 60;
    const fs::path dir = fs::temp_directory_path() / "orv_bench_playback";
    fs::create_directories(dir);
    const std::string recorded = (dir / "recorded.ch10").string(), played = (dir / "played.ch10").string();
    {
        VirtualBoardProvider devices{BoardClock::Manual};
        ProgramState state;
        if (!StartBoard1(devices, state, ORV_SAMPLES_DIR "/scenarios/faults.toml") ||
            !Record(devices, state, recorded, seconds)) {
            bench.SkipWithError("recording the fault scenario failed");
            return;
        }
        ReleaseBoard(state);
    }
    std::ofstream(dir / "replay.toml") << [] {
        std::string text;
        for (int i = 1; i <= 8; ++i)
            text += "[board1.input" + std::to_string(i) + "]\nhears = \"playback\"\nfile = \"recorded.ch10\"\nbus = " +
                    std::to_string(i - 1) + "\n";
        return text;
    }();
    std::ofstream(dir / "silent.toml") << [] {
        std::string text;
        for (int i = 1; i <= 8; ++i) text += "[board1.input" + std::to_string(i) + "]\nhears = \"nothing\"\n";
        return text;
    }();
    for (auto _ : bench) {
        VirtualBoardProvider devices{BoardClock::RealTime};
        ProgramState state;
        // The lines are silent until the recording runs; then the playback starts.
        if (!StartBoard1(devices, state, (dir / "silent.toml").string()) ||
            !Record(devices, state, played, seconds, (dir / "replay.toml").string())) {
            bench.SkipWithError("playing back failed");
            return;
        }
        ReleaseBoard(state);
    }
    const Buses a = Read(recorded), b = Read(played);
    std::vector<double> deviations;
    uint64_t missing = 0, changed = 0;
    for (const auto& [bus, words] : a.words) {
        const auto it = b.words.find(bus);
        const std::size_t n = it == b.words.end() ? 0 : std::min(words.size(), it->second.size());
        missing += words.size() - n;
        for (std::size_t k = 0; k < n; ++k) {
            const Heard& x = words[k];
            const Heard& y = it->second[k];
            changed += x.word != y.word || x.flags != y.flags;
            deviations.push_back(std::abs(double(y.start - x.start)) / 10.0);
        }
    }
    std::sort(deviations.begin(), deviations.end());
    const auto at = [&](double q) { return deviations.empty() ? 0.0 : deviations[std::size_t(q * double(deviations.size() - 1))]; };
    bench.counters["words"] = double(deviations.size());
    bench.counters["missing"] = double(missing);
    bench.counters["changed"] = double(changed);
    bench.counters["p50_us"] = at(0.5);
    bench.counters["p99_us"] = at(0.99);
    bench.counters["max_us"] = at(1.0);
    bench.counters["over_250us"] =
        double(deviations.end() - std::upper_bound(deviations.begin(), deviations.end(), 250.0));
    bench.counters["problems"] = double(a.problems + b.problems);
}
BENCHMARK(BM_PlaybackTiming)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
