#pragma once
// What the recording tests share: a sink that keeps everything the reader gives, a manual clock,
// and the small recording every test starts from, both as the words and clock handed to the
// writer and as its bytes written out field by field from the layout tables.

#include <cstdint>
#include <string>
#include <vector>

#include "c10/c10_reader.h"
#include "c10/c10_writer.h"

namespace orv::c10::test {

struct Collector : ReadSink {
    std::vector<PacketInfo> packets;
    std::vector<TmatsInfo> tmats;
    std::vector<int64_t> times;
    std::vector<Word> words;
    std::vector<uint64_t> wordPacketOffsets;
    std::vector<Problem> problems;

    void OnPacket(const PacketInfo& p) override { packets.push_back(p); }
    void OnTmats(const TmatsInfo& t, const PacketInfo&) override { tmats.push_back(t); }
    void OnTime(int64_t absolute, const PacketInfo&) override { times.push_back(absolute); }
    void OnWords(std::span<const Word> w, const PacketInfo& p) override {
        for (const Word& x : w) {
            words.push_back(x);
            wordPacketOffsets.push_back(p.offset);
        }
    }
    void OnProblem(const Problem& p) override { problems.push_back(p); }
};

inline Collector ReadAll(const std::vector<uint8_t>& bytes, ReadOptions options = {}) {
    Collector c;
    Reader reader(options);
    reader.ReadBytes(bytes, c);
    return c;
}

// 2026-12-07 14:30:15.1234567 UTC in 0.1 us ticks since 1970.
inline constexpr int64_t kStart = (int64_t{20794} * 86400 + 14 * 3600 + 30 * 60 + 15) * 10'000'000 + 1'234'567;

inline RecordingSetup SmallSetup() {
    RecordingSetup s;
    s.recorderId = "ORVMON";
    ArincChannelSetup c;
    c.id = 2;
    c.name = "Плата 1";
    c.buses = {{0, "Вход 1", 12500.0}, {4, "Вход 5", 100000.0}};
    s.channels = {c};
    return s;
}

// The small recording's words in the order they arrive (times since the start, 0.1 us).
struct TimedWord {
    uint64_t clockBefore;  // the clock when it is offered
    WordIn word;
};

// Offsets of the packets of the small recording.
struct SmallLayout {
    std::vector<uint8_t> bytes;
    std::size_t tmats = 0, time0 = 0, arinc1 = 0, time1 = 0, arinc2 = 0;
};

// Bytes of the small recording, put together here from the layout tables, not by the writer.
SmallLayout HandMadeRecording();
// The same recording made by the writer in `path`, from the same words and clock.
bool WriteSmallRecording(const std::string& path, std::string* error);

}  // namespace orv::c10::test
