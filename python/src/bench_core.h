#pragma once
// The bench behind the Python module, in plain C++ (no Python here): one program state on the
// virtual boards, driven through the core functions the program's commands call. Every public
// function takes the bench's lock, so calls from several threads never interleave; none of them
// calls back into Python, so the binding releases the interpreter's lock around each of them.
//
// Clocks: on the real clock the boards run in real time and a tick thread of the bench runs the
// refresh tick at the refresh period while the refresh timer runs. On the manual clock nothing
// moves until Advance(), which plays the bus up to each period boundary, runs the tick there and
// returns once the acquisition thread has served every word it was given.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "config/param_line.h"
#include "driver/word_stream.h"
#include "monitor/shown_table.h"
#include "monitor/trace_stats.h"
#include "state/program_state.h"
#include "vboard/virtual_board_provider.h"

namespace orv::script {

// A failure of the program, with its own message (UTF-8).
struct BenchError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A value out of range or of the wrong form (UTF-8 message).
struct BenchValueError : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

struct BenchOptions {
    std::string device = "arinc10";
    std::optional<std::string> scenario;    // a scenario file, as given
    bool manualClock = false;
    // Channel setting words (inputs 1..8, outputs 1..8); nullopt: Orvparam.stt of the workdir, or
    // the dialog's defaults when that file cannot be read.
    std::optional<std::array<uint16_t, kChannelSettingWords>> settings;
    std::string workdir = ".";
    int periodMs = 1000;
};

// One row of the table as the last tick (or edit of the table) froze it, in UTF-8.
struct RowData {
    std::string name;
    uint16_t channel = 0;
    uint16_t label = 0;
    uint32_t word = 0;
    std::string hex;
    std::string octal;
    unsigned ssm = 0;
    std::optional<double> value;  // through the row's format; none without one
    std::string units;
    std::string formatName;
    std::string decimal;          // the DECIMAL text the table shows (21 columns)
    int32_t cycle = 0;
    bool stale = false;
    bool masked = false;
    int32_t maskCount = 0;
};

struct TraceData {
    std::vector<TracePoint> points;
    std::vector<bool> fits;
    TraceStats stats;
    DecimalFormat format;  // the row's, for the points' values
};

struct CounterData {
    BoardCounters counters;
    BoardLayout spec;
};

// A recording of the bench's bus: where it goes and what it wrote (the figures of the status bar).
struct RecordingFigures {
    std::string path;
    uint64_t words = 0;
    uint64_t bytes = 0;
    uint64_t lost = 0;
    bool running = false;
    std::string status;   // the status bar's text while it runs (UTF-8)
    std::string failure;  // once ended: the message of a failure that stopped it, empty when whole
};

// The words of the board's word stream that waits listen for: per input and label, how many
// words the input accepted since a wait began listening. OnWord runs on the bus's thread with the
// board's lock held, so it only counts and signals; a wait then reads what it needs through the
// bench.
class WordWaits final : public WordSink {
public:
    static constexpr unsigned Key(unsigned input, unsigned label) { return (input - 1) * 256 + (label & 0xFF); }
    void OnWord(const LineWord& word) override;
    // Starts listening for a key; returns its count now. Every Arm is matched by a Disarm.
    uint64_t Arm(unsigned key);
    void Disarm(unsigned key);
    uint64_t Count(unsigned key) const;
    // Waits until the key's count passes `seen`, Close() or `timeout`; returns the count.
    uint64_t Wait(unsigned key, uint64_t seen, std::chrono::nanoseconds timeout);
    void Close();

private:
    static constexpr unsigned kKeys = 8 * 256;
    std::array<std::atomic<uint32_t>, kKeys> armed_{};
    std::array<std::atomic<uint64_t>, kKeys> counts_{};
    mutable std::mutex mu_;
    std::condition_variable cv_;
    bool closed_ = false;
};

// An item of a frame: a word, or a pause of n slots.
struct PauseItem {
    unsigned slots = 1;
};
using FrameItem = std::variant<uint32_t, PauseItem>;

class BenchCore {
public:
    explicit BenchCore(const BenchOptions& options);
    ~BenchCore();
    BenchCore(const BenchCore&) = delete;
    BenchCore& operator=(const BenchCore&) = delete;

    // Stops the tick thread, the board (acquisition thread joined) and the boards' firmware.
    // Idempotent.
    void Close();
    bool Closed() const;
    bool ManualClock() const { return options_.manualClock; }
    const std::string& Device() const { return options_.device; }

    // Manual clock: plays the bus on for `us` microseconds (ticks at each period boundary), but
    // stops once `wallBudget` of real time has passed; returns the microseconds still to go.
    uint64_t Advance(uint64_t us, std::chrono::nanoseconds wallBudget);
    // The same, in 1 ms steps, ending early after the step in which a word of the key
    // (WordWaits::Key) arrived beyond the `seen`-th.
    uint64_t AdvanceUntilWord(uint64_t us, std::chrono::nanoseconds wallBudget, unsigned key, uint64_t seen);
    // Board time in seconds: the manual clock's, or the real time since the bench started.
    double Now() const;

    int PeriodMs() const;
    void SetPeriodMs(int ms);

    // ---- Formats and dictionary of the workdir ----
    void AddFormat(const std::string& label, int msbBit, int lsbBit, double msbWeight, bool bit29Data,
                   const std::string& units);
    void AddParam(const std::string& label, unsigned address, const std::string& formatLabel);
    std::vector<DecimalFormat> Formats() const;
    std::vector<ParamRecord> Params() const;
    std::string FormatsPath() const;
    std::string ParamsPath() const;

