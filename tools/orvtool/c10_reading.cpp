#include "c10_reading.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace orv::tool {

using c10::Problem;

bool Missing(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

// Seconds with 7 decimals from 0.1 us ticks.
std::string Seconds(int64_t ticks) {
    const uint64_t magnitude = ticks < 0 ? uint64_t(0) - uint64_t(ticks) : uint64_t(ticks);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu.%07llu", ticks < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / c10::kTicksPerSecond),
                  static_cast<unsigned long long>(magnitude % c10::kTicksPerSecond));
    return text;
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*x", digits, value);
    return text;
}

int ReadRecording(const std::string& path, c10::ReadSink& sink, c10::ReadSummary& summary, std::ostream& err,
                  std::ostream* problems) {
    if (Missing(path)) {
        err << path << ": no such file\n";
        return 2;
    }
    c10::Reader reader;
    std::string error;
    const bool read = reader.ReadFile(path, sink, &error);
    summary = reader.Summary();
    if (!read) {
        (problems ? *problems : err) << path << ": " << error << "\n";
        return 1;
    }
    return 0;
}

// True when everything written to `out` reached it; else a message.
bool Flushed(std::ostream& out, std::ostream& err, const std::string& what) {
    out.flush();
    if (out) return true;
    err << what << ": the output could not be written\n";
    return false;
}

std::optional<std::vector<std::string>> SplitCsvLine(std::string_view line) {
    std::vector<std::string> fields(1);
    bool inQuotes = false, quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inQuotes) {
            if (c != '"') fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"') fields.back() += '"', ++i;
            else inQuotes = false;
        } else if (c == ',') {
            fields.emplace_back();
            quoted = false;
        } else if (quoted) {
            return std::nullopt;
        } else if (c == '"' && fields.back().empty()) {
            inQuotes = quoted = true;
        } else {
            fields.back() += c;
        }
    }
    if (inQuotes) return std::nullopt;
    return fields;
}

}  // namespace orv::tool
