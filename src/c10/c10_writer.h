#pragma once
// Writer of Chapter 10 recordings (RCC 106-19): a TMATS setup record on channel 0, time data
// format 1 on channel 1 (month-day-year form, internal source) before any data and then once per
// second, and ARINC-429 format 0 packets on the channels of the setup.
//
// The file is written in place with write(2), whole packets only, and at least once a second of
// recording time, so a recording killed at any moment reads up to its last whole packet. A failed
// write (a full disk, a file size limit) stops the recording with a message and cuts the file back
// to its last whole packet.
//
// Words reach the writer through a bounded queue: Offer() (one producer thread) puts a word in,
// Service() (one consumer thread) takes the queued words, turns them into packets and writes. When
// the queue is full the word is lost, counted, and the next packet of its channel carries the
// overflow flag. The clock and the start time are given by the caller, so that a recording made
// on a manual clock is the same bytes every time.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "c10/c10_format.h"
#include "c10/c10_tmats.h"

namespace orv::c10 {

struct WordIn {
    uint64_t arrival = 0;  // 0.1 us since the recording started: when the word's last bit arrived
    uint32_t word = 0;     // as sent on the bus, bit 32 the transmitted parity bit
    uint16_t channel = 2;  // channel id of the word's board
    uint8_t bus = 0;       // bus number (input 1..8 is bus 0..7)
    uint8_t flags = 0;     // kWordParityError, kWordFormatError (c10_reader.h)
    // The rate of the transmitter that sent it, when known (0: its bus's rate). A word of another
    // rate class than its bus starts 32 of its own bit times before it arrives, and its intra-packet
    // header's speed bit says whether it was sent at 100 kbit/s.
    double bitRate = 0.0;
};

// 0.1 us ticks of a word's 32 bit times at `bitRate` (at least 1): a word starts this long before
// its last bit arrives.
uint64_t WordTicks(double bitRate);

struct WriterOptions {
    RecordingSetup setup;
    int64_t startTime = 0;               // absolute time of the start: 0.1 us since 1970 UTC
    std::function<uint64_t()> clock;     // recording time: 0.1 us since the start
    bool replace = false;                // an existing file is refused unless this is set
    std::size_t queueWords = 1u << 16;   // queue capacity (rounded up to a power of two)
    // Service() takes only the queued words that arrived by the clock's time; later ones wait for
    // a later Service(). For a producer that has handed over every word up to a time before its
    // clock shows that time, but may hand over later words one bus after another (the word
    // stream plays each input in turn): a word of one bus that is already queued then never
    // lets the writer close a packet that another bus's word still to come belongs in.
    bool drainUpToClock = false;
};

class Writer {
public:
    // Creates the file and writes its TMATS and first time packet. Null, with `error` (Russian),
    // when the setup is not writable, the file exists (and `replace` is not set), is not a regular
    // file, or cannot be created or written.
    static std::unique_ptr<Writer> Create(const std::string& path, WriterOptions options,
                                          std::string* error);
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    ~Writer();

    // Producer: queues one word. False when the recording has stopped, the word's channel or bus
    // is not in the setup, or the queue is full (then the word is counted as lost).
    bool Offer(const WordIn& word);
    // Consumer: takes the queued words, writes the time packets due and the packets no later word
    // can join, and calls write(2) once a second of recording time has passed since the last.
    // False once the recording has stopped.
    bool Service();
    // Writes everything held and closes the file. False if the recording had stopped on a failure.
    bool Close();

    bool Failed() const { return failed_.load(std::memory_order_acquire); }
    // The message of the failure that stopped the recording (Russian), empty while it runs.
    const std::string& FailureMessage() const { return failure_; }
    uint64_t WordsWritten() const { return wordsWritten_.load(std::memory_order_relaxed); }
    uint64_t BytesWritten() const { return bytesWritten_.load(std::memory_order_relaxed); }
    uint64_t LostWords() const { return lostWords_.load(std::memory_order_relaxed); }

private:
    struct Pending {
        uint64_t start;  // counter of the word's first bit
        uint32_t word;
        uint8_t bus;
        uint8_t flags;
    };
    struct Channel {
        uint16_t id = 0;
        uint8_t sequence = 0;
        std::vector<uint64_t> duration;  // per bus number: 32 bit times in ticks, 0 not in setup
        std::vector<uint8_t> highSpeed;  // per bus number
        uint64_t maxDuration = 0;
        std::vector<Pending> pending;    // kept in order of start time
        std::size_t held = 0;            // (Drain) pending words before the words it adds
        int64_t latestArrival = -1;      // counter of the latest arrival seen
        std::vector<uint8_t> body;       // intra-packet headers and words of the open packet
        uint32_t count = 0;
        uint64_t firstStart = 0;
        uint64_t lastStart = 0;          // of the last word placed, kept across packets
        bool placedAny = false;
    };

    Writer(int fd, std::string path, WriterOptions options);
    int ChannelIndex(uint16_t id) const;
    uint64_t CounterAt(uint64_t recordingTime) const { return counterOrigin_ + recordingTime; }
    void AppendPacket(uint16_t channel, uint8_t& sequence, uint8_t type, uint8_t flags,
                      uint64_t counter, const uint8_t* data, std::size_t dataLength);
    void AppendTimePacket();
    // Takes the queued words that arrived by `limit` (a counter) into their channels' pending words.
    void Drain(uint64_t limit);
    void Place(Channel& c, const Pending& p);
    void Settle(Channel& c, int64_t watermark);
    void ClosePacket(std::size_t index);
    bool WriteOut();
    void Fail(int error);

    int fd_ = -1;
    std::string path_;
    WriterOptions options_;
    uint64_t counterOrigin_ = 0;  // counter at the start (the start time within its 10 ms step)
    int64_t timeBase_ = 0;        // absolute time at counter 0, a whole 10 ms
    uint64_t nextTimeCounter_ = 0;
    uint8_t tmatsSequence_ = 0;
    uint8_t timeSequence_ = 0;
    uint64_t lastWriteCounter_ = 0;
    std::vector<Channel> channels_;
    std::vector<uint8_t> out_;           // whole packets not yet written
    std::vector<std::size_t> outEnds_;   // end of each packet in out_
    uint64_t outWords_ = 0;              // words in out_
    uint64_t fileSize_ = 0;              // bytes of whole packets in the file
    std::string failure_;
    bool closed_ = false;

    // Queue between Offer and Service.
    std::vector<WordIn> ring_;
    std::size_t ringMask_ = 0;
    std::atomic<std::size_t> head_{0};
    std::atomic<std::size_t> tail_{0};
    std::unique_ptr<std::atomic<bool>[]> lostOnChannel_;

    std::atomic<bool> failed_{false};
    std::atomic<uint64_t> wordsWritten_{0};
    std::atomic<uint64_t> bytesWritten_{0};
    std::atomic<uint64_t> lostWords_{0};
};

}  // namespace orv::c10