    // ---- Watching ----
    // Returns the reader's messages (records left out); throws when nothing was loaded.
    std::vector<std::string> LoadList(const std::string& path);
    // (name, channel, label or -1 for the dictionary's, format label or nullopt for the
    // dictionary's)
    struct WatchItem {
        std::string name;
        int channel = 0;
        int label = -1;
        std::optional<std::string> format;
    };
    void Watch(const std::vector<WatchItem>& items);
    // The rows of the last snapshot and its number (a new tick or edit gives a new number).
    std::shared_ptr<const std::vector<RowData>> Rows(uint64_t* version = nullptr) const;
    uint64_t Ticks() const;
    // Waits (real clock) until a tick after `afterTick` has run or `timeout` passed; true on a tick.
    bool WaitTick(uint64_t afterTick, std::chrono::nanoseconds timeout);

    // ---- Waiting on words ----
    // Whether the board offers the word stream (then waits wake on each word); waits() is its
    // listener, attached while the bench is open.
    bool HasWordStream() const;
    WordWaits& Waits() { return waits_; }
    // A wait starts or stops listening for a key: the board is asked to hand its words over as
    // they arrive (WordStream::Listen). ArmWait returns the key's count now.
    uint64_t ArmWait(unsigned key);
    void DisarmWait(unsigned key);
    // The row of (name or label, channel) as the next tick would show it with what its slot holds
    // now (read with the tick's own board request, the slot left for the tick to take); when the
    // slot holds no received word, the last tick's row if that tick took one, else nothing.
    // BenchValueError when the table has no such row.
    std::optional<RowData> FreshRow(const std::string& name, int label, int channel);

    // ---- Recording ----
    // Starts recording the board's inputs (`inputs` 1..8, empty for all) into `path`, ending a
    // recording that runs; its number. BenchError with the program's message when refused.
    uint64_t StartRecording(const std::string& path, const std::vector<uint8_t>& inputs, bool replace);
    // Ends recording `id` if it still runs (the file written whole); its figures.
    RecordingFigures StopRecording(uint64_t id);
    RecordingFigures Recording(uint64_t id) const;

    // ---- Sending ----
    void Send(unsigned output, const std::vector<FrameItem>& items, bool cyclic);
    void ChangeWord(unsigned output, int slot, uint32_t word);
    void StopOutput(unsigned output);

    // ---- Masks and traces ----
    void Mask(int row, const std::string& pattern);
    void Unmask(int row);
    TraceData Trace(int row);
    // The row of (name, channel) or (label, channel); -1 when the table has none.
    int FindRow(const std::string& name, int label, int channel) const;

    // ---- Capture ----
    void StartCapture(unsigned channel, int stopLabel);
    // The block's 256 words as the tick of file reception reads them, taken now (zeros outside
    // file reception).
    std::array<uint32_t, 256> CaptureBlock();

    CounterData Counters() const;

private:
    void CheckOpen() const;
    void CheckAlive() const;
    void TickLocked();
    void SnapshotLocked();
    void TickLoop(std::stop_token stop);
    uint32_t NowMs() const;
    std::string InWorkdir(const std::string& name) const;
    void AdvanceBoardLocked(uint64_t us);
    bool AnyMaskLocked() const;
    void WaitIdleLocked();
    uint64_t AdvanceLocked(uint64_t us, std::chrono::nanoseconds wallBudget, const unsigned* key, uint64_t seen);
    int FindRowLocked(const std::string& name, int label, int channel) const;
    void FinishRecordingLocked();

    class FlagTimer : public RefreshTimer {
    public:
        uint32_t Start(int) override { return ++next_; }
        void Stop(uint32_t) override {}

    private:
        uint32_t next_ = 0;
    };

    BenchOptions options_;
    mutable std::mutex mu_;
    std::condition_variable tickCv_;
    std::unique_ptr<VirtualBoardProvider> provider_;
    std::unique_ptr<ProgramState> state_;
    FlagTimer timer_;
    std::atomic<uint64_t> manualUs_{0};
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point nextTick_;
    uint64_t nextTickUs_ = 0;  // manual clock: the next period boundary
    uint64_t ticks_ = 0;
    uint64_t version_ = 0;
    ShownTable shown_;
    std::shared_ptr<const std::vector<RowData>> rows_;
    bool closed_ = false;
    bool stopTick_ = false;
    std::mutex closeMu_;  // one Close() at a time
    WordWaits waits_;
    WordStream* stream_ = nullptr;  // the board's, while waits_ listens to it
    uint64_t recordingId_ = 0;      // the recording that runs (0: none)
    std::vector<RecordingFigures> finished_;  // by number - 1, once ended
    long pid_ = 0;
    std::jthread tickThread_;
};

// The Python-facing row of a row the table shows.
RowData RowDataOf(const ShownRow& row);

// ---- Free functions of the module ----
std::optional<double> DecodeValue(uint32_t word, const DecimalFormat& format);
std::string DecimalText(uint32_t word, const DecimalFormat& format);
// A word from a label written as in a scenario file (the TOML of one [[...label]] table, without
// its rate and value) with the constant value `value`; throws BenchValueError with the reader's
// reason, or when the value does not fit the encoding.
uint32_t EncodeLabel(const std::string& labelToml, double value);
// A format from the editor's fields (what the format dialog accepts), or BenchValueError.
DecimalFormat MakeFormat(const std::string& label, int msbBit, int lsbBit, double msbWeight, bool bit29Data,
                         const std::string& units);
// UTF-8 to Windows-1251, BenchValueError when a character has no form there or the text is longer
// than `width` bytes.
std::string ToCp1251(const std::string& utf8, std::size_t width, const char* what);
std::string FromCp1251(std::string_view cp1251);

}  // namespace orv::script
