#include "vboard/recorded_buses.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "c10/c10_reader.h"

namespace orv {
namespace {

constexpr std::size_t kProblemsKept = 5;
constexpr double kHighSpeedRate = 100000.0;
constexpr double kLowSpeedRate = 12500.0;

class Collector final : public c10::ReadSink {
public:
    void OnTmats(const c10::TmatsInfo& info, const c10::PacketInfo&) override {
        for (const c10::ArincChannelSetup& channel : info.channels)
            for (const c10::BusSetup& setup : channel.buses) {
                RecordedBus& bus = Bus(channel.id, setup.number);
                bus.name = setup.name;
                if (setup.bitRate > 0.0) bus.bitRate = setup.bitRate;
            }
    }
    void OnWords(std::span<const c10::Word> words, const c10::PacketInfo&) override {
        for (const c10::Word& w : words) {
            if (tooMany) return;
            if (++count > kMaxPlaybackWords) {
                tooMany = true;
                return;
            }
            RecordedBus& bus = Bus(w.channel, w.bus);
            if (bus.bitRate == 0.0) speedOf[&bus] = (w.flags & c10::kWordHighSpeed) != 0;
            bus.words.push_back({w.relative, w.word, (w.flags & c10::kWordParityError) != 0,
                                 (w.flags & c10::kWordFormatError) != 0, (w.flags & c10::kWordHighSpeed) != 0});
        }
    }
    void OnProblem(const c10::Problem& p) override {
        if (problems.size() < kProblemsKept) problems.push_back(p.Message());
    }

    RecordedBus& Bus(uint16_t channel, uint8_t number) {
        auto [it, added] = buses.try_emplace({channel, number});
        if (added) {
            it->second.channel = channel;
            it->second.bus = number;
        }
        return it->second;
    }

    std::map<std::pair<uint16_t, uint8_t>, RecordedBus> buses;
    std::map<const RecordedBus*, bool> speedOf;
    std::vector<std::string> problems;
    uint64_t count = 0;
    bool tooMany = false;
};

}  // namespace

std::optional<BusRecording> LoadBusRecording(const std::string& path, std::string& reason) {
    Collector collector;
    c10::Reader reader;
    std::string error;
    if (!reader.ReadFile(path, collector, &error)) {
        reason = error;
        return std::nullopt;
    }
    if (collector.tooMany) {
        reason = "в записи больше " + std::to_string(kMaxPlaybackWords) + " слов: столько не воспроизводится";
        return std::nullopt;
    }
    if (collector.count == 0) {
        reason = reader.Summary().problems > 0 ? "в записи нет целого пакета слов ARINC 429: " + collector.problems.front()
                                               : "в записи нет слов ARINC 429";
        return std::nullopt;
    }
    BusRecording recording;
    recording.problems = std::move(collector.problems);
    recording.problemCount = reader.Summary().problems;
    for (auto& [key, bus] : collector.buses) {
        if (bus.bitRate == 0.0) bus.bitRate = collector.speedOf[&bus] ? kHighSpeedRate : kLowSpeedRate;
        // The source plays in order of start; a file whose counter jumps back is played sorted.
        const auto byStart = [](const RecordedWord& a, const RecordedWord& b) { return a.start < b.start; };
        if (!std::is_sorted(bus.words.begin(), bus.words.end(), byStart))
            std::stable_sort(bus.words.begin(), bus.words.end(), byStart);
        if (!bus.words.empty()) {
            // The last word, its 32 bits and the gap of 4 that follows it.
            const int64_t wordAndGap = std::llround(36 * 1e7 / bus.bitRate);
            recording.end = std::max(recording.end, bus.words.back().start + wordAndGap);
        }
        recording.buses.push_back(std::make_shared<const RecordedBus>(std::move(bus)));
    }
    return recording;
}

std::string BusTitle(const RecordedBus& bus) {
    std::string title = "канал " + std::to_string(bus.channel) + ", шина " + std::to_string(bus.bus);
    if (!bus.name.empty()) title += " «" + bus.name + "»";
    return title;
}

}  // namespace orv
