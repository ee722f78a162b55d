#include "c10/c10_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "c10/c10_reader.h"
#include "c10/c10_strings.h"

namespace orv::c10 {

namespace {

// bit/s: the slowest a transmitter sends at (the virtual board's rate faults go down to 10 kbit/s).
constexpr double kSlowestTransmitterRate = 10000.0;

// Words that arrive later than this behind the clock are not waited for: a packet is closed once
// the clock is this far past its span (the producer hands words over as they arrive).
constexpr int64_t kArrivalSlack = int64_t(kTicksPerSecond) / 5;
// Packets are gathered up to this many bytes before a write even within the second.
constexpr std::size_t kWriteThreshold = 1u << 20;

std::string ErrorText(int error) {
    if (error == ENOSPC) return text::kNoSpace;
    if (error == EFBIG) return text::kTooLarge;
    return "errno " + std::to_string(error);
}

}  // namespace

uint64_t WordTicks(double bitRate) {
    return std::max<uint64_t>(uint64_t(std::llround(32.0 * double(kTicksPerSecond) / bitRate)), 1);
}

std::unique_ptr<Writer> Writer::Create(const std::string& path, WriterOptions options, std::string* error) {
    auto refuse = [&](std::string message) -> std::unique_ptr<Writer> {
        if (error) *error = std::move(message);
        return nullptr;
    };
    if (std::string problem = SetupProblem(options.setup); !problem.empty())
        return refuse(text::kRecordingCreateFailed + path + ": " + problem);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return refuse(text::kRecordingNotRegular + path);
        if (!options.replace) return refuse(text::kRecordingExists + path);
    }
    // Written in place: a recording grows, and what is on disk must stay readable if it is killed.
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (options.replace ? O_TRUNC : O_EXCL);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        if (errno == EEXIST) return refuse(text::kRecordingExists + path);
        return refuse(text::kRecordingCreateFailed + path);
    }
    std::unique_ptr<Writer> w(new Writer(fd, path, std::move(options)));
    const std::string tmats = TmatsText(w->options_.setup);
    std::vector<uint8_t> data(4 + tmats.size());
    // Channel-specific word: bits 7-0 the edition (RCC 106-19), bit 8 no configuration change,
    // bit 9 clear: the setup record is ASCII.
    Put32(data.data(), kTmatsEdition106_19);
    std::copy(tmats.begin(), tmats.end(), data.begin() + 4);
    if (kHeaderSize + data.size() > kMaxPacketLength) {
        ::close(w->fd_);
        w->fd_ = -1;
        return refuse(text::kRecordingCreateFailed + path);
    }
    const uint64_t now = w->CounterAt(w->options_.clock());
    w->AppendPacket(kTmatsChannel, w->tmatsSequence_, kTypeTmats, 0, now, data.data(), data.size());
    w->AppendTimePacket();
    w->lastWriteCounter_ = now;
    if (!w->WriteOut()) {
        std::string message = w->failure_;
        return refuse(std::move(message));
    }
    return w;
}

Writer::Writer(int fd, std::string path, WriterOptions options)
    : fd_(fd), path_(std::move(path)), options_(std::move(options)) {
    if (!options_.clock) options_.clock = [] { return uint64_t{0}; };
    // Counter 0 is the whole 10 ms step the recording starts in, so that time packets name 10 ms
    // instants on whole counter values.
    const int64_t step = int64_t(kTicksPer10Ms);
    const int64_t rem = ((options_.startTime % step) + step) % step;
    counterOrigin_ = uint64_t(rem);
    timeBase_ = options_.startTime - rem;
    for (const ArincChannelSetup& s : options_.setup.channels) {
        Channel c;
        c.id = s.id;
        c.duration.assign(256, 0);
        c.highSpeed.assign(256, 0);
        for (const BusSetup& b : s.buses) {
            const uint64_t d = WordTicks(b.bitRate);
            c.duration[b.number] = d;
            c.highSpeed[b.number] = IsHighSpeed(b.bitRate) ? 1 : 0;
            c.maxDuration = std::max(c.maxDuration, c.duration[b.number]);
        }
        // A word sent at another rate than its bus's may take as long as 32 bits at the slowest
        // rate a transmitter uses.
        c.maxDuration = std::max(c.maxDuration, WordTicks(kSlowestTransmitterRate));
        c.body.reserve(8 * 4096);
        channels_.push_back(std::move(c));
    }
    std::size_t capacity = 1;
    while (capacity < std::max<std::size_t>(options_.queueWords, 1)) capacity <<= 1;
    ring_.resize(capacity);
    ringMask_ = capacity - 1;
    lostOnChannel_.reset(new std::atomic<bool>[channels_.size() + 1]);
    for (std::size_t i = 0; i <= channels_.size(); ++i) lostOnChannel_[i].store(false);
    out_.reserve(kWriteThreshold + kMaxPacketLength);
}

