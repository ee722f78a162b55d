#pragma once
// A simulated board behind the driver interface: its own 64 KiB memory, the sixteen
// device-control requests, and firmware that plays ARINC 429 traffic on the channels in time.
//
// Wiring: output channel n is looped back to input channel n for n = 1..loopbacks; every other
// input hears the built-in flight (flight_scenario.h). A scenario (scenario_file.h) may give each
// input another source: its output, nothing, the flight, or traffic of its own. The firmware runs
// either on its own thread against the monotonic clock (real time) or only when Advance() is
// called (manual clock), which makes tests exact. One mutex guards the board: requests and the
// firmware may come from any thread. The class is written in four files: virtual_board.cpp (clock,
// wiring, playing the bus and each word's way into a receiver), board_requests.cpp,
// board_receivers.cpp (receive queues and events) and board_schedule.cpp (wake schedule and
// firmware thread).
//
// The real-time firmware does not tick: every request first plays the bus up to the clock, and
// the thread wakes only when something must happen without a request, that is at the bus time of
// each word that raises an event or that a word stream's listener waits for (Listen), and at
// least every kMaxStepUs while a channel runs (so that no
// catch-up has to play a long stretch at once). With no channel running it sleeps until a request
// starts one.
//
// Receive queues (receiver.h): a label reported by events (kLabelEvent) in parameter reception
// keeps its arrivals in a queue of kSlotQueueWords words behind its slot, as a hardware receive
// FIFO does. The slot shows the oldest waiting word; each slot read replies that word and takes it
// off the queue; the channel's event bit reads set as long as words wait. So every arrival is read once,
// in order, however late the reader is, up to a full queue; an arrival that finds the queue full
// is lost and counted (InputCounters::overflowed). A label is reported only while its table word
// asks for it: clearing the word (a mask reset) drops its waiting words and its arrivals not yet
// read, so a reader that reads the events until they read 0 always gets there.

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "driver/board_image.h"
#include "driver/word_stream.h"
#include "driver/board_words.h"
#include "vboard/board_counters.h"
#include "vboard/board_layout.h"
#include "vboard/flight_player.h"
#include "vboard/frame_cursor.h"
#include "vboard/receiver.h"
#include "vboard/scenario_types.h"
#include "vboard/line_source.h"

namespace orv {

enum class BoardClock { RealTime, Manual };

class VirtualBoard final : public WordStream {
public:
    VirtualBoard(BoardLayout spec, BoardClock clock);
    ~VirtualBoard();
    VirtualBoard(const VirtualBoard&) = delete;
    VirtualBoard& operator=(const VirtualBoard&) = delete;

    // One device-control request (codes of driver/device.h). Returns the bytes written to
    // `out`. A request whose buffers are too short, whose addresses or lengths leave the board
    // memory or whose code is unknown is refused and changes nothing.
    std::size_t Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out);

    // Manual clock: moves board time on by `us` microseconds, playing the bus meanwhile.
    // Does nothing on a real-time board.
    void Advance(uint64_t us);
    // Board time in microseconds since power-up.
    uint64_t NowUs() const override;

    // The word stream (driver/word_stream.h): every word the line of a running input carries goes
    // to the sink, accepted or not, as the receiver judges it.
    void AddSink(WordSink* sink) override;
    void RemoveSink(WordSink* sink) override;
    // The real-time firmware wakes for the listened labels' words as for reported ones.
    void Listen(unsigned input, unsigned label) override;
    void Unlisten(unsigned input, unsigned label) override;
    double LineBitRate(unsigned input) const override;

    // Real time: starts the firmware thread unless it runs; StopFirmware stops and joins it.
    void StartFirmware();
    void StopFirmware();

    // From now on each input hears what `scenario` gives it (inputs it leaves at Default keep the
    // documented wiring); traffic times count from now. `seed` makes jitter and probabilities
    // repeatable.
    void PlayScenario(const BoardScenario& scenario, uint64_t seed);
    // The counters with the bus played up to the clock.
    BoardCounters Counters();

    const BoardLayout& Layout() const { return spec_; }
    BoardClock Clock() const { return clock_; }

    // Inspection, for tests and tools.
    uint16_t Word(uint32_t address) const;
    std::vector<uint16_t> Memory() const;
    InputCounters Input(unsigned channel) const;
    uint64_t OutputWordsSent(unsigned channel) const;
    bool InputRunning(unsigned channel) const;
    bool OutputRunning(unsigned channel) const;
    uint16_t PendingEvents() const;
    // The board's own duplicate of the registered event descriptor, -1 when none.
    int EventHandle() const;

