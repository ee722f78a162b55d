#pragma once
// The buses of a Chapter 10 recording, read into memory for playback on the virtual board: each
// bus's words with their start times, as recorded. What a damaged file still holds sound is kept,
// and the reader's messages (byte offset and reason) come with it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orv {

struct RecordedWord {
    int64_t start = 0;   // 0.1 us from the start of the file's first word
    uint32_t word = 0;   // as sent on the bus, bit 32 the transmitted parity bit
    bool parityError = false;
    bool formatError = false;
    bool highSpeed = false;  // the intra-packet header's speed bit: sent at 100 kbit/s
};

struct RecordedBus {
    uint16_t channel = 0;
    uint8_t bus = 0;
    std::string name;      // UTF-8, as the setup record names it ("" when it does not)
    double bitRate = 0.0;  // bit/s: the setup record's, else the class the words' speed bit gives
    std::vector<RecordedWord> words;
};

struct BusRecording {
    // In order of channel id and bus number; shared by the inputs that play them.
    std::vector<std::shared_ptr<const RecordedBus>> buses;
    int64_t end = 0;  // 0.1 us: when the file's last word and its gap are over (a loop's length)
    std::vector<std::string> problems;  // the reader's messages, the first few (UTF-8)
    uint64_t problemCount = 0;
};

// Words a recording may hold to be played (16 bytes each in memory).
inline constexpr uint64_t kMaxPlaybackWords = uint64_t{1} << 26;

// Reads the recording at `path`. Nothing, with `reason` set (Russian), when the file cannot be
// read, holds no ARINC-429 word it could trust, or is too long to play.
std::optional<BusRecording> LoadBusRecording(const std::string& path, std::string& reason);

// "канал 2, шина 4 «Вход 5»" (UTF-8): how messages name a bus.
std::string BusTitle(const RecordedBus& bus);

}  // namespace orv
