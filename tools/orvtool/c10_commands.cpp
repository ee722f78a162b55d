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
#include "files/record_file.h"
#include "monitor/csv_export.h"
#include "resources/file_strings.h"

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

// A silence on a label longer than this is reported by `info`.
constexpr int64_t kLongGap = 2 * int64_t(c10::kTicksPerSecond);

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

// The reader's problems, each said as it is found ("FILE: Смещение N: reason"), so that a badly
// damaged file costs no memory for them.
struct ProblemSink : c10::ReadSink {
    ProblemSink(const std::string& name, std::ostream& to) : path(name), stream(to) {}
    void OnProblem(const Problem& p) override {
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
                  std::ostream* problems = nullptr) {
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

// ---- info ----

struct LabelStats {
    uint64_t words = 0;
    uint64_t longGaps = 0;
    int64_t longest = 0;
    int64_t last = 0;  // relative start of the label's latest word
};

struct BusStats {
    uint64_t words = 0, parity = 0, format = 0;
    std::array<LabelStats, 256> labels{};
};

struct InfoSink : ProblemSink {
    using ProblemSink::ProblemSink;
    std::vector<c10::TmatsInfo> tmats;
    std::map<uint16_t, std::array<std::unique_ptr<BusStats>, 256>> buses;  // by channel and bus number
    int64_t firstAbsolute = c10::kNoTime, lastAbsolute = c10::kNoTime;
    int64_t firstRelative = 0, lastRelative = 0;
    uint64_t words = 0, parity = 0, format = 0;

    void OnTmats(const c10::TmatsInfo& t, const c10::PacketInfo&) override { tmats.push_back(t); }
    void OnWords(std::span<const Word> span, const c10::PacketInfo&) override {
        if (span.empty()) return;
        std::array<std::unique_ptr<BusStats>, 256>& channel = buses[span.front().channel];  // one per packet
        for (const Word& w : span) {
            std::unique_ptr<BusStats>& slot = channel[w.bus];
            if (!slot) slot = std::make_unique<BusStats>();
            BusStats* bus = slot.get();
            const bool parityError = w.flags & c10::kWordParityError, formatError = w.flags & c10::kWordFormatError;
            ++bus->words;
            bus->parity += parityError;
            bus->format += formatError;
            LabelStats& label = bus->labels[WordLabel(w.word)];
            if (label.words > 0) {
                const int64_t gap = w.relative - label.last;
                if (gap > kLongGap) ++label.longGaps;
                label.longest = std::max(label.longest, gap);
            }
            ++label.words;
            label.last = w.relative;
            if (words == 0) firstRelative = lastRelative = w.relative;
            firstRelative = std::min(firstRelative, w.relative);
            lastRelative = std::max(lastRelative, w.relative);
            if (w.absolute != c10::kNoTime) {
                if (firstAbsolute == c10::kNoTime || w.absolute < firstAbsolute) firstAbsolute = w.absolute;
                if (lastAbsolute == c10::kNoTime || w.absolute > lastAbsolute) lastAbsolute = w.absolute;
            }
            ++words;
            parity += parityError;
            format += formatError;
        }
    }

    const c10::BusSetup* Bus(uint16_t channel, uint8_t number, const c10::ArincChannelSetup** owner) const {
        for (const c10::TmatsInfo& t : tmats)
            for (const c10::ArincChannelSetup& c : t.channels)
                if (c.id == channel) {
                    *owner = &c;
                    for (const c10::BusSetup& b : c.buses)
                        if (b.number == number) return &b;
                }
        return nullptr;
    }
};

std::string TypeName(unsigned type) {
    switch (type) {
    case c10::kTypeTmats: return "TMATS setup record";
    case c10::kTypeTimeF1: return "time, format 1";
    case c10::kTypeArinc429F0: return "ARINC-429, format 0";
    default: return "other";
    }
}

std::string Rate(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g bit/s", rate);
    return text;
}

void WriteInfo(const InfoSink& sink, const c10::ReadSummary& summary, std::ostream& out) {
    out << "bytes: " << summary.fileBytes << ", sound packets: " << summary.packets
        << ", bytes skipped over damage: " << summary.skippedBytes << ", problems: " << summary.problems << "\n";
    out << "packets by type:\n";
    for (unsigned type = 0; type < 256; ++type)
        if (summary.packetsByType[type])
            out << "  " << Hex(type, 2) << " " << TypeName(type) << ": " << summary.packetsByType[type] << "\n";
    out << "channels and buses in the setup record:\n";
    if (sink.tmats.empty()) out << "  (no setup record)\n";
    for (const c10::TmatsInfo& t : sink.tmats) {
        if (t.timeChannel) out << "  channel " << *t.timeChannel << ": time\n";
        for (const c10::ArincChannelSetup& c : t.channels) {
            out << "  channel " << c.id << " \"" << c.name << "\"\n";
            for (const c10::BusSetup& b : c.buses)
                out << "    bus " << unsigned(b.number) << " \"" << b.name << "\""
                    << (b.bitRate > 0 ? ", " + Rate(b.bitRate) : std::string()) << "\n";
        }
    }
    if (sink.words == 0) {
        out << "words: 0\n";
    } else {
        out << "time: ";
        if (sink.firstAbsolute != c10::kNoTime)
            out << c10::IsoTime(sink.firstAbsolute) << " to " << c10::IsoTime(sink.lastAbsolute) << ", ";
        out << Seconds(sink.lastRelative - sink.firstRelative) << " s from the first word's start to the last's\n";
        out << "words: " << sink.words << ", parity errors: " << sink.parity << ", format errors: " << sink.format
            << "\n";
    }
    out << "packets with the overflow flag (words lost): " << summary.overflowPackets
        << "; the file does not record how many words were lost\n";
    for (const auto& [id, buses] : sink.buses) {
        for (unsigned number = 0; number < 256; ++number) {
            const BusStats* bus = buses[number].get();
            if (!bus) continue;
            const c10::ArincChannelSetup* channel = nullptr;
            const c10::BusSetup* setup = sink.Bus(id, uint8_t(number), &channel);
            out << "channel " << id << (channel ? " \"" + channel->name + "\"" : std::string()) << ", bus " << number
                << (setup ? " \"" + setup->name + "\"" : std::string()) << ": " << bus->words
                << " words, parity errors: " << bus->parity << ", format errors: " << bus->format << "\n";
            for (unsigned label = 0; label < 256; ++label) {
                const LabelStats& l = bus->labels[label];
                if (l.words == 0) continue;
                out << "  label " << RenderAddress(label) << ": " << l.words << " words";
                if (l.longGaps) out << ", gaps over 2 s: " << l.longGaps << ", longest " << Seconds(l.longest) << " s";
                out << "\n";
            }
        }
    }
}

// ---- export ----

// Where the CSV goes: a stream, or a file replaced as the other exports replace files.
class CsvOut {
public:
    CsvOut(std::ostream& out, const std::optional<std::string>& path) : out_(out), path_(path) {}
    bool Begin(std::ostream& err) {
        if (!path_) return true;
        if (file_.Begin(*path_) == SaveError::None) return true;
        err << *path_ << ": " << text::FileMessage(text::kFileCreateFailed, *path_) << "\n";
        failed_ = true;
        return false;
    }
    void Put(const std::string& text) {
        if (failed_) return;
        buffer_ += text;
        if (buffer_.size() >= (1u << 20)) Drain();
    }
    bool Failed() const { return failed_; }
    // Writes what is left and ends the file (or flushes the stream); false after a message.
    bool End(std::ostream& err, const std::string& name) {
        Drain();
        if (path_) {
            if (!failed_ && file_.Commit() == SaveError::None) return true;
            file_.Abandon();
            err << *path_ << ": " << text::FileMessage(text::kFileCreateFailed, *path_) << "\n";
            return false;
        }
        if (!failed_) return Flushed(out_, err, name);
        err << name << ": the output could not be written\n";
        return false;
    }

private:
    void Drain() {
        if (failed_ || buffer_.empty()) return;
        if (path_) failed_ = !file_.Write(std::span(reinterpret_cast<const uint8_t*>(buffer_.data()), buffer_.size()));
        else failed_ = !out_.write(buffer_.data(), std::streamsize(buffer_.size()));
        buffer_.clear();
    }
    std::ostream& out_;
    const std::optional<std::string>& path_;
    FileReplacement file_;
    std::string buffer_;
    bool failed_ = false;
};

// Appends the CSV line of a word. Its fields are numbers and ISO times, which never need quoting,
// so the line is put together here rather than field by field through CsvRecord (export goes at
// several times the speed); it ends in CR LF as CsvRecord's lines do.
void AppendCsvLine(const Word& w, std::string& to) {
    to += Seconds(w.relative);
    to += ',';
    if (w.absolute != c10::kNoTime) to += c10::IsoTime(w.absolute);
    char text[96];
    std::snprintf(text, sizeof text, ",%u,%u,%s,%u,0x%05x,%s,%c,%c,%s\r\n", unsigned(w.channel), unsigned(w.bus),
                  RenderAddress(WordLabel(w.word)).c_str(), WordSdi(w.word), unsigned(WordData(w.word)),
                  RenderM(w.word).c_str(), (w.flags & c10::kWordParityError) ? '1' : '0',
                  (w.flags & c10::kWordFormatError) ? '1' : '0', RenderHex(w.word).c_str());
    to += text;
}

struct ExportSink : ProblemSink {
    ExportSink(const std::string& name, std::ostream& problems, CsvOut& to) : ProblemSink(name, problems), csv(to) {}
    void OnWords(std::span<const Word> span, const c10::PacketInfo&) override {
        if (csv.Failed()) return;
        for (const Word& w : span) AppendCsvLine(w, line);
        csv.Put(line);
        line.clear();
    }
    CsvOut& csv;
    std::string line;  // the lines of one packet
};

// ---- import ----

// The fields of one CSV line: RFC 4180 quoting within the line; nullopt for an unclosed quote or
// text after a closing quote.
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

int C10Info(const std::string& path, std::ostream& out, std::ostream& err) {
    InfoSink sink(path, err);
    c10::ReadSummary summary;
    const int read = ReadRecording(path, sink, summary, err);
    if (read == 2) return 2;
    WriteInfo(sink, summary, out);
    if (!Flushed(out, err, path)) return 1;
    return std::max(read, sink.count ? 1 : 0);
}

int C10Export(const std::string& path, const std::optional<std::string>& output, std::ostream& out,
              std::ostream& err) {
    if (Missing(path)) {
        err << path << ": no such file\n";
        return 2;
    }
    CsvOut csv(out, output);
    if (!csv.Begin(err)) return 1;
    csv.Put(CsvRecord(SplitCsvLine(kC10CsvHead).value()));
    ExportSink sink(path, err, csv);
    c10::ReadSummary summary;
    const int read = ReadRecording(path, sink, summary, err);
    if (!csv.End(err, path)) return 1;
    return std::max(read, sink.count ? 1 : 0);
}

int C10Check(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
    int code = 0;
    for (const std::string& path : paths) {
        ProblemSink sink(path, out);
        c10::ReadSummary summary;
        const int read = ReadRecording(path, sink, summary, err, &out);
        code = std::max({code, read, sink.count ? 1 : 0});
    }
    if (!Flushed(out, err, "check")) code = std::max(code, 1);
    return code;
}

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
