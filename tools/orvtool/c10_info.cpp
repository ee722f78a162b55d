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

// A silence on a label longer than this is reported by `info`.
constexpr int64_t kLongGap = 2 * int64_t(c10::kTicksPerSecond);

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
    // Per word only what must be (a few additions and comparisons, no branch on the data): the
    // time span is kept with min and max, and the totals are the packet's.
    void OnWords(std::span<const Word> span, const c10::PacketInfo&) override {
        if (span.empty()) return;
        std::array<std::unique_ptr<BusStats>, 256>& channel = buses[span.front().channel];  // one per packet
        int64_t lo = words == 0 ? span.front().relative : firstRelative;
        int64_t hi = words == 0 ? span.front().relative : lastRelative;
        // Words of one packet all have an absolute time or none (it comes from the packet's time).
        const bool timed = span.front().absolute != c10::kNoTime;
        int64_t absLo = timed && firstAbsolute == c10::kNoTime ? span.front().absolute : firstAbsolute;
        int64_t absHi = timed && lastAbsolute == c10::kNoTime ? span.front().absolute : lastAbsolute;
        uint64_t parityErrors = 0, formatErrors = 0;
        for (const Word& w : span) {
            std::unique_ptr<BusStats>& slot = channel[w.bus];
            if (!slot) [[unlikely]] slot = std::make_unique<BusStats>();
            BusStats* bus = slot.get();
            const unsigned parityError = (w.flags & c10::kWordParityError) != 0;
            const unsigned formatError = (w.flags & c10::kWordFormatError) != 0;
            ++bus->words;
            bus->parity += parityError;
            bus->format += formatError;
            parityErrors += parityError;
            formatErrors += formatError;
            LabelStats& label = bus->labels[WordLabel(w.word)];
            const int64_t gap = label.words > 0 ? w.relative - label.last : 0;
            label.longGaps += gap > kLongGap;
            label.longest = std::max(label.longest, gap);
            ++label.words;
            label.last = w.relative;
            lo = std::min(lo, w.relative);
            hi = std::max(hi, w.relative);
            if (timed) {
                absLo = std::min(absLo, w.absolute);
                absHi = std::max(absHi, w.absolute);
            }
        }
        firstRelative = lo;
        lastRelative = hi;
        firstAbsolute = absLo;
        lastAbsolute = absHi;
        words += span.size();
        parity += parityErrors;
        format += formatErrors;
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
}  // namespace orv::tool
