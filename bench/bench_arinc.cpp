// Cost of the text forms of one monitor table row: HEX, OCTAL, M and DECIMAL through a real
// decimal format, as the table view renders every displayed row on each refresh.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>

#include "arinc/word.h"
#include "support/example_formats.h"
#include "config/decimal_format.h"
#include "config/format_line.h"

namespace {

// A spread of words: positive and negative values, every M, different labels.
std::array<orv::ArincWord, 64> Words() {
    std::array<orv::ArincWord, 64> words{};
    uint32_t x = 0x12345678;
    for (auto& w : words) {
        x = x * 1664525u + 1013904223u;
        w = x & 0x7FFFFFFFu;
    }
    return words;
}

void BM_MonitorRow(benchmark::State& state) {
    const orv::DecimalFormat format = orv::test::Alt1Format();
    const auto words = Words();
    std::size_t i = 0;
    for (auto _ : state) {
        const orv::ArincWord w = words[i++ % words.size()];
        std::string hex = orv::RenderHex(w);
        std::string oct = orv::RenderOctal(w);
        std::string m = orv::RenderM(w);
        std::string dec = orv::RenderDecimal(w, format);
        benchmark::DoNotOptimize(hex);
        benchmark::DoNotOptimize(oct);
        benchmark::DoNotOptimize(m);
        benchmark::DoNotOptimize(dec);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MonitorRow);

void BM_RenderDecimal(benchmark::State& state) {
    const orv::DecimalFormat format = orv::test::Alt1Format();
    const auto words = Words();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string dec = orv::RenderDecimal(words[i++ % words.size()], format);
        benchmark::DoNotOptimize(dec);
    }
}
BENCHMARK(BM_RenderDecimal);

void BM_FormatLineRoundTrip(benchmark::State& state) {
    const orv::DecimalFormat format = orv::test::Alt1Format();
    for (auto _ : state) {
        const orv::DecimalFormat back = orv::ParseFormatLine(orv::RenderFormatLine(format));
        benchmark::DoNotOptimize(back);
    }
}
BENCHMARK(BM_FormatLineRoundTrip);

}  // namespace