    // Words a reported label's receive queue holds (90 ms at the bus limit).
    static constexpr std::size_t kSlotQueueWords = orv::kSlotQueueWords;
    // Name of the real-time firmware thread (as the system lists threads).
    static constexpr const char* kFirmwareThreadName = "vboard-firmware";
    // Grid of the real-time firmware's event wake-ups: an event is signalled at most this late.
    static constexpr uint64_t kEventGrainUs = 250;
    // Longest stretch the real-time firmware leaves unplayed while a channel runs.
    static constexpr uint64_t kMaxStepUs = 50000;
    // Longest stretch of scenario traffic one real-time catch-up plays word by word. A board
    // further behind (a starved process, a suspended machine) skips the older part and counts its
    // words as not sent, so that a request never waits for a long catch-up under the lock and
    // the board never falls further behind the clock.
    static constexpr uint64_t kMaxCatchUpUs = 200000;

private:
    struct Transmitter {
        bool running = false;
        FrameCursor cursor;
        uint64_t sent = 0;
    };

    // virtual_board.cpp: the clock, wiring and playing the bus, down to the receivers' word path.
    uint64_t ClockUs() const;
    void CatchUpLocked();
    void WireLocked(const BoardScenario& scenario, uint64_t seed);
    // Plays the bus up to `target`; scenario traffic more than `longestUs` behind it is skipped.
    void AdvanceToLocked(uint64_t target, uint64_t longestUs = UINT64_MAX);
    void AdvanceOutputLocked(unsigned index, uint64_t target);
    void AdvanceFlightLocked(uint64_t target);
    void AdvanceTrafficLocked(unsigned index, uint64_t target, uint64_t longestUs);

    // board_requests.cpp: the device-control requests.
    std::size_t RequestLocked(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out);
    std::size_t StartBoardLocked(std::span<const uint8_t> in, std::span<uint8_t> out);
    std::size_t StartChannelLocked(bool output, std::span<const uint8_t> in, std::span<uint8_t> out);
    std::size_t RegisterEventLocked(std::span<const uint8_t> in, std::span<uint8_t> out);
    void RestoreRegistersLocked();
    void StopAllLocked();

    // The receivers' word path (virtual_board.cpp, beside the transmitters that feed it):
    // ReceiveLocked is the one place where a word on the line of input `index` (0-based) reaches
    // it while it runs: `wire` as it came off the bus from a transmitter of rate code `txRate`,
    // its last bit arriving at board time `atUs`. Every source of traffic delivers through here,
    // in bus-time order per input, every word its line carries, whatever becomes of it.
    void ReceiveLocked(unsigned index, uint32_t wire, unsigned txRate, double bitRate, uint64_t atUs);
    void StoreLocked(unsigned index, uint32_t wire);
    void StoreSlotLocked(uint32_t address, uint32_t word);
    // board_receivers.cpp: receive queues, reported labels, channel events.
    bool QueueWordLocked(unsigned index, unsigned label, uint32_t word);
    bool PopSlotLocked(uint32_t address, uint32_t& word);
    void SyncEventLabelsLocked();
    uint16_t PendingBitsLocked() const;
    bool ReportedLocked(unsigned index, unsigned label) const;
    // Reported, or listened for on the word stream: the firmware wakes at its words' arrival.
    bool WakesLocked(unsigned index, unsigned label) const;

    // board_schedule.cpp: when the real-time firmware wakes, and its thread.
    uint64_t NextWakeLocked() const;
    uint64_t NextOutputEventLocked(unsigned index) const;
    uint64_t NextTrafficEventLocked(unsigned index) const;
    void FirmwareLoop();

    const BoardLayout spec_;
    const BoardClock clock_;
    const uint64_t epochNs_;

    mutable std::mutex mutex_;
    std::array<uint16_t, BoardImage::kWords> memory_{};
    std::array<uint16_t, 16> settings_{};
    std::array<Transmitter, 8> tx_{};
    std::array<Receiver, 8> rx_{};
    std::vector<unsigned> flightInputs_;  // 0-based: the inputs that hear the flight
    FlightPlayer flight_;
    std::array<InputHears, 8> hears_{};
    std::array<std::unique_ptr<LineSource>, 8> traffic_;  // scenario traffic or a recorded bus
    std::array<LineCounters, 8> lines_{};
    uint64_t trafficOrigin_ = 0;
    uint64_t now_ = 0;
    std::vector<WordSink*> sinks_;  // the word stream's listeners
    std::array<std::array<uint32_t, 256>, 8> listened_{};  // Listen() counts per input and label
    std::array<uint32_t, 8> listening_{};                   // their sums per input
    uint16_t events_ = 0;
    bool raised_ = false;
    int eventFd_ = -1;

    std::condition_variable wake_;
    bool reschedule_ = false;  // a request changed what the firmware waits for
    bool stop_ = false;
    std::thread firmware_;
};

}  // namespace orv
