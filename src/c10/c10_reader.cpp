#include "c10/c10_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "c10/c10_strings.h"

namespace orv::c10 {

namespace {

// The read buffer holds the largest packet several times over, so that most refills are large.
constexpr std::size_t kBufferSize = 8 * std::size_t(kMaxPacketLength);
// Bytes looked at in one step when searching for the next sound header after damage.
constexpr std::size_t kScanChunk = 64 * 1024;

}  // namespace

std::string Problem::Reason() const {
    switch (kind) {
    case ProblemKind::BadSync: return text::kBadSync;
    case ProblemKind::BadHeaderChecksum: return text::kBadHeaderChecksum;
    case ProblemKind::BadLengths: return text::kBadLengths;
    case ProblemKind::BeyondFile: return text::kBeyondFile;
    case ProblemKind::Truncated: return text::kTruncated;
    case ProblemKind::BadSecondaryChecksum: return text::kBadSecondaryChecksum;
    case ProblemKind::BadDataChecksum: return text::kBadDataChecksum;
    case ProblemKind::BadCount: return text::kBadCount;
    case ProblemKind::BadTime: return text::kBadTime;
    case ProblemKind::DayOfYearTime: return text::kDayOfYearTime;
    case ProblemKind::NoTmats: return text::kNoTmats;
    case ProblemKind::NoTimeBeforeData: return text::kNoTimeBeforeData;
    case ProblemKind::TimeGoesBack: return text::kTimeGoesBack;
    }
    return {};
}

std::string Problem::Message() const {
    std::string m = text::kAtOffset;
    m += std::to_string(offset);
    m += ": ";
    m += Reason();
    if (skipped != 0) {
        m += text::kSkippedBefore;
        m += std::to_string(skipped);
    }
    return m;
}

Reader::Reader(ReadOptions options) : options_(options) {}

Reader::~Reader() = default;

bool Reader::ReadFile(const std::string& path, ReadSink& sink, std::string* error) {
    // Non-blocking, so that a FIFO under the name is refused rather than waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) ::close(fd);
        if (error) *error = text::kFileOpenFailed + path;
        return false;
    }
    if (buffer_.size() != kBufferSize) buffer_.resize(kBufferSize);
    memory_ = nullptr;
    fd_ = fd;
    size_ = uint64_t(st.st_size);
    bufferOffset_ = 0;
    bufferLength_ = 0;
    readFailed_ = false;
    Run(sink);
    ::close(fd_);
    fd_ = -1;
    if (readFailed_) {
        if (error) *error = text::kFileReadFailedC10 + path;
        return false;
    }
    return true;
}

void Reader::ReadBytes(std::span<const uint8_t> bytes, ReadSink& sink) {
    memory_ = bytes.data();
    size_ = bytes.size();
    fd_ = -1;
    readFailed_ = false;
    Run(sink);
    memory_ = nullptr;
}

const uint8_t* Reader::Window(uint64_t offset, std::size_t n) {
    if (offset + n > size_) return nullptr;
    if (memory_ != nullptr) return memory_ + offset;
    if (offset >= bufferOffset_ && offset + n <= bufferOffset_ + bufferLength_)
        return buffer_.data() + (offset - bufferOffset_);
    if (offset >= bufferOffset_ && offset < bufferOffset_ + bufferLength_) {
        const std::size_t keep = std::size_t(bufferOffset_ + bufferLength_ - offset);
        std::memmove(buffer_.data(), buffer_.data() + (offset - bufferOffset_), keep);
        bufferLength_ = keep;
    } else {
        if (::lseek(fd_, off_t(offset), SEEK_SET) < 0) {
            readFailed_ = true;
            return nullptr;
        }
        bufferLength_ = 0;
    }
    bufferOffset_ = offset;
    while (bufferLength_ < n) {
        const ssize_t r = ::read(fd_, buffer_.data() + bufferLength_, buffer_.size() - bufferLength_);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            readFailed_ = true;  // an error, or the file shrank while being read
            return nullptr;
        }
        bufferLength_ += std::size_t(r);
    }
    return buffer_.data();
}

