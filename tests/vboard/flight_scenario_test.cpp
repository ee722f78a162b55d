#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <cstring>
#include <set>
#include <string>

#include "driver/signal_event.h"
#include "driver/word_stream.h"
#include "vboard/board_fixture.h"
#include "vboard/flight_scenario.h"

namespace orv::test {
namespace {

// The DECIMAL reading of a word through a format: sign in bit 29, two's complement of the field
// for negative words, field summed in single precision from msbWeight halving downward.
double Decode(uint32_t w, const ScenarioLabel& f) {
    const bool negative = (w & 0x10000000u) != 0;
    const uint32_t v = negative ? ~w + (1u << (f.lsbBit - 1)) : w;
    float sum = 0.0f;
    float weight = f.msbWeight;
    for (int bit = f.msbBit; bit >= f.lsbBit; --bit) {
        if ((v >> (bit - 1)) & 1u) sum += weight;
        weight /= 2.0f;
    }
    return negative ? -double(sum) : double(sum);
}

double LsbWeight(const ScenarioLabel& f) { return std::ldexp(double(f.msbWeight), f.lsbBit - f.msbBit); }

TEST(FlightScenarioTest, PublishedTableFitsTheProgramsFieldsAndTheSlowBus) {
    std::set<unsigned> labels;
    for (const auto& l : kFlightScenario) {
        EXPECT_TRUE(labels.insert(l.label).second) << l.name;
        EXPECT_LE(std::strlen(l.name), 8u);
        EXPECT_LE(std::strlen(l.units), 4u);
        EXPECT_LE(std::strlen(l.formatLabel), 8u);
        EXPECT_GE(l.rateHz, 10);
        EXPECT_LE(l.rateHz, 100);
        if (l.encoding == ScenarioEncoding::Bnr) {
            EXPECT_EQ(l.bit29Role, 0) << l.name;
            EXPECT_LE(l.msbBit, 28) << l.name;
            EXPECT_GE(l.lsbBit, 11) << l.name;  // clear of the SDI bits
            EXPECT_LE(l.lsbBit, l.msbBit) << l.name;
            EXPECT_NE(std::string(l.formatLabel), "") << l.name;
        }
    }
    // 12.5 kbit/s carries 347 words/s; keep a margin for the queueing of the labels.
    EXPECT_LE(ScenarioWordsPerSecond(), 300u);
}

TEST(FlightScenarioTest, BnrWordsReadBackThroughTheirFormatsAndChangeSmoothly) {
    for (std::size_t i = 0; i < kFlightScenario.size(); ++i) {
        const ScenarioLabel& f = kFlightScenario[i];
        if (f.encoding != ScenarioEncoding::Bnr) continue;
        bool sawChange = false;
        for (double t = 0.0; t < 600.0; t += 0.37) {
            const uint32_t w = ScenarioWord(i, t, 2);
            ASSERT_EQ(w & 0xFF, f.label);
            ASSERT_EQ((w >> 8) & 3, 2u);
            ASSERT_EQ((w >> 29) & 3, 3u) << f.name;  // SSM normal operation
            ASSERT_EQ(w >> 31, 0u);
            const double v = ScenarioValue(i, t);
            ASSERT_NEAR(Decode(w, f), v, LsbWeight(f)) << f.name << " at " << t;
            const double step = std::fabs(ScenarioValue(i, t + 0.1) - v);
            ASSERT_LT(step, 0.01 * 4.0 * double(f.msbWeight)) << f.name;  // under 1% of the range
            sawChange = sawChange || std::fabs(Decode(ScenarioWord(i, t + 10.0, 2), f) - Decode(w, f)) > 0;
        }
        EXPECT_TRUE(sawChange) << f.name;
    }
    // Negative values use the two's complement of the field with the sign bit set.
    const ScenarioLabel& roll = kFlightScenario[7];
    ASSERT_STREQ(roll.name, "ROLL");
    EXPECT_EQ(EncodeBnr(-LsbWeight(roll), 28, 15, 90.0), 0x1FFFC000u);
    EXPECT_NEAR(Decode(EncodeBnr(-12.5, 28, 15, 90.0), roll), -12.5, LsbWeight(roll));
    EXPECT_EQ(EncodeBcd4(1234), (1u << 26) | (2u << 22) | (3u << 18) | (4u << 14));
}

TEST(FlightScenarioTest, GroundSpeedAndDiscreteWordsCarryTheirFields) {
    for (double t = 0.0; t < 300.0; t += 7.3) {
        const uint32_t gs = ScenarioWord(10, t, 1);
        EXPECT_EQ(gs & 0xFF, 0012u);
        const unsigned digits = ((gs >> 26) & 7) * 1000 + ((gs >> 22) & 15) * 100 +
                                ((gs >> 18) & 15) * 10 + ((gs >> 14) & 15);
        EXPECT_NEAR(double(digits), ScenarioValue(10, t), 0.5 + 1e-9);
        EXPECT_EQ(gs >> 29, 0u);  // SSM plus

        const uint32_t disc = ScenarioWord(11, t, 1);
        EXPECT_EQ(disc & 0xFF, 0270u);
        EXPECT_TRUE(disc & kDiscAutopilot);
        EXPECT_TRUE(disc & kDiscDataValid);
        EXPECT_EQ((disc & kDiscClimbing) != 0, ScenarioValue(1, t) > 0.0);
        EXPECT_EQ((disc & kDiscLeftTurn) != 0, ScenarioValue(7, t) < 0.0);
    }
}

// The program's own sequence on "arinc10": board read, event, start with every channel at the
// lowest rate and parity check on, every input started for parameter reception.
TEST_F(VirtualBoardTest, ProgramOnArinc10SeesTheFlightOnInputsFiveToEight) {
    SignalEvent event("SignalEvent4");
    link.RegisterEvent(event.Handle());
    StartBoard();
    const unsigned inputs = (image.Get(ControlBlock::BoardConfigWord) >> 8) & 0xF;
    ASSERT_EQ(inputs, 8u);
    for (unsigned j = 1; j <= inputs; ++j) ASSERT_EQ(StartInput(j, 0x0500), 1) << j;

    provider.Advance(1000000);
    for (unsigned ch = 5; ch <= 8; ++ch) {
        for (std::size_t i = 0; i < kFlightScenario.size(); ++i) {
            const ScenarioLabel& f = kFlightScenario[i];
            const uint32_t w = Slot(ch, f.label);
            ASSERT_NE(w >> 16, 0u) << f.name << " on " << ch;
            EXPECT_EQ((w >> 8) & 3, ch & 3);
            EXPECT_EQ(w >> 31, 0u);
            if (f.encoding != ScenarioEncoding::Bnr) continue;
            // Sent within the last 0.2 s: the value lies within what the flight did meanwhile.
            double lo = 1e30, hi = -1e30;
            for (double t = 0.8; t <= 1.0; t += 0.005) {
                lo = std::min(lo, ScenarioValue(i, t));
                hi = std::max(hi, ScenarioValue(i, t));
            }
            const double v = Decode(w, f);
            EXPECT_GE(v, lo - 2 * LsbWeight(f)) << f.name;
            EXPECT_LE(v, hi + 2 * LsbWeight(f)) << f.name;
        }
    }
    for (unsigned ch = 1; ch <= 4; ++ch) EXPECT_EQ(Board().Input(ch).received, 0u);

    provider.Advance(9000000);
    const double perSecond = double(Board().Input(5).received) / 10.0;
    EXPECT_NEAR(perSecond, ScenarioWordsPerSecond(), 3.0);
    EXPECT_FALSE(event.IsSet());  // no label asked for events

    // A faster input rate hears none of it.
    std::array<uint16_t, 16> settings{};
    settings[4] = 1;
    StartBoard(settings);
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    const uint64_t before = Board().Input(5).received;
    provider.Advance(1000000);
    EXPECT_EQ(Board().Input(5).received, before);
    EXPECT_GT(Board().Input(5).rateMismatched, 200u);
}

// The firmware thread on the monotonic clock: a mask on PITCH (50 words/s) on input 5 wakes the
// event within a few milliseconds; the provider stops the thread when it goes.
TEST(VirtualBoardRealTimeTest, FirmwareThreadDeliversTheFlightAndSignalsEvents) {
    SignalEvent event("SignalEvent4");
    auto image = std::make_unique<BoardImage>();
    BoardLink link(*image);
    {
        VirtualBoardProvider provider(BoardClock::RealTime);
        auto device = provider.Open("arinc11");
        ASSERT_NE(device, nullptr);
        link.Attach(device.get());
        link.ReadMemory();
        ASSERT_EQ(link.RegisterEvent(event.Handle()), 0);
        link.StartBoard();
        image->Set(BoardImage::InputLabelTable + 4 * 256 + 0324, uint16_t(0x8000 + 4 * 512 + 2 * 0324));
        ASSERT_EQ(link.LoadInputChannel(5), 0);
        image->Set(BoardImage::ChannelControlWords + 4, 0x0500);
        ASSERT_NE(link.StartInputChannel(5), 0);
        ASSERT_TRUE(event.WaitFor(5000));
        event.Reset();
        EXPECT_EQ(link.ReadEvents() & 0x0010, 0x0010);
        const uint32_t pitch = link.ReadSlot(5, LabelSlotAddress(5, 0324));
        EXPECT_EQ(pitch & 0xFF, 0324u);
        EXPECT_EQ(pitch >> 29, 3u);
        link.Attach(nullptr);
    }
    event.Reset();
    EXPECT_FALSE(event.WaitFor(50));  // the thread is gone with the provider
}


// The word stream on the monotonic clock: words of a label nobody reports come in the firmware's
// catch-up every 50 ms; once a listener waits for the label (Listen), the firmware wakes for each
// of its words, so the first PITCH word (50 words/s) is handed over well before that catch-up.
TEST(VirtualBoardRealTimeTest, AListenedLabelIsHandedOverAsItArrives) {
    using Clock = std::chrono::steady_clock;
    struct FirstPitch : WordSink {
        std::mutex mu;
        std::condition_variable cv;
        std::optional<Clock::time_point> at;
        void OnWord(const LineWord& w) override {
            if (w.input != 5 || (w.word & 0xFF) != 0324) return;
            std::lock_guard lock(mu);
            if (!at) at = Clock::now();
            cv.notify_all();
        }
    };
    // A few tries on fresh boards, so that one late wake-up of a busy machine does not decide it;
    // without Listen every try takes 50 ms or more.
    bool prompt = false;
    for (int attempt = 0; attempt < 3 && !prompt; ++attempt) {
        auto image = std::make_unique<BoardImage>();
        BoardLink link(*image);
        VirtualBoardProvider provider(BoardClock::RealTime);
        auto device = provider.Open("arinc11");
        ASSERT_NE(device, nullptr);
        ASSERT_NE(device->Stream(), nullptr);
        link.Attach(device.get());
        link.ReadMemory();
        link.StartBoard();
        image->Set(BoardImage::ChannelControlWords + 4, 0x0500);
        FirstPitch sink;
        device->Stream()->AddSink(&sink);
        device->Stream()->Listen(5, 0324);
        const Clock::time_point started = Clock::now();
        ASSERT_NE(link.StartInputChannel(5), 0);
        {
            std::unique_lock lock(sink.mu);
            ASSERT_TRUE(sink.cv.wait_for(lock, std::chrono::seconds(5), [&] { return sink.at.has_value(); }));
            prompt = *sink.at - started < std::chrono::milliseconds(40);  // the word: within 20 ms
        }
        device->Stream()->Unlisten(5, 0324);
        device->Stream()->RemoveSink(&sink);
        link.Attach(nullptr);
    }
    EXPECT_TRUE(prompt);
}

}  // namespace
}  // namespace orv::test
