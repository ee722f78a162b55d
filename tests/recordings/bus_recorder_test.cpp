// The recorder against a scripted word stream on a manual clock: which words it keeps, with which
// times, buses and flags, and how it ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "c10/c10_reader.h"
#include "support/scratch_dir.h"
#include "recordings/bus_recorder.h"

namespace orv {
namespace {

// A board's stream as a test plays it: a clock the test moves and words it hands to the sink.
class ScriptedStream : public WordStream {
public:
    void AddSink(WordSink* sink) override {
        std::lock_guard lock(mutex_);
        sink_ = sink;
    }
    void RemoveSink(WordSink* sink) override {
        std::lock_guard lock(mutex_);
        if (sink_ == sink) sink_ = nullptr;
    }
    uint64_t NowUs() const override { return now_; }
    double LineBitRate(unsigned input) const override { return input == 5 ? 100'000.0 : 0.0; }

    void Play(LineWord w) {
        now_ = w.arrivalUs;
        std::lock_guard lock(mutex_);
        if (sink_) sink_->OnWord(w);
    }
    // A word handed over before the clock shows its time, as a board that plays one input after
    // another up to a later time hands over the first input's words.
    void Deliver(LineWord w) {
        std::lock_guard lock(mutex_);
        if (sink_) sink_->OnWord(w);
    }
    bool HasSink() {
        std::lock_guard lock(mutex_);
        return sink_ != nullptr;
    }
    uint64_t now_ = 5'000'000;

private:
    std::mutex mutex_;
    WordSink* sink_ = nullptr;
};

struct Words : c10::ReadSink {
    std::vector<c10::Word> words;
    std::vector<c10::Problem> problems;
    std::vector<c10::TmatsInfo> tmats;
    void OnWords(std::span<const c10::Word> w, const c10::PacketInfo&) override { words.insert(words.end(), w.begin(), w.end()); }
    void OnProblem(const c10::Problem& p) override { problems.push_back(p); }
    void OnTmats(const c10::TmatsInfo& t, const c10::PacketInfo&) override { tmats.push_back(t); }
};

class BusRecorderTest : public test::ScratchDir {};

TEST_F(BusRecorderTest, KeepsEveryWordOfTheChosenInputsWithItsTimeBusAndFlags) {
    ScriptedStream stream;
    RecorderOptions o;
    o.path = "bus.ch10";
    o.channelName = "arinc10";
    o.inputs = {{5, 12'500.0}, {6, 12'500.0}};
    o.startTime = 17'000'000'000'000'000;  // 2023-11-14T22:13:20Z
    o.ownThread = false;
    std::string error;
    auto recorder = BusRecorder::Start(stream, o, &error);
    ASSERT_TRUE(recorder) << error;
    ASSERT_TRUE(stream.HasSink());

    stream.Play({5'000'320, 0x80000083, 100'000.0, 5, false, false});   // 320 us after the start
    stream.Play({5'000'400, 0x00000084, 100'000.0, 7, false, false});   // input 7 is not recorded
    stream.Play({5'002'600, 0x00000085, 12'500.0, 6, true, false});     // dropped for parity
    stream.Play({5'003'000, 0x80000086, 50'000.0, 5, false, true});     // another rate class
    stream.now_ = 7'000'000;
    ASSERT_TRUE(recorder->Service());
    ASSERT_TRUE(recorder->Stop());
    EXPECT_FALSE(stream.HasSink());
    EXPECT_EQ(recorder->WordsWritten(), 3u);
    EXPECT_EQ(recorder->LostWords(), 0u);
    EXPECT_TRUE(recorder->Stop());  // again: the same answer, nothing more written

    Words got;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile("bus.ch10", got));
    EXPECT_TRUE(got.problems.empty());
    ASSERT_EQ(got.tmats.size(), 1u);
    ASSERT_EQ(got.tmats[0].channels.size(), 1u);
    const auto& buses = got.tmats[0].channels[0].buses;
    ASSERT_EQ(buses.size(), 2u);
    EXPECT_EQ(buses[0].name, "Вход 5");
    EXPECT_EQ(buses[0].bitRate, 100'000.0);  // what the line carries
    EXPECT_EQ(buses[1].bitRate, 12'500.0);   // nothing on the line: the input's rate
    ASSERT_EQ(got.words.size(), 3u);
    // Each word starts 32 bit times of its own rate before it arrives; the file orders by start.
    EXPECT_EQ(got.words[0].word, 0x80000083u);
    EXPECT_EQ(got.words[0].bus, 4);
    EXPECT_EQ(got.words[0].absolute, o.startTime + 0);  // start 320 - 320 us after the start
    EXPECT_EQ(got.words[1].word, 0x00000085u);
    EXPECT_EQ(got.words[1].bus, 5);
    EXPECT_EQ(got.words[1].flags & c10::kWordParityError, c10::kWordParityError);
    EXPECT_EQ(got.words[1].absolute, o.startTime + (2'600 - 2'560) * 10);
    EXPECT_EQ(got.words[2].flags & c10::kWordFormatError, c10::kWordFormatError);
    // A word of another rate class is timed at its own transmitter's rate (50 kbit/s: 640 us), and
    // its speed bit follows that rate, not its bus's.
    EXPECT_EQ(got.words[2].absolute, o.startTime + (3'000 - 640) * 10);
    EXPECT_EQ(got.words[0].flags & c10::kWordHighSpeed, c10::kWordHighSpeed);
    EXPECT_EQ(got.words[2].flags & c10::kWordHighSpeed, 0);
}

TEST_F(BusRecorderTest, RefusesAnExistingFileAndJoinsItsThreadOnStop) {
    ScriptedStream stream;
    { std::ofstream("kept.ch10") << "evidence"; }
    RecorderOptions o;
    o.path = "kept.ch10";
    o.inputs = {{5, 100'000.0}};
    std::string error;
    EXPECT_FALSE(BusRecorder::Start(stream, o, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::filesystem::file_size("kept.ch10"), 8u);
    EXPECT_FALSE(stream.HasSink());

    o.replace = true;  // the engineer confirmed; the recorder's own thread writes
    auto recorder = BusRecorder::Start(stream, o, &error);
    ASSERT_TRUE(recorder) << error;
    stream.Play({5'000'400, 0x80000083, 100'000.0, 5, false, false});
    stream.now_ = 5'100'000;
    EXPECT_TRUE(recorder->Stop());
    EXPECT_EQ(recorder->WordsWritten(), 1u);
    EXPECT_GT(std::filesystem::file_size("kept.ch10"), 8u);
}

// The board plays one input after another: while the recorder services, input 1's words up to a
// later time may already be queued and input 5's not yet. Every word still goes into the file at
// its own start time, in order of start, none placed at another word's time.
TEST_F(BusRecorderTest, WordsOfOneInputHandedOverAheadOfAnotherKeepTheirTimes) {
    ScriptedStream stream;
    RecorderOptions o;
    o.path = "ahead.ch10";
    o.channelName = "arinc10";
    o.inputs = {{1, 100'000.0}, {5, 100'000.0}};
    o.startTime = 17'000'000'000'000'000;
    o.ownThread = false;
    std::string error;
    auto recorder = BusRecorder::Start(stream, o, &error);
    ASSERT_TRUE(recorder) << error;
    stream.Play({5'010'000, 0x101, 100'000.0, 1, false, false});
    stream.Play({5'010'360, 0x105, 100'000.0, 5, false, false});
    stream.Deliver({5'160'000, 0x201, 100'000.0, 1, false, false});  // the next step, input 1 first
    ASSERT_TRUE(recorder->Service());
    stream.Play({5'100'000, 0x205, 100'000.0, 5, false, false});     // then input 5 of that step
    stream.now_ = 5'160'000;
    ASSERT_TRUE(recorder->Service());
    ASSERT_TRUE(recorder->Stop());

    Words read;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile("ahead.ch10", read));
    EXPECT_TRUE(read.problems.empty());
    std::vector<std::pair<uint32_t, int64_t>> got;  // word, start after the first word's (0.1 us)
    for (const c10::Word& w : read.words) got.emplace_back(w.word, w.relative);
    EXPECT_EQ(got, (std::vector<std::pair<uint32_t, int64_t>>{
                       {0x101, 0}, {0x105, 3'600}, {0x205, 900'000}, {0x201, 1'500'000}}));
}

}  // namespace
}  // namespace orv