Writer::~Writer() { Close(); }

int Writer::ChannelIndex(uint16_t id) const {
    for (std::size_t i = 0; i < channels_.size(); ++i)
        if (channels_[i].id == id) return int(i);
    return -1;
}

bool Writer::Offer(const WordIn& word) {
    if (failed_.load(std::memory_order_relaxed)) return false;
    const int index = ChannelIndex(word.channel);
    if (index < 0 || channels_[std::size_t(index)].duration[word.bus] == 0) return false;
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) > ringMask_) {
        lostWords_.fetch_add(1, std::memory_order_relaxed);
        lostOnChannel_[std::size_t(index)].store(true, std::memory_order_relaxed);
        return false;
    }
    ring_[tail & ringMask_] = word;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
}

void Writer::AppendPacket(uint16_t channel, uint8_t& sequence, uint8_t type, uint8_t flags,
                          uint64_t counter, const uint8_t* data, std::size_t dataLength) {
    PacketHeader h;
    h.channel = channel;
    h.dataLength = uint32_t(dataLength);
    h.packetLength = uint32_t((kHeaderSize + dataLength + 3) & ~std::size_t(3));
    h.sequence = sequence++;
    h.flags = flags;
    h.dataType = type;
    h.counter = counter & kCounterMask;
    const std::size_t at = out_.size();
    out_.resize(at + h.packetLength, 0);  // filler bytes are zero
    EncodeHeader(h, out_.data() + at);
    std::copy(data, data + dataLength, out_.begin() + std::ptrdiff_t(at + kHeaderSize));
    outEnds_.push_back(out_.size());
}

void Writer::AppendTimePacket() {
    uint8_t data[12];
    const int64_t absolute = timeBase_ + int64_t(nextTimeCounter_);
    uint32_t csdw = kTimeSourceInternal | (kTimeFormatRealTimeClock << 4) | kTimeDateFormatDmy;
    if (IsLeapYear(CivilYear(absolute))) csdw |= kTimeLeapYear;
    Put32(data, csdw);
    EncodeDmyTime(absolute, data + 4);
    AppendPacket(kTimeChannel, timeSequence_, kTypeTimeF1, 0, nextTimeCounter_, data, sizeof data);
    nextTimeCounter_ += kTicksPerSecond;
}

void Writer::Drain(uint64_t limit) {
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    std::size_t head = head_.load(std::memory_order_relaxed);
    for (Channel& c : channels_) c.held = c.pending.size();
    for (; head != tail; ++head) {
        const WordIn& w = ring_[head & ringMask_];
        const uint64_t arrival = CounterAt(w.arrival);
        if (arrival > limit) break;
        Channel& c = channels_[std::size_t(ChannelIndex(w.channel))];
        const bool own = w.bitRate > 0.0;
        const uint64_t duration = own ? WordTicks(w.bitRate) : c.duration[w.bus];
        const bool highSpeed = own ? IsHighSpeed(w.bitRate) : c.highSpeed[w.bus] != 0;
        c.pending.push_back({arrival > duration ? arrival - duration : 0, w.word, w.bus,
                             uint8_t((w.flags & (kWordParityError | kWordFormatError)) | (highSpeed ? kWordHighSpeed : 0))});
        c.latestArrival = std::max(c.latestArrival, int64_t(arrival));
    }
    head_.store(head, std::memory_order_release);
    // Words come in order of arrival on each bus, not across buses: a slower bus's word may have
    // started earlier than the words before it, and a producer may hand over one bus's words after
    // another's. The new words are put in order of start time and merged with those held; words
    // that start together stay in the order they came.
    const auto byStart = [](const Pending& a, const Pending& b) { return a.start < b.start; };
    for (Channel& c : channels_) {
        std::vector<Pending>& pending = c.pending;
        const auto mid = pending.begin() + std::ptrdiff_t(c.held);
        if (!std::is_sorted(mid, pending.end(), byStart)) std::stable_sort(mid, pending.end(), byStart);
        if (mid != pending.begin() && mid != pending.end() && byStart(*mid, *(mid - 1)))
            std::inplace_merge(pending.begin(), mid, pending.end(), byStart);
    }
}

