#include "c10_commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>
#include <tuple>

#include "arinc/word.h"
#include "c10/c10_reader.h"
#include "c10/c10_writer.h"
#include "commands.h"
#include "files/file_replacement.h"
#include "monitor/csv_export.h"
#include "resources/file_strings.h"
#include "c10_reading.h"

namespace orv::tool {
namespace {

using c10::Problem;
using c10::Word;

// Names the import gives the channels and buses of a recording (UTF-8), as the recorder names the
// boards and inputs: channel 2 is board 1, bus 0 is input 1.
constexpr const char* kBoardName = "Плата ";
constexpr const char* kInputName = "Вход ";

// Refused lines named one by one; the rest are counted.
constexpr std::size_t kMaxRefusalsShown = 100;

// ---- import ----


template <typename T>
bool Number(std::string_view text, T& value, int base, T max) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size() && value <= max;
}

// "-12.3456789" (up to 7 decimals) as 0.1 us ticks.
std::optional<int64_t> ParseSeconds(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    uint64_t seconds = 0, ticks = 0;
    if (!Number<uint64_t>(whole, seconds, 10, uint64_t(1) << 40) || fraction.size() > 7 ||
        (dot != std::string_view::npos && !Number<uint64_t>(fraction, ticks, 10, 9'999'999)))
        return std::nullopt;
    for (std::size_t n = fraction.size(); n < 7; ++n) ticks *= 10;
    const int64_t value = int64_t(seconds * c10::kTicksPerSecond + ticks);
    return negative ? -value : value;
}

struct ImportWord {
    int64_t start = 0;  // absolute
    c10::WordIn in;
};

// One line's word, or the reason it is refused.
std::string ParseLine(const std::vector<std::string>& f, const C10ImportOptions& options, ImportWord& w) {
    enum { kSeconds, kTime, kChannel, kBus, kLabel, kSdi, kData, kSsm, kParity, kFormat, kHex, kFields };
    if (f.size() != kFields) return std::to_string(f.size()) + " fields instead of " + std::to_string(kFields);
    const std::optional<ArincWord> word = ReadWord(f[kHex]);
    if (!word) return "HEX \"" + f[kHex] + "\" is not a word";
    w.in.word = *word;
    if (!f[kTime].empty()) {
        w.start = c10::ParseIsoTime(f[kTime]);
        if (w.start == c10::kNoTime) return "time \"" + f[kTime] + "\" is not an ISO 8601 UTC time";
    } else {
        const std::optional<int64_t> relative = ParseSeconds(f[kSeconds]);
        if (!relative) return "seconds \"" + f[kSeconds] + "\" is not a number of seconds with up to 7 decimals";
        if (!options.start) return "no time, and no --start for the relative seconds";
        w.start = *options.start + *relative;
    }
    uint32_t channel = 0, bus = 0;
    if (!Number<uint32_t>(f[kChannel], channel, 10, 0xFFFF) || channel < 2)
        return "channel \"" + f[kChannel] + "\" is not 2..65535";
    if (!Number<uint32_t>(f[kBus], bus, 10, 255)) return "bus \"" + f[kBus] + "\" is not 0..255";
    w.in.channel = uint16_t(channel);
    w.in.bus = uint8_t(bus);
    // Label, SDI, data and SSM are what HEX holds; an empty field is not checked.
    uint32_t label = 0, sdi = 0;
    if (!f[kLabel].empty() && (!Number<uint32_t>(f[kLabel], label, 8, 0377) || label != WordLabel(*word)))
        return "label " + f[kLabel] + " disagrees with HEX " + f[kHex] + " (label " + RenderAddress(WordLabel(*word)) + ")";
    if (!f[kSdi].empty() && (!Number<uint32_t>(f[kSdi], sdi, 10, 3) || sdi != WordSdi(*word)))
        return "SDI " + f[kSdi] + " disagrees with HEX " + f[kHex] + " (SDI " + std::to_string(WordSdi(*word)) + ")";
    const std::optional<ArincWord> dataField = f[kData].empty() ? std::nullopt : ReadWord(f[kData]);
    if (!f[kData].empty() && (!dataField || *dataField != WordData(*word)))
        return "data " + f[kData] + " disagrees with HEX " + f[kHex] + " (data " + Hex(WordData(*word), 5) + ")";
    if (!f[kSsm].empty() && f[kSsm] != RenderM(*word))
        return "SSM " + f[kSsm] + " disagrees with HEX " + f[kHex] + " (SSM " + RenderM(*word) + ")";
    for (int i : {kParity, kFormat})
        if (f[i] != "0" && f[i] != "1")
            return std::string(i == kParity ? "parity error" : "format error") + " \"" + f[i] + "\" is not 0 or 1";
    w.in.flags = uint8_t((f[kParity] == "1" ? c10::kWordParityError : 0) |
                         (f[kFormat] == "1" ? c10::kWordFormatError : 0));
    return {};
}

double BusRate(const C10ImportOptions& options, uint16_t channel, uint8_t bus) {
    const auto it = options.busRates.find({channel, bus});
    return it == options.busRates.end() ? options.bitRate : it->second;
}

}  // namespace

