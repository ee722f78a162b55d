// The bench behind the Python module, in C++ alone: the sanitizer stages of CI run it (they cannot
// load an extension into Python), so its tick thread, its lock and Close() are checked there too.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "bench_core.h"

namespace orv::script {
namespace {

BenchOptions Options(bool manual, int periodMs = 1000) {
    BenchOptions o;
    o.device = "arinc12";
    o.manualClock = manual;
    o.periodMs = periodMs;
    o.workdir = std::filesystem::temp_directory_path().string();
    o.settings = std::array<uint16_t, kChannelSettingWords>{};
    return o;
}

// One word sent once on looped output 1, masked on input 1: advance() returns with the word served,
// and the rows show it from the next tick on.
TEST(BenchCoreTest, ManualClockServesEveryWordBeforeAdvanceReturns) {
    BenchCore bench(Options(true, 200));
    bench.Watch({{"M", 1, 077, std::nullopt}, {"P", 1, 0100, std::nullopt}});
    const int row = bench.FindRow("M", -1, 1);
    ASSERT_EQ(row, 0);
    bench.Mask(row, "");
    std::vector<FrameItem> frame;
    for (uint32_t k = 1; k <= 30; ++k) frame.emplace_back((k << 16) | 077);
    frame.emplace_back(uint32_t(0x5500u << 8 | 0100));
    bench.Send(1, frame, false);
    // 31 words of 2.88 ms at 12.5 kbit/s: all on the bus within 100 ms.
    EXPECT_EQ(bench.Advance(100'000, std::chrono::seconds(10)), 0u);
    EXPECT_EQ(bench.Trace(row).stats.matchCount, 30);
    EXPECT_EQ(bench.Ticks(), 0u);
    EXPECT_EQ((*bench.Rows())[1].word, 0u);
    bench.Advance(100'000, std::chrono::seconds(10));  // the tick at 200 ms
    EXPECT_EQ(bench.Ticks(), 1u);
    const auto rows = bench.Rows();
    EXPECT_EQ((*rows)[0].maskCount, 30);
    EXPECT_EQ((*rows)[1].word, 0x5500u << 8 | 0100);
    EXPECT_EQ((*rows)[1].cycle, 1);
    EXPECT_DOUBLE_EQ(bench.Now(), 0.2);
}

// A budget of real time ends an advance early with the rest to go; the next call goes on.
TEST(BenchCoreTest, AdvanceStopsAtItsBudgetAndGoesOnLater) {
    BenchCore bench(Options(true, 1));
    bench.Watch({{"M", 5, 0203, std::nullopt}});
    bench.Mask(0, "");  // 1 ms steps, each waited for
    const uint64_t left = bench.Advance(600'000'000, std::chrono::milliseconds(20));
    EXPECT_GT(left, 0u);
    EXPECT_LT(left, 600'000'000u);
    EXPECT_EQ(bench.Now(), double(600'000'000 - left) / 1e6);
}

// Real clock: the tick thread ticks at the period while other threads read, change and wait, and
// Close() from one of them ends everything; calls after it are refused, not crashed.
TEST(BenchCoreTest, RealClockCallsFromManyThreadsAndACloseAmongThem) {
    BenchCore bench(Options(false, 2));
    bench.Watch({{"A", 1, 0100, std::nullopt}, {"B", 5, 0203, std::nullopt}});
    bench.Send(1, {uint32_t(0x1234u << 8 | 0100)}, true);
    std::atomic<bool> stop{false};
    std::atomic<int> refused{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; !stop; ++i) {
                try {
                    switch ((i + t) % 5) {
                        case 0: (void)bench.Rows(); break;
                        case 1: bench.WaitTick(bench.Ticks(), std::chrono::milliseconds(5)); break;
                        case 2: bench.SetPeriodMs(1 + i % 3); break;
                        case 3: (void)bench.Counters(); break;
                        case 4: bench.Watch({{"A", 1, 0100, std::nullopt}}); break;
                    }
                } catch (const BenchValueError&) {
                    ++refused;  // the bench closed under it
                }
            }
        });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (bench.Ticks() < 20 && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(bench.Ticks(), 20u);
    bench.Close();
    EXPECT_TRUE(bench.Closed());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    for (auto& th : threads) th.join();
    EXPECT_GT(refused.load(), 0);
    EXPECT_THROW(bench.Rows(), BenchValueError);
    bench.Close();  // idempotent
}

// Real clock: a wait listening on the word stream is woken by its word (the bus thread only counts
// it) and reads the row the next tick will show; Close() with a recording running and a waiter
// still listening ends both, the recording's thread joined and its file whole.
TEST(BenchCoreTest, WordWaitsAndARecordingAcrossClose) {
    const std::string path = (std::filesystem::temp_directory_path() / "bench_core_words.ch10").string();
    std::filesystem::remove(path);
    BenchCore bench(Options(false, 5000));
    ASSERT_TRUE(bench.HasWordStream());
    bench.Watch({{"A", 1, 0100, std::nullopt}});
    const uint64_t id = bench.StartRecording(path, {}, false);
    const unsigned key = WordWaits::Key(1, 0100);
    const uint64_t seen = bench.ArmWait(key);
    bench.Send(1, {uint32_t(0x1234u << 8 | 0100)}, false);
    EXPECT_NE(bench.Waits().Wait(key, seen, std::chrono::seconds(5)), seen);
    const std::optional<RowData> row = bench.FreshRow("A", -1, 1);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->word, 0x1234u << 8 | 0100);
    EXPECT_EQ(row->cycle, 1);  // the first tick (5 s away) files it
    EXPECT_EQ(bench.Ticks(), 0u);

    bench.DisarmWait(key);
    const unsigned silent = WordWaits::Key(8, 0377);  // no word ever comes
    const uint64_t none = bench.ArmWait(silent);
    const auto began = std::chrono::steady_clock::now();
    std::thread waiter([&] { bench.Waits().Wait(silent, none, std::chrono::seconds(30)); });
    bench.Send(1, {uint32_t(0x4321u << 8 | 0100)}, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    bench.Close();
    waiter.join();  // Close() woke it
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
    bench.DisarmWait(silent);  // closed: only the count
    const RecordingFigures f = bench.StopRecording(id);
    EXPECT_FALSE(f.running);
    EXPECT_EQ(f.failure, "");
    EXPECT_GE(f.words, 1u);
    EXPECT_EQ(f.bytes, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

TEST(BenchCoreTest, RefusesWhatTheProgramRefuses) {
    BenchOptions o = Options(true);
    o.device = "arinc99";
    EXPECT_THROW(BenchCore{o}, BenchError);
    BenchCore bench(Options(true));
    EXPECT_THROW(bench.Watch({{"A", 1, 0100, std::nullopt}, {"B", 1, 0100, std::nullopt}}), BenchError);  // duplicate
    EXPECT_THROW(bench.Watch({{"A", 9, 0100, std::nullopt}}), BenchValueError);
    EXPECT_THROW(bench.Mask(0, "2"), BenchValueError);
    EXPECT_THROW(bench.Send(1, {}, false), BenchValueError);
    EXPECT_THROW(bench.ChangeWord(1, 300, 0), BenchValueError);
    EXPECT_THROW(EncodeLabel("label = \"203\"\nbnr = { msb = 28, msb_weight = 1, resolution = 1 }\n"
                             "value = { profile = \"constant\", value = 5 }\n", 5.0),
                 BenchValueError);  // resolution 1 is not 1 halved down to bit 11
    EXPECT_EQ(EncodeLabel("label = \"203\"\nsdi = 1\nbnr = { sign_bit = 29, msb = 28, msb_weight = 65536, "
                          "resolution = 1 }\nvalue = { profile = \"constant\", value = 18000 }\n", 18000.0),
              0x62328183u);
}

}  // namespace
}  // namespace orv::script
