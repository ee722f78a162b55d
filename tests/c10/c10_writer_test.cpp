// The writer: an existing file only with consent, packets split at 100 ms and at the queue's
// overflow, time packets every second, written at least once a second so that a killed or
// stopped recording reads up to its last whole packet, and a full disk stopping the recording.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "c10/c10_test_support.h"
#include "support/scratch_dir.h"

namespace orv::c10::test {
namespace {

using RecordingWriterTest = orv::test::ScratchDir;

struct Recording {
    uint64_t now = 0;
    std::unique_ptr<Writer> writer;
    std::string error;

    explicit Recording(const std::string& path, bool replace = false, std::size_t queue = 1u << 16) {
        WriterOptions o;
        o.setup = SmallSetup();
        o.startTime = kStart;
        o.clock = [this] { return now; };
        o.replace = replace;
        o.queueWords = queue;
        writer = Writer::Create(path, o, &error);
    }
};

Collector ReadPath(const std::string& path) {
    Collector c;
    Reader reader;
    std::string error;
    EXPECT_TRUE(reader.ReadFile(path, c, &error)) << error;
    return c;
}

uint64_t FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? uint64_t(st.st_size) : 0;
}

TEST_F(RecordingWriterTest, AnExistingFileIsRefusedUnlessReplacingIsConfirmed) {
    WriteBytes("old.ch10", {1, 2, 3});
    {
        Recording r("old.ch10");
        EXPECT_EQ(r.writer, nullptr);
        EXPECT_EQ(r.error, "Файл уже существует: old.ch10");
        EXPECT_EQ(ReadBytes("old.ch10"), (std::vector<uint8_t>{1, 2, 3}));
    }
    {
        Recording r("old.ch10", true);
        ASSERT_NE(r.writer, nullptr) << r.error;
        EXPECT_TRUE(r.writer->Close());
    }
    const Collector c = ReadPath("old.ch10");
    EXPECT_TRUE(c.problems.empty());
    EXPECT_EQ(c.tmats.size(), 1u);
    EXPECT_EQ(c.times.size(), 1u);  // a recording with no words still has its time packet
    ::mkdir("dir.ch10", 0755);
    Recording d("dir.ch10", true);
    EXPECT_EQ(d.writer, nullptr);
    EXPECT_EQ(d.error, "Это не обычный файл: dir.ch10");
}

// Five minutes of both buses: a time packet every second (the time channel's sequence number
// wraps after 255), no packet spanning more than 100 ms, every word back with its exact time.
TEST_F(RecordingWriterTest, LongRecordingKeepsTimePacketsSequencesAndSpans) {
    Recording r("long.ch10");
    ASSERT_NE(r.writer, nullptr) << r.error;
    std::vector<WordIn> sent;
    // Bus 0 every 7 ms, bus 4 every 0.33 ms in bursts of 50 every 3 s.
    for (uint64_t t = 100000; t < 300 * 10'000'000ull; t += 70000) {
        sent.push_back({t, uint32_t(0x100 + t / 70000), 2, 0, 0});
        if (t % 30'000'000 < 70000)
            for (uint64_t k = 1; k <= 50; ++k) sent.push_back({t + k * 3300, uint32_t(k), 2, 4, 0});
    }
    // The producer hands words over in order of arrival.
    std::stable_sort(sent.begin(), sent.end(), [](const WordIn& a, const WordIn& b) { return a.arrival < b.arrival; });
    std::size_t next = 0;
    for (r.now = 0; r.now <= 300 * 10'000'000ull; r.now += 100'000) {  // 10 ms steps
        while (next < sent.size() && sent[next].arrival <= r.now) ASSERT_TRUE(r.writer->Offer(sent[next++]));
        ASSERT_TRUE(r.writer->Service());
    }
    ASSERT_TRUE(r.writer->Close());
    EXPECT_EQ(r.writer->WordsWritten(), sent.size());
    EXPECT_EQ(r.writer->BytesWritten(), FileSize("long.ch10"));

    const Collector c = ReadPath("long.ch10");
    EXPECT_TRUE(c.problems.empty());
    ASSERT_EQ(c.words.size(), sent.size());
    ASSERT_EQ(c.times.size(), 301u);
    // TMATS first, then the first time packet, before any data packet.
    ASSERT_GE(c.packets.size(), 3u);
    EXPECT_EQ(c.packets[0].header.dataType, kTypeTmats);
    EXPECT_EQ(c.packets[1].header.dataType, kTypeTimeF1);
    // Every packet of a channel follows the one before in sequence, modulo 256.
    std::map<uint16_t, int> lastSequence;
    std::map<uint16_t, int> wraps;
    for (const PacketInfo& p : c.packets) {
        const PacketHeader& h = p.header;
        if (lastSequence.count(h.channel)) {
            EXPECT_EQ(h.sequence, uint8_t(lastSequence[h.channel] + 1));
            wraps[h.channel] += h.sequence == 0;
        }
        lastSequence[h.channel] = h.sequence;
    }
    EXPECT_EQ(wraps[kTimeChannel], 1);
    EXPECT_GE(wraps[2], 1);
    // Words in order of start time, each at its start (arrival - 32 bit times), span <= 100 ms.
    std::vector<int64_t> starts;
    for (const WordIn& w : sent) starts.push_back(kStart + int64_t(w.arrival) - (w.bus == 0 ? 25600 : 3200));
    std::sort(starts.begin(), starts.end());
    std::map<uint64_t, std::pair<uint64_t, uint64_t>> spans;  // packet offset: first, last start
    for (std::size_t i = 0; i < c.words.size(); ++i) {
        ASSERT_EQ(c.words[i].absolute, starts[i]) << i;
        auto [it, inserted] = spans.try_emplace(c.wordPacketOffsets[i], c.words[i].counter, c.words[i].counter);
        it->second.second = c.words[i].counter;
    }
    for (const auto& [offset, span] : spans) EXPECT_LE(span.second - span.first, kMaxPacketSpan) << offset;
}

TEST_F(RecordingWriterTest, IsOnDiskWithinASecondOfRecordingTimeAndReadableWhileItRuns) {
    Recording r("live.ch10");
    ASSERT_NE(r.writer, nullptr) << r.error;
    const uint64_t initial = FileSize("live.ch10");
    EXPECT_GT(initial, 0u);  // TMATS and the first time packet at once
    std::size_t offered = 0;
    for (r.now = 0; r.now <= 25'000'000; r.now += 100'000) {
        ASSERT_TRUE(r.writer->Offer({r.now, uint32_t(r.now / 100'000), 2, 4, 0}));
        ++offered;
        ASSERT_TRUE(r.writer->Service());
    }
    // 2.5 s in: what is on disk reads without a problem and holds the words of the first
    // two seconds at least.
    const Collector c = ReadPath("live.ch10");
    EXPECT_TRUE(c.problems.empty());
    EXPECT_GE(c.words.size(), 190u);
    EXPECT_LT(c.words.size(), offered);
    EXPECT_EQ(FileSize("live.ch10"), r.writer->BytesWritten());
    ASSERT_TRUE(r.writer->Close());
    EXPECT_EQ(ReadPath("live.ch10").words.size(), offered);
}

TEST_F(RecordingWriterTest, AFullQueueLosesWordsCountsThemAndFlagsTheNextPacket) {
    Recording r("over.ch10", false, 4);
    ASSERT_NE(r.writer, nullptr) << r.error;
    int accepted = 0;
    for (uint64_t i = 0; i < 10; ++i) accepted += r.writer->Offer({10000 + i * 4000, uint32_t(i), 2, 4, 0});
    EXPECT_EQ(accepted, 4);
    EXPECT_EQ(r.writer->LostWords(), 6u);
    r.now = 20'000'000;
    ASSERT_TRUE(r.writer->Service());
    for (uint64_t i = 0; i < 3; ++i) EXPECT_TRUE(r.writer->Offer({20'000'000 + i * 4000, uint32_t(i), 2, 4, 0}));
    ASSERT_TRUE(r.writer->Close());
    const Collector c = ReadPath("over.ch10");
    EXPECT_TRUE(c.problems.empty());
    std::vector<uint8_t> arincFlags;
    for (const PacketInfo& p : c.packets)
        if (p.header.dataType == kTypeArinc429F0) arincFlags.push_back(p.header.flags);
    EXPECT_EQ(arincFlags, (std::vector<uint8_t>{kFlagOverflow, 0}));
    EXPECT_EQ(c.words.size(), 7u);
    // Words of a channel or bus not in the setup are not the recorder's to keep.
    EXPECT_FALSE(r.writer->Offer({0, 1, 3, 0, 0}));
}

// A producer thread offers words while the consumer services the writer: every word accepted is
// written once, in order, every word refused is counted as lost, and a loss flags a packet.
TEST_F(RecordingWriterTest, ProducerAndConsumerThreadsLoseNothingTheyDoNotCount) {
    std::atomic<uint64_t> clock{0};
    std::atomic<bool> done{false};
    WriterOptions o;
    o.setup = SmallSetup();
    o.startTime = kStart;
    o.clock = [&clock] { return clock.load(std::memory_order_acquire); };
    o.queueWords = 64;
    std::string error;
    auto w = Writer::Create("threads.ch10", o, &error);
    ASSERT_NE(w, nullptr) << error;
    constexpr uint32_t kWords = 200000;
    std::vector<uint32_t> accepted;
    std::thread producer([&] {
        for (uint32_t i = 0; i < kWords; ++i) {
            const uint64_t t = 3600 * uint64_t(i);
            clock.store(t, std::memory_order_release);
            if (w->Offer({t, i, 2, 4, 0})) accepted.push_back(i);
        }
        done.store(true, std::memory_order_release);
    });
    while (!done.load(std::memory_order_acquire)) ASSERT_TRUE(w->Service());
    producer.join();
    ASSERT_TRUE(w->Close());
    EXPECT_EQ(accepted.size() + w->LostWords(), kWords);
    EXPECT_EQ(w->WordsWritten(), accepted.size());
    const Collector c = ReadPath("threads.ch10");
    EXPECT_TRUE(c.problems.empty());
    std::vector<uint32_t> read;
    for (const Word& x : c.words) read.push_back(x.word);
    EXPECT_EQ(read, accepted);
    uint64_t flagged = 0;
    for (const PacketInfo& p : c.packets) flagged += (p.header.flags & kFlagOverflow) != 0;
    EXPECT_EQ(flagged > 0, w->LostWords() > 0);
}

// A child records with a file size limit (SIGXFSZ ignored, so write(2) fails with EFBIG): the
// recording stops with a message and the file reads without a problem up to its last whole packet.
TEST_F(RecordingWriterTest, AFullDiskStopsTheRecordingAndLeavesWholePacketsOnly) {
    constexpr rlim_t kLimit = 40000;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kLimit, kLimit};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
        Recording r("full.ch10");
        if (!r.writer) _exit(11);
        bool stopped = false;
        for (r.now = 0; r.now < 600'000'000 && !stopped; r.now += 10'000) {
            r.writer->Offer({r.now, 0x55, 2, 0, 0});
            stopped = !r.writer->Service();
        }
        if (!stopped || !r.writer->Failed()) _exit(12);
        if (r.writer->FailureMessage() !=
            "Ошибка записи в файл full.ch10 (превышен допустимый размер файла). Запись остановлена; "
            "файл читается до последнего целого пакета.")
            _exit(13);
        if (r.writer->Offer({r.now, 1, 2, 0, 0}) || r.writer->Close()) _exit(14);
        if (r.writer->BytesWritten() != FileSize("full.ch10")) _exit(15);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    const uint64_t size = FileSize("full.ch10");
    EXPECT_LE(size, kLimit);
    EXPECT_GT(size, kLimit - 10000);  // a 100 ms packet of these words is 8 KiB
    const Collector c = ReadPath("full.ch10");
    EXPECT_TRUE(c.problems.empty()) << c.problems[0].Message();
    EXPECT_GT(c.words.size(), 1000u);
}

// A recording killed at random moments reads up to its last whole packet: at most the packet
// being written when it died is reported, as the truncated last one.
TEST_F(RecordingWriterTest, AKilledRecordingReadsUpToItsLastWholePacket) {
    for (int round = 0; round < 5; ++round) {
        ::unlink("killed.ch10");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Recording r("killed.ch10");
            if (!r.writer) _exit(11);
            for (r.now = 0;; r.now += 1000) {
                r.writer->Offer({r.now, uint32_t(r.now), 2, 4, 0});
                r.writer->Service();
            }
        }
        // Killed once it has written data packets (however busy the machine), at a different
        // moment each round.
        for (int wait = 0; wait < 2000 && FileSize("killed.ch10") < 4096; ++wait) usleep(5000);
        usleep(3000 * useconds_t(round));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const Collector c = ReadPath("killed.ch10");
        EXPECT_GT(c.words.size(), 0u) << round;
        for (const Problem& p : c.problems) EXPECT_EQ(p.kind, ProblemKind::Truncated) << p.Message();
    }
}

}  // namespace
}  // namespace orv::c10::test
