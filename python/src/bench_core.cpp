#include "bench_core.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

#include "app/main_options.h"
#include "capture/reception.h"
#include "config/channel_settings.h"
#include "config/format_edit.h"
#include "config/format_file.h"
#include "config/param_edit.h"
#include "config/param_file.h"
#include "config/table_rules.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "files/file_read.h"
#include "monitor/mask.h"
#include "monitor/refresh_period.h"
#include "monitor/table_rows.h"
#include "resources/board_strings.h"
#include "resources/capture_strings.h"
#include "resources/file_strings.h"
#include "resources/monitor_strings.h"
#include "resources/shell_strings.h"
#include "session/acquisition.h"
#include "session/board_control.h"
#include "session/recording.h"
#include "text/code_page.h"
#include "text/printf_forms.h"
#include "text/scanf_forms.h"
#include "transmit/frame_line.h"
#include "transmit/output_channel.h"
#include "vboard/label_encoding.h"
#include "vboard/scenario_file.h"

namespace orv::script {
namespace {

// Manual clock: while a mask is set the bus is played in steps of this length, so that the
// trace times (the tick clock when the thread served each word) keep millisecond resolution.
constexpr uint64_t kMaskedStepUs = 1000;
// Manual clock: while a recording runs the bus is played in steps of at most this length, each
// followed by the recorder's service, so that its queue (65,536 words) never fills: eight inputs
// at 100 kbit/s carry about 2,200 words in 100 ms.
constexpr uint64_t kRecordingStepUs = 100'000;

std::string Trim(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

std::string ToCp1251(const std::string& utf8, std::size_t width, const char* what) {
    const std::optional<std::string> bytes = Cp1251FromUtf8(utf8);
    if (!bytes) throw BenchValueError(std::string(what) + " cannot be written in Windows-1251: " + utf8);
    if (bytes->size() > width)
        throw BenchValueError(std::string(what) + " is longer than " + std::to_string(width) + " characters: " + utf8);
    if (bytes->find('\0') != std::string::npos) throw BenchValueError(std::string(what) + " holds a NUL character");
    return *bytes;
}

std::string FromCp1251(std::string_view cp1251) { return Utf8FromCp1251(cp1251); }

// ---- WordWaits ----

void WordWaits::OnWord(const LineWord& word) {
    // Words the input dropped never reach a slot: they wake nobody.
    if (word.parityError || word.formatError || word.input < 1 || word.input > 8) return;
    const unsigned key = Key(word.input, word.word);
    if (armed_[key].load(std::memory_order_acquire) == 0) return;
    {
        std::lock_guard lock(mu_);
        counts_[key].fetch_add(1, std::memory_order_relaxed);
    }
    cv_.notify_all();
}

uint64_t WordWaits::Arm(unsigned key) {
    std::lock_guard lock(mu_);
    armed_[key].fetch_add(1, std::memory_order_acq_rel);
    return counts_[key].load(std::memory_order_relaxed);
}

void WordWaits::Disarm(unsigned key) {
    std::lock_guard lock(mu_);
    armed_[key].fetch_sub(1, std::memory_order_acq_rel);
}

uint64_t WordWaits::Count(unsigned key) const {
    std::lock_guard lock(mu_);
    return counts_[key].load(std::memory_order_relaxed);
}

uint64_t WordWaits::Wait(unsigned key, uint64_t seen, std::chrono::nanoseconds timeout) {
    std::unique_lock lock(mu_);
    cv_.wait_for(lock, timeout, [&] { return closed_ || counts_[key].load(std::memory_order_relaxed) != seen; });
    return counts_[key].load(std::memory_order_relaxed);
}

void WordWaits::Close() {
    {
        std::lock_guard lock(mu_);
        closed_ = true;
    }
    cv_.notify_all();
}

RowData RowDataOf(const ShownRow& r) {
    RowData d;
    d.name = FromCp1251(r.entry.paramLabel.Trimmed());
    d.channel = r.entry.channel;
    d.label = r.entry.address;
    d.word = r.word;
    d.hex = RenderHex(r.word);
    d.octal = RenderOctal(r.word);
    d.ssm = WordM(r.word);
    d.value = DecodeValue(r.word, r.entry.format);
    d.units = FromCp1251(Trim(r.entry.format.units.View()));
    d.formatName = FromCp1251(Trim(r.entry.format.label.View()));
    d.decimal = FromCp1251(DecimalText(r.word, r.entry.format));
    d.cycle = r.entry.receivedCycle;
    d.stale = r.stale;
    d.masked = r.entry.maskMode == kMaskOn;
    d.maskCount = r.maskCount;
    return d;
}

BenchCore::BenchCore(const BenchOptions& options) : options_(options) {
    pid_ = long(::getpid());
    if (options_.periodMs <= 0) throw BenchValueError("the refresh period must be at least 1 ms");
    provider_ = std::make_unique<VirtualBoardProvider>(options_.manualClock ? BoardClock::Manual
                                                                             : BoardClock::RealTime);
    state_ = std::make_unique<ProgramState>();
    ProgramState& state = *state_;
    state.Devices = provider_.get();
    state.Timer = &timer_;
    state.Shell.RefreshPeriodMs = options_.periodMs;
    started_ = std::chrono::steady_clock::now();
    if (options_.manualClock) state.Board.TickCount = [this] { return uint32_t(manualUs_.load() / 1000); };

    // The start options' order: the scenario first, then the board.
    if (options_.scenario)
        if (const auto message = ApplyScenarioOption(state, *options_.scenario)) throw BenchError(*message);
    if (!options_.settings) {
        if (const char* m = ApplyDeviceOption(state, options_.device, InWorkdir(kChannelSettingsFileName)))
            throw BenchError(std::string(m) + " (" + options_.device + ")");
    } else {
        if (std::find(kDeviceNames.begin(), kDeviceNames.end(), options_.device) == kDeviceNames.end() ||
            !OpenSelectedBoard(state, options_.device))
            throw BenchError(std::string(text::kDeviceOpenError) + " (" + options_.device + ")");
        for (int i = 0; i < kChannelSettingWords; ++i) state.Board.ChannelSettings[std::size_t(i)] = (*options_.settings)[std::size_t(i)];
        StartBoard(state);
        ClearBoardData(state);
    }
    SnapshotLocked();
    // Waits listen to the board's words from now until Close().
    if (state.Board.DeviceHandle && (stream_ = state.Board.DeviceHandle->Stream())) stream_->AddSink(&waits_);
    nextTickUs_ = uint64_t(options_.periodMs) * 1000;
    nextTick_ = started_ + std::chrono::milliseconds(options_.periodMs);
    if (!options_.manualClock) tickThread_ = std::jthread([this](std::stop_token stop) { TickLoop(stop); });
}

BenchCore::~BenchCore() { Close(); }

void BenchCore::Close() {
    std::lock_guard closing(closeMu_);
    // The tick thread first (it takes the lock), then the board under the lock.
    if (tickThread_.joinable()) {
        {
            std::lock_guard lock(mu_);
            stopTick_ = true;
        }
        tickCv_.notify_all();
        tickThread_.join();
    }
    std::lock_guard lock(mu_);
    if (closed_) return;
    closed_ = true;
    // Waits end, the recording is written whole, then the board goes.
    waits_.Close();
    if (stream_) stream_->RemoveSink(&waits_);
    stream_ = nullptr;
    FinishRecordingLocked();
    ReleaseBoard(*state_);
    state_.reset();     // no thread of the bench is left: the acquisition thread was joined
    provider_.reset();  // the boards' firmware threads are stopped and joined
    tickCv_.notify_all();
}

bool BenchCore::Closed() const {
    std::lock_guard lock(mu_);
    return closed_;
}

void BenchCore::CheckOpen() const {
    if (closed_) throw BenchValueError("I/O operation on a closed bench");
    CheckAlive();
}

void BenchCore::CheckAlive() const {
    if (long(::getpid()) != pid_)
        throw BenchError("a bench cannot be used across fork(): open a new one in the child process");
}

std::string BenchCore::InWorkdir(const std::string& name) const {
    if (options_.workdir.empty() || options_.workdir == ".") return name;
    return options_.workdir + "/" + name;
}
std::string BenchCore::FormatsPath() const { return InWorkdir(kFormatFileName); }
std::string BenchCore::ParamsPath() const { return InWorkdir(kParamFileName); }

uint32_t BenchCore::NowMs() const { return state_->Board.TickCount(); }

double BenchCore::Now() const {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (options_.manualClock) return double(manualUs_.load()) / 1e6;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

int BenchCore::PeriodMs() const {
    std::lock_guard lock(mu_);
    CheckOpen();
    return state_->Shell.RefreshPeriodMs;
}

void BenchCore::SetPeriodMs(int ms) {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (!ApplyRefreshPeriod(state_->Shell, state_->Timer, std::to_string(ms)))
        throw BenchValueError(std::string(kBadPeriodOption) + std::to_string(ms));
    // The next tick is one new period from now, as a restarted timer fires.
    nextTickUs_ = manualUs_.load() + uint64_t(ms) * 1000;
    nextTick_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    tickCv_.notify_all();
}

// ---- Ticks ----

void BenchCore::SnapshotLocked() {
    ProgramState& s = *state_;
    TakeShownTable(s.Display, s.Acquisition, s.Board.BoardImage, NowMs(), shown_);
    auto rows = std::make_shared<std::vector<RowData>>();
    rows->reserve(shown_.size());
    for (const ShownRow& r : shown_) rows->push_back(RowDataOf(r));
    rows_ = std::move(rows);
    ++version_;
}

void BenchCore::TickLocked() {
    if (state_->Shell.RefreshTimerId == 0) return;  // no timer runs: the program would not tick
    RefreshTick(*state_);
    SnapshotLocked();
    ++ticks_;
    tickCv_.notify_all();
}

void BenchCore::TickLoop(std::stop_token stop) {
    std::unique_lock lock(mu_);
    while (!stop.stop_requested() && !stopTick_ && !closed_) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextTick_) {
            TickLocked();
            const auto period = std::chrono::milliseconds(state_->Shell.RefreshPeriodMs);
            nextTick_ += period;
            if (nextTick_ <= now) nextTick_ = now + period;  // a late tick does not run twice
            continue;
        }
        tickCv_.wait_until(lock, nextTick_, [&] { return stopTick_; });
    }
}

uint64_t BenchCore::Ticks() const {
    std::lock_guard lock(mu_);
    return ticks_;
}

bool BenchCore::WaitTick(uint64_t afterTick, std::chrono::nanoseconds timeout) {
    std::unique_lock lock(mu_);
    CheckOpen();
    return tickCv_.wait_for(lock, timeout, [&] { return closed_ || ticks_ > afterTick; }) && !closed_;
}

std::shared_ptr<const std::vector<RowData>> BenchCore::Rows(uint64_t* version) const {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (version) *version = version_;
    return rows_;
}

bool BenchCore::AnyMaskLocked() const {
    for (int i = 0; i < kInputChannels; ++i)
        if (state_->Acquisition.MaskActive[std::size_t(i)].load() != 0) return true;
    return false;
}

void BenchCore::WaitIdleLocked() {
    // The board raises no signal while the clock stands, so this ends as soon as the thread has
    // served what the step brought; the limit only guards against a thread that hangs.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!AcquisitionIdle(state_->Board)) {
        if (std::chrono::steady_clock::now() > limit) throw BenchError("the acquisition thread does not answer");
        std::this_thread::yield();
    }
}

void BenchCore::AdvanceBoardLocked(uint64_t us) {
    BusRecorder* recorder = state_->Board.Recorder.get();
    while (us > 0) {
        uint64_t step = AnyMaskLocked() ? std::min(us, kMaskedStepUs) : us;
        if (recorder) step = std::min(step, kRecordingStepUs);
        provider_->Advance(step);
        manualUs_ += step;
        us -= step;
        WaitIdleLocked();
        // The manual clock has no recorder thread: its queue is written here, step by step.
        if (recorder) recorder->Service();
    }
}

uint64_t BenchCore::Advance(uint64_t us, std::chrono::nanoseconds wallBudget) {
    std::lock_guard lock(mu_);
    return AdvanceLocked(us, wallBudget, nullptr, 0);
}

uint64_t BenchCore::AdvanceUntilWord(uint64_t us, std::chrono::nanoseconds wallBudget, unsigned key, uint64_t seen) {
    std::lock_guard lock(mu_);
    return AdvanceLocked(us, wallBudget, &key, seen);
}

uint64_t BenchCore::AdvanceLocked(uint64_t us, std::chrono::nanoseconds wallBudget, const unsigned* key,
                                  uint64_t seen) {
    CheckOpen();
    if (!options_.manualClock) throw BenchValueError("advance() needs the manual clock");
    const auto deadline = std::chrono::steady_clock::now() + wallBudget;
    const uint64_t target = manualUs_.load() + us;
    while (manualUs_.load() < target) {
        const uint64_t now = manualUs_.load();
        uint64_t stepEnd = std::min(target, nextTickUs_);
        // Listening for a word: 1 ms steps, so the wait returns within a millisecond of its arrival.
        if (key) stepEnd = std::min(stepEnd, now + kMaskedStepUs);
        AdvanceBoardLocked(stepEnd - now);
        if (manualUs_.load() == nextTickUs_) {
            TickLocked();
            nextTickUs_ += uint64_t(state_->Shell.RefreshPeriodMs) * 1000;
        }
        if (key && waits_.Count(*key) != seen) break;
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
    return target - manualUs_.load();
}

// ---- Formats and dictionary ----

DecimalFormat MakeFormat(const std::string& label, int msbBit, int lsbBit, double msbWeight, bool bit29Data,
                         const std::string& units) {
    FormatFields f;
    f.label = ToCp1251(label, 8, "a format label");
    if (f.label->empty()) throw BenchValueError("a format needs a label");
    f.units = ToCp1251(units, 4, "units");
    f.msb = std::to_string(msbBit);
    f.lsb = std::to_string(lsbBit);
    if (!std::isfinite(msbWeight)) throw BenchValueError("the weight must be a finite number");
    // The weight as the format line writes it ("%f"), which is what the file keeps.
    f.weight = FormatFixed6(msbWeight);
    f.role = bit29Data ? 1 : 0;
    const FormatCheck check = CheckFormatFields(f);
    if (!check.ok()) throw BenchValueError(check.error);
    return check.format;
}

void BenchCore::AddFormat(const std::string& label, int msbBit, int lsbBit, double msbWeight, bool bit29Data,
                          const std::string& units) {
    const DecimalFormat format = MakeFormat(label, msbBit, lsbBit, msbWeight, bit29Data, units);
    std::lock_guard lock(mu_);
    CheckOpen();
    LineList list = FormatLines(LoadFormats(FormatsPath()));
    if (const char* refusal = AddFormatLine(list, format)) throw BenchError(refusal);
    if (StoreFormats(FormatsOfLines(list), FormatsPath()) != SaveError::None)
        throw BenchError(text::kFileCreateFailed + FormatsPath());
}

void BenchCore::AddParam(const std::string& label, unsigned address, const std::string& formatLabel) {
    ParamFields f;
    f.label = ToCp1251(label, 8, "a parameter label");
    char octal[8];
    std::snprintf(octal, sizeof octal, "%o", address);
    f.address = address > 0777 ? std::string("1000") : std::string(octal);
    f.formatLabel = ToCp1251(formatLabel, 8, "a format label");
    const ParamCheck check = CheckParamFields(f);
    if (!check.ok()) throw BenchValueError(check.error);
    std::lock_guard lock(mu_);
    CheckOpen();
    if (!formatLabel.empty() && !FindFormat(*f.formatLabel, FormatsPath()))
        throw BenchValueError("no format " + formatLabel + " in " + FormatsPath());
    LineList list = ParamLines(LoadParams(ParamsPath()));
    if (const char* refusal = AddParamLine(list, check.record)) throw BenchError(refusal);
    if (StoreParams(ParamsOfLines(list), ParamsPath()) != SaveError::None)
        throw BenchError(text::kFileCreateFailed + ParamsPath());
}

std::vector<DecimalFormat> BenchCore::Formats() const {
    std::lock_guard lock(mu_);
    CheckOpen();
    return LoadFormats(FormatsPath());
}

std::vector<ParamRecord> BenchCore::Params() const {
    std::lock_guard lock(mu_);
    CheckOpen();
    return LoadParams(ParamsPath());
}

// ---- Watching ----

std::vector<std::string> BenchCore::LoadList(const std::string& path) {
    std::lock_guard lock(mu_);
    CheckOpen();
    const FileBytes file = ReadFileBytes(path);
    if (!file.ok()) throw BenchError(text::kOpenFailed + path);
    RestoredList restored = RestoreDisplayList(file.bytes, true, path);
    std::vector<std::string> messages = std::move(restored.messages);
    if (const char* refusal = LoadDisplayList(restored.lines, state_->Display, state_->Acquisition, state_->Board,
                                              FormatsPath()))
        throw BenchError(refusal);
    SnapshotLocked();
    return messages;
}

void BenchCore::Watch(const std::vector<WatchItem>& items) {
    // Texts first, without the lock: a bad one changes nothing.
    std::vector<DisplayLineRecord> records;
    for (const WatchItem& item : items) {
        DisplayLineRecord r;
        const std::string name = ToCp1251(item.name, 8, "a parameter label");
        if (name.empty()) throw BenchValueError("a parameter needs a label");
        r.paramLabel = Label8(name);
        if (item.channel < 1 || item.channel > kInputChannels)
            throw BenchValueError("input channel " + std::to_string(item.channel) + " is not 1..8");
        r.channel = uint16_t(item.channel);
        if (item.label > 0377) throw BenchValueError("label " + std::to_string(item.label) + " is above 0o377");
        if (item.label >= 0) r.address = uint16_t(item.label);
        if (item.format) r.formatLabel = Label8(ToCp1251(*item.format, 8, "a format label"));
        records.push_back(r);
    }
    std::lock_guard lock(mu_);
    CheckOpen();
    if (state_->Shell.DeviceState == kNoDevice) throw BenchError(text::kNoBoard);
    std::vector<ParamRecord> params;
    bool paramsRead = false;
    LineList list;
    for (std::size_t i = 0; i < items.size(); ++i) {
        DisplayLineRecord& r = records[i];
        if (items[i].label < 0 || !items[i].format) {
            if (!paramsRead) params = LoadParams(ParamsPath());
            paramsRead = true;
            const auto p = std::find_if(params.begin(), params.end(),
                                        [&](const ParamRecord& q) { return q.paramLabel == r.paramLabel; });
            if (p == params.end()) {
                if (items[i].label < 0)
                    throw BenchValueError("no parameter " + items[i].name + " in " + ParamsPath() +
                                          ": give its label");
            } else {
                if (items[i].label < 0) r.address = p->address;
                if (!items[i].format) r.formatLabel = p->formatLabel;
            }
        }
        if (const char* refusal = AddDisplayLine(list, r))
            throw BenchError(std::string(refusal) + " (" + items[i].name + ")");
    }
    if (const char* refusal = LoadDisplayList(list.Lines(), state_->Display, state_->Acquisition, state_->Board,
                                              FormatsPath()))
        throw BenchError(refusal);
    SnapshotLocked();
}

int BenchCore::FindRow(const std::string& name, int label, int channel) const {
    std::lock_guard lock(mu_);
    CheckOpen();
    return FindRowLocked(name, label, channel);
}

int BenchCore::FindRowLocked(const std::string& name, int label, int channel) const {
    const DisplayTable& table = state_->Display.DisplayTable;
    std::optional<Label8> wanted;
    if (label < 0) wanted = Label8(ToCp1251(name, 8, "a parameter label"));
    for (int r = 0; r < UsedEntries(table); ++r) {
        const DisplayEntry& e = table[std::size_t(r)];
        if (e.channel != channel) continue;
        if (wanted ? e.paramLabel == *wanted : e.address == unsigned(label)) return r;
    }
    return -1;
}

// ---- Waiting on words ----

bool BenchCore::HasWordStream() const {
    std::lock_guard lock(mu_);
    CheckOpen();
    return stream_ != nullptr;
}

uint64_t BenchCore::ArmWait(unsigned key) {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (stream_) stream_->Listen(key / 256 + 1, key % 256);
    return waits_.Arm(key);
}

void BenchCore::DisarmWait(unsigned key) {
    std::lock_guard lock(mu_);
    waits_.Disarm(key);
    if (!closed_ && stream_ && long(::getpid()) == pid_) stream_->Unlisten(key / 256 + 1, key % 256);
}

std::optional<RowData> BenchCore::FreshRow(const std::string& name, int label, int channel) {
    std::lock_guard lock(mu_);
    CheckOpen();
    const int row = FindRowLocked(name, label, channel);
    if (row < 0) throw BenchValueError("no row " + (label < 0 ? name : "label " + std::to_string(label)) +
                                       " on input " + std::to_string(channel) + " in the displayed list");
    ProgramState& s = *state_;
    const DisplayEntry& entry = s.Display.DisplayTable[std::size_t(row)];
    const int32_t cycle = s.Acquisition.CycleCounter;
    // The tick's own conditions for reading a row's slot.
    const bool readable = s.Shell.RefreshTimerId != 0 && s.Acquisition.AcquisitionMode == kParameterReception &&
                          entry.maskMode == 0 && entry.channel >= 1 && entry.channel <= kInputChannels &&
                          entry.address <= 0xFF;
    if (readable) {
        const uint32_t word = s.Board.Link.ReadSlot(entry.channel, LabelSlotAddress(entry.channel, entry.address));
        if ((word >> 16) != 0) {
            // What the next tick makes of it: received in its cycle, at its time, so not grey.
            ShownRow fresh;
            fresh.entry = entry;
            fresh.entry.receivedCycle = cycle + 1;
            fresh.entry.receivedWord = word;
            fresh.entry.receivedMs = NowMs();
            fresh.word = word;
            return RowDataOf(fresh);
        }
    }
    // The tick took the word before this read: its row shows it.
    if (entry.receivedCycle != 0 && entry.receivedCycle == cycle && std::size_t(row) < rows_->size())
        return (*rows_)[std::size_t(row)];
    return std::nullopt;
}

// ---- Recording ----

uint64_t BenchCore::StartRecording(const std::string& path, const std::vector<uint8_t>& inputs, bool replace) {
    std::lock_guard lock(mu_);
    CheckOpen();
    FinishRecordingLocked();  // a new recording ends the one that runs, as in the program
    RecordingRequest request;
    request.path = path;
    request.inputs = inputs;
    request.replace = replace;
    request.ownThread = !options_.manualClock;  // on the manual clock Advance() services it
    const std::string error = orv::StartRecording(*state_, request);
    if (!error.empty()) throw BenchError(error);
    RecordingFigures figures;
    figures.path = path;
    figures.running = true;
    finished_.push_back(figures);
    recordingId_ = finished_.size();
    return recordingId_;
}

void BenchCore::FinishRecordingLocked() {
    if (recordingId_ == 0) return;
    RecordingFigures& f = finished_[recordingId_ - 1];
    recordingId_ = 0;
    RecordingTotals totals;
    f.failure = orv::StopRecording(*state_, &totals);
    f.words = totals.words;
    f.bytes = totals.bytes;
    f.lost = totals.lost;
    f.running = false;
    f.status.clear();
}

RecordingFigures BenchCore::StopRecording(uint64_t id) {
    std::lock_guard lock(mu_);
    CheckAlive();
    if (id == 0 || id > finished_.size()) throw BenchValueError("no such recording");
    if (id == recordingId_) FinishRecordingLocked();
    return finished_[id - 1];
}

RecordingFigures BenchCore::Recording(uint64_t id) const {
    std::lock_guard lock(mu_);
    CheckAlive();
    if (id == 0 || id > finished_.size()) throw BenchValueError("no such recording");
    RecordingFigures f = finished_[id - 1];
    if (id == recordingId_ && state_->Board.Recorder) {
        const BusRecorder& r = *state_->Board.Recorder;
        f.words = r.WordsWritten();
        f.bytes = r.BytesWritten();
        f.lost = r.LostWords();
        f.status = RecordingStatus(*state_);
    }
    return f;
}

// ---- Sending ----

void BenchCore::Send(unsigned output, const std::vector<FrameItem>& items, bool cyclic) {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (state_->Shell.DeviceState == kNoDevice) throw BenchError(text::kNoBoard);
    if (output < 1 || output > state_->Board.OutputChannelCount)
        throw BenchValueError("output channel " + std::to_string(output) + " is not 1.." +
                              std::to_string(state_->Board.OutputChannelCount));
    // The lines the frame dialog would hold: each word as the word editor composes it (label from
    // its low byte, no format), each pause slot as a pause line.
    std::vector<std::string> lines;
    for (const FrameItem& item : items) {
        if (const uint32_t* w = std::get_if<uint32_t>(&item)) {
            FrameEntry e;
            e.number = uint16_t(lines.size());
            e.address = uint16_t(WordLabel(*w));
            e.paramLabel = Label8("W");
            e.word = *w;
            lines.push_back(RenderFrameLine(e));
        } else {
            for (unsigned k = 0; k < std::get<PauseItem>(item).slots; ++k) lines.push_back(RenderPauseLine(unsigned(lines.size())));
        }
        if (lines.size() > std::size_t(kFrameSlots))
            throw BenchValueError("a frame holds at most " + std::to_string(kFrameSlots) + " slots");
    }
    if (lines.empty()) throw BenchValueError("a frame needs at least one item");
    if (const char* m = StartOutputFrame(state_->Board.Link, state_->Transmit.StoredFrames[output - 1],
                                         state_->Transmit.CurrentEntry, lines, output,
                                         cyclic ? kModeCyclic : kModeOneShot))
        throw BenchError(m);
}

void BenchCore::ChangeWord(unsigned output, int slot, uint32_t word) {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (output < 1 || output > state_->Board.OutputChannelCount)
        throw BenchValueError("output channel " + std::to_string(output) + " is not 1.." +
                              std::to_string(state_->Board.OutputChannelCount));
    if (const char* m = ChangeRunningCode(state_->Board.Link, state_->Transmit.StoredFrames[output - 1], output, slot,
                                          word & 0x7FFFFFFFu))
        throw BenchValueError(m);
}

void BenchCore::StopOutput(unsigned output) {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (output < 1 || output > state_->Board.OutputChannelCount)
        throw BenchValueError("output channel " + std::to_string(output) + " is not 1.." +
                              std::to_string(state_->Board.OutputChannelCount));
    StopOutputFrame(state_->Board.Link, output);
}

// ---- Masks and traces ----

void BenchCore::Mask(int row, const std::string& pattern) {
    if (pattern.size() > std::size_t(kMaskBits) ||
        pattern.find_first_not_of("01xX") != std::string::npos)
        throw BenchValueError("a mask is up to 23 characters 0, 1 or x for bits 31..9: " + pattern);
    std::lock_guard lock(mu_);
    CheckOpen();
    DisplayState& display = state_->Display;
    AcquisitionState& acq = state_->Acquisition;
    switch (CheckSetMask(display, acq, row)) {
        case MaskCheck::AlreadySet: throw BenchError(text::kMaskAlreadySet);
        case MaskCheck::NoSlot: throw BenchValueError("the row has no label slot");
        case MaskCheck::Allowed: break;
    }
    const int channel = display.DisplayTable[std::size_t(row)].channel;
    StoreMaskPattern(acq, channel - 1, EncodeMask(pattern));
    if (!SetMask(display, acq, state_->Board.Link, row)) throw BenchError("the mask could not be set");
    SnapshotLocked();
}

void BenchCore::Unmask(int row) {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (!ResetMask(state_->Display, state_->Acquisition, state_->Board.Link, row))
        throw BenchValueError("the row carries no mask");
    SnapshotLocked();
}

TraceData BenchCore::Trace(int row) {
    std::lock_guard lock(mu_);
    CheckOpen();
    const DisplayEntry& e = state_->Display.DisplayTable[std::size_t(row)];
    if (e.maskMode != kMaskOn) throw BenchValueError("the row carries no mask: set one to trace it");
    TraceData t;
    const TraceSnapshot snapshot = TakeTraceSnapshot(state_->Acquisition, e.channel - 1);
    t.points = snapshot.points;
    for (std::size_t i = 0; i < snapshot.points.size(); ++i) t.fits.push_back(snapshot.Fits(i));
    t.stats = ComputeTraceStats(snapshot);
    t.format = e.format;
    return t;
}

// ---- Capture ----

void BenchCore::StartCapture(unsigned channel, int stopLabel) {
    std::lock_guard lock(mu_);
    CheckOpen();
    if (state_->Shell.DeviceState == kNoDevice) throw BenchError(text::kNoBoard);
    if (channel < 1 || channel > state_->Board.InputChannelCount)
        throw BenchValueError("input channel " + std::to_string(channel) + " is not 1.." +
                              std::to_string(state_->Board.InputChannelCount));
    if (stopLabel > 0377) throw BenchValueError("stop label above 0o377");
    state_->Capture.StopLabel = int16_t(stopLabel);
    StartFileReception(state_->Board.Link, state_->Capture, state_->Acquisition, channel);
}

std::array<uint32_t, 256> BenchCore::CaptureBlock() {
    std::lock_guard lock(mu_);
    CheckOpen();
    std::array<uint32_t, 256> block{};
    if (state_->Acquisition.AcquisitionMode != kFileReception) return block;
    // What the tick of file reception reads, taken now.
    RefreshTick(*state_);
    for (int i = 0; i < 256; ++i)
        block[std::size_t(i)] = StreamWord(state_->Board.BoardImage, state_->Capture.StreamAddress, i);
    return block;
}

CounterData BenchCore::Counters() const {
    std::lock_guard lock(mu_);
    CheckOpen();
    const unsigned number = VirtualBoardProvider::BoardNumber(options_.device);
    return {provider_->Counters(number), provider_->Board(number).Layout()};
}

// ---- Free functions ----

std::optional<double> DecodeValue(uint32_t word, const DecimalFormat& format) {
    if (format.IsNone()) return std::nullopt;
    return double(DecimalValue(word, format));
}

std::string DecimalText(uint32_t word, const DecimalFormat& format) {
    return RenderDecimal(word, format).substr(0, kDecimalWidth);
}

uint32_t EncodeLabel(const std::string& labelToml, double value) {
    // One label of one input, read by the scenario reader: the same keys, limits and reasons.
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", value);
    std::string text = "[board1.input5]\nhears = \"traffic\"\n[[board1.input5.label]]\n" + labelToml;
    text += "\nrate_hz = 1\n";
    ScenarioError error;
    std::optional<Scenario> scenario = ParseScenario(text, error);
    if (!scenario) throw BenchValueError(error.reason);
    const auto& labels = scenario->boards[0].inputs[4].traffic.labels;
    if (labels.size() != 1) throw BenchValueError("one label expected");
    LabelCoding coding = labels[0].coding;
    if (coding.encoding != TrafficEncoding::Discrete) {
        coding.value = ValueProfile{};
        coding.value.value = value;
        if (!LabelValueFits(value, coding))
            throw BenchValueError(std::string("value ") + number + " is out of the label's range");
    }
    return EncodeLabelWord(labels[0].label, labels[0].sdi, coding, 0.0);
}

}  // namespace orv::script