bool AddC10Rate(const std::string& text, C10ImportOptions& options) {
    auto rate = [](std::string_view t, double& r) {
        const auto res = std::from_chars(t.data(), t.data() + t.size(), r);
        return !t.empty() && res.ec == std::errc() && res.ptr == t.data() + t.size() && r >= 1000.0 && r <= 200000.0;
    };
    const std::size_t colon = text.find(':'), equals = text.find('=');
    if (colon == std::string::npos && equals == std::string::npos) return rate(text, options.bitRate);
    uint32_t channel = 0, bus = 0;
    double r = 0;
    const std::string_view t(text);
    if (colon == std::string::npos || equals == std::string::npos || equals < colon ||
        !Number<uint32_t>(t.substr(0, colon), channel, 10, 0xFFFF) ||
        !Number<uint32_t>(t.substr(colon + 1, equals - colon - 1), bus, 10, 255) || !rate(t.substr(equals + 1), r))
        return false;
    options.busRates[{uint16_t(channel), uint8_t(bus)}] = r;
    return true;
}

int C10Import(const std::string& input, const std::string& output, const C10ImportOptions& options,
              std::ostream& err) {
    if (Missing(input)) {
        err << input << ": no such file\n";
        return 2;
    }
    // Read line by line: a recording's CSV may be far larger than the words it holds.
    std::ifstream in(input, std::ios::binary);
    std::vector<ImportWord> words;
    std::size_t refused = 0;  // lines
    std::size_t lineNumber = 0;
    for (std::string text; in.is_open() && std::getline(in, text);) {
        std::string_view line(text);
        ++lineNumber;
        if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);  // a byte-order mark
        if (line.ends_with('\r')) line.remove_suffix(1);
        const auto fields = SplitCsvLine(line);
        std::string reason;
        if (!fields) reason = "a quote is not closed, or text follows a closing quote";
        if (lineNumber == 1) {
            if (!fields || *fields != SplitCsvLine(kC10CsvHead).value()) {
                err << input << ": line 1: the head line \"" << kC10CsvHead << "\" is missing\n";
                err << output << ": not written\n";
                return 1;
            }
            continue;
        }
        if (line.empty()) continue;
        ImportWord w;
        if (reason.empty()) reason = ParseLine(*fields, options, w);
        if (!reason.empty()) {
            if (++refused <= kMaxRefusalsShown) err << input << ": line " << lineNumber << ": " << reason << "\n";
            continue;
        }
        words.push_back(w);
    }
    struct stat st {};
    if (!in.is_open() || in.bad() || ::stat(input.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        err << input << ": " << text::FileMessage(text::kFileReadFailed, input) << "\n";
        return 1;
    }
    if (lineNumber == 0) {
        err << input << ": line 1: the head line \"" << kC10CsvHead << "\" is missing\n";
        err << output << ": not written\n";
        return 1;
    }
    if (refused > kMaxRefusalsShown)
        err << input << ": " << refused - kMaxRefusalsShown << " more lines refused\n";
    if (refused == 0 && words.empty()) {
        err << input << ": no words\n";
        refused = 1;
    }
    if (refused > 0) {
        err << output << ": not written\n";
        return 1;
    }

    // The setup: every channel and bus the lines name, in order, with their rates.
    c10::WriterOptions writerOptions;
    std::map<uint16_t, std::map<uint8_t, double>> buses;
    for (const ImportWord& w : words) buses[w.in.channel][w.in.bus] = BusRate(options, w.in.channel, w.in.bus);
    for (const auto& [channel, rates] : buses) {
        c10::ArincChannelSetup c;
        c.id = channel;
        c.name = kBoardName + std::to_string(channel - 1);
        for (const auto& [bus, rate] : rates) c.buses.push_back({bus, kInputName + std::to_string(bus + 1), rate});
        writerOptions.setup.channels.push_back(std::move(c));
    }
    // The recording starts with the earliest word; each word arrives 32 bit times after its start.
    int64_t start = words.front().start, end = start;
    for (const ImportWord& w : words) {
        start = std::min(start, w.start);
        end = std::max(end, w.start);
    }
    // The file's one 48-bit counter must not come round between its first word and its last.
    if (end - start >= int64_t(c10::kCounterMask / 2)) {
        err << input << ": the lines span " << Seconds(end - start) << " s, more than a recording's counter holds\n";
        err << output << ": not written\n";
        return 1;
    }
    for (ImportWord& w : words)
        w.in.arrival = uint64_t(w.start - start) + c10::WordTicks(buses[w.in.channel][w.in.bus]);
    // In order of arrival, as the recorder is handed them (words arriving together: by channel
    // and bus), so that the same lines in any order make the same file.
    std::stable_sort(words.begin(), words.end(), [](const ImportWord& a, const ImportWord& b) {
        return std::tie(a.in.arrival, a.in.channel, a.in.bus) < std::tie(b.in.arrival, b.in.channel, b.in.bus);
    });
    uint64_t now = 0;
    writerOptions.startTime = start;
    writerOptions.clock = [&now] { return now; };
    writerOptions.replace = options.replace;
    const bool existed = !Missing(output);
    std::string error;
    const std::unique_ptr<c10::Writer> writer = c10::Writer::Create(output, std::move(writerOptions), &error);
    if (!writer) {
        err << output << ": " << error << (existed && !options.replace ? " (--force replaces it)" : "") << "\n";
        return 1;
    }
    // The writer is served as a recording is, whenever its clock moves on, so that packets are
    // closed and time packets placed in the file as the recorder would place them.
    // (Also every so many words, so that the queue never fills and loses one.)
    std::size_t queued = 0;
    for (std::size_t i = 0; i < words.size() && !writer->Failed(); ++i) {
        if (words[i].in.arrival != now || queued == 4096) {
            now = words[i].in.arrival;
            writer->Service();
            queued = 0;
        }
        writer->Offer(words[i].in);
        ++queued;
    }
    if (!writer->Close()) {
        err << output << ": " << writer->FailureMessage() << "\n";
        return 1;
    }
    return 0;
}
}  // namespace orv::tool
