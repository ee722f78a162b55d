#pragma once
// orvtool's commands over bus recordings (IRIG 106 Chapter 10 files, docs/RECORDINGS.md), on the
// recordings library: `c10 info`, `c10 export --csv`, `c10 check` and `c10 import`. Each writes its
// results to `out`, its complaints to `err` and returns the exit code: 0 done, 1 problems found
// (a damaged file still gives what is sound), refused, or output that could not be written;
// 2 a file that does not exist.

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace orv::tool {

// Packets by type, channels and buses with their names, the time span, words per bus and per
// label, parity and format errors, silences over 2 s per label, words lost to overflow; the
// reader's problems go to `err`, each with its byte offset.
int C10Info(const std::string& path, std::ostream& out, std::ostream& err);

// One CSV line per word (head line kC10CsvHead), to `out` or, with `output`, to that file
// (replaced as the other exports replace files).
int C10Export(const std::string& path, const std::optional<std::string>& output, std::ostream& out,
              std::ostream& err);

// "FILE: Смещение N: reason" on `out` for each problem of each file; the highest exit code.
int C10Check(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

struct C10ImportOptions {
    // Start of the recording for lines without an absolute time: 0.1 us since 1970 UTC.
    std::optional<int64_t> start;
    // Bit rate of every bus (bit/s), and of single buses by (channel, bus).
    double bitRate = 12500.0;
    std::map<std::pair<uint16_t, uint8_t>, double> busRates;
    bool replace = false;  // an existing output is refused unless this is set
};
// Parses "RATE" (every bus) or "CHANNEL:BUS=RATE" into the options; false when it is neither.
bool AddC10Rate(const std::string& text, C10ImportOptions& options);

// A recording made from a CSV in the export's form. Nothing is written unless every line is sound.
int C10Import(const std::string& input, const std::string& output, const C10ImportOptions& options,
              std::ostream& err);

inline constexpr const char* kC10CsvHead =
    "seconds,time_utc,channel,bus,label,sdi,data,ssm,parity_error,format_error,hex";

}  // namespace orv::tool