Reader::HeaderCheck Reader::CheckHeader(const uint8_t* h) {
    if (Get16(h) != kSync) return HeaderCheck::BadSync;
    if (HeaderChecksum(h) != Get16(h + 22)) return HeaderCheck::BadChecksum;
    const uint32_t packetLength = Get32(h + 4);
    const uint32_t dataLength = Get32(h + 8);
    const uint8_t flags = h[14];
    const std::size_t overhead =
        kHeaderSize + ((flags & kFlagSecondaryHeader) ? kSecondaryHeaderSize : 0) + ChecksumSize(flags);
    if (packetLength % 4 != 0 || packetLength > kMaxPacketLength || packetLength < overhead ||
        dataLength > packetLength - overhead)
        return HeaderCheck::BadLengths;
    return HeaderCheck::Sound;
}

uint64_t Reader::FindSoundHeader(uint64_t from) {
    uint64_t q = from;
    while (q + kHeaderSize <= size_) {
        const std::size_t chunk = std::size_t(std::min<uint64_t>(size_ - q, kScanChunk));
        const uint8_t* w = Window(q, chunk);
        if (w == nullptr) return size_;
        const std::size_t limit = chunk - kHeaderSize + 1;  // candidates whose header is in view
        std::size_t i = 0;
        while (i < limit) {
            const void* f = std::memchr(w + i, 0x25, limit - i);
            if (f == nullptr) break;
            i = std::size_t(static_cast<const uint8_t*>(f) - w);
            if (w[i + 1] == 0xEB && CheckHeader(w + i) == HeaderCheck::Sound) return q + i;
            ++i;
        }
        q += limit;
    }
    return size_;
}

void Reader::Report(ReadSink& sink, uint64_t offset, ProblemKind kind, uint64_t skipped) {
    Problem p;
    p.offset = offset;
    p.kind = kind;
    p.skipped = skipped;
    ++summary_.problems;
    summary_.skippedBytes += skipped;
    sink.OnProblem(p);
}

void Reader::Run(ReadSink& sink) {
    summary_ = ReadSummary{};
    summary_.fileBytes = size_;
    haveTime_ = false;
    haveFirstWord_ = false;
    reportedNoTime_ = false;
    reportedDayOfYear_ = false;
    firstSoundPacket_ = true;

    uint64_t p = 0;
    while (p < size_) {
        const uint64_t left = size_ - p;
        if (left < kHeaderSize) {
            summary_.truncated = true;
            Report(sink, p, ProblemKind::Truncated, left);
            break;
        }
        const uint8_t* h = Window(p, kHeaderSize);
        if (h == nullptr) break;
        const HeaderCheck check = CheckHeader(h);
        if (check != HeaderCheck::Sound) {
            const ProblemKind kind = check == HeaderCheck::BadSync       ? ProblemKind::BadSync
                                     : check == HeaderCheck::BadChecksum ? ProblemKind::BadHeaderChecksum
                                                                         : ProblemKind::BadLengths;
            const uint64_t q = FindSoundHeader(p + 1);
            if (readFailed_) break;
            Report(sink, p, kind, q - p);
            p = q;
            continue;
        }
        const PacketHeader header = DecodeHeader(h);
        if (header.packetLength > left) {
            // Either a length that is wrong, with sound packets after it, or the file ends inside
            // its last packet.
            const uint64_t q = FindSoundHeader(p + 1);
            if (readFailed_) break;
            if (q < size_) {
                Report(sink, p, ProblemKind::BeyondFile, q - p);
                p = q;
                continue;
            }
            summary_.truncated = true;
            Report(sink, p, ProblemKind::Truncated, left);
            break;
        }
        const uint8_t* packet = Window(p, header.packetLength);
        if (packet == nullptr) break;
        HandlePacket(p, header, packet, sink);
        p += header.packetLength;
    }
    if (!summary_.sawTmats && firstSoundPacket_) Report(sink, 0, ProblemKind::NoTmats);
}

