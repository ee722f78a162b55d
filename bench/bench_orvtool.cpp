// orvtool on large formats tables: importing a CSV text, checking and showing the file. Each goal
// is a million-line table in seconds; the duplicate check of the whole file (FormatLabelClashes)
// is also run beside the dialog's own add of one line at a time, the way the check went before,
// whose time grows with the square of the lines (small sizes only: 30,000 lines took seconds).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "config/table_rules.h"
#include "config/format_line.h"

namespace {

using namespace orv;
using namespace orv::tool;

// A distinct label of six letters and digits for every index below 36^6.
std::string Label(std::size_t i) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string label;
    for (int k = 0; k < 6; ++k, i /= 36) label += kAlphabet[i % 36];
    return label;
}

// A folder of its own for the files of one benchmark, removed at its end.
class Scratch {
public:
    Scratch() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "orvbench.XXXXXX").string();
        if (mkdtemp(tmpl.data())) dir_ = tmpl;
    }
    ~Scratch() {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    std::string Path(const char* name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

// A CSV text of n sound formats with distinct labels (every tenth in lower case, so that labels
// compare ignoring case), and the formats file that importing it writes.
struct Table {
    Scratch scratch;
    std::string csv = scratch.Path("formats.csv"), file = scratch.Path("Orvfrmt.stt");
    bool ok = false;

    explicit Table(std::size_t n) {
        std::ofstream out(csv);
        out << "label,role,msb,lsb,units,weight\n";
        for (std::size_t i = 0; i < n; ++i) {
            std::string label = Label(i);
            if (i % 10 == 0)
                for (char& c : label) c = char(std::tolower(static_cast<unsigned char>(c)));
            out << '"' << label << "\",0,28,12,\"ft\",65536\n";
        }
        out.close();
        std::ostringstream err;
        ok = out && Import(Kind::Formats, csv, file, err) == 0;
    }
};

std::vector<DecimalFormat> Formats(std::size_t n) {
    std::vector<DecimalFormat> formats(n);
    for (std::size_t i = 0; i < n; ++i) {
        formats[i].label = Label8(Label(i % (n - n / 20 + 1)));  // about one in twenty a duplicate
        formats[i].msbBit = 28;
        formats[i].lsbBit = 12;
        formats[i].msbWeight = 65536;
    }
    return formats;
}

void BM_ImportCsv(benchmark::State& state) {
    const Table table(std::size_t(state.range(0)));
    if (!table.ok) return state.SkipWithError("the table could not be made");
    for (auto _ : state) {
        std::ostringstream err;
        if (Import(Kind::Formats, table.csv, table.file, err) != 0) return state.SkipWithError(err.str().c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportCsv)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Check(benchmark::State& state) {
    const Table table(std::size_t(state.range(0)));
    if (!table.ok) return state.SkipWithError("the table could not be made");
    for (auto _ : state) {
        std::ostringstream out, err;
        if (Check(table.file, std::nullopt, out, err) != 0) return state.SkipWithError((out.str() + err.str()).c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Check)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Show(benchmark::State& state) {
    const Table table(std::size_t(state.range(0)));
    if (!table.ok) return state.SkipWithError("the table could not be made");
    for (auto _ : state) {
        std::ostringstream out, err;
        if (Show(table.file, std::nullopt, out, err) != 0) return state.SkipWithError(err.str().c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Show)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole-file duplicate check and the sorted list, as `check` and `show` make them.
void BM_WholeTable(benchmark::State& state) {
    const std::vector<DecimalFormat> formats = Formats(std::size_t(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatLabelClashes(formats));
        benchmark::DoNotOptimize(FormatLines(formats));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WholeTable)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same answers from the dialog's add, one line at a time (the way before).
void BM_LineByLine(benchmark::State& state) {
    const std::vector<DecimalFormat> formats = Formats(std::size_t(state.range(0)));
    for (auto _ : state) {
        LineList refusals(true), lines(true);
        for (const DecimalFormat& f : formats) {
            benchmark::DoNotOptimize(AddFormatLine(refusals, f));
            lines.Add(RenderFormatLine(f));
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LineByLine)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
