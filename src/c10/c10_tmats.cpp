#include "c10/c10_tmats.h"

#include <charconv>
#include <map>
#include <set>

#include "c10/c10_strings.h"

namespace orv::c10 {

namespace {

void Attr(std::string& t, std::string_view code, std::string_view value) {
    t += code;
    t += ':';
    t += value;
    t += ";\r\n";
}

std::string Num(uint64_t v) { return std::to_string(v); }

std::string Rate(double r) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed);  // shortest exact
    return std::string(buf, res.ptr);
}

constexpr std::string_view kRatePrefix = "R-1\\ASN-";
constexpr std::string_view kRateMiddle = " BIT RATE ";

template <class T>
bool ParseNumber(std::string_view s, T& out) {
    const auto res = std::from_chars(s.data(), s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

// "n" or "n-m" after a code's prefix.
bool ParseIndices(std::string_view s, unsigned& n, unsigned* m) {
    const std::size_t dash = s.find('-');
    if (m == nullptr) return dash == std::string_view::npos && ParseNumber(s, n);
    return dash != std::string_view::npos && ParseNumber(s.substr(0, dash), n) &&
           ParseNumber(s.substr(dash + 1), *m);
}

bool NameIsClean(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == ';' || c == 0x7F) return false;
    return true;
}

}  // namespace

std::string TmatsText(const RecordingSetup& setup) {
    std::string t;
    // The edition of IRIG 106 the file follows: RCC 106-19.
    Attr(t, "G\\106", "19");
    Attr(t, "COMMENT", "IRIG 106-19 CHAPTER 10 RECORDING");
    Attr(t, "G\\DSI\\N", "1");
    Attr(t, "G\\DSI-1", setup.recorderId);
    Attr(t, "R-1\\ID", setup.recorderId);
    Attr(t, "R-1\\N", Num(1 + setup.channels.size()));
    // Source 1: the time channel.
    Attr(t, "R-1\\TK1-1", "1");
    Attr(t, "R-1\\CHE-1", "T");
    Attr(t, "R-1\\CDT-1", "TIMEIN");
    Attr(t, "R-1\\CDLN-1", "TIME");
    Attr(t, "R-1\\TTF-1", "1");
    Attr(t, "R-1\\TFMT-1", "I");
    Attr(t, "R-1\\TSRC-1", "I");
    for (std::size_t i = 0; i < setup.channels.size(); ++i) {
        const ArincChannelSetup& c = setup.channels[i];
        const std::string n = Num(i + 2);
        Attr(t, "R-1\\TK1-" + n, Num(c.id));
        Attr(t, "R-1\\CHE-" + n, "T");
        Attr(t, "R-1\\CDT-" + n, "429IN");
        Attr(t, "R-1\\CDLN-" + n, c.name);
        Attr(t, "R-1\\ABTF-" + n, "0");
        Attr(t, "R-1\\NAS\\N-" + n, Num(c.buses.size()));
        for (std::size_t j = 0; j < c.buses.size(); ++j) {
            const BusSetup& b = c.buses[j];
            const std::string nm = n + "-" + Num(j + 1);
            Attr(t, "R-1\\ASN-" + nm, Num(b.number));
            Attr(t, "R-1\\ANM-" + nm, b.name);
            Attr(t, "COMMENT", std::string(kRatePrefix) + nm + std::string(kRateMiddle) + Rate(b.bitRate));
        }
    }
    return t;
}

TmatsInfo ParseTmats(std::string_view text) {
    struct Bus {
        std::optional<unsigned> number;
        std::string name;
        double rate = 0.0;
    };
    struct Source {
        std::optional<unsigned> track;
        std::string type, name;
        std::map<unsigned, Bus> buses;
    };
    std::map<unsigned, Source> sources;
    TmatsInfo info;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(';', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view attr = text.substr(pos, end - pos);
        pos = end + 1;
        while (!attr.empty() && (attr.front() == '\r' || attr.front() == '\n' || attr.front() == ' ' ||
                                 attr.front() == '\t'))
            attr.remove_prefix(1);
        const std::size_t colon = attr.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view code = attr.substr(0, colon);
        const std::string_view value = attr.substr(colon + 1);
        unsigned n = 0, m = 0;
        auto after = [&](std::string_view prefix, std::string_view& rest) {
            if (code.substr(0, prefix.size()) != prefix) return false;
            rest = code.substr(prefix.size());
            return true;
        };
        std::string_view rest;
        if (code == "G\\106") {
            info.edition = value;
        } else if (code == "R-1\\ID") {
            info.recorderId = value;
        } else if (after("R-1\\TK1-", rest) && ParseIndices(rest, n, nullptr)) {
            unsigned id = 0;
            if (ParseNumber(value, id) && id <= 0xFFFF) sources[n].track = id;
        } else if (after("R-1\\CDT-", rest) && ParseIndices(rest, n, nullptr)) {
            sources[n].type = value;
        } else if (after("R-1\\CDLN-", rest) && ParseIndices(rest, n, nullptr)) {
            sources[n].name = value;
        } else if (after("R-1\\ASN-", rest) && ParseIndices(rest, n, &m)) {
            unsigned bus = 0;
            if (ParseNumber(value, bus) && bus <= 0xFF) sources[n].buses[m].number = bus;
        } else if (after("R-1\\ANM-", rest) && ParseIndices(rest, n, &m)) {
            sources[n].buses[m].name = value;
        } else if (code == "COMMENT" && value.substr(0, kRatePrefix.size()) == kRatePrefix) {
            const std::string_view v = value.substr(kRatePrefix.size());
            const std::size_t mid = v.find(kRateMiddle);
            double rate = 0;
            if (mid != std::string_view::npos && ParseIndices(v.substr(0, mid), n, &m) &&
                ParseNumber(v.substr(mid + kRateMiddle.size()), rate) && rate > 0)
                sources[n].buses[m].rate = rate;
        }
    }
    for (const auto& [n, s] : sources) {
        if (!s.track) continue;
        if (s.type == "TIMEIN" && !info.timeChannel) {
            info.timeChannel = uint16_t(*s.track);
        } else if (s.type == "429IN") {
            ArincChannelSetup c;
            c.id = uint16_t(*s.track);
            c.name = s.name;
            for (const auto& [mm, b] : s.buses) {
                if (!b.number) continue;
                c.buses.push_back({uint8_t(*b.number), b.name, b.rate});
            }
            info.channels.push_back(std::move(c));
        }
    }
    return info;
}

std::string SetupProblem(const RecordingSetup& setup) {
    if (!NameIsClean(setup.recorderId) || setup.recorderId.empty()) return text::kSetupBadName;
    std::set<uint16_t> ids;
    for (const auto& c : setup.channels) {
        if (c.id < 2 || !ids.insert(c.id).second) return text::kSetupBadChannel;
        if (!NameIsClean(c.name)) return text::kSetupBadName;
        std::set<uint8_t> buses;
        for (const auto& b : c.buses) {
            if (!buses.insert(b.number).second) return text::kSetupBadBus;
            if (!NameIsClean(b.name)) return text::kSetupBadName;
            if (!(b.bitRate > 0.0 && b.bitRate < 1e9)) return text::kSetupBadRate;
        }
    }
    return {};
}

}  // namespace orv::c10