void Reader::HandlePacket(uint64_t offset, const PacketHeader& h, const uint8_t* p, ReadSink& sink) {
    const std::size_t secondary = (h.flags & kFlagSecondaryHeader) ? kSecondaryHeaderSize : 0;
    if (secondary != 0 && !SecondaryChecksumHolds(p + kHeaderSize)) {
        Report(sink, offset, ProblemKind::BadSecondaryChecksum);
        return;
    }
    const uint8_t* body = p + kHeaderSize + secondary;
    const std::size_t bodyLength = h.packetLength - kHeaderSize - secondary;
    if (!DataChecksumHolds(h.flags, body, bodyLength)) {
        Report(sink, offset, ProblemKind::BadDataChecksum);
        return;
    }
    if (h.dataType == kTypeArinc429F0) {
        // The count must agree with the data length before anything else is believed.
        if (h.dataLength < 4 || h.dataLength != 4 + 8 * uint64_t(Get32(body) & 0xFFFF)) {
            Report(sink, offset, ProblemKind::BadCount);
            return;
        }
    }
    if (firstSoundPacket_) {
        firstSoundPacket_ = false;
        if (h.dataType != kTypeTmats) Report(sink, offset, ProblemKind::NoTmats);
    }
    ++summary_.packets;
    ++summary_.packetsByType[h.dataType];
    PacketInfo info{offset, h, secondary != 0, 0};
    if (secondary != 0)
        info.secondaryTime = uint64_t(Get32(p + kHeaderSize)) | (uint64_t(Get32(p + kHeaderSize + 4)) << 32);
    sink.OnPacket(info);

    switch (h.dataType) {
    case kTypeTmats: {
        summary_.sawTmats = true;
        if (h.dataLength < 4 || (Get32(body) & (1u << 9))) return;  // XML setup records not read
        const std::string_view text(reinterpret_cast<const char*>(body + 4), h.dataLength - 4);
        sink.OnTmats(ParseTmats(text), info);
        return;
    }
    case kTypeTimeF1: {
        if (h.dataLength < 12) {
            Report(sink, offset, ProblemKind::BadTime);
            return;
        }
        if (!(Get32(body) & kTimeDateFormatDmy)) {
            if (!reportedDayOfYear_) Report(sink, offset, ProblemKind::DayOfYearTime);
            reportedDayOfYear_ = true;
            return;
        }
        const int64_t absolute = DecodeDmyTime(body + 4);
        if (absolute == kNoTime) {
            Report(sink, offset, ProblemKind::BadTime);
            return;
        }
        if (haveTime_ && CounterDiff(h.counter, timeCounter_) < 0)
            Report(sink, offset, ProblemKind::TimeGoesBack);
        haveTime_ = true;
        timeCounter_ = h.counter;
        timeAbsolute_ = absolute;
        sink.OnTime(absolute, info);
        return;
    }
    case kTypeArinc429F0: {
        if (!haveTime_ && !reportedNoTime_) {
            reportedNoTime_ = true;
            Report(sink, offset, ProblemKind::NoTimeBeforeData);
        }
        if (h.flags & kFlagOverflow) ++summary_.overflowPackets;
        const uint32_t count = Get32(body) & 0xFFFF;
        const uint8_t* q = body + 4;
        uint64_t start = h.counter;
        if (!haveFirstWord_ && count != 0) {
            haveFirstWord_ = true;
            firstWordCounter_ = (h.counter + (Get32(q) & kGapMask)) & kCounterMask;
        }
        if (words_.size() < count) words_.resize(count);  // grows to the largest packet, once
        const bool reversed = options_.reversedLabels;
        const bool timed = haveTime_;
        Word* out = words_.data();
        for (uint32_t i = 0; i < count; ++i, q += 8) {
            const uint32_t iph = Get32(q);
            start = (start + (iph & kGapMask)) & kCounterMask;
            Word& w = out[i];
            const uint32_t word = Get32(q + 4);
            w.word = reversed ? ReverseLabel(word) : word;
            w.counter = start;
            w.relative = CounterDiff(start, firstWordCounter_);
            w.absolute = timed ? timeAbsolute_ + CounterDiff(start, timeCounter_) : kNoTime;
            w.channel = h.channel;
            w.bus = uint8_t(iph >> 24);
            w.flags = uint8_t(((iph & kIphBusSpeed) ? kWordHighSpeed : 0) |
                              ((iph & kIphParityError) ? kWordParityError : 0) |
                              ((iph & kIphFormatError) ? kWordFormatError : 0));
        }
        summary_.words += count;
        sink.OnWords(std::span<const Word>(out, count), info);
        return;
    }
    default: return;  // packets of other types are passed over
    }
}

}  // namespace orv::c10
