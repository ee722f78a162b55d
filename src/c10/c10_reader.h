#pragma once
// Streaming reader of Chapter 10 recordings. It goes through a file front to back with one fixed
// buffer (files larger than memory are fine), checks every packet (sync, header checksum, lengths,
// secondary header and data checksums when flagged, the ARINC-429 message count against the data
// length), skips packets of other types, and after damage resynchronises on the next sound header,
// counting the bytes it skipped. Words are handed to the sink one packet at a time from a buffer
// the reader owns (no allocation per word), each with its absolute time (from the latest time
// packet and the counter) and its time relative to the file's first word.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "c10/c10_format.h"
#include "c10/c10_tmats.h"

namespace orv::c10 {

// Word flags.
inline constexpr uint8_t kWordHighSpeed = 1;
inline constexpr uint8_t kWordParityError = 2;
inline constexpr uint8_t kWordFormatError = 4;

struct Word {
    int64_t absolute = kNoTime;  // 0.1 us since 1970-01-01 UTC, kNoTime before any time packet
    int64_t relative = 0;        // 0.1 us since the start of the file's first word
    uint64_t counter = 0;        // the word's start on the file's 48-bit counter
    uint32_t word = 0;           // as sent on the bus (label unreversed unless asked)
    uint16_t channel = 0;
    uint8_t bus = 0;
    uint8_t flags = 0;
};

enum class ProblemKind : uint8_t {
    BadSync,
    BadHeaderChecksum,
    BadLengths,
    BeyondFile,
    Truncated,
    BadSecondaryChecksum,
    BadDataChecksum,
    BadCount,
    BadTime,
    DayOfYearTime,
    NoTmats,
    NoTimeBeforeData,
    TimeGoesBack,
};

struct Problem {
    uint64_t offset = 0;   // byte offset in the file of the packet (or bytes) concerned
    ProblemKind kind = ProblemKind::BadSync;
    uint64_t skipped = 0;  // bytes passed over to reach the next sound packet (or the end)
    std::string Reason() const;
    // "Смещение <offset>: <reason>[, пропущено байт: <skipped>]"
    std::string Message() const;
};

struct PacketInfo {
    uint64_t offset = 0;
    PacketHeader header;
    // The secondary header's 64-bit time when the packet has one (its format is in flags bits 3-2).
    bool hasSecondaryTime = false;
    uint64_t secondaryTime = 0;
};

class ReadSink {
public:
    virtual ~ReadSink() = default;
    // Every packet whose checks held, of any type.
    virtual void OnPacket(const PacketInfo&) {}
    virtual void OnTmats(const TmatsInfo&, const PacketInfo&) {}
    virtual void OnTime(int64_t /*absolute*/, const PacketInfo&) {}
    // The words of one ARINC-429 packet whose checks held, in file order.
    virtual void OnWords(std::span<const Word>, const PacketInfo&) {}
    virtual void OnProblem(const Problem&) {}
};

struct ReadOptions {
    // Reverse label bits 1-8 of every word, for recorders that store the label in wire order.
    bool reversedLabels = false;
};

struct ReadSummary {
    uint64_t fileBytes = 0;
    uint64_t packets = 0;  // sound packets
    std::array<uint64_t, 256> packetsByType{};
    uint64_t words = 0;
    uint64_t overflowPackets = 0;  // sound ARINC packets with the overflow flag
    uint64_t problems = 0;
    uint64_t skippedBytes = 0;
    bool truncated = false;
    bool sawTmats = false;
};

class Reader {
public:
    explicit Reader(ReadOptions options = {});
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader();

    // Reads the file at `path` to its end. False, with `error` set, when it cannot be opened or a
    // read fails (what was read before still reached the sink).
    bool ReadFile(const std::string& path, ReadSink& sink, std::string* error = nullptr);
    // Reads a recording held in memory.
    void ReadBytes(std::span<const uint8_t> bytes, ReadSink& sink);

    const ReadSummary& Summary() const { return summary_; }

private:
    enum class HeaderCheck : uint8_t { Sound, BadSync, BadChecksum, BadLengths };
    static HeaderCheck CheckHeader(const uint8_t* h);
    void Run(ReadSink& sink);
    const uint8_t* Window(uint64_t offset, std::size_t n);
    uint64_t FindSoundHeader(uint64_t from);
    void HandlePacket(uint64_t offset, const PacketHeader& h, const uint8_t* p, ReadSink& sink);
    void Report(ReadSink& sink, uint64_t offset, ProblemKind kind, uint64_t skipped = 0);

    ReadOptions options_;
    ReadSummary summary_;
    // Source: either memory or a file read through buffer_.
    const uint8_t* memory_ = nullptr;
    int fd_ = -1;
    bool readFailed_ = false;
    uint64_t size_ = 0;
    std::vector<uint8_t> buffer_;
    uint64_t bufferOffset_ = 0;
    std::size_t bufferLength_ = 0;
    // Time reference and the words of the packet being handed out.
    bool haveTime_ = false;
    uint64_t timeCounter_ = 0;
    int64_t timeAbsolute_ = 0;
    bool haveFirstWord_ = false;
    uint64_t firstWordCounter_ = 0;
    bool reportedNoTime_ = false;
    bool reportedDayOfYear_ = false;
    bool firstSoundPacket_ = true;
    std::vector<Word> words_;
};

}  // namespace orv::c10