void Writer::Place(Channel& c, const Pending& p) {
    // A word later than one already placed (the producer broke arrival order) keeps its place in
    // the stream with a gap of 0 rather than being lost.
    const uint64_t start = c.placedAny ? std::max(p.start, c.lastStart) : p.start;
    if (c.count > 0 && (start - c.firstStart > kMaxPacketSpan || start - c.lastStart > kGapMask ||
                        c.count == kMaxWordsPerPacket))
        ClosePacket(std::size_t(&c - channels_.data()));
    if (c.count == 0) c.firstStart = start;
    const uint32_t gap = c.count == 0 ? 0 : uint32_t(start - c.lastStart);
    const uint32_t iph = gap | ((p.flags & kWordHighSpeed) ? kIphBusSpeed : 0) |
                         ((p.flags & kWordParityError) ? kIphParityError : 0) |
                         ((p.flags & kWordFormatError) ? kIphFormatError : 0) | (uint32_t(p.bus) << 24);
    const std::size_t at = c.body.size();
    c.body.resize(at + 8);
    Put32(c.body.data() + at, iph);
    Put32(c.body.data() + at + 4, p.word);
    ++c.count;
    c.lastStart = start;
    c.placedAny = true;
}

void Writer::Settle(Channel& c, int64_t watermark) {
    std::size_t n = 0;
    while (n < c.pending.size() && int64_t(c.pending[n].start) <= watermark) Place(c, c.pending[n++]);
    c.pending.erase(c.pending.begin(), c.pending.begin() + std::ptrdiff_t(n));
    // No word still to come can start at or before the watermark, so a packet whose span is
    // already past it is complete.
    if (c.count > 0 && watermark > int64_t(c.firstStart + kMaxPacketSpan))
        ClosePacket(std::size_t(&c - channels_.data()));
}

void Writer::ClosePacket(std::size_t index) {
    Channel& c = channels_[index];
    if (c.count == 0) return;
    std::vector<uint8_t> data(4 + c.body.size());
    Put32(data.data(), c.count);  // channel-specific word: message count
    std::copy(c.body.begin(), c.body.end(), data.begin() + 4);
    const bool lost = lostOnChannel_[index].exchange(false, std::memory_order_relaxed);
    AppendPacket(c.id, c.sequence, kTypeArinc429F0, lost ? kFlagOverflow : 0, c.firstStart, data.data(),
                 data.size());
    outWords_ += c.count;
    c.body.clear();
    c.count = 0;
}

bool Writer::Service() {
    if (closed_ || Failed()) return false;
    const uint64_t now = CounterAt(options_.clock());
    Drain(options_.drainUpToClock ? now : UINT64_MAX);
    while (nextTimeCounter_ <= now) AppendTimePacket();
    for (Channel& c : channels_) {
        const int64_t byArrival = c.latestArrival - int64_t(c.maxDuration);
        const int64_t byClock = int64_t(now) - int64_t(c.maxDuration) - kArrivalSlack;
        Settle(c, std::max(byArrival, byClock));
    }
    if (now - lastWriteCounter_ >= kTicksPerSecond || out_.size() >= kWriteThreshold) {
        lastWriteCounter_ = now;
        if (!WriteOut()) return false;
    }
    return true;
}

bool Writer::Close() {
    if (closed_) return !Failed();
    if (!Failed()) {
        const uint64_t now = CounterAt(options_.clock());
        Drain(UINT64_MAX);
        while (nextTimeCounter_ <= now) AppendTimePacket();
        for (Channel& c : channels_) {
            Settle(c, INT64_MAX - int64_t(kMaxPacketSpan));
            ClosePacket(std::size_t(&c - channels_.data()));
        }
        WriteOut();
    }
    closed_ = true;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return !Failed();
}

bool Writer::WriteOut() {
    std::size_t done = 0;
    while (done < out_.size()) {
        const ssize_t r = ::write(fd_, out_.data() + done, out_.size() - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            const int error = r < 0 ? errno : ENOSPC;
            // Cut the file back to the end of the last packet written whole.
            std::size_t whole = 0;
            for (std::size_t end : outEnds_)
                if (end <= done) whole = end;
            fileSize_ += whole;
            bytesWritten_.store(fileSize_, std::memory_order_relaxed);
            (void)::ftruncate(fd_, off_t(fileSize_));
            Fail(error);
            return false;
        }
        done += std::size_t(r);
    }
    fileSize_ += out_.size();
    bytesWritten_.store(fileSize_, std::memory_order_relaxed);
    wordsWritten_.fetch_add(outWords_, std::memory_order_relaxed);
    outWords_ = 0;
    out_.clear();
    outEnds_.clear();
    return true;
}

void Writer::Fail(int error) {
    out_.clear();
    outEnds_.clear();
    failure_ = text::kRecordingWriteFailed + path_ + " (" + ErrorText(error) + ")" + text::kRecordingStopped;
    failed_.store(true, std::memory_order_release);
}

}  // namespace orv::c10
