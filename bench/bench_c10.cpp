// Chapter 10 recordings: the reader's throughput over a large recording in the page cache (goal
// 1 GB/s or more, with per-word work like `c10 info`'s: counts per bus and label, parity and
// format errors, the time span), and the writer's cost per word.
//
// The recording (256 MiB: two boards, eight 100 kbit/s buses at the bus limit) is written once to
// /tmp/orv_bench_c10.ch10 by the writer on a manual clock and read from there; it is not kept in
// the tree. Set ORV_BENCH_C10_MIB to change its size.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>

#include "c10/c10_reader.h"
#include "c10/c10_writer.h"

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

void BM_ReadLargeRecording(benchmark::State& state) {
    const char* env = std::getenv("ORV_BENCH_C10_MIB");
    const uint64_t mib = env ? std::strtoull(env, nullptr, 10) : 256;
    if (FileBytes(kPath) < mib * 1024 * 1024) WriteRecording(kPath, mib);
    const uint64_t bytes = FileBytes(kPath);
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

}  // namespace
