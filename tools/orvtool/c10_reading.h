#pragma once
// What orvtool's recording commands share: reading a recording with its problems said as they are
// found, and the number forms of their output.

#include <cstdint>
#include <ostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "c10/c10_reader.h"

namespace orv::tool {

// True when there is no file of that name.
bool Missing(const std::string& path);

// Seconds with 7 decimals from 0.1 us ticks.
std::string Seconds(int64_t ticks);
// "0x" and `digits` lower-case hexadecimal digits.
std::string Hex(uint32_t value, int digits);

// The reader's problems, each said as it is found ("FILE: Смещение N: reason"), so that a badly
// damaged file costs no memory for them.
struct ProblemSink : c10::ReadSink {
    ProblemSink(const std::string& name, std::ostream& to) : path(name), stream(to) {}
    void OnProblem(const c10::Problem& p) override {
        stream << path << ": " << p.Message() << "\n";
        ++count;
    }
    const std::string& path;
    std::ostream& stream;
    uint64_t count = 0;
};

// Reads a recording through `sink`; 2 when it does not exist (said on `err`), 1 when it cannot be
// read to its end (said on `problems`, or `err`), else 0.
int ReadRecording(const std::string& path, c10::ReadSink& sink, c10::ReadSummary& summary, std::ostream& err,
                  std::ostream* problems = nullptr);

// True when everything written to `out` reached it; else a message.
bool Flushed(std::ostream& out, std::ostream& err, const std::string& what);

// The fields of one CSV line: RFC 4180 quoting within the line; nullopt for an unclosed quote or
// text after a closing quote.
std::optional<std::vector<std::string>> SplitCsvLine(std::string_view line);

}  // namespace orv::tool
