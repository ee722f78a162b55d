#include "recordings/bus_recorder.h"

#include <chrono>

#include "c10/c10_reader.h"

namespace orv {
namespace {
// The recorder's own thread writes the packets due well inside the writer's limit of one write a
// second, and often enough that the queue never holds more than a fraction of a second.
constexpr auto kServicePeriod = std::chrono::microseconds(BusRecorder::kServicePeriodUs);
}  // namespace

c10::RecordingSetup SetupOf(const WordStream& stream, const RecorderOptions& options) {
    c10::RecordingSetup setup;
    c10::ArincChannelSetup channel;
    channel.id = options.channelId;
    channel.name = options.channelName;
    for (const RecordedInput& in : options.inputs) {
        const double line = stream.LineBitRate(in.input);
        channel.buses.push_back({uint8_t(in.input - 1), "Вход " + std::to_string(in.input),
                                 line > 0 ? line : in.nominalRate});
    }
    setup.channels.push_back(std::move(channel));
    return setup;
}

BusRecorder::BusRecorder(WordStream& stream, std::string path, uint16_t channelId, uint64_t startUs)
    : stream_(stream), path_(std::move(path)), channelId_(channelId), startUs_(startUs) {}

std::unique_ptr<BusRecorder> BusRecorder::Start(WordStream& stream, RecorderOptions options, std::string* error) {
    const uint64_t startUs = stream.NowUs();
    std::unique_ptr<BusRecorder> r(new BusRecorder(stream, options.path, options.channelId, startUs));
    for (const RecordedInput& in : options.inputs)
        if (in.input >= 1 && in.input <= 8) r->inputMask_ |= 1u << (in.input - 1);
    c10::WriterOptions w;
    w.setup = SetupOf(stream, options);
    w.startTime = options.startTime;
    w.replace = options.replace;
    // Recording time follows the board's bus time, so a manual clock records in an instant.
    WordStream* s = &stream;
    w.clock = [s, startUs] { return (s->NowUs() - startUs) * 10; };
    // The stream has handed over every word up to NowUs() when it returns, one input after another.
    w.drainUpToClock = true;
    r->writer_ = c10::Writer::Create(options.path, std::move(w), error);
    if (!r->writer_) return nullptr;
    stream.AddSink(r.get());
    r->streaming_ = true;
    if (options.ownThread) r->thread_ = std::thread([p = r.get()] { p->ServiceLoop(); });
    return r;
}

BusRecorder::~BusRecorder() { Stop(); }

void BusRecorder::OnWord(const LineWord& word) {
    if (word.input < 1 || word.input > 8 || !(inputMask_ & (1u << (word.input - 1))) || word.arrivalUs < startUs_)
        return;
    c10::WordIn in;
    in.arrival = (word.arrivalUs - startUs_) * 10;
    in.word = word.word;
    in.channel = channelId_;
    in.bus = uint8_t(word.input - 1);
    in.bitRate = word.bitRate;
    in.flags = uint8_t((word.parityError ? c10::kWordParityError : 0) | (word.formatError ? c10::kWordFormatError : 0));
    writer_->Offer(in);
}

bool BusRecorder::Service() {
    std::lock_guard lock(mutex_);
    if (stopped_) return stopResult_;
    return writer_->Service();
}

void BusRecorder::ServiceLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, kServicePeriod, [this] { return stopping_; });
        if (!stopping_ && !writer_->Service()) break;  // a failure: the file stays whole up to here
    }
}

bool BusRecorder::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopped_) return stopResult_;
        stopping_ = true;
        if (!writer_) {  // a start that failed: nothing was taken, nothing to close
            stopped_ = true;
            stopResult_ = false;
            return false;
        }
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    // No word reaches the writer after this: the stream calls the sink no more once it returns.
    if (streaming_) stream_.RemoveSink(this);
    std::lock_guard lock(mutex_);
    stopResult_ = writer_->Close();
    stopped_ = true;
    return stopResult_;
}

std::string BusRecorder::FailureMessage() const {
    std::lock_guard lock(mutex_);
    return writer_->FailureMessage();
}

}  // namespace orv
